#pragma once
// Two small helpers of the user interface. User-interface thread only.

#include "Osp/Graphics/Point.h"
#include "Osp/Graphics/Rectangle.h"
#include "Osp/Ui/Control.h"
#include "Osp/Ui/Controls/Animation.h"
#include "Osp/Ui/Controls/Form.h"

// A new animation (owned by the caller) in rect, repeated `repeat` times, whose frames are the images
// named by pathFormat formatted with 0 to frames - 1 (at most 128 characters), each shown for frameMs
// milliseconds. Images that cannot be decoded are left out; null when none could be.
Osp::Ui::Controls::Animation* CreateAnimation(const wchar_t* pathFormat, int frames, int frameMs,
                                              const Osp::Graphics::Rectangle& rect, int repeat);

// The point, given in the control's coordinates, in the window's: the point plus the positions of the
// control and of all its ancestors, plus the origin of the form's client area when a form is given.
// Context menus open there.
Osp::Graphics::Point ControlToScreen(const Osp::Ui::Controls::Form* form, const Osp::Ui::Control& control,
                                     const Osp::Graphics::Point& point);
