#include "net/smb1/Trans2FindNext2.h"

#include "app/ByteOrder.h"
#include "net/smb1/Trans2FindFirst2.h"
#include "net/smb1/Trans2Request.h"

namespace {

const unsigned short kFindFlags = 0x0006;  // close at the end, return resume keys
const unsigned short kMaxParams = 8;
const unsigned short kMaxData = 4096;

}  // namespace

bool ConstructTrans2FindNext2Request(Trans2Req& req, unsigned short sid, const std::wstring& resumeName) {
    if (!ConstructTrans2Subcommand(req, TRANS2_FIND_NEXT2, 12 + 2 * (resumeName.size() + 1), 0, kMaxParams,
                                   kMaxData)) {
        return false;
    }
    unsigned char* p = req.GetParams();
    p = WriteUint16(p, sid);
    p = WriteUint16(p, kFindSearchCount);
    p = WriteUint16(p, kFindInfoLevel);
    p = WriteUint32(p, 0);  // resume key
    p = WriteUint16(p, kFindFlags);
    WriteUnicodeSz(p, resumeName);
    return true;
}
