// The dialog side of TransferPopup: showing, progress, the busy state and Cancel.

#include "transfer/TransferPopup.h"

#include <algorithm>

#include "app/Format.h"
#include "app/UiUtils.h"
#include "transfer/FsThread.h"

namespace {

using Osp::Base::String;

constexpr int kShowAfterMs = 500;
constexpr unsigned int kRefreshMs = 400;
constexpr int kBusyAfterMs = 1000;
constexpr unsigned int kWeekSeconds = 604800;
constexpr int kMaxSizeText = 90;
constexpr int kMaxPercentText = 16;
constexpr int kTimeWidth = 110;
constexpr int kBusyTimeWidth = 60;
constexpr int kTimeHeight = 30;
constexpr int kAnimationSize = 28;
constexpr int kAnimationOffset = 55;

// The share of total that done is, from 0 to 100; a job of nothing but empty files is done at once.
int PercentOf(unsigned long long done, unsigned long long total) {
    if (total == 0 || done >= total) {
        return 100;
    }
    return static_cast<int>(static_cast<double>(done) * 100.0 / static_cast<double>(total));
}

}  // namespace

TransferPopup::TransferPopup(bool ownsClipboard, const Clipboard* clipboard, ITpListener* listener,
                             IFsBrowser* dstBrowser, const std::wstring& dstRoot)
    : clipboard_(clipboard),
      ownsClipboard_(ownsClipboard),
      listener_(listener),
      mode_(clipboard->GetMode()),
      srcBrowser_(clipboard->GetBrowser()),
      dstBrowser_(dstBrowser),
      srcRoot_(clipboard->GetDir()),
      dstRoot_(dstRoot),
      files_(clipboard->GetFiles()),
      folders_(clipboard->GetFolders()) {}

TransferPopup::~TransferPopup() {
    showTimer_.Cancel();
    busyTimer_.Cancel();
    walker_.reset();
    transfer_.reset();
    spent_.reset();
    if (ownsClipboard_) {
        delete clipboard_;
    }
}

bool TransferPopup::Construct() {
    if (Popup::Construct(String(L"IDP_TRANSFER")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    auto label = [this](const wchar_t* id) {
        auto* found = dynamic_cast<Osp::Ui::Controls::Label*>(GetControl(String(id), true));
        if (found != nullptr) {
            found->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
        }
        return found;
    };
    name_ = label(L"IDC_NAME");
    time_ = label(L"IDC_TIME");
    size_ = label(L"IDC_SIZE");
    percent_ = label(L"IDC_PERCENT");
    label(L"IDC_LABEL2");
    bar_ = dynamic_cast<Osp::Ui::Controls::Progress*>(GetControl(String(L"IDC_PROGRESS"), true));
    cancel_ = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (name_ == nullptr || time_ == nullptr || size_ == nullptr || percent_ == nullptr || bar_ == nullptr ||
        cancel_ == nullptr) {
        return false;
    }
    SetTitleText(String(mode_ == Clipboard::MODE_CUT ? L"Moving" : L"Copying"));
    cancel_->SetActionId(kActionCancel);
    cancel_->AddActionEventListener(*this);
    showTimer_.Construct(*this);
    busyTimer_.Construct(*this);
    return true;
}

void TransferPopup::DoShow() {
    shown_ = true;
    SetShowState(true);
    Draw();
    Show();
}

void TransferPopup::HidePopup() {
    showTimer_.Cancel();
    if (shown_) {
        shown_ = false;
        SetShowState(false);
    }
}

void TransferPopup::SkipAutoShow() {
    if (!shown_) {
        showTimer_.Cancel();
    }
}

void TransferPopup::OnTimerExpired(Osp::Base::Runtime::Timer& timer) {
    if (&timer == &showTimer_) {
        if (!shown_ && !finished_) {
            DoShow();
            if (scanning_) {
                ShowCounts();
            }
        }
    } else if (busyArmed_) {
        ShowBusy();
    }
}

void TransferPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId != kActionCancel || cancelled_) {
        return;
    }
    cancelled_ = true;
    if (walker_ != nullptr) {
        walker_->StopA();
    }
    if (transfer_ != nullptr) {
        transfer_->StopA();
    }
}

void TransferPopup::ShowCounts() {
    size_->SetText(FilesAndFoldersToStr(fileCount_, folderCount_));
    lastUiTicks_ = GetTickCount();
    Draw();
}

void TransferPopup::UpdateUi(unsigned long long done, bool busy) {
    if (!shown_) {
        if (!busy && TicksSince(startTicks_) <= static_cast<unsigned int>(kShowAfterMs)) {
            return;
        }
        DoShow();
    }
    if (busy) {
        busyTimer_.Start(kBusyAfterMs);
        busyArmed_ = true;
    } else {
        ClearBusy();
    }
    if (TicksSince(lastUiTicks_) <= kRefreshMs) {
        return;
    }
    String text;
    text.Format(kMaxSizeText, L"%ls of %ls", FormatSize64(done).Units().c_str(),
                FormatSize64(totalBytes_).Units().c_str());
    size_->SetText(text);
    name_->SetText(String(curSrc_));
    const int percent = PercentOf(done, totalBytes_);
    if (percent != bar_->GetValue()) {
        bar_->SetValue(percent);
        String percentText;
        percentText.Format(kMaxPercentText, L"%d %%", percent);
        percent_->SetText(percentText);
    }
    if (!busy) {
        timer_.SetPos(static_cast<unsigned int>(std::min(done, totalBytes_) / unit_));
        const unsigned int remaining = timer_.GetRemainingTime(true);
        if (remaining < kWeekSeconds) {
            time_->SetText(TimeSpanToString(Osp::Base::TimeSpan(static_cast<long long>(remaining) * 1000)));
        }
    }
    lastUiTicks_ = GetTickCount();
    Draw();
}

void TransferPopup::ClearBusy() {
    if (busyArmed_) {
        busyTimer_.Cancel();
        busyArmed_ = false;
    }
    if (animation_ != nullptr && animation_->GetShowState()) {
        animation_->Stop();
        animation_->SetShowState(false);
    }
    const Osp::Graphics::Rectangle place = time_->GetBounds();
    time_->SetBounds(place.x, place.y, kTimeWidth, kTimeHeight);
    cancel_->SetEnabled(true);
}

// The platform is copying a whole file in one call: no count comes until it is done, and it cannot be
// stopped meanwhile.
void TransferPopup::ShowBusy() {
    busyArmed_ = false;
    cancel_->SetEnabled(false);
    time_->SetText(String(L"Working"));
    const Osp::Graphics::Rectangle place = time_->GetBounds();
    time_->SetBounds(place.x, place.y, kBusyTimeWidth, kTimeHeight);
    if (animation_ == nullptr) {
        const Osp::Graphics::Rectangle rect(place.x + kAnimationOffset,
                                            place.y + (place.height - kAnimationSize) / 2, kAnimationSize,
                                            kAnimationSize);
        std::unique_ptr<Osp::Ui::Controls::Animation> animation(
            CreateAnimation(L"/Res/Progress/%02d.png", 8, 87, rect, 10000));
        if (animation != nullptr && AddControl(*animation) == Osp::Base::E_SUCCESS) {
            animation_ = animation.release();
        }
    }
    if (animation_ != nullptr) {
        animation_->SetShowState(true);
        animation_->Play();
    }
    Draw();
}
