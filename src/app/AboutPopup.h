#pragma once
// The small dialog about the program: four lines of text from its layout and a Close button. The main
// form makes it once and shows it again on each "About". User-interface thread only.

#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"

class AboutPopup : public Osp::Ui::Controls::Popup, public Osp::Ui::IActionEventListener {
public:
    // Builds the popup from its layout; false when its Close button is missing.
    bool Construct();
    void ShowPopup();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
};
