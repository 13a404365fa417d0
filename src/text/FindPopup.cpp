#include "text/FindPopup.h"

#include "Osp/Ui/Controls/Button.h"

namespace {

using Osp::Base::String;

}  // namespace

bool FindPopup::Construct(Osp::Ui::IActionEventListener* listener) {
    if (Popup::Construct(String(L"IDP_TEXT_FIND")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    m_pListener = listener;
    m_pEdit = dynamic_cast<Osp::Ui::Controls::EditField*>(GetControl(String(L"IDC_EDIT"), true));
    auto* find = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_DONE"), true));
    auto* cancel = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (m_pEdit == nullptr || find == nullptr || cancel == nullptr) {
        return false;
    }
    find->SetActionId(kActionFind);
    find->AddActionEventListener(*this);
    cancel->SetActionId(kActionCancel);
    cancel->AddActionEventListener(*this);
    return true;
}

void FindPopup::ShowPopup(const std::wstring& text) {
    m_pEdit->SetText(String(text));
    SetShowState(true);
    Show();
    m_pEdit->SetFocus();
}

void FindPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId == kActionFind) {
        const std::wstring text = m_pEdit->GetText().Units();
        // An empty field finds nothing; the popup stays for the text.
        if (text.empty()) {
            return;
        }
        m_sText = text;
        Close(kActionFind);
    } else if (actionId == kActionCancel) {
        Close(kActionCancel);
    }
}

void FindPopup::Close(int actionId) {
    SetShowState(false);
    if (m_pListener != nullptr) {
        m_pListener->OnActionPerformed(*this, actionId);
    }
}
