#pragma once
// A copy, move or fetch-for-opening of what a clipboard holds, run as one job, with its progress dialog.
// The job walks the selected folders, makes the destination folders, moves a whole folder with one
// rename where it can, transfers each file with a single-file transfer, asks its owner about existing
// files, takes links as links, removes emptied source folders after a move, and reports one result with a
// message (after a success, the note of what was left out, if anything). The dialog
// shows itself only when the job lasts (or a media folder makes the platform work in one call), with the
// file, "x of y", the percentage and the time left, and a Cancel button.
//
// Contract: user-interface thread only. The owner (ITpListener) hears the end exactly once, from a
// posted event, so it may destroy the popup inside OnTransferEnded. An overwrite question suspends the
// job until the owner answers it with OverwriteFile. The popup may be destroyed at any time; a running
// transfer then ends unseen.

#include <list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Ui/Controls/Animation.h"
#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/Controls/Progress.h"
#include "Osp/Ui/IActionEventListener.h"
#include "app/IUserEventHandler.h"
#include "app/PTimer.h"
#include "fs/IFsOpListener.h"
#include "transfer/Clipboard.h"
#include "transfer/FileWalker.h"
#include "transfer/FsThread.h"
#include "transfer/IFsTransfer.h"
#include "transfer/IWalkerListener.h"
#include "transfer/StorageProbe.h"

class TransferPopup;

class ITpListener {
public:
    virtual void OnTransferEnded(TransferPopup* popup, unsigned long result, const std::wstring& message) = 0;
    virtual void OnOverwriteFileA(TransferPopup* popup, const std::wstring& source,
                                  const std::wstring& destination) = 0;

protected:
    ~ITpListener() = default;
};

class TransferPopup : public Osp::Ui::Controls::Popup,
                      public Osp::Ui::IActionEventListener,
                      public Osp::Base::Runtime::ITimerEventListener,
                      public IUserEventHandler,
                      public IFsOpListener,
                      public IWalkerListener,
                      public IFsTransferListener {
public:
    enum TOverwrite {
        OVERWRITE_NO = 1,
        OVERWRITE_NO_TO_ALL = 2,
        OVERWRITE_YES = 3,
        OVERWRITE_YES_TO_ALL = 4,
    };
    static constexpr int kActionCancel = 1213;

    // With ownsClipboard the popup deletes the clipboard when it goes. listener is not owned.
    TransferPopup(bool ownsClipboard, const Clipboard* clipboard, ITpListener* listener,
                  IFsBrowser* dstBrowser, const std::wstring& dstRoot);
    ~TransferPopup() override;

    // Builds the dialog from its layout; false when a control is missing.
    bool Construct();
    // Starts the job; the dialog shows itself when the job lasts.
    void ShowPopup();
    void HidePopup();
    void DoShow();
    // The dialog stops showing itself on its own (an owner's question is about to show).
    void SkipAutoShow();
    // The owner's answer to OnOverwriteFileA.
    void OverwriteFile(TOverwrite answer);

    const Clipboard* GetClipboard() const { return clipboard_; }
    IFsBrowser* GetSrcBrowser() const { return srcBrowser_; }
    IFsBrowser* GetDstBrowser() const { return dstBrowser_; }
    bool IsShown() const { return shown_; }

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent* event) override;
    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override;

    bool OnEnterFolder(const std::wstring& path) override;
    void OnItemFound(const IFsDirEntry* entry) override;
    bool OnExitFolder(const std::wstring& path) override;
    void OnFsWalkFinished(unsigned long result) override;

    void OnTransferProgress(unsigned long long bytesDone, bool busy) override;
    void OnTransferEnded(unsigned long result) override;

