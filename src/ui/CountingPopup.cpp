#include "ui/CountingPopup.h"

#include "Osp/Graphics/Canvas.h"
#include "Osp/Ui/Controls/Button.h"
#include "app/PTimer.h"
#include "transfer/FileWalker.h"

namespace {

using Osp::Base::String;

constexpr unsigned int kRefreshMs = 50;
const Osp::Graphics::Point kIconAt(22, 37);

}  // namespace

CountingPopup::CountingPopup() = default;

CountingPopup::~CountingPopup() = default;

bool CountingPopup::ConstructCounting(const wchar_t* resourceId, int closeAction,
                                      Osp::Ui::IActionEventListener* listener) {
    if (Popup::Construct(String(resourceId)) != Osp::Base::E_SUCCESS) {
        return false;
    }
    listener_ = listener;
    closeAction_ = closeAction;
    for (const wchar_t* caption : {L"IDC_LABEL1", L"IDC_LABEL2", L"IDC_LABEL5", L"IDC_LABEL6", L"IDC_LABEL8",
                                   L"IDC_LABEL9"}) {
        FindLabel(caption);
    }
    auto* close = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CLOSE"), true));
    if (close == nullptr) {
        return false;
    }
    close->SetActionId(closeAction);
    close->AddActionEventListener(*this);
    return true;
}

Osp::Ui::Controls::Label* CountingPopup::FindLabel(const wchar_t* name) const {
    auto* label = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(name), true));
    if (label != nullptr) {
        label->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
    }
    return label;
}

void CountingPopup::StartWalk(IFsBrowser* browser, const std::wstring& path) {
    walker_ = std::make_unique<FileWalker>(browser, this, path);
    walker_->StartA(false);
}

void CountingPopup::StopWalk() {
    // Deleting the walker ends it without another call, whatever it waits for.
    walker_.reset();
}

bool CountingPopup::RefreshDue(bool force) {
    if (!force && TicksSince(lastUpdate_) < kRefreshMs) {
        return false;
    }
    lastUpdate_ = GetTickCount();
    return true;
}

void CountingPopup::ResetCounts() {
    totalSize_ = 0;
    files_ = 0;
    folders_ = 0;
    lastUpdate_ = GetTickCount();
}

void CountingPopup::HidePopup() {
    StopWalk();
    OnClosed();
    SetShowState(false);
}

void CountingPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    HidePopup();
    if (actionId == closeAction_ && listener_ != nullptr) {
        listener_->OnActionPerformed(*this, actionId);
    }
}

bool CountingPopup::OnEnterFolder(const std::wstring&) {
    return true;
}

bool CountingPopup::OnExitFolder(const std::wstring&) {
    return true;
}

Osp::Base::result CountingPopup::OnDraw() {
    if (icon_ != nullptr) {
        std::unique_ptr<Osp::Graphics::Canvas> canvas(GetCanvasN());
        if (canvas != nullptr) {
            canvas->DrawBitmap(kIconAt, *icon_);
        }
    }
    return Osp::Base::E_SUCCESS;
}
