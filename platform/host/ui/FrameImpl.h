#pragma once
// What lies behind Osp::Ui::Controls::Frame. For platform code.

#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Frame.h"
#include "host/ui/FrameWindow.h"

namespace Osp::Ui::Controls {

struct Frame::Impl {
    // Fits the phone to the window: the orientation follows the window's shape, the current form takes
    // the status it has for that orientation and the size in units the window gives it, and every
    // control is placed again at the new scale. The form's listeners are told when its status changed.
    void ApplyOrientation(Frame& frame);
    // The window took a new size.
    void FitWindow(Frame& frame, const QSize& size);

    host::FrameWindow* window = nullptr;
    // The window's size in device-independent pixels, as last asked or reported.
    QSize windowSize;
    Form* current = nullptr;
    OrientationStatus device = ORIENTATION_STATUS_PORTRAIT;
};

}  // namespace Osp::Ui::Controls
