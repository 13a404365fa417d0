#pragma once
// A modal message: a title, a text and the buttons of its style. ShowAndWait shows it over everything,
// runs the event loop until a button is pressed or the time-out (in milliseconds; 0 for none) passes,
// closes it and gives the result: the button pressed, or MSGBOX_RESULT_CLOSE after the time-out. On a
// desktop Enter or F1 presses the first button, Esc or F2 the last. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"

namespace Osp::Ui::Controls {

enum MessageBoxStyle {
    MSGBOX_STYLE_NONE,
    MSGBOX_STYLE_OK,
    MSGBOX_STYLE_CANCEL,
    MSGBOX_STYLE_OKCANCEL,
    MSGBOX_STYLE_YESNO,
    MSGBOX_STYLE_YESNOCANCEL,
    MSGBOX_STYLE_ABORTRETRYIGNORE,
    MSGBOX_STYLE_CANCELTRYCONTINUE,
    MSGBOX_STYLE_RETRYCANCEL,
};

enum MessageBoxModalResult {
    MSGBOX_RESULT_CLOSE = 0,
    MSGBOX_RESULT_OK,
    MSGBOX_RESULT_CANCEL,
    MSGBOX_RESULT_YES,
    MSGBOX_RESULT_NO,
    MSGBOX_RESULT_ABORT,
    MSGBOX_RESULT_TRY,
    MSGBOX_RESULT_RETRY,
    MSGBOX_RESULT_IGNORE,
    MSGBOX_RESULT_CONTINUE,
};

class MessageBox : public Control {
public:
    MessageBox();
    ~MessageBox() override;

    Osp::Base::result Construct(const Osp::Base::String& title, const Osp::Base::String& text,
                                MessageBoxStyle style = MSGBOX_STYLE_NONE, unsigned long timeout = 0);
    // E_INVALID_STATE before Construct or while the box already shows.
    Osp::Base::result ShowAndWait(int& modalResult);

    Osp::Base::String GetTitleText() const;
    Osp::Base::String GetText() const;
    MessageBoxStyle GetStyle() const;
    unsigned long GetTimeout() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
