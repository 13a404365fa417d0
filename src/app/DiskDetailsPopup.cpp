#include "app/DiskDetailsPopup.h"

#include "Osp/Ui/Controls/Button.h"
#include "app/Format.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::Label;

constexpr int kMaxPercentText = 32;
// Labels that only name the values; they take the popup's colour like the values do.
constexpr const wchar_t* kCaptionLabels[] = {L"IDC_LABEL1", L"IDC_LABEL2", L"IDC_LABEL3", L"IDC_LABEL5",
                                             L"IDC_LABEL6"};

String SizeOrNothing(unsigned long long bytes) {
    return bytes == 0 ? String() : FormatSize64(bytes);
}

}  // namespace

Label* DiskDetailsPopup::FindLabel(const wchar_t* name) const {
    auto* label = dynamic_cast<Label*>(GetControl(String(name), true));
    if (label != nullptr) {
        label->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
    }
    return label;
}

bool DiskDetailsPopup::Construct(Osp::Ui::IActionEventListener* listener) {
    if (Popup::Construct(String(L"IDP_DISK_DETAILS")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    listener_ = listener;
    for (const wchar_t* name : kCaptionLabels) {
        FindLabel(name);
    }
    free_ = FindLabel(L"IDC_FREE");
    used_ = FindLabel(L"IDC_USED");
    capacity_ = FindLabel(L"IDC_CAPACITY");
    percent_ = FindLabel(L"IDC_PERCENT");
    connection_ = FindLabel(L"IDC_CONNECTION");
    password_ = FindLabel(L"IDC_PASSWORD_PLACE");
    bar_ = dynamic_cast<Osp::Ui::Controls::Progress*>(GetControl(String(L"IDC_PROGRESS1"), true));
    auto* close = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CLOSE"), true));
    if (free_ == nullptr || used_ == nullptr || capacity_ == nullptr || percent_ == nullptr ||
        connection_ == nullptr || password_ == nullptr || bar_ == nullptr || close == nullptr) {
        return false;
    }
    close->SetActionId(kActionClose);
    close->AddActionEventListener(*this);
    return true;
}

void DiskDetailsPopup::ShowPopup(const std::wstring& title, unsigned long long capacity,
                                 unsigned long long free, unsigned long long used,
                                 const std::wstring& connection, const std::wstring& password) {
    SetTitleText(String(title));
    connection_->SetText(String(connection));
    password_->SetText(String(password));
    // A server may report more free space than capacity; that must not turn into a huge used size or a
    // share above 100 percent.
    if (capacity != 0 && free > capacity) {
        free = capacity;
    }
    if (used == 0 && capacity != 0) {
        used = capacity - free;
    }
    free_->SetText(SizeOrNothing(free));
    used_->SetText(SizeOrNothing(used));
    capacity_->SetText(SizeOrNothing(capacity));
    if (capacity != 0) {
        // Split so that the product stays in range for sizes far beyond any real storage.
        const unsigned long long percent = free / capacity * 100 + free % capacity * 100 / capacity;
        String text;
        text.Format(kMaxPercentText, L"%d%% free", static_cast<int>(percent));
        percent_->SetText(text);
        bar_->SetValue(100 - static_cast<int>(percent));
    } else {
        percent_->SetText(String());
        bar_->SetValue(100);
    }
    SetShowState(true);
    Show();
}

void DiskDetailsPopup::HidePopup() {
    SetShowState(false);
}

void DiskDetailsPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    HidePopup();
    if (actionId == kActionClose && listener_ != nullptr) {
        listener_->OnActionPerformed(*this, actionId);
    }
}
