#pragma once
// A volume over one handler of the archive library: opens the archive through the handler, builds the
// folder tree from the item list (VolumeTree), makes entries, and extracts one file at a time into an
// IOutStreamSync, answering the library's callbacks itself. The volume's lifetime is its owner's: the
// reference count only tells the library's calls apart, and the handler is released before the volume
// goes. The library may call back from its own threads, one call at a time; the stop flags may be set
// from any thread.
//
// Results: RES_CORRUPT_FILE for an archive that does not open whole or has broken data, RES_INVALID_PASSWORD
// for a wrong password (which is then forgotten, so that the next use asks again), RES_UNSUPPORTED_METHOD,
// RES_NOT_FOUND for a path that is not in the tree or not a file, RES_OUT_OF_MEMORY.

#include <atomic>
#include <mutex>
#include <string>

#include "archive/ArcInterfaces.h"
#include "archive/IVolume.h"
#include "archive/VolClassInfo.h"
#include "archive/VolumeTree.h"

class InStream;

class VolumeBase : public IVolume,
                   public arclib::IArchiveOpenCallback,
                   public arclib::IArchiveExtractCallback,
                   public arclib::ICryptoGetTextPassword,
                   public arclib::ISequentialOutStream {
public:
    VolumeBase();
    ~VolumeBase() override;
    VolumeBase(const VolumeBase&) = delete;
    VolumeBase& operator=(const VolumeBase&) = delete;

    void SetClassInfo(const SVolClassInfo* info) { classInfo_ = info; }
    // The library's result as one of the system's codes.
    static unsigned long ToResult(arclib::HRESULT r);

    // IVolume.
    unsigned long Open(const std::wstring& name, IFileSync* file) override;
    unsigned long OpenDirN(const std::wstring& path, IVolDir** out) override;
    unsigned long GetFileInfo(const std::wstring& path, IFsDirEntry** out) override;
    unsigned long ExtractFile(IOutStreamSync* out, const std::wstring& path) override;
    void StopIoOperation() override;
    void SetPassword(const std::wstring& password) override;
    void SetPasswordListener(IPasswordListener* listener) override { passwordListener_ = listener; }
    void SetFlags(int flags) override { flags_ = flags; }

    // A new entry for a tree index (an item or a virtual folder); null when its properties fail.
    IFsDirEntry* GetEntryN(unsigned long index);
    const VolumeTree& Tree() const { return tree_; }

    // The library's callbacks.
    arclib::HRESULT QueryInterface(const arclib::GUID& iid, void** out) override;
    arclib::ULONG AddRef() override;
    arclib::ULONG Release() override;
    arclib::HRESULT SetTotal(const std::uint64_t* files, const std::uint64_t* bytes) override;
    arclib::HRESULT SetCompleted(const std::uint64_t* files, const std::uint64_t* bytes) override;
    arclib::HRESULT SetTotal(std::uint64_t total) override;
    arclib::HRESULT SetCompleted(const std::uint64_t* completeValue) override;
    arclib::HRESULT GetStream(std::uint32_t index, arclib::ISequentialOutStream** outStream,
                              std::int32_t askMode) override;
    arclib::HRESULT PrepareOperation(std::int32_t askMode) override;
    arclib::HRESULT SetOperationResult(std::int32_t opRes) override;
    arclib::HRESULT CryptoGetTextPassword(arclib::BSTR* password) override;
    arclib::HRESULT Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) override;

protected:
    // A new handler of the volume's format, kept for the volume's lifetime.
    virtual unsigned long CreateInArchive(arclib::IInArchive** out) = 0;
    // TEntryType flags of an item from its attributes (the directory bit is the tree's business).
    virtual int GetItemAttributes(unsigned long index);

private:
    unsigned long OpenArchive(IFileSync* file);
    unsigned long BuildTree(const std::wstring& name);
    unsigned long ItemPath(unsigned long index, std::wstring* path);
    bool ItemIsEncrypted(unsigned long index);
    // Also forgets the password when the library blames it.
    unsigned long MapOperationResult(std::int32_t opRes);
    void Finish(unsigned long result);
    bool Cancelled() const;

    std::atomic<arclib::ULONG> refCount_{1};
    const SVolClassInfo* classInfo_ = nullptr;
    arclib::IInArchive* archive_ = nullptr;
    InStream* inStream_ = nullptr;
    unsigned long itemCount_ = 0;
    VolumeTree tree_;
    IPasswordListener* passwordListener_ = nullptr;
    int flags_ = 0;
    std::wstring singleName_;
    std::atomic<bool> stopRequested_{false};

    // The running extraction; the library may call from its own threads, so they share a lock.
    std::mutex lock_;
    IOutStreamSync* out_ = nullptr;
    bool skipping_ = false;
    bool encrypted_ = false;
    unsigned long long expected_ = 0;  // the item's stated size
    bool sizeKnown_ = false;
    unsigned long long written_ = 0;
    unsigned long failure_ = 0;  // why the volume refused a block
    unsigned long result_ = 0;   // the last extraction's
    unsigned long index_ = 0;    // the item being extracted
    std::mutex passwordLock_;
    std::wstring password_;
    bool passwordAsked_ = false;
};
