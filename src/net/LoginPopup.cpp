#include "net/LoginPopup.h"

#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/Label.h"
#include "net/RemoteFolder.h"

namespace {

using Osp::Base::String;

constexpr int kActionOk = 101;
constexpr int kActionCancel = 102;

}  // namespace

LoginPopup::LoginPopup(Osp::Ui::IActionEventListener* listener, int doneAction, int cancelAction)
    : listener_(listener), doneAction_(doneAction), cancelAction_(cancelAction) {}

bool LoginPopup::Construct() {
    if (Popup::Construct(String(L"IDP_LOGIN")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    for (const wchar_t* id : {L"IDC_LABEL1", L"IDC_LABEL2"}) {
        if (auto* label = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(id), true))) {
            label->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
        }
    }
    name_ = dynamic_cast<Osp::Ui::Controls::EditField*>(GetControl(String(L"IDC_NAME"), true));
    password_ = dynamic_cast<Osp::Ui::Controls::EditField*>(GetControl(String(L"IDC_PWD"), true));
    rememberCheck_ =
        dynamic_cast<Osp::Ui::Controls::CheckButton*>(GetControl(String(L"IDC_REMEMBER_CHECK"), true));
    auto* ok = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_OK"), true));
    auto* cancel = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (name_ == nullptr || password_ == nullptr || rememberCheck_ == nullptr || ok == nullptr ||
        cancel == nullptr) {
        return false;
    }
    name_->SetLowerCaseModeEnabled(true);
    password_->SetLowerCaseModeEnabled(true);
    ok->SetActionId(kActionOk);
    ok->AddActionEventListener(*this);
    cancel->SetActionId(kActionCancel);
    cancel->AddActionEventListener(*this);
    return true;
}

void LoginPopup::ShowPopup(RemoteFolder* folder) {
    folder_ = folder;
    SetTitleText(folder->GetUncName());
    name_->SetText(folder->GetUserName());
    password_->SetText(folder->GetPassword());
    // Set by default only where a password is stored already: asking to store one is the user's choice.
    rememberCheck_->SetSelected(!folder->GetSavedPassword().IsEmpty());
    SetShowState(true);
    Show();
    password_->SetFocus();
}

void LoginPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId == kActionOk && folder_ != nullptr) {
        folder_->SetSessionLogon(name_->GetText(), password_->GetText());
        remember_ = rememberCheck_->IsSelected();
        Close(doneAction_);
    } else if (actionId == kActionCancel) {
        Close(cancelAction_);
    }
}

void LoginPopup::Close(int action) {
    folder_ = nullptr;
    // The popup stays built for the next question; it keeps no password meanwhile.
    password_->Clear();
    SetShowState(false);
    listener_->OnActionPerformed(*this, action);
}
