#pragma once
// Where a point of a control lies on the screen, for placing context menus. User-interface thread only.

#include "Osp/Graphics/Point.h"
#include "Osp/Ui/Control.h"
#include "Osp/Ui/Controls/Form.h"

// The point, given in the control's coordinates, moved by the positions of the control and of each of
// its ancestors; with a form, also by the origin of the form's client area, in which its controls lie.
Osp::Graphics::Point ControlToScreen(const Osp::Ui::Controls::Form* form, const Osp::Ui::Control& control,
                                     const Osp::Graphics::Point& point);
