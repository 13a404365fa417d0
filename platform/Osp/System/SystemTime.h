#pragma once

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/TimeSpan.h"

namespace Osp::System {

enum TimeMode { UTC_TIME = 0, WALL_TIME = 1, STANDARD_TIME = 2 };

class SystemTime {
public:
    // Milliseconds since 1 January 1970 UTC; it jumps when the wall clock is set.
    static Osp::Base::result GetTicks(long long& ticks);
    // Time since the system started, on a clock that never jumps: the one to measure durations with.
    static Osp::Base::result GetUptime(Osp::Base::TimeSpan& uptime);
    static Osp::Base::result GetCurrentTime(TimeMode mode, Osp::Base::DateTime& out);
    static Osp::Base::result GetCurrentTime(Osp::Base::DateTime& utc) {
        return GetCurrentTime(UTC_TIME, utc);
    }
};

}  // namespace Osp::System
