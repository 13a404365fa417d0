#pragma once
// What lies behind Osp::Ui::Controls::Keypad. For platform code.

#include <QString>
#include <vector>

#include "Osp/Ui/Controls/Keypad.h"

namespace host {
class Overlay;
class KeypadWidget;
}  // namespace host

namespace Osp::Ui::Controls {

struct Keypad::Impl {
    void Open();
    // Closes the keypad, keeps the typed text when confirmed, and tells the listeners.
    void Close(Keypad& keypad, bool confirmed);

    QString text;
    int limit = 100;
    host::Overlay* overlay = nullptr;
    host::KeypadWidget* widget = nullptr;
    std::vector<ITextEventListener*> listeners;
};

}  // namespace Osp::Ui::Controls
