#pragma once
// TRANSACTION2 QUERY_FS_INFORMATION: the size of the share's disk, and the checked reading of the size
// answer. Stateless; any thread.

#include "net/smb1/Trans2Req.h"
#include "net/smb1/Trans2Resp.h"

inline constexpr unsigned short kQueryFsSizeLevel = 0x0103;

struct SFsSizeInfo {
    unsigned long long totalUnits = 0;
    unsigned long long freeUnits = 0;
    unsigned int sectorsPerUnit = 0;
    unsigned int bytesPerSector = 0;

    // The bytes of so many units, held at the largest number where a server's figures would overflow.
    unsigned long long Bytes(unsigned long long units) const;
};

bool ConstructTrans2QueryFsRequest(Trans2Req& req, unsigned short level);

// RES_BAD_RESPONSE unless the data is exactly the 24 bytes of the size level.
unsigned int ParseFsSizeResponse(const Trans2Resp& resp, SFsSizeInfo* info);
