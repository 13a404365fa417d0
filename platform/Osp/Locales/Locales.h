#pragma once
// The system's locale and time zone. A time zone reports its offset from UTC in minutes.

#include <memory>

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::Locales {

using Osp::Base::result;

class Locale : public Osp::Base::Object {
public:
    Osp::Base::String name;  // the host locale's name, for example "en_GB"
};

class TimeZone : public Osp::Base::Object {
public:
    // The offset from UTC in minutes (east positive) at a time given in milliseconds since 1970 UTC.
    result GetOffset(long long ticks, int& offsetMinutes) const;
    int GetRawOffset() const;  // minutes, now
};

enum DateTimeStyle {
    DATE_TIME_STYLE_NONE = 0,
    DATE_TIME_STYLE_FULL = 1,
    DATE_TIME_STYLE_SHORT = 2,
    DATE_TIME_STYLE_MEDIUM = 3,
    DATE_TIME_STYLE_LONG = 4,
};

class DateTimeFormatter : public Osp::Base::Object {
public:
    static DateTimeFormatter* CreateDateTimeFormatterN(const Locale& locale, DateTimeStyle dateStyle,
                                                       DateTimeStyle timeStyle);
    // Formats the date and time as they are (no time-zone conversion).
    result Format(const Osp::Base::DateTime& dateTime, Osp::Base::String& out) const;

private:
    DateTimeStyle dateStyle_ = DATE_TIME_STYLE_SHORT;
    DateTimeStyle timeStyle_ = DATE_TIME_STYLE_SHORT;
    Locale locale_;
};

class LocaleManager : public Osp::Base::Object {
public:
    result Construct() { return Osp::Base::E_SUCCESS; }
    Locale GetSystemLocale() const;
    TimeZone GetSystemTimeZone() const;
};

}  // namespace Osp::Locales
