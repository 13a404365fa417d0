#include "app/PasswordForm.h"

#include "app/Corvane.h"
#include "app/MainForm.h"
#include "app/ModalMessage.h"
#include "app/PasswordPopup.h"
#include "app/Wipe.h"

namespace {

using Osp::Ui::Controls::EditField;
using Osp::Ui::Controls::MSGBOX_STYLE_OK;

constexpr size_t kMinLength = 3;
constexpr size_t kMaxLength = 30;

EditField* LowerCaseField(EditField* field) {
    if (field != nullptr) {
        field->SetLowerCaseModeEnabled(true);
    }
    return field;
}

}  // namespace

bool PasswordForm::Initialize(TMode mode) {
    mode_ = mode;
    if (!OkFormBase::Initialize(mode == SET ? L"IDF_SET_PWD" : L"IDF_CHANGE_PWD", L"IDC_SCROLLPANEL1")) {
        return false;
    }
    if (mode == CHANGE) {
        current_ = LowerCaseField(GetEditField(L"IDPC_OLD_PWD"));
    }
    first_ = LowerCaseField(GetEditField(L"IDPC_PWD_EDIT"));
    second_ = LowerCaseField(GetEditField(L"IDPC_PWD_EDIT2"));
    if (first_ == nullptr || second_ == nullptr || (mode == CHANGE && current_ == nullptr)) {
        return false;
    }
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, kActionDone);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, kActionCancel);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    return true;
}

std::wstring PasswordForm::CheckPasswords(TMode mode, PrivatePassword::TCheck current,
                                          const std::wstring& first, const std::wstring& second) {
    if (mode == CHANGE && current == PrivatePassword::UNREADABLE) {
        return PasswordPopup::kUnreadablePassword;
    }
    if (mode == CHANGE && current != PrivatePassword::MATCH) {
        return L"Incorrect current password. Please enter the current password.";
    }
    // A mismatch is reported before the length: the user most likely mistyped one of the two.
    if (first != second) {
        return L"The second password does not match the first one.";
    }
    if (first.size() < kMinLength) {
        return L"The password is too short. The minimal password length is 3 characters.";
    }
    if (first.size() > kMaxLength) {
        return L"The password is too long. The maximal password length is 30 characters.";
    }
    return std::wstring();
}

std::wstring PasswordForm::TextOf(const EditField* field) {
    return field != nullptr ? field->GetText().Units() : std::wstring();
}

void PasswordForm::OnActionPerformed(const Osp::Ui::Control& source, int actionId) {
    switch (actionId) {
        case kActionDone:
            OnDone();
            break;
        case kActionCancel:
            Leave();
            break;
        default:
            OkFormBase::OnActionPerformed(source, actionId);
            break;
    }
}

void PasswordForm::OnDone() {
    Corvane* app = Corvane::GetMyInstance();
    Wiped<std::wstring> current(TextOf(current_));
    Wiped<std::wstring> password(TextOf(first_));
    Wiped<std::wstring> second(TextOf(second_));
    // The slow check of the current password is made only where it is asked for.
    const PrivatePassword::TCheck check =
        mode_ == CHANGE ? app->CheckPassword(*current) : PrivatePassword::MATCH;
    const std::wstring error = CheckPasswords(mode_, check, *password, *second);
    if (!error.empty()) {
        ShowModalMessage(L"", error, MSGBOX_STYLE_OK);
        return;
    }
    app->SetPassword(*password);
    ShowModalMessage(mode_ == SET ? L"The password is set" : L"The password is changed",
                     L"Please memorize the new password. Please note that it is case sensitive.",
                     MSGBOX_STYLE_OK);
    Leave();
}

void PasswordForm::Leave() {
    // The form stays in the frame, hidden, until the next password screen replaces it: it must not keep
    // the passwords typed into it.
    for (EditField* field : {current_, first_, second_}) {
        if (field != nullptr) {
            field->Clear();
        }
    }
    Corvane* app = Corvane::GetMyInstance();
    app->SwitchToForm(app->GetMainForm());
}
