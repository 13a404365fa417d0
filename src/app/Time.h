#pragma once
// Time zone, Windows file times and the shown date of a file. The first call of any function here
// creates the run's locale manager, system time zone and date formatter (InitTime); they live to the end
// of the process. Called on the user-interface thread only, except FiletimeToDateTime and
// NormaliseTzOffset, which hold no state and may be called from any thread.

#include "Osp/Base/DateTime.h"
#include "Osp/Base/String.h"

// A Windows file time: 100-nanosecond intervals since 1 January 1601 UTC, low half first.
struct SFileTime {
    unsigned int dwLowDateTime;
    unsigned int dwHighDateTime;
};

// Creates the run's time objects once; later calls do nothing.
void InitTime();

// The UTC calendar time of a file time, to the second. Times past the last date the platform holds give
// that last date.
void FiletimeToDateTime(const SFileTime& ft, Osp::Base::DateTime& out);

// The system time zone's offset from UTC now, in seconds, east positive.
int GetTzOffset();

// Brings an offset that a platform reports in minutes, seconds or milliseconds to seconds: values up to
// 1799 (all negative values among them) are minutes, values above 86400 milliseconds, the rest seconds.
int NormaliseTzOffset(int offset);

// The UTC time utc as wall-clock time of the system time zone, in the system locale's short date and time.
void FormatFileDate(Osp::Base::String* out, const Osp::Base::DateTime& utc);
