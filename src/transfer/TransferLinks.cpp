// The link side of TransferPopup. A link is never followed: a move on one storage renames the link
// itself; a copy, or a move to another place of the phone, makes a link that points where the source
// points (a moved link then goes from its source); a destination that cannot hold links leaves the link
// out, at its source, and the job's end names it.

#include "Osp/Base/Result.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "transfer/TransferPopup.h"

namespace {

constexpr size_t kMaxNote = 300;

}  // namespace

// Links are made by the phone's own storage, from a link of the phone's own storage.
bool TransferPopup::DestinationHoldsLinks() const {
    return srcBrowser_->GetType() == BROWSER_LOCAL && dynamic_cast<LocalBrowser*>(dstBrowser_) != nullptr;
}

void TransferPopup::TransferLinkA() {
    if (!DestinationHoldsLinks()) {
        leftOut_.push_back(curSrc_);
        SkipFile();
        return;
    }
    if (replacing_) {
        // Nothing is lost while the old item goes first: the link itself stays at its source until then.
        curOp_ = CUR_DELETE_FILE;
        dstBrowser_->DeleteFileA(REQ_DELETE_OLD_LINK, this, curDst_);
        return;
    }
    MakeLinkA(mode_ == Clipboard::MODE_CUT && sameDiskMove_);
}

void TransferPopup::MakeLinkA(bool rename) {
    curOp_ = CUR_COPY;
    linkRenamed_ = rename;
    if (rename) {
        srcBrowser_->RenameFileA(REQ_LINK, this, curSrc_, curDst_);
    } else {
        static_cast<LocalBrowser*>(dstBrowser_)->CopyLinkA(REQ_LINK, this, curSrc_, curDst_);
    }
}

void TransferPopup::OnLinkDone(int request, unsigned long result) {
    if (request == REQ_DELETE_OLD_LINK) {
        if (result != RES_OK) {
            FinishWithError(result);
        } else {
            MakeLinkA(mode_ == Clipboard::MODE_CUT && sameDiskMove_);
        }
        return;
    }
    // Across file systems the platform refuses the rename: the link is made anew and its source removed.
    if (request == REQ_LINK && linkRenamed_ && result == Osp::Base::E_INVALID_ARG) {
        MakeLinkA(false);
        return;
    }
    if (request == REQ_LINK && result == RES_OK && mode_ == Clipboard::MODE_CUT && !linkRenamed_) {
        curOp_ = CUR_DELETE_FILE;
        curItem_ = curSrc_;
        srcBrowser_->DeleteFileA(REQ_DELETE_MOVED_LINK, this, curSrc_);
        return;
    }
    OnFileDone(result);
}

// "Links were left out, as the destination cannot hold them: 'a', 'b'": the first one always, the others
// while the message stays within its bounds.
std::wstring TransferPopup::LeftOutText() const {
    std::wstring text = L"Links were left out, as the destination cannot hold them:";
    for (size_t i = 0; i < leftOut_.size(); ++i) {
        std::wstring item = (i == 0 ? L" '" : L", '") + leftOut_[i] + L"'";
        if (i > 0 && text.size() + item.size() > kMaxNote) {
            text += L", ...";
            break;
        }
        text += item;
    }
    return text;
}
