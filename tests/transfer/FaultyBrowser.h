#pragma once
// A browser in front of another one that makes its files fail on purpose: the nth read or write (the
// empty write that confirms a file counts too) answers a failure instead of doing its work, and a file to
// be created new can find a leftover of its name in the way. Everything else goes to the browser behind
// it unchanged. For the transfer tests.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/Results.h"
#include "fs/IFileSync.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsFile.h"
#include "fs/IFsFileListener.h"

class FaultyBrowser : public IFsBrowser {
public:
    explicit FaultyBrowser(IFsBrowser* inner) : inner_(inner) {}

    // 1-based positions of the failing calls over all files of the browser; 0 for none.
    int failRead = 0;
    int failWrite = 0;
    // The nth read is taken and held, as by a storage that went silent, until ReleaseHeld; 0 for none.
    int holdRead = 0;
    // Lets the held read go on (its file must still exist).
    void ReleaseHeld() {
        std::function<void()> go = std::move(held_);
        held_ = nullptr;
        if (go) {
            go();
        }
    }
    std::function<void()> held_;
    unsigned long failure = 0x80000000;
    // GetFileInfoA cannot start: it returns the failure and never answers.
    bool refuseInfo = false;
    // The next n files created new find a leftover of their name there, made (empty) just before.
    int leftoverCreates = 0;
    int reads = 0;
    int writes = 0;
    int leftoversMade = 0;
    int creates = 0;

    void AddRef() override {}
    void Release() override {}
    void SetListener(IFsBrowserListener* l) override { inner_->SetListener(l); }
    void RemoveListener(IFsBrowserListener* l) override { inner_->RemoveListener(l); }
    void SetPassword(unsigned long r, const std::wstring& p) override { inner_->SetPassword(r, p); }
    void SelectShare(const std::wstring& s) override { inner_->SelectShare(s); }
    unsigned long OpenRootDirA() override { return inner_->OpenRootDirA(); }
    unsigned long OpenDirA(int id, IFsOpListener* l, const std::wstring& p) override {
        return inner_->OpenDirA(id, l, p);
    }
    unsigned long RenameFileA(int id, IFsOpListener* l, const std::wstring& a,
                              const std::wstring& b) override {
        return inner_->RenameFileA(id, l, a, b);
    }
    unsigned long RenameFolderA(int id, IFsOpListener* l, const std::wstring& a,
                                const std::wstring& b) override {
        return inner_->RenameFolderA(id, l, a, b);
    }
    unsigned long DeleteFileA(int id, IFsOpListener* l, const std::wstring& p) override {
        return inner_->DeleteFileA(id, l, p);
    }
    unsigned long DeleteFolderA(int id, IFsOpListener* l, const std::wstring& p) override {
        return inner_->DeleteFolderA(id, l, p);
    }
    unsigned long CreateFolderA(int id, IFsOpListener* l, const std::wstring& p, bool f) override {
        return inner_->CreateFolderA(id, l, p, f);
    }
    unsigned long GetId() const override { return inner_->GetId(); }
    unsigned long GetFileInfoA(int id, IFsOpListener* l, const std::wstring& p) override {
        return refuseInfo ? failure : inner_->GetFileInfoA(id, l, p);
    }
    void SetFileTimeModifiedA(const std::wstring& p, const Osp::Base::DateTime& t) override {
        inner_->SetFileTimeModifiedA(p, t);
    }
    unsigned long CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                              TFileDisp disp) override;
    unsigned long CreateSyncFileN(IFileSync** out, const std::wstring& p, TFileMode m, TFileDisp d) override {
        return inner_->CreateSyncFileN(out, p, m, d);
    }
    unsigned long ExtractFileA(IOutStreamListener* l, const std::wstring& p) override {
        return inner_->ExtractFileA(l, p);
    }
    unsigned long StoreFileA(IInStreamListener* l, const std::wstring& p) override {
        return inner_->StoreFileA(l, p);
    }
    void BytesProcessed(unsigned long r, unsigned int c) override { inner_->BytesProcessed(r, c); }
    void StopStreamIoA(unsigned long r) override { inner_->StopStreamIoA(r); }
    bool IsTheSameDisk(const IFsBrowser* other) const override { return other == this; }
    std::wstring GetStorageName() const override { return inner_->GetStorageName(); }
    wchar_t GetSlash() const override { return inner_->GetSlash(); }
    bool CapableOf(int mask) const override { return inner_->CapableOf(mask); }
    int GetType() const override { return inner_->GetType(); }
    unsigned long GetProperty(TProperty p, void* out) override { return inner_->GetProperty(p, out); }

