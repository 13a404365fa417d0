#pragma once
// What lies behind Osp::Ui::Controls::Button. For platform code: layouts mark the main button of a
// popup as primary (filled with the accent colour); the others are outlined.

#include <QString>
#include <vector>

#include "Osp/Ui/Controls/Button.h"

namespace Osp::Ui::Controls {

struct Button::Impl {
    // Reports the action, as a tap does.
    void Press(Button& button);

    QString text;
    int actionId = -1;
    bool primary = false;
    std::vector<IActionEventListener*> listeners;
};

}  // namespace Osp::Ui::Controls
