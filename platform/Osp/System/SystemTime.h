#pragma once

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Result.h"

namespace Osp::System {

enum TimeMode { UTC_TIME = 0, WALL_TIME = 1, STANDARD_TIME = 2 };

class SystemTime {
public:
    // Milliseconds since 1 January 1970 UTC.
    static Osp::Base::result GetTicks(long long& ticks);
    static Osp::Base::result GetCurrentTime(TimeMode mode, Osp::Base::DateTime& out);
    static Osp::Base::result GetCurrentTime(Osp::Base::DateTime& utc) {
        return GetCurrentTime(UTC_TIME, utc);
    }
};

}  // namespace Osp::System
