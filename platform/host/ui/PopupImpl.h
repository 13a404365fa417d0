#pragma once
// What lies behind Osp::Ui::Controls::Popup. For platform code.

#include <QString>

#include "Osp/Ui/Controls/Popup.h"

namespace host {
class Overlay;
class PopupWidget;
}  // namespace host

namespace Osp::Ui::Controls {

struct Popup::Impl {
    int TitleHeight() const;
    // Puts the popup in the middle of the window.
    void Centre(Popup& popup);

    bool hasTitle = false;
    QString title;
    host::Overlay* overlay = nullptr;
    host::PopupWidget* widget = nullptr;
};

}  // namespace Osp::Ui::Controls
