// Copy, cut and paste in the folder list: the clipboard is filled, the transfer job runs in its dialog,
// the overwrite question is asked, and the end is shown.

#include "Osp/Ui/Controls/MessageBox.h"
#include "app/Corvane.h"
#include "app/FolderTies.h"
#include "app/Format.h"
#include "app/ModalMessage.h"
#include "app/PathUtils.h"
#include "app/Results.h"
#include "fs/Cache.h"
#include "transfer/Clipboard.h"
#include "transfer/OverwritePopup.h"
#include "transfer/TransferPopup.h"
#include "ui/FolderForm.h"

namespace {

constexpr int kMaxCacheMessage = 256;

}  // namespace

void FolderForm::OnCopyOrMove(int kind, bool fromContextMenu) {
    std::vector<int> items;
    if (GetSelectedItems(&items) == 0) {
        if (fromContextMenu && m_nCtxIndex >= 0 && !IsPadItem(m_nCtxIndex)) {
            items.push_back(m_nCtxIndex);
        } else {
            ShowModalMessage(L"No selection",
                             L"You have to check one or more items in order to copy or cut them.",
                             Osp::Ui::Controls::MSGBOX_STYLE_OK);
            return;
        }
    }
    IFsDir* dir = GetDir();
    if (dir == nullptr) {
        return;
    }
    if (kind == Clipboard::MODE_CUT && !dir->GetBrowser()->CapableOf(CAP_WRITE)) {
        ShowModalMessage(L"Read-only access", L"You can not cut from this folder as it is read-only",
                         Osp::Ui::Controls::MSGBOX_STYLE_OK);
        return;
    }
    auto clipboard = std::make_unique<Clipboard>(kind, dir->GetBrowser(), dir->GetName(false));
    for (int index : items) {
        const int id = m_pList->GetItemIdAt(index);
        if (id < 0 || id >= static_cast<int>(m_oFiles.size())) {
            continue;
        }
        const FileInfo& info = *m_oFiles[static_cast<size_t>(id)];
        // A link is taken as a link, whatever it points to, as a deletion takes it.
        if ((info.attributes & ENTRY_LINK) != 0) {
            clipboard->AddLink(info.name, info.modified);
        } else if (info.IsDirectory()) {
            clipboard->AddFolder(info.name);
        } else {
            clipboard->AddFile(info.name, info.size, info.modified, info.name);
        }
    }
    Corvane::GetMyInstance()->ResetClipboard(clipboard.release());
}

bool FolderForm::CanPaste() const {
    const Clipboard* clipboard = Corvane::GetMyInstance()->GetClipboard();
    return clipboard != nullptr &&
           (clipboard->GetMode() == Clipboard::MODE_COPY || clipboard->GetMode() == Clipboard::MODE_CUT);
}

void FolderForm::OnPaste() {
    IFsDir* dir = GetDir();
    if (dir == nullptr) {
        return;
    }
    if (!dir->GetBrowser()->CapableOf(CAP_WRITE)) {
        ShowModalMessage(L"Read-only access", L"You can not paste into this folder as it is read-only",
                         Osp::Ui::Controls::MSGBOX_STYLE_OK);
        return;
    }
    if (!CanPaste()) {
        return;
    }
    m_pTransferPopup.reset();
    auto popup = std::make_unique<TransferPopup>(false, Corvane::GetMyInstance()->GetClipboard(), this,
                                                 m_pBrowser, dir->GetName(false));
    if (!popup->Construct()) {
        return;
    }
    m_pTransferPopup = std::move(popup);
    m_pTransferPopup->ShowPopup();
}

