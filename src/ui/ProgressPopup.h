#pragma once
// The busy popup: a title, an eight-picture animation that turns while something runs, and, when asked
// for, a "Cancel" button that reports its action to one listener. User-interface thread only; the
// popup belongs to the form that made it.

#include "Osp/Ui/Controls/Animation.h"
#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"

class ProgressPopup : public Osp::Ui::Controls::Popup {
public:
    ProgressPopup() = default;
    ~ProgressPopup() override = default;

    // A popup with a title of the size; with a cancel action other than 0, a "Cancel" button of
    // 100 x 35 pixels, centred, 45 pixels above the bottom of the client area. Returns whether the popup
    // could be made.
    bool Initialize(int width, int height, int cancelActionId);
    // The listener of the "Cancel" button (nothing happens without a button).
    void SetActionEventListener(const Osp::Ui::IActionEventListener& listener);
    // Adds the 60 x 60 animation of "/Res/Progress/big%02d.png", centred horizontally.
    void SetupAnimation();
    void StartAnimation();
    void StopAnimation();
    // Opens (true) or closes the popup.
    void Show(bool show);
    using Osp::Ui::Control::Show;

private:
    Osp::Ui::Controls::Button* m_pCancel = nullptr;        // a control of the popup, or null
    Osp::Ui::Controls::Animation* m_pAnimation = nullptr;  // a control of the popup, or null
};
