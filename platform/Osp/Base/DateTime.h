#pragma once
// A calendar date and time with millisecond precision, from 1 January 1 to 31 December 9999, without a
// time zone of its own (the caller knows whether it holds UTC or wall-clock time). The default value is
// the minimum, 1 January 1 00:00:00.

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/TimeSpan.h"

namespace Osp::Base {

class DateTime : public Object {
public:
    DateTime() = default;

    // E_OUT_OF_RANGE (and no change) for a field outside its calendar range.
    result SetValue(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                    int millisecond = 0);
    result SetValue(const TimeSpan& sinceMinimum);

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetMillisecond() const;
    int GetDayOfWeek() const;  // 1 Sunday .. 7 Saturday

    // The time since the minimum value.
    TimeSpan GetTime() const { return TimeSpan(ticks_); }

    result Add(const TimeSpan& span);
    result AddDays(int days);
    result AddHours(int hours);
    result AddMinutes(int minutes);
    result AddSeconds(int seconds);
    result AddMilliseconds(long long ms);

    // Seconds since 1 January 1970 UTC, and back.
    long long ToUnixSeconds() const;
    static DateTime FromUnixSeconds(long long seconds);

    int CompareTo(const DateTime& o) const { return ticks_ < o.ticks_ ? -1 : ticks_ > o.ticks_ ? 1 : 0; }
    bool operator==(const DateTime& o) const { return ticks_ == o.ticks_; }
    bool operator!=(const DateTime& o) const { return ticks_ != o.ticks_; }
    bool operator<(const DateTime& o) const { return ticks_ < o.ticks_; }
    bool operator>(const DateTime& o) const { return ticks_ > o.ticks_; }
    bool operator<=(const DateTime& o) const { return ticks_ <= o.ticks_; }
    bool operator>=(const DateTime& o) const { return ticks_ >= o.ticks_; }

    static DateTime GetMinValue() { return DateTime(); }
    static DateTime GetMaxValue();

private:
    long long ticks_ = 0;  // milliseconds since the minimum value
};

}  // namespace Osp::Base
