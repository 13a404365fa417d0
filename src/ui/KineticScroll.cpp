#include "ui/KineticScroll.h"

#include <algorithm>
#include <cstdlib>

#include "Osp/System/SystemTime.h"

namespace {

using Osp::Graphics::Point;

constexpr int kTickMs = 40;
// Speeds are kept in 1/48 pixel per tick, so that slow glides still slow down smoothly.
constexpr int kSpeedScale = 48;
constexpr int kMaxSpeed = 6144;
constexpr int kStartDistance = 5;
constexpr int kSampleMs = 10;
// A finger that rests this long before lifting (or while down) has no speed left.
constexpr int kRestMs = 250;

constexpr std::uint32_t kFlagTimerRunning = 1u << 0;
constexpr std::uint32_t kFlagPressTimeValid = 1u << 3;
constexpr std::uint32_t kFlagsClearedOnRelease = (1u << 1) | (1u << 3);

struct SpeedStep {
    int threshold;
    int decrement;
};

// Searched in this order; the first row whose threshold is not above the speed gives the step.
constexpr SpeedStep s_oSpeedTable[] = {
    {3072, 144}, {1536, 96}, {960, 48}, {864, 6}, {384, 24},
};
constexpr int kSlowestDecrement = 12;

int Decrement(int absoluteSpeed) {
    for (const SpeedStep& step : s_oSpeedTable) {
        if (step.threshold <= absoluteSpeed) {
            return step.decrement;
        }
    }
    return kSlowestDecrement;
}

int SlowDown(int v, int max) {
    v = std::clamp(v, -max, max);
    const int step = Decrement(std::abs(v));
    if (v > 0) {
        return std::max(0, v - step);
    }
    if (v < 0) {
        return std::min(0, v + step);
    }
    return 0;
}

long long Ticks() {
    long long ticks = 0;
    Osp::System::SystemTime::GetTicks(ticks);
    return ticks;
}

}  // namespace

Point GetScrollOffset(const IScrollable& target) {
    return Point(target.GetHorizontalScroll(), target.GetVerticalScroll());
}

bool SetScrollOffset(IScrollable& target, const Point& p) {
    const Point before = GetScrollOffset(target);
    target.SetScrollPos(p, true);
    return GetScrollOffset(target) != before;
}

Point deaccelerate(const Point& speed, int max) {
    return Point(SlowDown(speed.x, max), SlowDown(speed.y, max));
}

KineticScroll::KineticScroll(IScrollable* target) : m_pTarget(target) {
    m_oTimer.Construct(*this);
}

KineticScroll::~KineticScroll() {
    m_oTimer.Cancel();
}

void KineticScroll::OnTouchPressed(const Osp::Ui::Control&, const Point& currentPosition,
                                   const Osp::Ui::TouchEventInfo&) {
    EventFilter(kPress, currentPosition);
}

void KineticScroll::OnTouchReleased(const Osp::Ui::Control&, const Point& currentPosition,
                                    const Osp::Ui::TouchEventInfo&) {
    EventFilter(kRelease, currentPosition);
}

void KineticScroll::OnTouchMoved(const Osp::Ui::Control&, const Point& currentPosition,
                                 const Osp::Ui::TouchEventInfo&) {
    EventFilter(kMove, currentPosition);
}

void KineticScroll::Stop() {
    m_eState = kSteady;
}

void KineticScroll::SetSpeed(const Point& p) {
    m_oSpeed = Point(p.x * kSpeedScale, p.y * kSpeedScale);
}

Point KineticScroll::GetSpeed() const {
    return Point(m_oSpeed.x / kSpeedScale, m_oSpeed.y / kSpeedScale);
}

int KineticScroll::Now() const {
    return static_cast<int>(Ticks() - m_nPressTick);
}

void KineticScroll::StartTimer() {
    m_nFlags |= kFlagTimerRunning;
    m_oTimer.Start(kTickMs);
}

void KineticScroll::TakePress(const Point& point) {
    m_oPressPos = point;
    m_oLastPos = point;
    m_oOffset = GetScrollOffset(*m_pTarget);
    StartTimer();
    m_nPressTick = Ticks();
    m_nLastTime = 0;
    m_nSpeedTime = 0;
    m_nFlags |= kFlagPressTimeValid;
}

bool KineticScroll::EventFilter(int type, const Point& point) {
    switch (type) {
        case kPress:
            if (m_eState == kSteady) {
                m_eState = kPressed;
                TakePress(point);
                return true;
            }
            if (m_eState == kAutoScroll) {
                // A touch catches the gliding content and starts a new drag from the touch point.
                m_eState = kManualScroll;
                m_oSpeed = Point();
                TakePress(point);
                m_oDragPos = point;
                return true;
            }
            TakePress(point);
            return false;
        case kMove:
            m_oLastPos = point;
            if (m_eState == kPressed) {
                if (!m_bSimpleScroll && std::abs(point.y - m_oPressPos.y) < kStartDistance) {
                    return false;
                }
                m_eState = kManualScroll;
                m_oDragPos = point;
                SetSpeed(point - m_oPressPos);
                StartTimer();
                m_nLastTime = m_nSpeedTime = Now();
                return true;
            }
            if (m_eState == kManualScroll) {
                const bool moved = SetScrollOffset(*m_pTarget, m_oOffset - (point - m_oPressPos));
                const int now = Now();
                const int elapsed = now - m_nSpeedTime;
                if (elapsed > kSampleMs) {
                    const Point delta = point - m_oDragPos;
                    SetSpeed(Point(delta.x * kTickMs / elapsed, delta.y * kTickMs / elapsed));
                    m_oDragPos = point;
                    m_nSpeedTime = now;
                }
                m_nLastTime = now;
                return moved;
            }
            return false;
        case kRelease: {
            m_nFlags &= ~kFlagsClearedOnRelease;
            if (m_eState == kPressed) {
                m_eState = kSteady;
                return true;
            }
            if (m_eState == kManualScroll) {
                m_eState = kAutoScroll;
                const int now = Now();
                if (now - m_nLastTime > kRestMs) {
                    SetSpeed(point - m_oDragPos);
                    m_oDragPos = point;
                    m_nSpeedTime = now;
                }
                return true;
            }
            if (m_eState == kAutoScroll) {
                m_eState = kSteady;
                m_oSpeed = Point();
            }
            return false;
        }
        default:
            return false;
    }
}

void KineticScroll::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    switch (m_eState) {
        case kManualScroll: {
            const int now = Now();
            if (now - m_nLastTime > kRestMs) {
                SetSpeed(m_oLastPos - m_oDragPos);
                m_oDragPos = m_oLastPos;
                m_nSpeedTime = now;
            }
            break;
        }
        case kAutoScroll:
            m_oSpeed = deaccelerate(m_oSpeed, kMaxSpeed);
            if (GetSpeed() == Point() ||
                !SetScrollOffset(*m_pTarget, GetScrollOffset(*m_pTarget) - GetSpeed())) {
                m_eState = kSteady;
            }
            break;
        default:
            break;
    }
    if (m_eState == kSteady) {
        m_nFlags &= ~kFlagTimerRunning;
        return;
    }
    StartTimer();
}
