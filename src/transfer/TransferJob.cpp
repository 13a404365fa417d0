// The job side of TransferPopup: what is transferred in which order, and how it ends.

#include <algorithm>

#include "Osp/Base/Result.h"
#include "Osp/Ui/Controls/MessageBox.h"
#include "app/Corvane.h"
#include "app/ModalMessage.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/Places.h"
#include "transfer/FsThread.h"
#include "transfer/TransferPopup.h"

namespace {

constexpr unsigned long long kFourGiB = 0x100000000ULL;
constexpr unsigned long long kFourTiB = 0x40000000000ULL;
constexpr int kMaxMessage = 300;

std::wstring Lower(std::wstring text) {
    MakeLower(&text);
    return text;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool TransferPopup::DestinationFoldsCase() const {
    return FoldsCase(*dstBrowser_);
}

// A destination inside what is transferred: the selection's own folder, or one of the selected folders
// or a folder below it, whichever browser objects serve the two sides.
bool TransferPopup::IsOwnDestination() const {
    std::wstring dst = dstRoot_;
    AddTrailingSymbol(&dst, dstBrowser_->GetSlash());
    if (SamePlace(*srcBrowser_, srcRoot_, *dstBrowser_, dst)) {
        return true;
    }
    return std::any_of(folders_.begin(), folders_.end(), [&](const std::wstring& folder) {
        return IsInsideFolder(*srcBrowser_, srcRoot_ + folder, *dstBrowser_, dst);
    });
}

void TransferPopup::ShowPopup() {
    // A share reached by two names of its server is found out first: every rule below compares places.
    if (probe_ == nullptr && StorageProbe::Needed(*srcBrowser_, *dstBrowser_)) {
        probe_ = std::make_unique<StorageProbe>();
        std::wstring folder = dstRoot_;
        AddTrailingSymbol(&folder, dstBrowser_->GetSlash());
        if (probe_->StartA(srcBrowser_, dstBrowser_, folder, this, REQ_PROBE)) {
            return;  // on again when it answers
        }
    }
    name_->SetText(L"");
    size_->SetText(L"");
    percent_->SetText(L"");
    time_->SetText(L"");
    if (IsOwnDestination()) {
        ShowModalMessage(L"File transfer error",
                         L"You have to select a different destination folder in order to copy or move items",
                         Osp::Ui::Controls::MSGBOX_STYLE_OK, 10000);
        curOp_ = CUR_NONE;
        FinishWithError(RES_CANCELLED);
        return;
    }
    sameDiskMove_ = mode_ == Clipboard::MODE_CUT && srcBrowser_->IsTheSameDisk(dstBrowser_);
    totalBytes_ = clipboard_->GetTotalSize();
    fileCount_ = static_cast<unsigned int>(files_.size());
    folderCount_ = static_cast<unsigned int>(folders_.size());
    showTimer_.Start(500);
    if (StartsWith(dstRoot_, L"/Media/") || StartsWith(dstRoot_, L"/Storagecard/Media/")) {
        if (dstBrowser_->GetType() == BROWSER_LOCAL) {
            DoShow();
        }
    }
    if (!folders_.empty()) {
        name_->SetText(L"Scanning ...");
        scanning_ = true;
        ProcessFolderA();
    } else {
        StartTransferA();
    }
}

void TransferPopup::StartTransferA() {
    unit_ = totalBytes_ >= kFourTiB ? 0x100000 : totalBytes_ >= kFourGiB ? 0x400 : 1;
    if (totalBytes_ != 0) {
        timer_.SetRange(0, static_cast<unsigned int>(totalBytes_ / unit_));
        timer_.Start();
    }
    startTicks_ = GetTickCount();
    folderIndex_ = 0;
    fileIndex_ = 0;
    scanning_ = false;
    inFolder_ = false;
    ProcessFolderA();
}

// The selected folders one after the other, then the selected files.
void TransferPopup::ProcessFolderA() {
    if (cancelled_) {
        FinishWithError(RES_CANCELLED);
        return;
    }
    if (folderIndex_ >= folders_.size()) {
        if (scanning_) {
            StartTransferA();
            return;
        }
        curDir_ = srcRoot_;
        fileIndex_ = 0;
        inFolder_ = false;
        TransferNextFile();
        return;
    }
    const std::wstring& name = folders_[folderIndex_];
    curDir_ = srcRoot_ + name;
    if (sameDiskMove_ && !scanning_) {
        // A folder that is not at the destination moves with one rename.
        dstBrowser_->OpenDirA(REQ_MOVE_TARGET, this, ComposeDst(name));
        return;
    }
    WalkFolderA(curDir_);
}

void TransferPopup::WalkFolderA(const std::wstring& folder) {
    if (scanning_) {
        folderBytes_.push_back(0);
    }
    walker_ = std::make_unique<FileWalker>(srcBrowser_, this, folder);
    // Every destination keeps the modification times of the files it receives: the walk reads them.
    walker_->StartA(true);
}

void TransferPopup::OnFsOperationDone(int id, std::intptr_t object, unsigned long result) {
    if (id == REQ_DST_FOLDER || id == REQ_MOVE_TARGET) {
        delete reinterpret_cast<IFsDir*>(object);
    }
    if (id == REQ_PROBE) {
        ShowPopup();
        return;
    }
    if (cancelled_) {
        FinishWithError(RES_CANCELLED);
        return;
    }
    switch (id) {
        case REQ_DELETE_OLD_LINK:
        case REQ_LINK:
        case REQ_DELETE_MOVED_LINK:
            OnLinkDone(id, result);
            return;
        case REQ_MOVE_TARGET:
            if (object != 0) {
                WalkFolderA(curDir_);
            } else {
                curOp_ = CUR_MOVE_FOLDER;
                curItem_ = curDir_;
                srcBrowser_->RenameFolderA(REQ_MOVE_FOLDER, this, curDir_,
                                           ComposeDst(folders_[folderIndex_]));
            }
            return;
        case REQ_MOVE_FOLDER:
            OnFolderRenamed(result);
            return;
        case REQ_DST_FOLDER:
            if (object != 0) {
                walker_->ContinueA();
            } else {
                curOp_ = CUR_CREATE_FOLDER;
                curItem_ = ComposeDst(dirs_.back().relPath);
                dstBrowser_->CreateFolderA(REQ_CREATE_FOLDER, this, curItem_, false);
            }
            return;
        case REQ_CREATE_FOLDER:
            if (result != RES_OK) {
                FinishWithError(result);
            } else {
                walker_->ContinueA();
            }
            return;
        case REQ_DELETE_FOLDER:
            if (result != RES_OK) {
                FinishWithError(result);
            } else {
                walker_->ContinueA();
            }
            return;
        default:
            return;
    }
}

void TransferPopup::OnFolderRenamed(unsigned long result) {
    // Across file systems the platform refuses the rename: the folder is then merged file by file.
    if (result == Osp::Base::E_INVALID_ARG) {
        WalkFolderA(curDir_);
        return;
    }
    if (result != RES_OK) {
        FinishWithError(result);
        return;
    }
    if (folderIndex_ < folderBytes_.size()) {
        doneBytes_ += folderBytes_[folderIndex_];
    }
    UpdateUi(doneBytes_, false);
    NextFolder();
}

void TransferPopup::NextFolder() {
    ++folderIndex_;
    ProcessFolderA();
}

bool TransferPopup::OnEnterFolder(const std::wstring& path) {
    if (scanning_) {
        return true;
    }
    SDir dir;
    dir.relPath = path.substr(std::min(path.size(), srcRoot_.size()));
    dir.firstFile = innerFiles_.size();
    dirs_.push_back(dir);
    if (!CanHoldName(dir.relPath)) {
        curOp_ = CUR_CREATE_FOLDER;
        curItem_ = path;
        FinishWithError(Osp::Base::E_INVALID_ARG);
        return false;
    }
    // The walk waits while the destination folder is looked for and made.
    dstBrowser_->OpenDirA(REQ_DST_FOLDER, this, ComposeDst(dir.relPath));
    return false;
}

void TransferPopup::OnItemFound(const IFsDirEntry* entry) {
    std::unique_ptr<const IFsDirEntry> owned(entry);
    const int type = entry->GetType();
    // A link goes as a link, whatever it points to.
    if ((type & ENTRY_LINK) != 0) {
        if (scanning_) {
            ++fileCount_;
        } else {
            innerFiles_.push_back({entry->GetName(), std::wstring(), 0, entry->GetTimeModified(), true});
        }
        return;
    }
    // A special file is neither opened nor copied; after a move its folder stays with it.
    if ((type & ENTRY_SPECIAL) != 0) {
        if (!scanning_ && mode_ == Clipboard::MODE_CUT) {
            KeepSourceFolders();
        }
        return;
    }
    if (scanning_) {
        if ((type & ENTRY_DIRECTORY) != 0) {
            ++folderCount_;
        } else {
            ++fileCount_;
            totalBytes_ += entry->GetSize();
            folderBytes_.back() += entry->GetSize();
        }
        if (shown_ && TicksSince(lastUiTicks_) > 100) {
            ShowCounts();
        }
        return;
    }
    if ((type & ENTRY_DIRECTORY) == 0) {
        innerFiles_.push_back({entry->GetName(), std::wstring(), entry->GetSize(), entry->GetTimeModified()});
    }
}

bool TransferPopup::OnExitFolder(const std::wstring&) {
    if (scanning_) {
        return true;
    }
    fileIndex_ = dirs_.back().firstFile;
    inFolder_ = true;
    curDir_ = srcRoot_ + dirs_.back().relPath;
    TransferNextFile();
    return false;
}

void TransferPopup::OnFsWalkFinished(unsigned long result) {
    if (cancelled_ || result == RES_CANCELLED) {
        FinishWithError(RES_CANCELLED);
        return;
    }
    if (result != RES_OK) {
        curOp_ = CUR_OPEN_FOLDER;
        curItem_ = dirs_.empty() ? curDir_ : srcRoot_ + dirs_.back().relPath;
        FinishWithError(result);
        return;
    }
    NextFolder();
}

// The files of the folder being left (or the selected files), one after the other.
void TransferPopup::TransferNextFile() {
    if (cancelled_) {
        FinishWithError(RES_CANCELLED);
        return;
    }
    const size_t end = inFolder_ ? innerFiles_.size() : files_.size();
    if (fileIndex_ < end) {
        DoTransferFile(CurrentFile());
        return;
    }
    if (inFolder_) {
        OnFolderFilesDone();
    } else {
        curOp_ = CUR_NONE;
        SyncAndFinish();
    }
}

// The transfers confirmed new copies on the local storage without syncing each one (see
// TransferBase::ConfirmedByJob): the job is done when they are on the disk.
void TransferPopup::SyncAndFinish() {
    if (mode_ == Clipboard::MODE_CUT || dstBrowser_->GetType() != BROWSER_LOCAL) {
        FinishWithError(RES_OK);
        return;
    }
    sync_ = FsThread::Create(std::wstring(), dstRoot_, this);
    unsigned long r = sync_->StartSyncStorage(EVENT_SYNCED);
    if (r != RES_OK) {
        sync_.reset();
        FinishWithError(r);
    }
}

void TransferPopup::OnUserEventEx(UserEvent* event) {
    auto* done = dynamic_cast<FsTransferEvent*>(event);
    if (done != nullptr && done->GetKind() == EVENT_SYNCED) {
        FsThread::EndDelivered(std::move(sync_));
        FinishWithError(done->result);
    }
}

const Clipboard::SFile& TransferPopup::CurrentFile() const {
    return inFolder_ ? innerFiles_[fileIndex_] : files_[fileIndex_];
}

void TransferPopup::OnFolderFilesDone() {
    SDir dir = dirs_.back();
    innerFiles_.erase(innerFiles_.begin() + static_cast<std::ptrdiff_t>(dir.firstFile), innerFiles_.end());
    dirs_.pop_back();
    inFolder_ = false;
    if (mode_ == Clipboard::MODE_CUT && !dir.keep) {
        curOp_ = CUR_DELETE_FOLDER;
        curItem_ = srcRoot_ + dir.relPath;
        srcBrowser_->DeleteFolderA(REQ_DELETE_FOLDER, this, curItem_);
        return;
    }
    walker_->ContinueA();
}

void TransferPopup::DoTransferFile(const Clipboard::SFile& file) {
    spent_.reset();
    const std::wstring& dstName = file.dstName.empty() ? file.name : file.dstName;
    curSrc_ = curDir_ + file.name;
    curDst_ = ComposeDst(curDir_.substr(std::min(curDir_.size(), srcRoot_.size()))) + dstName;
    curOp_ = CUR_COPY;
    curItem_ = curDst_;
    stranded_.clear();
    if (!CanHoldName(dstName)) {
        FinishWithError(Osp::Base::E_INVALID_ARG);
        return;
    }
    if (file.link) {
        TransferLinkA();
        return;
    }
    const TDestination destination = mode_ == Clipboard::MODE_OPEN ? DEST_OWN
                                     : replacing_                  ? DEST_REPLACE
                                                                   : DEST_NEW;
    transfer_.reset(CreateFsTransferN(this, destination, srcBrowser_, dstBrowser_));
    if (transfer_ == nullptr) {
        FinishWithError(RES_UNSUPPORTED_METHOD);
        return;
    }
    if (mode_ == Clipboard::MODE_CUT) {
        transfer_->MoveFileA(curSrc_, file.size, file.date, curDst_);
    } else {
        transfer_->CopyFileA(curSrc_, file.size, file.date, curDst_);
    }
}

void TransferPopup::OnTransferProgress(unsigned long long bytesDone, bool busy) {
    UpdateUi(doneBytes_ + bytesDone, busy);
}

// The transfer is still on the stack: the job goes on from a posted event, where the transfer can go.
void TransferPopup::OnTransferEnded(unsigned long result) {
    fileResult_ = result;
    stranded_ = transfer_->GetStrandedPath();
    spent_ = std::move(transfer_);
    Corvane::GetMyInstance()->PostUserEvent(this, EVENT_FILE_DONE);
}

void TransferPopup::OnUserEvent(int code) {
    if (code == EVENT_FILE_DONE) {
        spent_.reset();
        OnFileDone(fileResult_);
    } else if (code == EVENT_FINISH) {
        Finish();
    }
}

void TransferPopup::OnFileDone(unsigned long result) {
    replacing_ = false;
    if (result == RES_OK) {
        written_.insert(Lower(curDst_));
        doneBytes_ += CurrentFile().size;
        UpdateUi(doneBytes_, false);
        ++fileIndex_;
        TransferNextFile();
        return;
    }
    if (result != RES_ALREADY_EXISTS || cancelled_) {
        FinishWithError(cancelled_ ? RES_CANCELLED : result);
        return;
    }
    // On a share two names that differ only in case are one file: a file of this job is never replaced
    // by another of the same job.
    if (DestinationFoldsCase() && written_.count(Lower(curDst_)) != 0) {
        FinishWithError(RES_ALREADY_EXISTS);
        return;
    }
    if (overwritePolicy_ != 0) {
        OverwriteFile(static_cast<TOverwrite>(overwritePolicy_));
        return;
    }
    timer_.Pause();
    listener_->OnOverwriteFileA(this, curSrc_, curDst_);
}

void TransferPopup::OverwriteFile(TOverwrite answer) {
    timer_.Resume();
    if (cancelled_) {
        FinishWithError(RES_CANCELLED);
        return;
    }
    if (answer == OVERWRITE_NO_TO_ALL || answer == OVERWRITE_YES_TO_ALL) {
        overwritePolicy_ = answer;
    }
    if (answer == OVERWRITE_NO || answer == OVERWRITE_NO_TO_ALL) {
        SkipFile();
        return;
    }
    replacing_ = true;
    DoTransferFile(CurrentFile());
}

void TransferPopup::SkipFile() {
    doneBytes_ += CurrentFile().size;
    if (mode_ == Clipboard::MODE_CUT && inFolder_) {
        KeepSourceFolders();
    }
    UpdateUi(doneBytes_, false);
    ++fileIndex_;
    TransferNextFile();
}

// The folder being transferred and every folder around it keep their place at the source.
void TransferPopup::KeepSourceFolders() {
    for (auto it = dirs_.rbegin(); it != dirs_.rend() && !it->keep; ++it) {
        it->keep = true;
    }
}

std::wstring TransferPopup::ComposeDst(const std::wstring& relPath) const {
    std::wstring path = relPath;
    ReplaceSymbol(&path, srcBrowser_->GetSlash(), dstBrowser_->GetSlash());
    std::wstring root = dstRoot_;
    AddTrailingSymbol(&root, dstBrowser_->GetSlash());
    return root + path;
}

// A name the destination can hold: not empty, not "." or "..", without the destination's separator (nor
// '/' on a share) or a zero unit. A walk's folder path is checked part by part.
bool TransferPopup::CanHoldName(const std::wstring& name) const {
    const wchar_t srcSlash = srcBrowser_->GetSlash();
    const wchar_t dstSlash = dstBrowser_->GetSlash();
    for (size_t start = 0; start < name.size();) {
        size_t end = name.find(srcSlash, start);
        if (end == std::wstring::npos) {
            end = name.size();
        }
        const std::wstring part = name.substr(start, end - start);
        if (part.empty() || part == L"." || part == L".." || part.find(L'\0') != std::wstring::npos ||
            part.find(dstSlash) != std::wstring::npos ||
            (DestinationFoldsCase() && part.find(L'/') != std::wstring::npos)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

void TransferPopup::FinishWithError(unsigned long result) {
    if (finished_) {
        return;
    }
    finished_ = true;
    endResult_ = result;
    timer_.Stop();
    // The owner hears the end from a posted event, with nothing of the job on the stack.
    Corvane::GetMyInstance()->PostUserEvent(this, EVENT_FINISH);
}

// A failed move tells where its file is: at its source, unless it could not be put back there.
std::wstring TransferPopup::MoveFailureText() const {
    Osp::Base::String text;
    if (stranded_.empty()) {
        text.Format(kMaxMessage, L"Unable to move the file '%ls'. It stays where it was.\n\n",
                    curSrc_.c_str());
    } else {
        text.Format(kMaxMessage, L"Unable to move the file '%ls'. It was left at '%ls'.\n\n", curSrc_.c_str(),
                    stranded_.c_str());
    }
    return text.Units();
}

void TransferPopup::Finish() {
    walker_.reset();
    std::wstring message;
    if (endResult_ == RES_OK && !leftOut_.empty()) {
        message = LeftOutText();
    } else if (endResult_ != RES_OK && endResult_ != RES_CANCELLED && curOp_ == CUR_COPY &&
               mode_ == Clipboard::MODE_CUT) {
        message = MoveFailureText();
    } else if (endResult_ != RES_OK && endResult_ != RES_CANCELLED) {
        const wchar_t* format = nullptr;
        switch (curOp_) {
            case CUR_COPY:
                format = mode_ == Clipboard::MODE_OPEN ? L"Unable to open the file '%ls'\n\n"
                                                       : L"Unable to copy the file '%ls'\n\n";
                break;
            case CUR_DELETE_FILE:
                format = L"Unable to delete the file '%ls'\n\n";
                break;
            case CUR_OPEN_FOLDER:
                format = L"Unable to open the folder '%ls'\n\n";
                break;
            case CUR_CREATE_FOLDER:
                format = L"Unable to create the folder '%ls'\n\n";
                break;
            case CUR_DELETE_FOLDER:
                format = L"Unable to delete the folder '%ls'\n\n";
                break;
            case CUR_MOVE_FOLDER:
                format = L"Unable to move the folder '%ls'\n\n";
                break;
            default:
                break;
        }
        if (format != nullptr) {
            Osp::Base::String text;
            text.Format(kMaxMessage, format, curItem_.c_str());
            message = text.Units();
        }
    }
    listener_->OnTransferEnded(this, endResult_, message);
}
