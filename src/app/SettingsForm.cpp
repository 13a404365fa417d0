#include "app/SettingsForm.h"

#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "app/Corvane.h"
#include "app/MainForm.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kHelpPage[] = L"settings_form.html";

}  // namespace

bool SettingsForm::Construct() {
    if (Form::Construct(String(L"IDF_SETTINGS")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    auto* hidden =
        dynamic_cast<Osp::Ui::Controls::CheckButton*>(GetControl(String(L"IDC_HIDDEN_CHECK"), true));
    auto* clear = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CLEAR_CACHE"), true));
    if (hidden == nullptr || clear == nullptr) {
        return false;
    }
    hidden->SetActionId(ACTION_SHOW_HIDDEN, ACTION_HIDE_HIDDEN);
    hidden->SetSelected(Corvane::GetMyInstance()->GetShowHidden());
    hidden->AddActionEventListener(*this);
    clear->SetActionId(ACTION_CLEAR_CACHE);
    clear->AddActionEventListener(*this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_HELP);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_BACK);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    return true;
}

void SettingsForm::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    Corvane* app = Corvane::GetMyInstance();
    switch (actionId) {
        case ACTION_SHOW_HIDDEN:
        case ACTION_HIDE_HIDDEN:
            app->SetShowHidden(actionId == ACTION_SHOW_HIDDEN);
            break;
        case ACTION_BACK:
            app->SwitchToForm(app->GetMainForm());
            break;
        case ACTION_HELP:
            app->ShowHelp(kHelpPage);
            break;
        default:
            break;
    }
}
