#include "Osp/Base/DateTime.h"

namespace Osp::Base {
namespace {

// Days from 1 January 1 to the given date, proleptic Gregorian calendar.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 306;  // days since 1 March 0 ...
}

const long long kDaysTo0001 = DaysFromCivil(1, 1, 1);
const long long kDaysTo1970 = DaysFromCivil(1970, 1, 1) - kDaysTo0001;
const long long kMaxTicks = (DaysFromCivil(9999, 12, 31) - kDaysTo0001 + 1) * TimeSpan::kDay - 1;

struct Civil {
    long long year;
    unsigned month;
    unsigned day;
};

Civil CivilFromDays(long long z) {
    z += 306;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {y + (m <= 2), m, d};
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

Civil CivilOf(long long ticks) {
    return CivilFromDays(ticks / TimeSpan::kDay + kDaysTo0001);
}

}  // namespace

result DateTime::SetValue(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999) {
        return E_OUT_OF_RANGE;
    }
    long long days =
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kDaysTo0001;
    ticks_ = days * TimeSpan::kDay + hour * TimeSpan::kHour + minute * TimeSpan::kMinute +
             second * TimeSpan::kSecond + millisecond;
    return E_SUCCESS;
}

result DateTime::SetValue(const TimeSpan& sinceMinimum) {
    if (sinceMinimum.GetTicks() < 0 || sinceMinimum.GetTicks() > kMaxTicks) {
        return E_OUT_OF_RANGE;
    }
    ticks_ = sinceMinimum.GetTicks();
    return E_SUCCESS;
}

int DateTime::GetYear() const {
    return static_cast<int>(CivilOf(ticks_).year);
}
int DateTime::GetMonth() const {
    return static_cast<int>(CivilOf(ticks_).month);
}
int DateTime::GetDay() const {
    return static_cast<int>(CivilOf(ticks_).day);
}
int DateTime::GetHour() const {
    return static_cast<int>(ticks_ / TimeSpan::kHour % 24);
}
int DateTime::GetMinute() const {
    return static_cast<int>(ticks_ / TimeSpan::kMinute % 60);
}
int DateTime::GetSecond() const {
    return static_cast<int>(ticks_ / TimeSpan::kSecond % 60);
}
int DateTime::GetMillisecond() const {
    return static_cast<int>(ticks_ % TimeSpan::kSecond);
}

int DateTime::GetDayOfWeek() const {
    // 1 January 1 was a Monday.
    return static_cast<int>((ticks_ / TimeSpan::kDay + 1) % 7) + 1;
}

result DateTime::Add(const TimeSpan& span) {
    return AddMilliseconds(span.GetTicks());
}
result DateTime::AddDays(int days) {
    return AddMilliseconds(days * TimeSpan::kDay);
}
result DateTime::AddHours(int hours) {
    return AddMilliseconds(hours * TimeSpan::kHour);
}
result DateTime::AddMinutes(int minutes) {
    return AddMilliseconds(minutes * TimeSpan::kMinute);
}
result DateTime::AddSeconds(int seconds) {
    return AddMilliseconds(seconds * TimeSpan::kSecond);
}

result DateTime::AddMilliseconds(long long ms) {
    long long t = ticks_ + ms;
    if (t < 0 || t > kMaxTicks) {
        return E_OUT_OF_RANGE;
    }
    ticks_ = t;
    return E_SUCCESS;
}

long long DateTime::ToUnixSeconds() const {
    long long ms = ticks_ - kDaysTo1970 * TimeSpan::kDay;
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

DateTime DateTime::FromUnixSeconds(long long seconds) {
    DateTime d;
    d.SetValue(TimeSpan(kDaysTo1970 * TimeSpan::kDay + seconds * TimeSpan::kSecond));
    return d;
}

DateTime DateTime::GetMaxValue() {
    DateTime d;
    d.ticks_ = kMaxTicks;
    return d;
}

}  // namespace Osp::Base
