#include "transfer/TransferBase.h"

#include <cwchar>
#include <random>

#include "Osp/Base/Result.h"
#include "Osp/Io/File.h"
#include "app/Corvane.h"
#include "app/PathUtils.h"
#include "app/Results.h"
#include "fs/Cache.h"
#include "fs/FsLocalBrowser.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsDirEntry.h"
#include "fs/LocalContent.h"
#include "fs/Places.h"
#include "transfer/FsThread.h"

namespace {

// Attempts at a temporary name before a transfer gives up: each name is new, so only a destination
// that takes every name for an existing file uses them all.
constexpr int kTempAttempts = 4;

bool IsMediaRoot(const IFsBrowser* browser) {
    const auto* local = dynamic_cast<const LocalBrowser*>(browser);
    return local != nullptr && local->GetRoot() != LocalBrowser::ROOT_HOME;
}

}  // namespace

TransferBase::TransferBase(IFsTransferListener* listener, TDestination destination, IFsBrowser* src,
                           IFsBrowser* dst)
    : listener_(listener),
      destination_(destination),
      srcBrowser_(src),
      dstBrowser_(dst),
      writeBrowser_(dst) {}

TransferBase::~TransferBase() {
    // A transfer dropped on its way (its job went with its form) leaves no partial file either; nobody
    // hears how the removal ends.
    if (created_) {
        TransferBase::CloseFiles();
        RemoveCreated(nullptr);
    }
}

std::wstring TransferBase::TempNameFor(const std::wstring& path, wchar_t slash) {
    std::wstring dir;
    std::wstring name;
    if (!ParseFileName(path, &dir, &name, slash)) {
        dir.clear();
    }
    // The hash tells which file a leftover was for; the random part keeps every attempt apart from the
    // others, those of this run and those of a run that ended before it could clear its own.
    static std::mt19937 generator{std::random_device{}()};
    wchar_t hex[24];
    std::swprintf(hex, 24, L"%08X-%08X", static_cast<unsigned int>(Cache::GetHash(0, name)),
                  static_cast<unsigned int>(generator()));
    return dir + L".corvane-" + hex + L".part";
}

bool TransferBase::Init(const std::wstring& srcPath, unsigned long long size, const Osp::Base::DateTime& date,
                        const std::wstring& dstPath, bool isCopy) {
    srcPath_ = srcPath;
    size_ = size;
    srcDate_ = date;
    dstPath_ = dstPath;
    isCopy_ = isCopy;
    // A file is never copied onto itself, and never replaced by itself.
    if (SamePlace(*srcBrowser_, srcPath, *dstBrowser_, dstPath)) {
        Report(RES_ALREADY_EXISTS);
        return false;
    }
    flags_ = 0;
    if (srcBrowser_->GetType() == BROWSER_LOCAL) {
        flags_ |= FLAG_SRC_LOCAL | (IsMediaRoot(srcBrowser_) ? FLAG_SRC_MEDIA : 0u);
    }
    if (dstBrowser_->GetType() == BROWSER_LOCAL) {
        flags_ |= FLAG_DST_LOCAL | (IsMediaRoot(dstBrowser_) ? FLAG_DST_MEDIA : 0u);
    }
    writePath_ = WritesUnderTempName() ? TempNameFor(dstPath, dstBrowser_->GetSlash()) : dstPath;
    return true;
}

bool TransferBase::WritesUnderTempName() const {
    return destination_ == DEST_REPLACE || (destination_ == DEST_NEW && !IsFlagOn(FLAG_DST_LOCAL));
}

bool TransferBase::MustProbeFree() const {
    return destination_ == DEST_NEW && !IsFlagOn(FLAG_DST_LOCAL) && !probedFree_;
}

void TransferBase::CopyFileA(const std::wstring& srcPath, unsigned long long size,
                             const Osp::Base::DateTime& date, const std::wstring& dstPath) {
    if (!Init(srcPath, size, date, dstPath, true)) {
        return;
    }
    if (IsFlagOn(FLAG_DST_MEDIA) && IsFlagOn(FLAG_SRC_LOCAL)) {
        Progress(true);
        StartThread(srcPath_, THREAD_COPY);
    } else {
        StartCopyA();
    }
}

