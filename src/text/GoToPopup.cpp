#include "text/GoToPopup.h"

#include "Osp/Ui/Controls/Button.h"
#include "app/ModalMessage.h"

namespace {

using Osp::Base::String;

constexpr int kMaxText = 100;
// More digits than any line count or percentage: longer input is out of range whatever it says.
constexpr size_t kMaxDigits = 10;

// A whole field of decimal digits with an optional minus sign; false for anything else.
bool ParseNumber(const std::wstring& text, long long* value) {
    const bool negative = !text.empty() && text[0] == L'-';
    const size_t first = negative ? 1 : 0;
    if (text.size() == first || text.size() - first > kMaxDigits) {
        return false;
    }
    long long n = 0;
    for (size_t i = first; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') {
            return false;
        }
        n = n * 10 + (text[i] - L'0');
    }
    *value = negative ? -n : n;
    return true;
}

}  // namespace

bool GoToPopup::Construct(Osp::Ui::IActionEventListener* listener) {
    if (Popup::Construct(String(L"IDP_TEXT_GOTO_LINE")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    m_pListener = listener;
    m_pLabel = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(L"IDC_LABEL"), true));
    m_pEdit = dynamic_cast<Osp::Ui::Controls::EditField*>(GetControl(String(L"IDC_EDIT"), true));
    auto* done = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_DONE"), true));
    auto* cancel = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (m_pLabel == nullptr || m_pEdit == nullptr || done == nullptr || cancel == nullptr) {
        return false;
    }
    done->SetActionId(kActionDone);
    done->AddActionEventListener(*this);
    cancel->SetActionId(kActionCancel);
    cancel->AddActionEventListener(*this);
    return true;
}

void GoToPopup::ShowPopup(TMode mode, int max, int current) {
    m_eMode = mode;
    m_nMin = mode == TMode::Line ? 1 : 0;
    m_nMax = max;
    m_nValue = current;
    String text;
    if (mode == TMode::Line) {
        text.Format(kMaxText, L"Go to line (1 to %d):", max);
    } else {
        text = L"Go to position (0% to 100%):";
    }
    m_pLabel->SetText(text);
    String value;
    value.Format(kMaxText, L"%d", current);
    m_pEdit->SetText(value);
    SetShowState(true);
    Show();
    m_pEdit->SetFocus();
}

void GoToPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId == kActionDone) {
        OnDone();
    } else if (actionId == kActionCancel) {
        Close(kActionCancel);
    }
}

void GoToPopup::OnDone() {
    long long value = m_nValue;
    ParseNumber(m_pEdit->GetText().Units(), &value);
    if (value < m_nMin || value > m_nMax) {
        String text;
        text.Format(kMaxText, L"Please enter a number from %d to %d.", m_nMin, m_nMax);
        ShowModalMessage(L"Invalid position", text.Units(), Osp::Ui::Controls::MSGBOX_STYLE_OK);
        return;
    }
    m_nValue = static_cast<int>(value);
    Close(kActionDone);
}

void GoToPopup::Close(int actionId) {
    SetShowState(false);
    if (m_pListener != nullptr) {
        m_pListener->OnActionPerformed(*this, actionId);
    }
}
