// The folder list's side of a network folder: the login popup when the server refuses the account and
// the choice of a share when the folder names none.

#include "Osp/Ui/Controls/Frame.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "net/LoginPopup.h"
#include "net/NetBrowser.h"
#include "net/RemoteFolder.h"
#include "net/SharesPopup.h"
#include "ui/FolderForm.h"

RemoteFolder* FolderForm::GetRemoteFolder() const {
    // A browser of the network kind that is not a share browser belongs to no remote folder.
    auto* share = IsSmbBrowser() ? dynamic_cast<NetBrowser*>(m_pBrowser) : nullptr;
    return share != nullptr ? share->GetFolder() : nullptr;
}

void FolderForm::CancelConnecting() {
    // The attempt ends as a cancelled one: the open that waits on it hears RES_CANCELLED.
    auto* share = IsSmbBrowser() ? dynamic_cast<NetBrowser*>(m_pBrowser) : nullptr;
    if (share != nullptr) {
        share->CancelConnecting();
    }
}

bool FolderForm::AskForLogon(unsigned long result) {
    RemoteFolder* folder = GetRemoteFolder();
    if (result != RES_BAD_LOGON || folder == nullptr || !m_oDirs.empty()) {
        return false;
    }
    if (m_pLoginPopup == nullptr) {
        auto popup = std::make_unique<LoginPopup>(this, ACTION_LOGIN_DONE, ACTION_LOGIN_CANCEL);
        if (!popup->Construct()) {
            return false;
        }
        m_pLoginPopup = std::move(popup);
    }
    m_pLoginPopup->ShowPopup(folder);
    return true;
}

void FolderForm::KeepAcceptedLogon() {
    RemoteFolder* folder = GetRemoteFolder();
    if (!m_bRememberLogon || folder == nullptr) {
        return;
    }
    // Whatever the answer, the logon it follows is over; only a session that got logged on took the
    // account, and only then may it replace what the settings file holds.
    m_bRememberLogon = false;
    const NetBrowser* browser = folder->GetBrowser();
    if (browser != nullptr && browser->IsLoggedOn()) {
        folder->KeepSessionLogon();
        Corvane::GetMyInstance()->OnFolderChanged(folder, true);
    }
}

void FolderForm::OnSelectShareA(const std::set<std::wstring>& shares) {
    // The server listed its shares: the logon went through.
    KeepAcceptedLogon();
    if (shares.size() == 1) {
        m_pBrowser->SelectShare(*shares.begin());
        return;
    }
    auto popup = std::make_unique<SharesPopup>(this, ACTION_SHARE_CHOSEN, ACTION_SHARE_CANCEL);
    if (!popup->Construct(shares)) {
        m_pBrowser->SelectShare(L"");
        return;
    }
    m_pSharesPopup = std::move(popup);
    m_pSharesPopup->ShowPopup();
}

void FolderForm::OnNetworkAction(int actionId) {
    switch (actionId) {
        case ACTION_LOGIN_DONE:
            m_bRememberLogon = m_pLoginPopup->IsRememberChecked();
            OpenSubFolder(L"");
            break;
        case ACTION_LOGIN_CANCEL:
            if (m_oDirs.empty()) {
                ReturnToMainForm();
            }
            break;
        case ACTION_SHARE_CHOSEN:
            m_pBrowser->SelectShare(m_pSharesPopup->GetSelection());
            break;
        case ACTION_SHARE_CANCEL:
            m_pBrowser->SelectShare(L"");
            break;
        default:
            break;
    }
}

void FolderForm::ShowWhenRootListed() {
    Corvane* app = Corvane::GetMyInstance();
    if (IsSmbBrowser() && m_oDirs.size() == 1 && app->GetAppFrame()->GetCurrentForm() != this) {
        app->SwitchToForm(this);
    }
}
