#pragma once
// Receives the touches of a control, from a touch screen or a mouse, on the user-interface thread.
// A touch is: pressed, any number of moves, then released. When the finger rests for about 600 ms
// without travelling beyond the tap distance, OnTouchLongPressed comes before the release; such a touch
// is no tap (lists and buttons do not act on its release). A second press soon after a tap also reports
// OnTouchDoublePressed. Positions are in the coordinates of the source control. The listener may delete
// the source control inside a call; no further call for that touch follows then.

#include "Osp/Graphics/Point.h"
#include "Osp/Ui/TouchEventInfo.h"

namespace Osp::Ui {

class Control;

class ITouchEventListener {
public:
    virtual ~ITouchEventListener() = default;
    virtual void OnTouchDoublePressed(const Control& source, const Osp::Graphics::Point& currentPosition,
                                      const TouchEventInfo& touchInfo) = 0;
    virtual void OnTouchFocusIn(const Control& source, const Osp::Graphics::Point& currentPosition,
                                const TouchEventInfo& touchInfo) = 0;
    virtual void OnTouchFocusOut(const Control& source, const Osp::Graphics::Point& currentPosition,
                                 const TouchEventInfo& touchInfo) = 0;
    virtual void OnTouchLongPressed(const Control& source, const Osp::Graphics::Point& currentPosition,
                                    const TouchEventInfo& touchInfo) = 0;
    virtual void OnTouchMoved(const Control& source, const Osp::Graphics::Point& currentPosition,
                              const TouchEventInfo& touchInfo) = 0;
    virtual void OnTouchPressed(const Control& source, const Osp::Graphics::Point& currentPosition,
                                const TouchEventInfo& touchInfo) = 0;
    virtual void OnTouchReleased(const Control& source, const Osp::Graphics::Point& currentPosition,
                                 const TouchEventInfo& touchInfo) = 0;
};

}  // namespace Osp::Ui
