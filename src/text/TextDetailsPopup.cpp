#include "text/TextDetailsPopup.h"

#include "Osp/Ui/Controls/Button.h"
#include "app/Format.h"
#include "app/Time.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::Label;

constexpr int kMaxPositionText = 64;
// Labels that only name the values; they take the popup's colour like the values do.
constexpr const wchar_t* kCaptionLabels[] = {L"IDC_LABEL1", L"IDC_LABEL2", L"IDC_LABEL5", L"IDC_LABEL6",
                                             L"IDC_LABEL7"};

}  // namespace

Label* TextDetailsPopup::FindLabel(const wchar_t* name) const {
    auto* label = dynamic_cast<Label*>(GetControl(String(name), true));
    if (label != nullptr) {
        label->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
    }
    return label;
}

bool TextDetailsPopup::Construct(Osp::Ui::IActionEventListener* listener) {
    if (Popup::Construct(String(L"IDP_TEXT_DETAILS")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    m_pListener = listener;
    for (const wchar_t* name : kCaptionLabels) {
        FindLabel(name);
    }
    m_pName = FindLabel(L"IDC_NAME");
    m_pLocation = FindLabel(L"IDC_LOCATION");
    m_pSize = FindLabel(L"IDC_SIZE");
    m_pDate = FindLabel(L"IDC_DATE");
    m_pEncoding = FindLabel(L"IDC_ENCODING");
    m_pPosition = FindLabel(L"IDC_POS");
    auto* close = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CLOSE"), true));
    if (m_pName == nullptr || m_pLocation == nullptr || m_pSize == nullptr || m_pDate == nullptr ||
        m_pEncoding == nullptr || m_pPosition == nullptr || close == nullptr) {
        return false;
    }
    close->SetActionId(kActionClose);
    close->AddActionEventListener(*this);
    return true;
}

void TextDetailsPopup::ShowPopup(const std::wstring& displayName, unsigned long long size,
                                 const Osp::Base::DateTime& modified, const std::wstring& encoding,
                                 int currentLine, int totalLines) {
    const size_t slash = displayName.find_last_of(L"\\/");
    const bool hasFolder = slash != std::wstring::npos;
    m_pName->SetText(String(hasFolder ? displayName.substr(slash + 1) : displayName));
    m_pLocation->SetText(String(hasFolder ? displayName.substr(0, slash) : std::wstring()));
    String text;
    FormatFileSize(&text, size);
    m_pSize->SetText(text);
    text.Clear();
    if (modified.GetYear() > 1) {
        FormatFileDate(&text, modified);
    }
    m_pDate->SetText(text);
    m_pEncoding->SetText(String(encoding));
    text.Clear();
    if (currentLine != 0 && totalLines != 0) {
        text.Format(kMaxPositionText, L"%d of total %d lines", currentLine, totalLines);
    }
    m_pPosition->SetText(text);
    SetShowState(true);
    Show();
}

void TextDetailsPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId != kActionClose) {
        return;
    }
    SetShowState(false);
    if (m_pListener != nullptr) {
        m_pListener->OnActionPerformed(*this, kActionClose);
    }
}
