#include "net/smb1/Trans2SetPathInfo.h"

#include "Osp/System/SystemTime.h"
#include "app/ByteOrder.h"
#include "net/smb1/SmbDateTime.h"
#include "net/smb1/Trans2Request.h"

namespace {

const unsigned short kStandardInfoLevel = 0x0001;
const unsigned short kStandardInfoLength = 22;
const unsigned short kMaxParams = 2;
const unsigned short kMaxData = 1024;

unsigned char* WriteDateTime(unsigned char* p, const Osp::Base::DateTime& t, short timeZone) {
    unsigned short date;
    unsigned short time;
    ToSmbDateTime(t, timeZone, &date, &time);
    p = WriteUint16(p, date);
    return WriteUint16(p, time);
}

}  // namespace

bool ConstructTrans2SetInfoRequest(Trans2Req& req, const std::wstring& path,
                                   const Osp::Base::DateTime& modified, short timeZone) {
    if (!ConstructTrans2Subcommand(req, TRANS2_SET_PATH_INFORMATION, 6 + 2 * (path.size() + 1),
                                   kStandardInfoLength, kMaxParams, kMaxData)) {
        return false;
    }
    unsigned char* p = req.GetParams();
    p = WriteUint16(p, kStandardInfoLevel);
    p = WriteUint32(p, 0);  // reserved
    WriteUnicodeSz(p, path);

    Osp::Base::DateTime now;
    Osp::System::SystemTime::GetCurrentTime(Osp::System::UTC_TIME, now);
    unsigned char* d = req.GetData();
    d = WriteDateTime(d, now, timeZone);   // creation
    d = WriteDateTime(d, now, timeZone);   // last access
    WriteDateTime(d, modified, timeZone);  // last write; size, allocation and attributes stay 0
    return true;
}