void TransferBase::MoveFileA(const std::wstring& srcPath, unsigned long long size,
                             const Osp::Base::DateTime& date, const std::wstring& dstPath) {
    if (!Init(srcPath, size, date, dstPath, false)) {
        return;
    }
    const bool sameDisk = srcBrowser_->IsTheSameDisk(dstBrowser_);
    if (IsFlagOn(FLAG_DST_MEDIA) && IsFlagOn(FLAG_SRC_LOCAL) && !sameDisk) {
        Progress(true);
        StartThread(srcPath_, THREAD_MOVE);
    } else if (sameDisk) {
        // A rename never replaces: the old file goes first, while the moved data stays safe in the source.
        if (destination_ == DEST_REPLACE) {
            dstBrowser_->DeleteFileA(OP_DELETE_OLD_TO_RENAME, this, dstPath_);
        } else {
            RenameSource();
        }
    } else {
        StartCopyA();
    }
}

void TransferBase::RenameSource() {
    Progress(false);
    srcBrowser_->RenameFileA(OP_RENAME_SOURCE, this, srcPath_, dstPath_);
}

void TransferBase::OnRenamed(unsigned long result) {
    // The platform refuses a rename across file systems as an invalid argument (the names themselves were
    // checked before): such a move is a copy, confirmed, and then a delete.
    if (result == Osp::Base::E_INVALID_ARG && IsFlagOn(FLAG_SRC_LOCAL) && !stopped_) {
        writePath_ = dstPath_;
        destination_ = DEST_NEW;
        StartCopyA();
        return;
    }
    if (result == RES_OK) {
        bytesDone_ = size_;
        Progress(false);
    }
    Report(result);
}

void TransferBase::CreateDestFileA(IFsFileListener* listener) {
    if (stopped_) {
        Fail(RES_CANCELLED);
        return;
    }
    createListener_ = listener;
    if (MustProbeFree()) {
        probedFree_ = true;
        const unsigned long r = dstBrowser_->GetFileInfoA(OP_PROBE_FREE, this, dstPath_);
        if (r != RES_OK) {
            Fail(r);
        }
        return;
    }
    TFileDisp disp = destination_ == DEST_OWN ? FILE_DISP_CREATE_ALWAYS : FILE_DISP_CREATE_NEW;
    if (IsFlagOn(FLAG_DST_MEDIA)) {
        // The media folders take files only from the platform's worker: the copy goes to the cache first.
        if (destination_ == DEST_NEW && Osp::Io::File::IsFileExist(Osp::Base::String(dstPath_))) {
            Report(RES_ALREADY_EXISTS);
            return;
        }
        Corvane* app = Corvane::GetMyInstance();
        tempPath_ = app->GetCache()->CreateNewFile(dstBrowser_->GetId(), dstPath_, size_, srcDate_);
        if (tempPath_.empty()) {
            Report(RES_NO_CACHE_SPACE);
            return;
        }
        writePath_ = tempPath_;
        writeBrowser_ = app->GetLocalBrowser();
        disp = FILE_DISP_CREATE_ALWAYS;
    }
    unsigned long r = writeBrowser_->CreateFileA(listener, writePath_, FILE_MODE_WRITE, disp);
    if (r != RES_OK) {
        Fail(r);
    }
}

bool TransferBase::OnDestCreated(unsigned long result, IFsFile* file) {
    dstFile_.reset(file);
    if (result == RES_ALREADY_EXISTS && RetryTempName()) {
        CreateDestFileA(createListener_);
        return false;
    }
    if (result == RES_ALREADY_EXISTS && writePath_ != dstPath_) {
        result = RES_FAILURE;  // only a clash on the destination's own name is the caller's question
    }
    if (result != RES_OK || file == nullptr) {
        // Nothing was created; an existing destination is the caller's question, not a failure.
        Fail(result != RES_OK ? result : RES_FAILURE);
        return false;
    }
    created_ = true;
    return true;
}

