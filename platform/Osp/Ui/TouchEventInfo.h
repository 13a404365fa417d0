#pragma once
// What a touch listener learns besides the current position: where the touch started, what happened
// and whether the finger travelled far enough to make the touch a drag or flick rather than a tap.
// Positions are in the coordinates of the control that reports the touch.

#include "Osp/Graphics/Point.h"

namespace Osp::Ui {

enum TouchStatus {
    TOUCH_PRESSED,
    TOUCH_LONG_PRESSED,
    TOUCH_RELEASED,
    TOUCH_MOVED,
    TOUCH_DOUBLE_PRESSED,
    TOUCH_FOCUS_IN,
    TOUCH_FOCUS_OUT,
};

class TouchEventInfo {
public:
    TouchEventInfo(TouchStatus status, const Osp::Graphics::Point& start, const Osp::Graphics::Point& current,
                   bool flicked)
        : status_(status), start_(start), current_(current), flicked_(flicked) {}

    TouchStatus GetTouchStatus() const { return status_; }
    Osp::Graphics::Point GetStartPosition() const { return start_; }
    Osp::Graphics::Point GetCurrentPosition() const { return current_; }
    // True once the finger has moved beyond the tap distance since the press: the touch is a drag or a
    // flick, and its release is no tap.
    bool IsFlicked() const { return flicked_; }

private:
    TouchStatus status_;
    Osp::Graphics::Point start_;
    Osp::Graphics::Point current_;
    bool flicked_;
};

}  // namespace Osp::Ui
