#include "ui/ProgressPopup.h"

#include <memory>

#include "app/UiUtils.h"

namespace {

constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 35;
constexpr int kButtonRise = 45;
constexpr int kAnimationSize = 60;
// With a button, the animation is centred in the room the button leaves.
constexpr int kRoomWithButton = 105;
constexpr int kFrames = 8;
constexpr int kFrameMs = 87;
constexpr int kRepeat = 10000;

}  // namespace

bool ProgressPopup::Initialize(int width, int height, int cancelActionId) {
    if (Construct(true, Osp::Graphics::Dimension(width, height)) != Osp::Base::E_SUCCESS) {
        return false;
    }
    if (cancelActionId == 0) {
        return true;
    }
    const Osp::Graphics::Rectangle client = GetClientAreaBounds();
    auto button = std::make_unique<Osp::Ui::Controls::Button>();
    const Osp::Graphics::Rectangle place((client.width - kButtonWidth) / 2, client.height - kButtonRise,
                                         kButtonWidth, kButtonHeight);
    if (button->Construct(place, L"Cancel") != Osp::Base::E_SUCCESS) {
        return false;
    }
    button->SetActionId(cancelActionId);
    button->SetName(L"IDC_PROGRESS_CANCEL");
    if (AddControl(*button) != Osp::Base::E_SUCCESS) {
        return false;
    }
    m_pCancel = button.release();
    return true;
}

void ProgressPopup::SetActionEventListener(const Osp::Ui::IActionEventListener& listener) {
    if (m_pCancel != nullptr) {
        m_pCancel->AddActionEventListener(listener);
    }
}

void ProgressPopup::SetupAnimation() {
    const int clientHeight = GetClientAreaBounds().height;
    const int y =
        m_pCancel != nullptr ? (clientHeight - kRoomWithButton) / 2 : clientHeight / 2 - kAnimationSize / 2;
    const Osp::Graphics::Rectangle place((GetClientAreaBounds().width - kAnimationSize) / 2, y,
                                         kAnimationSize, kAnimationSize);
    std::unique_ptr<Osp::Ui::Controls::Animation> animation(
        CreateAnimation(L"/Res/Progress/big%02d.png", kFrames, kFrameMs, place, kRepeat));
    if (animation != nullptr && AddControl(*animation) == Osp::Base::E_SUCCESS) {
        m_pAnimation = animation.release();
    }
}

void ProgressPopup::StartAnimation() {
    if (m_pAnimation != nullptr) {
        m_pAnimation->Play();
    }
}

void ProgressPopup::StopAnimation() {
    if (m_pAnimation != nullptr) {
        m_pAnimation->Stop();
    }
}

void ProgressPopup::Show(bool show) {
    SetShowState(show);
    if (!show) {
        Draw();
    }
    Show();
}
