#include "app/PasswordPopup.h"

#include "Osp/Ui/Controls/Button.h"
#include "app/Corvane.h"
#include "app/ModalMessage.h"
#include "app/Wipe.h"

namespace {

using Osp::Base::String;

constexpr int kActionDone = 101;
constexpr int kActionCancel = 102;

}  // namespace

PasswordPopup::PasswordPopup(Osp::Ui::IActionEventListener* listener, int doneAction, int cancelAction,
                             TMode mode)
    : listener_(listener), doneAction_(doneAction), cancelAction_(cancelAction), mode_(mode) {}

bool PasswordPopup::Construct() {
    if (Popup::Construct(String(L"IDP_PASSWORD")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    field_ = dynamic_cast<Osp::Ui::Controls::EditField*>(GetControl(String(L"IDC_PWD"), true));
    auto* done = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_DONE"), true));
    auto* cancel = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (field_ == nullptr || done == nullptr || cancel == nullptr) {
        return false;
    }
    field_->SetLowerCaseModeEnabled(true);
    done->SetActionId(kActionDone);
    done->AddActionEventListener(*this);
    cancel->SetActionId(kActionCancel);
    cancel->AddActionEventListener(*this);
    return true;
}

void PasswordPopup::ShowPopup() {
    // A password typed for an earlier question is not offered again.
    field_->Clear();
    SetShowState(true);
    Show();
    field_->SetFocus();
}

std::wstring PasswordPopup::GetPassword() const {
    return field_->GetText().Units();
}

void PasswordPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId == kActionCancel) {
        Close(cancelAction_);
    } else if (actionId == kActionDone) {
        if (mode_ == CHECK && !PasswordMatches()) {
            return;
        }
        Close(doneAction_);
    }
}

bool PasswordPopup::PasswordMatches() {
    Wiped<std::wstring> typed(GetPassword());
    switch (Corvane::GetMyInstance()->CheckPassword(*typed)) {
        case PrivatePassword::MATCH:
            return true;
        case PrivatePassword::MISMATCH:
            ShowModalMessage(L"", L"Incorrect password", Osp::Ui::Controls::MSGBOX_STYLE_OK);
            return false;
        case PrivatePassword::UNREADABLE:
            ShowModalMessage(L"", kUnreadablePassword, Osp::Ui::Controls::MSGBOX_STYLE_OK);
            return false;
    }
    return false;
}

void PasswordPopup::Close(int action) {
    SetShowState(false);
    // A checked password is of no use any more, and the popup stays built, hidden, until its owner goes.
    if (mode_ == CHECK) {
        field_->Clear();
    }
    listener_->OnActionPerformed(*this, action);
}
