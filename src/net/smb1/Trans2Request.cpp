#include "net/smb1/Trans2Request.h"

#include <string>

#include "app/ByteOrder.h"

bool ConstructTrans2Subcommand(Trans2Req& req, unsigned short subcommand, std::size_t paramCount,
                               std::size_t dataCount, unsigned short maxParamCount,
                               unsigned short maxDataCount) {
    if (paramCount > 0xFFFF || dataCount > 0xFFFF) {
        return false;
    }
    if (!req.Construct(SMB_COM_TRANSACTION2, 1, static_cast<unsigned short>(paramCount),
                       static_cast<unsigned short>(dataCount), 0, maxParamCount, maxDataCount,
                       std::wstring())) {
        return false;
    }
    SetUint16(req.GetSetup(), subcommand);
    return true;
}
