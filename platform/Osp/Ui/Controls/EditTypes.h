#pragma once
// Settings shared by edit fields and edit areas.

namespace Osp::Ui::Controls {

// FULLSCREEN edits in place (a desktop keyboard types into it); OVERLAY, on a scroll panel, opens the
// panel's overlay keypad with two command buttons when the field is tapped.
enum InputStyle {
    INPUT_STYLE_FULLSCREEN,
    INPUT_STYLE_OVERLAY,
};

// Which kinds of characters may be typed; without ALPHA and PREDICTIVE no letters are accepted.
enum EditInputModeCategory : unsigned long {
    EDIT_INPUTMODE_ALPHA = 0x0001,
    EDIT_INPUTMODE_PREDICTIVE = 0x0002,
    EDIT_INPUTMODE_NUMERIC = 0x0004,
    EDIT_INPUTMODE_SYMBOL = 0x0008,
};

enum CommandButtonPosition {
    COMMAND_BUTTON_POSITION_LEFT,
    COMMAND_BUTTON_POSITION_RIGHT,
};

}  // namespace Osp::Ui::Controls
