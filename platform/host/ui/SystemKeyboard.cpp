#include "host/ui/SystemKeyboard.h"

#include <QByteArray>
#include <QtGlobal>

namespace host {
namespace {

KeypadChoice& ChoiceStorage() {
    static KeypadChoice choice = KeypadChoice::kAuto;
    return choice;
}

// An input method that draws a keyboard on the screen, or a phone shell that has one.
bool SystemKeyboardRuns() {
    const QByteArray module = qgetenv("QT_IM_MODULE").toLower();
    if (module == "qtvirtualkeyboard" || module == "maliit") {
        return true;
    }
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP").toLower();
    return desktop.contains("phosh") || qgetenv("PLASMA_PLATFORM").toLower().contains("phone");
}

}  // namespace

bool ParseKeypadChoice(const std::string& word, KeypadChoice& out) {
    if (word == "auto") {
        out = KeypadChoice::kAuto;
    } else if (word == "own") {
        out = KeypadChoice::kOwn;
    } else if (word == "system") {
        out = KeypadChoice::kSystem;
    } else {
        return false;
    }
    return true;
}

void SetKeypadChoice(KeypadChoice choice) {
    ChoiceStorage() = choice;
}

bool UsesSystemKeyboard() {
    switch (ChoiceStorage()) {
        case KeypadChoice::kOwn:
            return false;
        case KeypadChoice::kSystem:
            return true;
        case KeypadChoice::kAuto:
            break;
    }
    return SystemKeyboardRuns();
}

}  // namespace host