private:
    // What was being done when the job ended, for its message.
    enum TCurOp {
        CUR_NONE = 0,
        CUR_COPY = 1,
        CUR_DELETE_FILE = 2,
        CUR_OPEN_FOLDER = 3,
        CUR_CREATE_FOLDER = 4,
        CUR_DELETE_FOLDER = 5,
        CUR_MOVE_FOLDER = 6,
    };
    // Request identifiers of the job's browser calls, and its posted events.
    enum TRequest {
        REQ_DST_FOLDER = 0,
        REQ_CREATE_FOLDER = 1,
        REQ_DELETE_FOLDER = 3,
        REQ_MOVE_FOLDER = 4,
        REQ_MOVE_TARGET = 5,
        REQ_DELETE_OLD_LINK = 6,
        REQ_LINK = 7,
        REQ_DELETE_MOVED_LINK = 8,
        REQ_PROBE = 9,
    };
    enum TEvent { EVENT_FILE_DONE = 1, EVENT_FINISH = 2, EVENT_SYNCED = 3 };

    struct SDir {
        std::wstring relPath;
        size_t firstFile = 0;
        bool keep = false;
    };

    // The job (TransferJob.cpp).
    bool IsOwnDestination() const;
    void StartTransferA();
    void ProcessFolderA();
    void WalkFolderA(const std::wstring& folder);
    void OnFolderRenamed(unsigned long result);
    void NextFolder();
    void TransferNextFile();
    void DoTransferFile(const Clipboard::SFile& file);
    void OnFileDone(unsigned long result);
    void SkipFile();
    void KeepSourceFolders();
    void OnFolderFilesDone();
    // The last file is done: new copies on the local storage are made durable first (one sync).
    void SyncAndFinish();
    void FinishWithError(unsigned long result);
    void Finish();
    std::wstring MoveFailureText() const;
    std::wstring ComposeDst(const std::wstring& relPath) const;
    bool DestinationFoldsCase() const;
    bool CanHoldName(const std::wstring& name) const;
    const Clipboard::SFile& CurrentFile() const;

    // Links (TransferLinks.cpp).
    bool DestinationHoldsLinks() const;
    void TransferLinkA();
    void MakeLinkA(bool rename);
    void OnLinkDone(int request, unsigned long result);
    std::wstring LeftOutText() const;

    // The dialog (TransferPopup.cpp).
    void UpdateUi(unsigned long long done, bool busy);
    void ShowCounts();
    void ShowBusy();
    void ClearBusy();

    // The clipboard and what the job takes from it.
    const Clipboard* clipboard_;
    bool ownsClipboard_;
    ITpListener* listener_;
    int mode_;
    IFsBrowser* srcBrowser_;
    IFsBrowser* dstBrowser_;
    std::wstring srcRoot_;
    std::wstring dstRoot_;
    const std::vector<Clipboard::SFile>& files_;
    const std::vector<std::wstring>& folders_;

    // The job's state.
    std::vector<Clipboard::SFile> innerFiles_;
    std::list<SDir> dirs_;
    std::unique_ptr<FileWalker> walker_;
    std::unique_ptr<IFsTransfer> transfer_;
    std::unique_ptr<StorageProbe> probe_;  // whether two share names reach one share, asked before all
    FsThread::Ptr sync_;
    std::unique_ptr<IFsTransfer> spent_;           // ended inside its own call; deleted at the next step
    std::vector<unsigned long long> folderBytes_;  // bytes found in each selected folder while scanning
    std::set<std::wstring> written_;               // destinations written by this job, in lower case
    size_t folderIndex_ = 0;
    size_t fileIndex_ = 0;
    bool inFolder_ = false;  // the files being transferred are innerFiles_ of the last SDir
    bool replacing_ = false;
    unsigned long long totalBytes_ = 0;
    unsigned long long doneBytes_ = 0;
    unsigned int fileCount_ = 0;
    unsigned int folderCount_ = 0;
    bool scanning_ = false;
    bool cancelled_ = false;
    bool sameDiskMove_ = false;
    bool finished_ = false;
    int overwritePolicy_ = 0;  // 0 ask, OVERWRITE_NO_TO_ALL or OVERWRITE_YES_TO_ALL
    int curOp_ = CUR_NONE;
    std::wstring curItem_;
    std::wstring curSrc_;
    std::wstring curDst_;
    std::wstring curDir_;
    unsigned long fileResult_ = 0;
    std::wstring stranded_;              // where the last file's failed move left it, when not at its source
    bool linkRenamed_ = false;           // the current link is moved by a rename
    std::vector<std::wstring> leftOut_;  // links the destination could not hold
    unsigned long endResult_ = 0;
    unsigned int startTicks_ = 0;
    unsigned int lastUiTicks_ = 0;
    unsigned long long unit_ = 1;
    PTimer timer_{0, 100};

    // The dialog.
    Osp::Ui::Controls::Button* cancel_ = nullptr;  // controls of the popup
    Osp::Ui::Controls::Label* name_ = nullptr;
    Osp::Ui::Controls::Label* time_ = nullptr;
    Osp::Ui::Controls::Label* size_ = nullptr;
    Osp::Ui::Controls::Label* percent_ = nullptr;
    Osp::Ui::Controls::Progress* bar_ = nullptr;
    Osp::Ui::Controls::Animation* animation_ = nullptr;  // a control of the popup once made
    Osp::Base::Runtime::Timer busyTimer_;
    Osp::Base::Runtime::Timer showTimer_;
    bool busyArmed_ = false;
    bool shown_ = false;
};
