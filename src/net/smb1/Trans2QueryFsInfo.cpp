#include "net/smb1/Trans2QueryFsInfo.h"

#include <limits>

#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/WireReader.h"
#include "net/smb1/Trans2Request.h"

namespace {

const unsigned short kMaxData = 1024;
const unsigned short kSizeInfoLength = 24;

}  // namespace

bool ConstructTrans2QueryFsRequest(Trans2Req& req, unsigned short level) {
    if (!ConstructTrans2Subcommand(req, TRANS2_QUERY_FS_INFORMATION, 2, 0, 0, kMaxData)) {
        return false;
    }
    WriteUint16(req.GetParams(), level);
    return true;
}

unsigned int ParseFsSizeResponse(const Trans2Resp& resp, SFsSizeInfo* info) {
    if (resp.GetDataCount() != kSizeInfoLength) {
        return RES_BAD_RESPONSE;
    }
    WireReader reader(resp.GetData(), resp.GetDataCount());
    info->totalUnits = reader.ReadUint64();
    info->freeUnits = reader.ReadUint64();
    info->sectorsPerUnit = reader.ReadUint32();
    info->bytesPerSector = reader.ReadUint32();
    return RES_OK;
}

unsigned long long SFsSizeInfo::Bytes(unsigned long long units) const {
    const unsigned long long unit = static_cast<unsigned long long>(sectorsPerUnit) * bytesPerSector;
    if (unit != 0 && units > std::numeric_limits<unsigned long long>::max() / unit) {
        return std::numeric_limits<unsigned long long>::max();
    }
    return units * unit;
}
