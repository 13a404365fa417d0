#pragma once
// A storage in memory for the folder list's tests: folders by path ("/" and "/a/"), each with its entries,
// that answers at once or, while answers are held, only when the test delivers them, as a network share
// does. Failures can be planned: opening a folder, making its enumerator, or the end of its enumeration
// after its entries.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Results.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsDirEnum.h"
#include "fs/IFsDirEnumListener.h"
#include "fs/IFsDirListener.h"
#include "fs/IFsOpListener.h"

class FakeBrowser : public IFsBrowser {
public:
    struct Entry {
        std::wstring name;
        bool folder;
    };

    explicit FakeBrowser(TBrowserKind kind) : kind_(kind) {}

    std::map<std::wstring, std::vector<Entry>> folders;
    std::map<std::wstring, unsigned long> openFailures;      // path of the folder that cannot be opened
    std::map<std::wstring, unsigned long> enumOpenFailures;  // path whose enumerator cannot be made
    std::map<std::wstring, unsigned long> enumFailures;      // path whose enumeration ends with the result
    bool holdAnswers = false;
    int subDirRequests = 0;

    // Gives every held answer, and those that come of them, in order.
    void Deliver() {
        while (!held_.empty()) {
            std::function<void()> answer = std::move(held_.front());
            held_.pop_front();
            answer();
        }
    }
    size_t HeldAnswers() const { return held_.size(); }

    void Answer(std::function<void()> answer) {
        if (holdAnswers) {
            held_.push_back(std::move(answer));
        } else {
            answer();
        }
    }

    IFsDir* NewDir(const std::wstring& path);

    void AddRef() override {}
    void Release() override {}
    void SetListener(IFsBrowserListener* listener) override { listener_ = listener; }
    void RemoveListener(IFsBrowserListener* listener) override {
        if (listener_ == listener) {
            listener_ = nullptr;
        }
    }
    void SetPassword(unsigned long, const std::wstring&) override {}
    void SelectShare(const std::wstring&) override {}
    unsigned long OpenRootDirA() override {
        Answer([this] { listener_->OnOpenDir(RES_OK, NewDir(L"/")); });
        return RES_OK;
    }
    unsigned long OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) override;
    unsigned long RenameFileA(int, IFsOpListener*, const std::wstring&, const std::wstring&) override {
        return RES_FAILURE;
    }
    unsigned long RenameFolderA(int, IFsOpListener*, const std::wstring&, const std::wstring&) override {
        return RES_FAILURE;
    }
    unsigned long DeleteFileA(int, IFsOpListener*, const std::wstring&) override { return RES_FAILURE; }
    unsigned long DeleteFolderA(int, IFsOpListener*, const std::wstring&) override { return RES_FAILURE; }
    unsigned long CreateFolderA(int, IFsOpListener*, const std::wstring&, bool) override {
        return RES_FAILURE;
    }
    unsigned long GetId() const override { return 7; }
    unsigned long GetFileInfoA(int, IFsOpListener*, const std::wstring&) override { return RES_FAILURE; }
    void SetFileTimeModifiedA(const std::wstring&, const Osp::Base::DateTime&) override {}
    unsigned long CreateFileA(IFsFileListener*, const std::wstring&, TFileMode, TFileDisp) override {
        return RES_FAILURE;
    }
    unsigned long CreateSyncFileN(IFileSync** out, const std::wstring&, TFileMode, TFileDisp) override {
        *out = nullptr;
        return RES_FAILURE;
    }
    unsigned long ExtractFileA(IOutStreamListener*, const std::wstring&) override { return RES_FAILURE; }
    unsigned long StoreFileA(IInStreamListener*, const std::wstring&) override { return RES_FAILURE; }
    void BytesProcessed(unsigned long, unsigned int) override {}
    void StopStreamIoA(unsigned long) override {}
    bool IsTheSameDisk(const IFsBrowser* other) const override { return other == this; }
    // Each fake is a storage of its own.
    std::wstring GetStorageName() const override {
        return L"fake:" + std::to_wstring(reinterpret_cast<std::uintptr_t>(this));
    }
    wchar_t GetSlash() const override { return L'/'; }
    bool CapableOf(int mask) const override { return (mask & ~CAP_ENUM_TIMES) == 0; }
    int GetType() const override { return kind_; }
    unsigned long GetProperty(TProperty, void*) override { return RES_FAILURE; }

