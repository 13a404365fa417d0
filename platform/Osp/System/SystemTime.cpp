#include "Osp/System/SystemTime.h"

#include <chrono>
#include <ctime>

namespace Osp::System {

Osp::Base::result SystemTime::GetTicks(long long& ticks) {
    ticks = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::system_clock::now().time_since_epoch())
                .count();
    return Osp::Base::E_SUCCESS;
}

Osp::Base::result SystemTime::GetUptime(Osp::Base::TimeSpan& uptime) {
    uptime = Osp::Base::TimeSpan(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
    return Osp::Base::E_SUCCESS;
}

Osp::Base::result SystemTime::GetCurrentTime(TimeMode mode, Osp::Base::DateTime& out) {
    long long ms;
    GetTicks(ms);
    long long seconds = ms / 1000;
    if (mode != UTC_TIME) {
        time_t now = static_cast<time_t>(seconds);
        struct tm local;
        localtime_r(&now, &local);
        long offset = local.tm_gmtoff;
        if (mode == STANDARD_TIME && local.tm_isdst > 0) {
            offset -= 3600;
        }
        seconds += offset;
    }
    out = Osp::Base::DateTime::FromUnixSeconds(seconds);
    out.AddMilliseconds(ms % 1000);
    return Osp::Base::E_SUCCESS;
}

}  // namespace Osp::System
