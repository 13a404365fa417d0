#include "app/Time.h"

#include <algorithm>
#include <memory>

#include "Osp/Locales/Locales.h"
#include "Osp/System/SystemTime.h"

namespace {

struct STimeState {
    Osp::Locales::LocaleManager localeManager;
    Osp::Locales::TimeZone timeZone;
    std::unique_ptr<Osp::Locales::DateTimeFormatter> formatter;
};

std::unique_ptr<STimeState>& TimeState() {
    static std::unique_ptr<STimeState> state;
    return state;
}

constexpr long long kFileTimeUnitsPerSecond = 10000000;
constexpr int kLargestMinutesOffset = 1799;
constexpr int kSecondsPerDay = 86400;

// The offset of the system time zone, in seconds, at a time given in milliseconds since 1970 UTC; 0 when
// the zone cannot tell.
int OffsetAt(long long ticks) {
    InitTime();
    int offset = 0;
    if (TimeState()->timeZone.GetOffset(ticks, offset) != Osp::Base::E_SUCCESS) {
        return 0;
    }
    return NormaliseTzOffset(offset);
}

}  // namespace

void InitTime() {
    std::unique_ptr<STimeState>& state = TimeState();
    if (state) {
        return;
    }
    state = std::make_unique<STimeState>();
    state->localeManager.Construct();
    state->timeZone = state->localeManager.GetSystemTimeZone();
    state->formatter.reset(Osp::Locales::DateTimeFormatter::CreateDateTimeFormatterN(
        state->localeManager.GetSystemLocale(), Osp::Locales::DATE_TIME_STYLE_SHORT,
        Osp::Locales::DATE_TIME_STYLE_SHORT));
}

// The whole 64-bit count is converted, so that times before 1970 and after 2106 (a zero time from an
// archive among them) keep their true dates instead of wrapping around a 32-bit count of seconds.
void FiletimeToDateTime(const SFileTime& ft, Osp::Base::DateTime& out) {
    unsigned long long units = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    long long seconds = static_cast<long long>(units / kFileTimeUnitsPerSecond);
    Osp::Base::DateTime date;
    date.SetValue(1601, 1, 1);
    if (date.Add(Osp::Base::TimeSpan(seconds * Osp::Base::TimeSpan::kSecond)) != Osp::Base::E_SUCCESS) {
        date.SetValue(9999, 12, 31, 23, 59, 59);
    }
    out = date;
}

int GetTzOffset() {
    long long now = 0;
    Osp::System::SystemTime::GetTicks(now);
    return OffsetAt(now);
}

int NormaliseTzOffset(int offset) {
    if (offset <= kLargestMinutesOffset) {
        // No zone lies a day or more behind UTC; the floor keeps a nonsense value from overflowing.
        return static_cast<int>(std::max<long long>(offset * 60LL, -kSecondsPerDay));
    }
    if (offset > kSecondsPerDay) {
        return offset / 1000;
    }
    return offset;
}

void FormatFileDate(Osp::Base::String* out, const Osp::Base::DateTime& utc) {
    // The offset at the file's own date, so that a summer date shows summer time even in winter.
    Osp::Base::DateTime wall = utc;
    wall.AddSeconds(OffsetAt(utc.ToUnixSeconds() * 1000));
    out->Clear();
    TimeState()->formatter->Format(wall, *out);
}