private:
    IFsBrowser* inner_;
};

// One file of the faulty browser: the inner file answers to it, and it answers to the real listener.
class FaultyFile : public IFsFile, public IFsFileListener {
public:
    FaultyFile(FaultyBrowser& browser, IFsFileListener* listener) : browser_(browser), listener_(listener) {}

    // The inner file's open: on success the listener gets this file instead.
    void OnCreateN(unsigned long result, IFsFile* file) override {
        inner_.reset(file);
        IFsFileListener* listener = listener_;
        if (result != RES_OK) {
            delete this;
            listener->OnCreateN(result, nullptr);
            return;
        }
        listener->OnCreateN(result, this);
    }
    void OnRead(IFsFile*, unsigned long result, unsigned int count) override {
        listener_->OnRead(this, result, count);
    }
    void OnWrite(IFsFile*, unsigned long result, unsigned int count) override {
        listener_->OnWrite(this, result, count);
    }
    void OnSeek(IFsFile*, unsigned long result) override {
        if (failingRead_) {
            failingRead_ = false;
            listener_->OnRead(this, browser_.failure, 0);
        } else if (failingWrite_) {
            failingWrite_ = false;
            listener_->OnWrite(this, browser_.failure, 0);
        } else {
            listener_->OnSeek(this, result);
        }
    }

    unsigned long ReadA(void* buffer, unsigned int size) override {
        if (browser_.reads + 1 == browser_.holdRead) {
            ++browser_.reads;
            browser_.held_ = [this, buffer, size] { inner_->ReadA(buffer, size); };
            return RES_OK;
        }
        if (++browser_.reads == browser_.failRead) {
            // Answered later, as a real file does; a zero-length seek keeps the order of answers.
            failingRead_ = true;
            return inner_->SeekA(POS_CURRENT, 0);
        }
        return inner_->ReadA(buffer, size);
    }
    unsigned long WriteA(const void* buffer, unsigned int size) override {
        if (++browser_.writes == browser_.failWrite) {
            failingWrite_ = true;
            return inner_->SeekA(POS_CURRENT, 0);
        }
        return inner_->WriteA(buffer, size);
    }
    unsigned long SeekA(TPosition origin, int offset) override { return inner_->SeekA(origin, offset); }
    unsigned long long Tell64() const override { return inner_->Tell64(); }
    unsigned long Tell() const override { return inner_->Tell(); }
    void CloseA() override { inner_->CloseA(); }

private:
    FaultyBrowser& browser_;
    IFsFileListener* listener_;
    std::unique_ptr<IFsFile> inner_;
    // A planned failure comes back as the answer of a seek that changes nothing.
    bool failingRead_ = false;
    bool failingWrite_ = false;
};

inline unsigned long FaultyBrowser::CreateFileA(IFsFileListener* listener, const std::wstring& path,
                                                TFileMode mode, TFileDisp disp) {
    ++creates;
    if (mode == FILE_MODE_WRITE && disp == FILE_DISP_CREATE_NEW && leftoversMade < leftoverCreates) {
        IFileSync* leftover = nullptr;
        if (inner_->CreateSyncFileN(&leftover, path, FILE_MODE_WRITE, FILE_DISP_CREATE_NEW) == RES_OK) {
            ++leftoversMade;
            delete leftover;
        }
    }
    return inner_->CreateFileA(new FaultyFile(*this, listener), path, mode, disp);
}
