#include "Osp/Locales/Locales.h"

#include <QDateTime>
#include <QLocale>
#include <ctime>

#include "host/QtString.h"

namespace Osp::Locales {

result TimeZone::GetOffset(long long ticks, int& offsetMinutes) const {
    time_t at = static_cast<time_t>(ticks / 1000);
    struct tm local;
    if (localtime_r(&at, &local) == nullptr) {
        return Osp::Base::E_FAILURE;
    }
    offsetMinutes = static_cast<int>(local.tm_gmtoff / 60);
    return Osp::Base::E_SUCCESS;
}

int TimeZone::GetRawOffset() const {
    int minutes = 0;
    GetOffset(static_cast<long long>(std::time(nullptr)) * 1000, minutes);
    return minutes;
}

DateTimeFormatter* DateTimeFormatter::CreateDateTimeFormatterN(const Locale& locale, DateTimeStyle dateStyle,
                                                               DateTimeStyle timeStyle) {
    auto* f = new DateTimeFormatter;
    f->locale_ = locale;
    f->dateStyle_ = dateStyle;
    f->timeStyle_ = timeStyle;
    return f;
}

result DateTimeFormatter::Format(const Osp::Base::DateTime& d, Osp::Base::String& out) const {
    QLocale locale = QLocale::system();
    auto format = [](DateTimeStyle s) {
        return s == DATE_TIME_STYLE_FULL || s == DATE_TIME_STYLE_LONG ? QLocale::LongFormat
                                                                      : QLocale::ShortFormat;
    };
    QDate date(d.GetYear(), d.GetMonth(), d.GetDay());
    QTime time(d.GetHour(), d.GetMinute(), d.GetSecond());
    QString text;
    if (dateStyle_ != DATE_TIME_STYLE_NONE) {
        text = locale.toString(date, format(dateStyle_));
    }
    if (timeStyle_ != DATE_TIME_STYLE_NONE) {
        if (!text.isEmpty()) {
            text += QLatin1Char(' ');
        }
        text += locale.toString(time, format(timeStyle_));
    }
    out = Osp::Base::String(host::FromQString(text));
    return Osp::Base::E_SUCCESS;
}

Locale LocaleManager::GetSystemLocale() const {
    Locale l;
    l.name = Osp::Base::String(host::FromQString(QLocale::system().name()));
    return l;
}

TimeZone LocaleManager::GetSystemTimeZone() const {
    return TimeZone();
}

}  // namespace Osp::Locales
