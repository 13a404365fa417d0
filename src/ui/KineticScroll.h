#pragma once
// Flick scrolling for a view: presses, drags and releases move the view with the finger, and a flick
// makes it glide on and slow down by a fixed table every 40 ms tick. The view implements IScrollable
// and keeps its own scroll position within its limits.
//
// User-interface thread only: the touch calls and the timer both arrive there. The target is not owned
// and must outlive the scroller.

#include <cstdint>

#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Graphics/Point.h"
#include "Osp/Ui/ITouchEventListener.h"

class IScrollable {
public:
    virtual ~IScrollable() = default;
    virtual int GetHorizontalScroll() const = 0;
    virtual int GetVerticalScroll() const = 0;
    // Scrolls to the point, clamped by the view to what it can show.
    virtual void SetScrollPos(const Osp::Graphics::Point& p, bool redraw) = 0;
};

// The target's scroll offset.
Osp::Graphics::Point GetScrollOffset(const IScrollable& target);
// Scrolls the target (redrawing it) and returns whether its offset changed.
bool SetScrollOffset(IScrollable& target, const Osp::Graphics::Point& p);
// Slows a speed (1/48 pixel per tick, each axis clamped to -max .. max) by the table's step for it.
Osp::Graphics::Point deaccelerate(const Osp::Graphics::Point& speed, int max);

class KineticScroll : public Osp::Ui::ITouchEventListener, public Osp::Base::Runtime::ITimerEventListener {
public:
    explicit KineticScroll(IScrollable* target);
    ~KineticScroll() override;

    void OnTouchPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                        const Osp::Ui::TouchEventInfo& touchInfo) override;
    void OnTouchLongPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                            const Osp::Ui::TouchEventInfo& touchInfo) override {}
    void OnTouchReleased(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                         const Osp::Ui::TouchEventInfo& touchInfo) override;
    void OnTouchMoved(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                      const Osp::Ui::TouchEventInfo& touchInfo) override;
    void OnTouchDoublePressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                              const Osp::Ui::TouchEventInfo& touchInfo) override {}
    void OnTouchFocusIn(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                        const Osp::Ui::TouchEventInfo& touchInfo) override {}
    void OnTouchFocusOut(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                         const Osp::Ui::TouchEventInfo& touchInfo) override {}
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;

    // Any move starts scrolling (no threshold of a few pixels first).
    void setSimpleScroll(bool simple) { m_bSimpleScroll = simple; }
    // The target's coordinates moved by delta under a finger still down (the target now shows its
    // content elsewhere); the drag goes on from the same content.
    void ShiftOrigin(const Osp::Graphics::Point& delta) { m_oOffset = m_oOffset + delta; }
    // Ends any motion; the timer stops at its next tick.
    void Stop();
    // Speed in pixels per tick.
    void SetSpeed(const Osp::Graphics::Point& p);
    Osp::Graphics::Point GetSpeed() const;

    // The kinds of touch the filter handles.
    enum TouchType { kPress = 2, kRelease = 3, kMove = 4 };
    // Feeds one touch; returns whether it was consumed.
    bool EventFilter(int type, const Osp::Graphics::Point& point);

private:
    enum State : std::uint8_t { kSteady = 0, kPressed = 1, kManualScroll = 2, kAutoScroll = 3 };

    void TakePress(const Osp::Graphics::Point& point);
    void StartTimer();
    // Milliseconds since the press.
    int Now() const;

    IScrollable* m_pTarget;
    std::uint8_t m_eState = kSteady;
    Osp::Graphics::Point m_oPressPos;
    Osp::Graphics::Point m_oOffset;
    Osp::Graphics::Point m_oDragPos;
    Osp::Graphics::Point m_oLastPos;  // touch position of the last move
    Osp::Graphics::Point m_oSpeed;    // 1/48 pixel per tick
    Osp::Base::Runtime::Timer m_oTimer;
    std::uint32_t m_nFlags = 0;
    int m_nLastTime = 0;
    int m_nSpeedTime = 0;
    bool m_bSimpleScroll = false;
    long long m_nPressTick = 0;
};
