#pragma once
// The packed date and time of the older SMB information levels, in the server's local time. Stateless;
// any thread.

#include "Osp/Base/DateTime.h"

// Converts the UTC time `t` to the server's zone (`timeZone` minutes west of UTC, as its negotiate answer
// gives it) and packs it: date = years since 1980, month, day; time = hour, minute, seconds / 2. Years the
// format cannot hold are clamped to its first or last year.
void ToSmbDateTime(const Osp::Base::DateTime& t, short timeZone, unsigned short* date, unsigned short* time);
