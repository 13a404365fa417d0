#include "app/AboutPopup.h"

#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Frame.h"
#include "Osp/Ui/Controls/Label.h"
#include "app/Corvane.h"

namespace {

using Osp::Base::String;

constexpr int kActionClose = 101;

}  // namespace

bool AboutPopup::Construct() {
    if (Popup::Construct(String(L"IDP_ABOUT")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    for (const wchar_t* id : {L"IDC_LABEL1", L"IDC_LABEL2", L"IDC_LABEL3", L"IDC_LABEL4"}) {
        if (auto* label = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(id), true))) {
            label->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
        }
    }
    auto* close = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CLOSE"), true));
    if (close == nullptr) {
        return false;
    }
    close->SetActionId(kActionClose);
    close->AddActionEventListener(*this);
    return true;
}

void AboutPopup::ShowPopup() {
    SetShowState(true);
    Show();
    Draw();
}

void AboutPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId != kActionClose) {
        return;
    }
    SetShowState(false);
    if (Osp::Ui::Controls::Form* form = Corvane::GetMyInstance()->GetAppFrame()->GetCurrentForm()) {
        form->RequestRedraw();
    }
}
