#include "net/smb1/Trans2QueryPathInfo.h"

#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/WireReader.h"
#include "net/smb1/Trans2Request.h"

namespace {

const unsigned short kMaxParams = 2;
const unsigned short kMaxData = 1024;

}  // namespace

bool ConstructTrans2QueryInfoRequest(Trans2Req& req, unsigned short level, const std::wstring& path) {
    if (!ConstructTrans2Subcommand(req, TRANS2_QUERY_PATH_INFORMATION, 6 + 2 * (path.size() + 1), 0,
                                   kMaxParams, kMaxData)) {
        return false;
    }
    unsigned char* p = req.GetParams();
    p = WriteUint16(p, level);
    p = WriteUint32(p, 0);  // reserved
    WriteUnicodeSz(p, path);
    return true;
}

unsigned int ParseAllInfoResponse(const Trans2Resp& resp, SSmbFileInfo* info) {
    WireReader reader(resp.GetData(), resp.GetDataCount());
    info->creationTime = reader.ReadUint64();
    info->accessTime = reader.ReadUint64();
    info->writeTime = reader.ReadUint64();
    info->changeTime = reader.ReadUint64();
    info->attributes = reader.ReadUint32();
    reader.Skip(4);
    info->allocationSize = reader.ReadUint64();
    info->endOfFile = reader.ReadUint64();
    reader.Skip(12);  // link count, delete pending, directory flag, reserved, EA size
    unsigned int nameBytes = reader.ReadUint32();
    if (nameBytes % 2 != 0) {
        reader.Fail();
    }
    info->name = reader.ReadUtf16(nameBytes / 2);
    return reader.Failed() ? RES_BAD_RESPONSE : RES_OK;
}
