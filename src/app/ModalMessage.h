#pragma once
// The one way the application's screens ask or tell the user something in a modal box. User-interface
// thread only: the call returns when the box closes.

#include <string>

#include "Osp/Ui/Controls/MessageBox.h"

// Shows a box with the title, text and buttons of the style, closing by itself after timeoutMs when that
// is not 0. Returns the button pressed, or MSGBOX_RESULT_CLOSE after the time-out or when the box could
// not be shown.
int ShowModalMessage(const std::wstring& title, const std::wstring& text,
                     Osp::Ui::Controls::MessageBoxStyle style, unsigned long timeoutMs = 0);
