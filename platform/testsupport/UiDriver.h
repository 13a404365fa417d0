#pragma once
// Drives the phone's screen in tests the way a user would: taps, long presses and drags go through the
// real widgets as mouse input, keys through the window's key handling. It finds controls by their
// identifiers, answers message boxes planned in advance, types into keypads, reads what the screen shows
// and saves screenshots. Runs on the user-interface thread, offscreen in tests.
//
// Points are in the coordinates of the control named (for forms and popups: their client areas).

#include <string>
#include <vector>

#include "Osp/Graphics/Point.h"
#include "Osp/Ui/Control.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Frame.h"
#include "Osp/Ui/Controls/List.h"

namespace testsupport {

enum class PhoneKey { kLeftSoftkey, kRightSoftkey, kOptionKey, kEscape, kEnter, kRotate };

class UiDriver {
public:
    // Shows the phone window (the frame exists from then on).
    UiDriver();
    // Closes what lies over the forms, removes every form from the frame and turns the phone upright,
    // so that the next test starts on an empty screen.
    ~UiDriver();

    Osp::Ui::Controls::Frame& GetFrame() const;
    // The control with the identifier: in the topmost open popup, else in the current form (searched
    // recursively). Null when there is none.
    Osp::Ui::Control* Find(const std::wstring& id) const;
    template <typename T>
    T* Find(const std::wstring& id) const {
        return dynamic_cast<T*>(Find(id));
    }

    // Runs the event loop for the time (timers fire, drawing happens).
    void Pump(int milliseconds) const;

    void Tap(const Osp::Ui::Control& control, const Osp::Graphics::Point& at) const;
    void Tap(const Osp::Ui::Control& control) const;  // at its centre
    void Tap(const std::wstring& id) const;
    // Presses, rests long enough for a long press, then lifts.
    void LongPress(const Osp::Ui::Control& control, const Osp::Graphics::Point& at) const;
    // Drags from one point to the other in steps over the time; rests the finger for restMs before
    // lifting it.
    void Drag(const Osp::Ui::Control& control, const Osp::Graphics::Point& from,
              const Osp::Graphics::Point& to, int durationMs, int restMs = 0) const;

    // Taps an item's text, taps its check mark, or long-presses it (the list scrolls it into view
    // first when needed).
    void TapListItem(const Osp::Ui::Controls::List& list, int index) const;
    void ToggleListItem(const Osp::Ui::Controls::List& list, int index) const;
    void LongPressListItem(const Osp::Ui::Controls::List& list, int index) const;
    // The centre of an item's text area, in list coordinates (after scrolling it into view).
    Osp::Graphics::Point ListItemPoint(const Osp::Ui::Controls::List& list, int index) const;

    // Taps the key on the current form's soft-key bar.
    void PressSoftkey(Osp::Ui::Controls::Softkey softkey) const;
    void PressOptionKey() const;
    // A key of the desktop keyboard as the phone maps it.
    void PressKey(PhoneKey key) const;

    std::wstring TitleOf(const Osp::Ui::Controls::Form& form) const;

    // Saves what the window shows as a PNG file.
    bool SaveScreenshot(const std::string& hostPath) const;
};

}  // namespace testsupport
