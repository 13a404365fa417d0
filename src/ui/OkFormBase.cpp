#include "ui/OkFormBase.h"

namespace {

using Osp::Ui::Control;
using Osp::Ui::Controls::EditArea;
using Osp::Ui::Controls::EditField;

// The text of an edit field or area; other controls have none.
bool GetText(const Control& control, std::wstring& text) {
    if (const auto* field = dynamic_cast<const EditField*>(&control)) {
        text = field->GetText().Units();
        return true;
    }
    if (const auto* area = dynamic_cast<const EditArea*>(&control)) {
        text = area->GetText().Units();
        return true;
    }
    return false;
}

void SetText(const Control& control, const std::wstring& text) {
    if (auto* field = dynamic_cast<EditField*>(const_cast<Control*>(&control))) {
        field->SetText(Osp::Base::String(text));
    } else if (auto* area = dynamic_cast<EditArea*>(const_cast<Control*>(&control))) {
        area->SetText(Osp::Base::String(text));
    }
}

}  // namespace

bool OkFormBase::Initialize(const wchar_t* formResourceId, const wchar_t* scrollPanelId) {
    if (Construct(Osp::Base::String(formResourceId)) != Osp::Base::E_SUCCESS) {
        return false;
    }
    m_pScrollPanel =
        dynamic_cast<Osp::Ui::Controls::ScrollPanel*>(GetControl(Osp::Base::String(scrollPanelId), true));
    return m_pScrollPanel != nullptr;
}

template <typename T>
T* OkFormBase::SetUpField(const wchar_t* name) {
    auto* field = dynamic_cast<T*>(GetControl(Osp::Base::String(name), true));
    if (field == nullptr) {
        return nullptr;
    }
    field->AddScrollPanelEventListener(*this);
    field->AddActionEventListener(*this);
    field->SetOverlayKeypadCommandButton(Osp::Ui::Controls::COMMAND_BUTTON_POSITION_LEFT, L"Done",
                                         kActionDone);
    field->SetOverlayKeypadCommandButton(Osp::Ui::Controls::COMMAND_BUTTON_POSITION_RIGHT, L"Cancel",
                                         kActionCancel);
    return field;
}

EditField* OkFormBase::GetEditField(const wchar_t* name) {
    return SetUpField<EditField>(name);
}

EditArea* OkFormBase::GetEditArea(const wchar_t* name) {
    return SetUpField<EditArea>(name);
}

bool OkFormBase::ValidateControl(const Control*) {
    return true;
}

void OkFormBase::OnActionPerformed(const Control& source, int actionId) {
    if (actionId == kActionDone) {
        if (!ValidateControl(&source)) {
            return;  // the keypad stays open for a correction
        }
        m_pScrollPanel->CloseOverlayWindow();
        source.RequestRedraw();
    } else if (actionId == kActionCancel) {
        SetText(source, m_sSavedText);
        m_pScrollPanel->CloseOverlayWindow();
        source.RequestRedraw();
    }
}

void OkFormBase::OnOverlayControlCreated(const Control& source) {
    if (m_pActiveControl != nullptr && m_pActiveControl != &source && !ValidateControl(m_pActiveControl)) {
        SetText(*m_pActiveControl, m_sSavedText);
    }
    m_sSavedText.clear();
    m_pActiveControl = &source;
}

void OkFormBase::OnOverlayControlOpened(const Control& source) {
    std::wstring text;
    if (GetText(source, text)) {
        m_sSavedText = text;
    }
}

void OkFormBase::OnOverlayControlClosed(const Control&) {
    m_pActiveControl = nullptr;
    m_sSavedText.clear();
    SetFocus();
}