void TransferBase::ConfirmA() {
    if (ConfirmedByJob()) {
        // The local file took every block at once, or its write failed; the job syncs its storage once
        // at its end, and nothing is deleted on the strength of this file meanwhile.
        Corvane::GetMyInstance()->PostUserEventEx(this, new FsTransferEvent(EVENT_WRITTEN_IN_PLACE, RES_OK));
        return;
    }
    static const unsigned char kNothing = 0;
    unsigned long r = dstFile_->WriteA(&kNothing, 0);
    if (r != RES_OK) {
        Fail(r);
    }
}

bool TransferBase::ConfirmedByJob() const {
    return isCopy_ && IsFlagOn(FLAG_DST_LOCAL) && !IsFlagOn(FLAG_DST_MEDIA) && destination_ != DEST_REPLACE;
}

void TransferBase::OnConfirmed(unsigned long result) {
    if (result != RES_OK) {
        Fail(result);
        return;
    }
    CloseFiles();
    ReplaceOld();
}

void TransferBase::ReplaceOld() {
    if (destination_ == DEST_REPLACE) {
        dstBrowser_->DeleteFileA(OP_DELETE_OLD, this, dstPath_);
    } else {
        Place();
    }
}

void TransferBase::Place() {
    if (!tempPath_.empty()) {
        StartThread(tempPath_, THREAD_FROM_CACHE);
    } else if (writePath_ != dstPath_) {
        dstBrowser_->RenameFileA(OP_PLACE, this, writePath_, dstPath_);
    } else {
        Finish();
    }
}

void TransferBase::Finish() {
    // The file is whole and in place: from here on a failure never removes it.
    created_ = false;
    dstBrowser_->SetFileTimeModifiedA(dstPath_, srcDate_);
    if (!isCopy_ && !sourceGone_) {
        DeleteSource();
    } else {
        Report(RES_OK);
    }
}

void TransferBase::DeleteSource() {
    srcBrowser_->DeleteFileA(OP_DELETE_SOURCE, this, srcPath_);
}

void TransferBase::OnFsOperationDone(int id, std::intptr_t object, unsigned long result) {
    switch (id) {
        case OP_REMOVE_CREATED:
            // A connection that went down with the failure comes back for a second try.
            if (result == RES_DISCONNECTED && !removeRetried_) {
                removeRetried_ = true;
                writeBrowser_->DeleteFileA(OP_REMOVE_CREATED, this, writePath_);
                return;
            }
            Report(failure_);
            return;
        case OP_RENAME_SOURCE:
            OnRenamed(result);
            return;
        case OP_DELETE_OLD_TO_RENAME:
            if (result == RES_OK) {
                RenameSource();
            } else {
                Report(result);
            }
            return;
        case OP_DELETE_OLD:
            if (result == RES_OK) {
                Place();
            } else {
                Fail(result);
            }
            return;
        case OP_PUT_BACK:
            OnPutBack(result);
            return;
        case OP_PROBE_FREE:
            OnProbedFree(object, result);
            return;
        case OP_PLACE:
            if (result == RES_OK) {
                writePath_ = dstPath_;
                Finish();
            } else {
                Fail(result);
            }
            return;
        default:
            Report(result);
            return;
    }
}

void TransferBase::OnProbedFree(std::intptr_t object, unsigned long result) {
    delete reinterpret_cast<IFsDirEntry*>(object);
    if (result == RES_OK) {
        Fail(RES_ALREADY_EXISTS);  // the caller's question, as when the file itself is created
    } else if (result == RES_NOT_FOUND) {
        CreateDestFileA(createListener_);
    } else {
        Fail(result);
    }
}

void TransferBase::StartThread(const std::wstring& from, TThreadEvent event) {
    const std::wstring& to = event == THREAD_FROM_CACHE ? dstPath_ : writePath_;
    thread_ = FsThread::Create(from, to, this);
    unsigned long r = event == THREAD_COPY   ? thread_->StartCopyFile(event)
                      : event == THREAD_MOVE ? thread_->StartMoveFile(event)
                                             : thread_->StartPlaceFile(event);
    if (r != RES_OK) {
        thread_.reset();
        Fail(r);
    }
}