private:
    TBrowserKind kind_;
    IFsBrowserListener* listener_ = nullptr;
    std::deque<std::function<void()>> held_;
};

namespace fake {

class Entry : public IFsDirEntry {
public:
    explicit Entry(const FakeBrowser::Entry& entry) : entry_(entry) {}
    std::wstring GetName() const override { return entry_.name; }
    unsigned long long GetSize() const override { return 0; }
    int GetType() const override { return entry_.folder ? ENTRY_DIRECTORY : 0; }
    Osp::Base::DateTime GetTimeModified() const override { return Osp::Base::DateTime(); }

private:
    FakeBrowser::Entry entry_;
};

class Enum : public IFsDirEnum {
public:
    Enum(FakeBrowser& browser, const std::wstring& path) : browser_(browser), path_(path) {}
    void SetListener(IFsDirEnumListener* listener) override { listener_ = listener; }
    unsigned long StartEnumA(bool) override {
        browser_.Answer([this] {
            IFsDirEnumListener* listener = listener_;
            for (const FakeBrowser::Entry& entry : browser_.folders[path_]) {
                listener->OnGetEntry(RES_OK, new Entry(entry));
            }
            auto failure = browser_.enumFailures.find(path_);
            listener->OnGetEntry(failure != browser_.enumFailures.end() ? failure->second : RES_OK, nullptr);
        });
        return RES_OK;
    }
    void StopEnumA() override {}

private:
    FakeBrowser& browser_;
    std::wstring path_;
    IFsDirEnumListener* listener_ = nullptr;
};

class Dir : public IFsDir {
public:
    Dir(FakeBrowser& browser, const std::wstring& path) : browser_(browser), path_(path) {}
    void SetListener(IFsDirListener* listener) override { listener_ = listener; }
    std::wstring GetName(bool full) const override { return full ? L"//nas/share" + path_ : path_; }
    unsigned long OpenEnumeratorA() override {
        browser_.Answer([this] {
            auto failure = browser_.enumOpenFailures.find(path_);
            if (failure != browser_.enumOpenFailures.end()) {
                listener_->OnOpenEnumerator(failure->second, nullptr);
            } else {
                listener_->OnOpenEnumerator(RES_OK, new Enum(browser_, path_));
            }
        });
        return RES_OK;
    }
    unsigned long OpenSubDirA(const std::wstring& name) override {
        ++browser_.subDirRequests;
        const std::wstring path = path_ + name + L"/";
        browser_.Answer([this, path] {
            auto failure = browser_.openFailures.find(path);
            if (failure != browser_.openFailures.end()) {
                listener_->OnOpenSubDir(failure->second, nullptr);
            } else {
                listener_->OnOpenSubDir(RES_OK, browser_.NewDir(path));
            }
        });
        return RES_OK;
    }
    unsigned long RenameFileA(int, IFsOpListener*, const std::wstring&, const std::wstring&) override {
        return RES_FAILURE;
    }
    unsigned long RenameSubDirA(int, IFsOpListener*, const std::wstring&, const std::wstring&) override {
        return RES_FAILURE;
    }
    unsigned long DeleteFileA(int, IFsOpListener*, const std::wstring&) override { return RES_FAILURE; }
    unsigned long DeleteSubDirA(int, IFsOpListener*, const std::wstring&) override { return RES_FAILURE; }
    IFsBrowser* GetBrowser() const override { return &browser_; }

private:
    FakeBrowser& browser_;
    std::wstring path_;
    IFsDirListener* listener_ = nullptr;
};

}  // namespace fake

inline IFsDir* FakeBrowser::NewDir(const std::wstring& path) {
    return new fake::Dir(*this, path);
}

inline unsigned long FakeBrowser::OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) {
    Answer([this, id, listener, path] {
        auto failure = openFailures.find(path);
        if (failure != openFailures.end()) {
            listener->OnFsOperationDone(id, 0, failure->second);
        } else {
            listener->OnFsOperationDone(id, reinterpret_cast<std::intptr_t>(NewDir(path)), RES_OK);
        }
    });
    return RES_OK;
}
