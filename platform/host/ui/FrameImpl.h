#pragma once
// What lies behind Osp::Ui::Controls::Frame. For platform code.

#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Frame.h"
#include "host/ui/FrameWindow.h"

namespace Osp::Ui::Controls {

struct Frame::Impl {
    // Gives the current form the status it takes for the phone's orientation and turns the window to
    // it; the form's listeners are told when its status changed.
    void ApplyOrientation(Frame& frame);

    host::FrameWindow* window = nullptr;
    Form* current = nullptr;
    OrientationStatus device = ORIENTATION_STATUS_PORTRAIT;
};

}  // namespace Osp::Ui::Controls
