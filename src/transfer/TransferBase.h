#pragma once
// What the block copy and the stream share: the paths and browsers of one file transfer, the platform's
// media folders reached through a worker thread, and the end of every transfer: the new file put in
// place (replacing an old one only once the new one is stored), the modification time kept, a moved
// source deleted, or on failure the file this transfer created removed. On a share a new file is written
// under a temporary name too and takes its own name only once whole: a connection lost midway leaves
// the temporary file, never a partial one under a real name. Used on the user-interface thread only.

#include <cstdint>
#include <memory>
#include <string>

#include "Osp/Base/DateTime.h"
#include "app/IUserEventHandler.h"
#include "fs/IFsFile.h"
#include "fs/IFsOpListener.h"
#include "transfer/FsThread.h"
#include "transfer/IFsTransfer.h"
class IFsBrowser;
class IFsFileListener;

class TransferBase : public IFsTransfer, public IUserEventHandler, public IFsOpListener {
public:
    TransferBase(IFsTransferListener* listener, TDestination destination, IFsBrowser* src, IFsBrowser* dst);
    ~TransferBase() override;

    // A media destination with a local source goes to the platform's worker; a move within one browser
    // is a rename (a copy and a delete across file systems); everything else is the subclass's copy.
    void CopyFileA(const std::wstring& srcPath, unsigned long long size, const Osp::Base::DateTime& date,
                   const std::wstring& dstPath) override;
    void MoveFileA(const std::wstring& srcPath, unsigned long long size, const Osp::Base::DateTime& date,
                   const std::wstring& dstPath) override;
    void StopA() override { stopped_ = true; }

    // The media worker's result.
    void OnUserEvent(int) override {}
    void OnUserEventEx(UserEvent* event) override;
    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override;

    std::wstring GetStrandedPath() const override { return strandedPath_; }

    // A temporary name in the destination's folder under which a replacing copy is written: new for every
    // call, so that a leftover of an earlier attempt never stands in the way.
    static std::wstring TempNameFor(const std::wstring& path, wchar_t slash);

protected:
    enum TFlag : unsigned int {
        FLAG_DST_MEDIA = 0x01,
        FLAG_DST_LOCAL = 0x02,
        FLAG_SRC_MEDIA = 0x04,
        FLAG_SRC_LOCAL = 0x10,
    };

    // Copies the source's bytes to a new file; ends with ConfirmA, or with Fail.
    virtual void StartCopyA() = 0;

    // Keeps the arguments and works out the flags and where the new file is written. A transfer of a
    // file onto itself ends at once with RES_ALREADY_EXISTS and returns false.
    bool Init(const std::wstring& srcPath, unsigned long long size, const Osp::Base::DateTime& date,
              const std::wstring& dstPath, bool isCopy);
    bool IsFlagOn(unsigned int bits) const { return (flags_ & bits) != 0; }

    // Creates the file to write; the answer goes to the subclass's OnCreateN, which hands the file to
    // OnDestCreated. A media destination is written in the cache first.
    void CreateDestFileA(IFsFileListener* listener);
    // Keeps the new destination file; false (and the transfer failed) when there is none.
    bool OnDestCreated(unsigned long result, IFsFile* file);
    // The source's bytes are all written: confirms them with the empty write, whose answer comes to the
    // subclass's OnWrite as a write of 0 bytes and goes on to OnConfirmed. A new copy on the local storage
    // goes on to OnConfirmed without it (see ConfirmedByJob).
    void ConfirmA();
    // A copy that replaces nothing and deletes nothing, onto the local storage, whose writes have all
    // been answered: a sync of every such file would cost a disk flush each, so the job syncs the
    // destination's storage once when it ends (TransferPopup) and reports its failure.
    bool ConfirmedByJob() const;
    // The destination said it stored everything: the file is put in place.
    void OnConfirmed(unsigned long result);
    // Ends the transfer with result: what it created is removed first. RES_CANCELLED when stopped.
    void Fail(unsigned long result);
    // Closes the source (the subclass's) and the destination.
    virtual void CloseFiles();
    void Progress(bool busy);

    IFsTransferListener* listener_;
    TDestination destination_;
    IFsBrowser* srcBrowser_;
    IFsBrowser* dstBrowser_;
    std::wstring srcPath_;
    std::wstring dstPath_;    // where the file ends up
    std::wstring writePath_;  // where it is written: dstPath_, a temporary name, or the cache
    IFsBrowser* writeBrowser_ = nullptr;
    unsigned long long size_ = 0;
    Osp::Base::DateTime srcDate_;
    bool isCopy_ = true;
    bool stopped_ = false;
    unsigned int flags_ = 0;
    std::wstring tempPath_;  // the cache file of a media destination
    std::unique_ptr<IFsFile> dstFile_;
    unsigned long long bytesDone_ = 0;

private:
    enum TOp {
        OP_REMOVE_CREATED = 0,
        OP_RENAME_SOURCE = 1,
        OP_DELETE_SOURCE = 2,
        OP_DELETE_OLD = 3,
        OP_PLACE = 4,
        OP_DELETE_OLD_TO_RENAME = 5,
        OP_PUT_BACK = 6,
        OP_PROBE_FREE = 7,
    };
    enum TThreadEvent { THREAD_COPY = 1, THREAD_MOVE = 2, THREAD_FROM_CACHE = 3, EVENT_WRITTEN_IN_PLACE = 4 };

    // The steps after the confirmation, each started when the one before has answered.
    void RenameSource();
    void OnRenamed(unsigned long result);
    void ReplaceOld();
    void Place();
    void Finish();
    void DeleteSource();
    void Report(unsigned long result);
    // Removes the file this transfer created (the cache's copy, or the file at writePath_), or puts a
    // file that the platform moved back to its source name; true when the work was started and its answer
    // goes to listener.
    bool RemoveCreated(IFsOpListener* listener);
    void OnPutBack(unsigned long result);
    // An attempt to write under a temporary name found that name taken: true when another name is tried.
    bool RetryTempName();
    // Whether the file is written under a temporary name and renamed once whole.
    bool WritesUnderTempName() const;
    // Whether the destination's own name must first be found free: a new file written under a temporary
    // name finds a clash only when it is renamed, after all its bytes went over.
    bool MustProbeFree() const;
    void OnProbedFree(std::intptr_t object, unsigned long result);
    void RegisterMedia();
    void StartThread(const std::wstring& from, TThreadEvent event);
    void OnThreadDone(int event, unsigned long result);

    bool created_ = false;     // a file of this transfer lies at writePath_
    bool sourceGone_ = false;  // the platform moved the source itself
    bool reported_ = false;
    unsigned long failure_ = 0;  // kept while the created file is removed
    bool removeRetried_ = false;
    int tempAttempts_ = 1;
    bool probedFree_ = false;
    IFsFileListener* createListener_ = nullptr;  // the subclass, which hears the destination's open
    std::wstring strandedPath_;
    FsThread::Ptr thread_;
};
