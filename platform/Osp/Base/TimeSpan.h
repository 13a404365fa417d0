#pragma once

#include "Osp/Base/Object.h"

namespace Osp::Base {

// A signed duration in milliseconds (the platform's ticks).
class TimeSpan : public Object {
public:
    TimeSpan() = default;
    explicit TimeSpan(long long ticks) : ticks_(ticks) {}
    TimeSpan(int days, int hours, int minutes, int seconds, int milliseconds = 0);

    long long GetTicks() const { return ticks_; }
    int GetDays() const { return static_cast<int>(ticks_ / kDay); }
    int GetHours() const { return static_cast<int>(ticks_ / kHour % 24); }
    int GetMinutes() const { return static_cast<int>(ticks_ / kMinute % 60); }
    int GetSeconds() const { return static_cast<int>(ticks_ / kSecond % 60); }
    int GetMilliseconds() const { return static_cast<int>(ticks_ % kSecond); }

    TimeSpan operator+(const TimeSpan& o) const { return TimeSpan(ticks_ + o.ticks_); }
    TimeSpan operator-(const TimeSpan& o) const { return TimeSpan(ticks_ - o.ticks_); }
    bool operator==(const TimeSpan& o) const { return ticks_ == o.ticks_; }
    bool operator!=(const TimeSpan& o) const { return ticks_ != o.ticks_; }
    bool operator<(const TimeSpan& o) const { return ticks_ < o.ticks_; }
    bool operator>(const TimeSpan& o) const { return ticks_ > o.ticks_; }
    bool operator<=(const TimeSpan& o) const { return ticks_ <= o.ticks_; }
    bool operator>=(const TimeSpan& o) const { return ticks_ >= o.ticks_; }

    static constexpr long long kSecond = 1000;
    static constexpr long long kMinute = 60 * kSecond;
    static constexpr long long kHour = 60 * kMinute;
    static constexpr long long kDay = 24 * kHour;

private:
    long long ticks_ = 0;
};

}  // namespace Osp::Base
