#pragma once
// Follows the overlay keypad of an edit field on a scroll panel, on the user-interface thread. Tapping a
// field opens its keypad: OnOverlayControlCreated, then OnOverlayControlOpened, both with the field as
// source (also when another field's keypad was open: that one is taken over without a close).
// ScrollPanel::CloseOverlayWindow ends it with OnOverlayControlClosed. A tap on the panel's free area
// while a keypad is open reports OnOtherControlSelected with the panel as source.

namespace Osp::Ui {

class Control;

class IScrollPanelEventListener {
public:
    virtual ~IScrollPanelEventListener() = default;
    virtual void OnOverlayControlCreated(const Control& source) = 0;
    virtual void OnOverlayControlOpened(const Control& source) = 0;
    virtual void OnOverlayControlClosed(const Control& source) = 0;
    virtual void OnOtherControlSelected(const Control& source) = 0;
};

}  // namespace Osp::Ui
