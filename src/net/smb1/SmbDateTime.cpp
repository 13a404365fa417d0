#include "net/smb1/SmbDateTime.h"

#include <algorithm>

namespace {

const int kFirstYear = 1980;
const int kLastYear = kFirstYear + 127;

}  // namespace

void ToSmbDateTime(const Osp::Base::DateTime& t, short timeZone, unsigned short* date, unsigned short* time) {
    Osp::Base::DateTime local = t;
    local.AddMinutes(-timeZone);
    int year = local.GetYear();
    if (year < kFirstYear) {
        *date = (1 << 5) | 1;  // 1 January of the first year
        *time = 0;
        return;
    }
    if (year > kLastYear) {
        *date = static_cast<unsigned short>(((kLastYear - kFirstYear) << 9) | (12 << 5) | 31);
        *time = static_cast<unsigned short>((23 << 11) | (59 << 5) | 29);
        return;
    }
    *date =
        static_cast<unsigned short>(((year - kFirstYear) << 9) | (local.GetMonth() << 5) | local.GetDay());
    *time = static_cast<unsigned short>((local.GetHour() << 11) | (local.GetMinute() << 5) |
                                        (local.GetSecond() / 2));
}