void TransferBase::OnUserEventEx(UserEvent* event) {
    auto* done = dynamic_cast<FsTransferEvent*>(event);
    if (done != nullptr) {
        OnThreadDone(done->GetKind(), done->result);
    }
}

void TransferBase::OnThreadDone(int event, unsigned long result) {
    if (event == EVENT_WRITTEN_IN_PLACE) {
        OnConfirmed(result);
        return;
    }
    FsThread::EndDelivered(std::move(thread_));
    if (result == Osp::Base::E_FILE_ALREADY_EXIST) {
        result = RES_ALREADY_EXISTS;
    }
    if (event != THREAD_FROM_CACHE && result == RES_ALREADY_EXISTS && RetryTempName()) {
        StartThread(srcPath_, static_cast<TThreadEvent>(event));
        return;
    }
    if (event != THREAD_FROM_CACHE && result == RES_ALREADY_EXISTS && writePath_ != dstPath_) {
        result = RES_FAILURE;
    }
    if (event == THREAD_FROM_CACHE) {
        Corvane::GetMyInstance()->GetCache()->RemoveFile(dstBrowser_->GetId(), dstPath_);
        tempPath_.clear();
        created_ = false;
        if (result != RES_OK) {
            Report(result);
            return;
        }
        RegisterMedia();
        Finish();
        return;
    }
    if (result != RES_OK) {
        // The platform leaves nothing behind when its copy or move fails.
        Report(result);
        return;
    }
    bytesDone_ = size_;
    Progress(false);
    created_ = true;
    sourceGone_ = event == THREAD_MOVE;
    // A temporary name is registered by the rename that gives the file its own.
    if (writePath_ == dstPath_) {
        RegisterMedia();
    }
    ReplaceOld();
}

void TransferBase::RegisterMedia() {
    Osp::Content::ContentId id;
    LocalContent(*Corvane::GetMyInstance()->GetContentMan()).DoCreateLocalContent(dstPath_, &id);
}

void TransferBase::CloseFiles() {
    if (dstFile_ != nullptr) {
        dstFile_->CloseA();
        dstFile_.reset();
    }
}

void TransferBase::Fail(unsigned long result) {
    CloseFiles();
    failure_ = stopped_ ? RES_CANCELLED : result;
    if (!created_) {
        Report(failure_);
        return;
    }
    if (!RemoveCreated(this)) {
        Report(failure_);
    }
}

bool TransferBase::RetryTempName() {
    if (writePath_ == dstPath_ || !tempPath_.empty() || tempAttempts_ >= kTempAttempts || stopped_) {
        return false;
    }
    ++tempAttempts_;
    writePath_ = TempNameFor(dstPath_, dstBrowser_->GetSlash());
    return true;
}

bool TransferBase::RemoveCreated(IFsOpListener* listener) {
    created_ = false;
    if (sourceGone_) {
        // The file the platform moved is the only copy: it goes back to its source name, never away.
        sourceGone_ = false;
        unsigned long r = srcBrowser_->RenameFileA(OP_PUT_BACK, listener, writePath_, srcPath_);
        if (r != RES_OK) {
            strandedPath_ = writePath_;
        }
        return listener != nullptr && r == RES_OK;
    }
    if (!tempPath_.empty()) {
        Corvane* app = Corvane::GetMyInstance();
        if (app != nullptr) {
            app->GetCache()->RemoveFile(dstBrowser_->GetId(), dstPath_);
        }
        tempPath_.clear();
        return false;
    }
    return writeBrowser_->DeleteFileA(OP_REMOVE_CREATED, listener, writePath_) == RES_OK;
}

void TransferBase::OnPutBack(unsigned long result) {
    if (result != RES_OK) {
        strandedPath_ = writePath_;
    }
    Report(failure_);
}

void TransferBase::Progress(bool busy) {
    listener_->OnTransferProgress(bytesDone_, busy);
}

void TransferBase::Report(unsigned long result) {
    if (reported_) {
        return;
    }
    reported_ = true;
    listener_->OnTransferEnded(stopped_ && result != RES_OK ? RES_CANCELLED : result);
}
