#include "Osp/Base/TimeSpan.h"

namespace Osp::Base {

TimeSpan::TimeSpan(int days, int hours, int minutes, int seconds, int milliseconds)
    : ticks_(days * kDay + hours * kHour + minutes * kMinute + seconds * kSecond + milliseconds) {}

}  // namespace Osp::Base
