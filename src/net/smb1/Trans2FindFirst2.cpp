#include "net/smb1/Trans2FindFirst2.h"

#include "app/ByteOrder.h"
#include "net/smb1/Trans2Request.h"

namespace {

const unsigned short kSearchAttributes = 0x0037;  // read-only, hidden, system, directory, archive
const unsigned short kFindFlags = 0x0006;         // close at the end, return resume keys
const unsigned short kMaxParams = 10;
const unsigned short kMaxData = 4096;

}  // namespace

bool ConstructTrans2FindFirst2Request(Trans2Req& req, const std::wstring& folder) {
    std::wstring pattern = folder + L"*";
    if (!ConstructTrans2Subcommand(req, TRANS2_FIND_FIRST2, 12 + 2 * (pattern.size() + 1), 0, kMaxParams,
                                   kMaxData)) {
        return false;
    }
    unsigned char* p = req.GetParams();
    p = WriteUint16(p, kSearchAttributes);
    p = WriteUint16(p, kFindSearchCount);
    p = WriteUint16(p, kFindFlags);
    p = WriteUint16(p, kFindInfoLevel);
    p = WriteUint32(p, 0);  // storage type
    WriteUnicodeSz(p, pattern);
    return true;
}