void FolderForm::FetchIntoCache(const FileInfo& info, IFsBrowser* browser, const std::wstring& source) {
    Corvane* app = Corvane::GetMyInstance();
    Cache* cache = app->GetCache();
    const std::wstring copy = cache->CreateNewFile(browser->GetId(), source, info.size, info.modified);
    if (copy.empty()) {
        Osp::Base::String text;
        text.Format(kMaxCacheMessage,
                    L"There is not enough space for '%ls' in the cache (the file size is %ls and the maximum "
                    L"cache size is %ls).",
                    info.name.c_str(), FormatSize64(info.size).Units().c_str(),
                    FormatSize64(cache->GetLimit()).Units().c_str());
        ShowModalMessage(L"Unable to open the file", text.Units(), Osp::Ui::Controls::MSGBOX_STYLE_OK);
        return;
    }
    m_sCacheSource = source;
    m_sCacheName = copy;
    m_nCacheType = info.fileType;
    std::wstring dir;
    std::wstring name;
    ParseFileName(source, &dir, &name, 0);
    auto clipboard = std::make_unique<Clipboard>(Clipboard::MODE_OPEN, browser, dir);
    clipboard->AddFile(name, info.size, info.modified, copy.substr(cache->GetFolder().size()));
    m_pTransferPopup.reset();
    auto popup = std::make_unique<TransferPopup>(true, clipboard.release(), this, app->GetLocalBrowser(),
                                                 cache->GetFolder());
    if (!popup->Construct()) {
        cache->FinalizeFile(RES_FAILURE, browser->GetId(), source, nullptr, nullptr);
        return;
    }
    m_pTransferPopup = std::move(popup);
    m_pTransferPopup->ShowPopup();
}

void FolderForm::OnTransferEnded(TransferPopup* popup, unsigned long result, const std::wstring& message) {
    popup->HidePopup();
    const int mode = popup->GetClipboard()->GetMode();
    if (mode == Clipboard::MODE_OPEN) {
        OnFetchEnded(popup, result, message);
        return;
    }
    if ((result == RES_OK || m_pBrowser->GetType() == BROWSER_LOCAL) && !m_oDirs.empty()) {
        Refresh();
    }
    // The popup goes first: it reads the clipboard that a finished cut empties.
    m_pTransferPopup.reset();
    if (result == RES_OK && mode == Clipboard::MODE_CUT) {
        Corvane::GetMyInstance()->ResetClipboard(nullptr);
    }
    if (result != RES_OK) {
        ShowTransferError(result, message);
    } else if (!message.empty()) {
        // A job that did all it could tells what it left out.
        ShowModalMessage(L"File transfer", message, Osp::Ui::Controls::MSGBOX_STYLE_OK);
    }
}

// A file fetched into the cache opens from its copy; a failed fetch leaves no copy behind.
void FolderForm::OnFetchEnded(TransferPopup* popup, unsigned long result, const std::wstring& message) {
    Cache* cache = Corvane::GetMyInstance()->GetCache();
    unsigned long long size = 0;
    Osp::Base::DateTime modified;
    cache->FinalizeFile(result, popup->GetSrcBrowser()->GetId(), m_sCacheSource, &size, &modified);
    m_pTransferPopup.reset();
    const std::wstring copy = m_sCacheName;
    m_sCacheName.clear();
    if (result != RES_OK) {
        ShowTransferError(result, message);
        RequestRedraw();
        return;
    }
    DoOpenFile(cache->GetBrowser(), copy, m_nCacheType, m_sCacheSource, size, modified);
}

void FolderForm::ShowTransferError(unsigned long result, const std::wstring& message) const {
    if (result == RES_CANCELLED) {
        return;
    }
    ShowModalMessage(L"File transfer failed", message + BadaResultToString(static_cast<unsigned int>(result)),
                     Osp::Ui::Controls::MSGBOX_STYLE_OK);
}

void FolderForm::OnOverwriteFileA(TransferPopup* popup, const std::wstring& source,
                                  const std::wstring& destination) {
    popup->SkipAutoShow();
    if (m_pOverwritePopup == nullptr) {
        auto overwrite = std::make_unique<OverwritePopup>();
        if (!overwrite->Construct()) {
            popup->OverwriteFile(TransferPopup::OVERWRITE_NO);
            return;
        }
        m_pOverwritePopup = std::move(overwrite);
    }
    m_pOverwritePopup->ShowPopup(popup, popup->GetSrcBrowser(), source, popup->GetDstBrowser(), destination);
}

void FolderForm::OnFolderReleased(const RemoteFolder* folder) {
    if (m_pTransferPopup != nullptr && (RestsOnFolder(m_pTransferPopup->GetSrcBrowser(), folder) ||
                                        RestsOnFolder(m_pTransferPopup->GetDstBrowser(), folder))) {
        if (m_pOverwritePopup != nullptr) {
            m_pOverwritePopup->HidePopup();
        }
        m_pTransferPopup.reset();
    }
}
