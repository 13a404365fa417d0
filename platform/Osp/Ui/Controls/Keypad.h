#pragma once
// A full-screen text entry: an edit line, an on-screen keyboard (a desktop keyboard types too) and OK
// and Cancel. OK takes the typed text as the keypad's text and reports OnTextValueChanged; Cancel
// leaves the text as it was and reports OnTextValueChangeCanceled. Either closes the keypad first. On a
// desktop Enter or F1 is OK, Esc or F2 Cancel. SetShowState(true) opens it. The keypad belongs to
// whoever made it and may be deleted inside its listener calls. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/ITextEventListener.h"

namespace Osp::Ui::Controls {

enum KeypadStyle {
    KEYPAD_STYLE_NORMAL,
    KEYPAD_STYLE_PASSWORD,
    KEYPAD_STYLE_EMAIL,
    KEYPAD_STYLE_URL,
    KEYPAD_STYLE_NUMBER,
    KEYPAD_STYLE_PHONE_NUMBER,
    KEYPAD_STYLE_IP_V4,
};

enum KeypadInputModeCategory {
    KEYPAD_MODE_ALPHA = 0x0001,
    KEYPAD_MODE_PREDICTIVE = 0x0002,
    KEYPAD_MODE_NUMERIC = 0x0004,
    KEYPAD_MODE_SYMBOL = 0x0008,
};

class Keypad : public Control {
public:
    Keypad();
    ~Keypad() override;

    // limitLength: the most characters that can be typed (1 or more).
    Osp::Base::result Construct(KeypadStyle style, KeypadInputModeCategory category, int limitLength = 100);
    // Text longer than the limit is cut to it.
    void SetText(const Osp::Base::String& text);
    Osp::Base::String GetText() const;
    void SetTitleText(const Osp::Base::String& title);
    void AddTextEventListener(const ITextEventListener& listener);
    void RemoveTextEventListener(const ITextEventListener& listener);

    struct Impl;
    Impl& GetKeypadImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
