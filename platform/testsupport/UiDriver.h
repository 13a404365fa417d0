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
#include "Osp/Ui/Controls/MessageBox.h"

namespace testsupport {

enum class PhoneKey { kLeftSoftkey, kRightSoftkey, kOptionKey, kEscape, kEnter, kRotate };

struct ShownMessageBox {
    std::wstring title;
    std::wstring text;
    Osp::Ui::Controls::MessageBoxStyle style;
    unsigned long timeout;
    int result;
};

class UiDriver {
public:
    // Shows the phone window (the frame exists from then on).
    UiDriver();
    // Closes what lies over the forms, removes every form from the frame, drops unused planned answers
    // and turns the phone upright, so that the next test starts on an empty screen.
    ~UiDriver();

    UiDriver(const UiDriver&) = delete;
    UiDriver& operator=(const UiDriver&) = delete;

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

    // The texts of the open menu's current level (empty when no menu is open).
    std::vector<std::wstring> MenuItems() const;
    bool IsMenuOpen() const;
    // Taps the item of the open menu with the text; false when there is none.
    bool ChooseMenuItem(const std::wstring& text) const;

    // The next message box shown will be answered with this result (MSGBOX_RESULT_CLOSE lets it time
    // out by itself). Answers are used in the order given.
    void AnswerNextMessageBox(Osp::Ui::Controls::MessageBoxModalResult answer) const;
    // Every message box shown since the driver was made, oldest first.
    std::vector<ShownMessageBox> MessageBoxes() const;
    // Boxes planned with AnswerNextMessageBox that have not been shown yet.
    size_t PendingAnswers() const;

    // Replaces the text being entered in the open keypad or the edit field whose keypad is open.
    bool TypeText(const std::wstring& text) const;
    // Taps the keypad's OK ("Done") or Cancel.
    bool ConfirmKeypad() const;
    bool CancelKeypad() const;
    bool IsKeypadOpen() const;

    // The text a control shows: a label, button, check button, edit field or edit area.
    std::wstring TextOf(const std::wstring& id) const;
    std::wstring TitleOf(const Osp::Ui::Controls::Form& form) const;

    // Saves what the window shows as a PNG file.
    bool SaveScreenshot(const std::string& hostPath) const;

private:
    size_t firstMessageBox_;
};

}  // namespace testsupport
