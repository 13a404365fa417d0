#pragma once
// TRANSACTION2 QUERY_PATH_INFORMATION: what the server knows about one path, and the checked reading of
// the all-information answer. Stateless; any thread.

#include <string>

#include "net/SmbFileInfo.h"
#include "net/smb1/Trans2Req.h"
#include "net/smb1/Trans2Resp.h"

inline constexpr unsigned short kQueryAllInfoLevel = 0x0107;

// Asks for `level` of `path`. False when the path does not fit one message.
bool ConstructTrans2QueryInfoRequest(Trans2Req& req, unsigned short level, const std::wstring& path);

// Reads an all-information answer: times, attributes, sizes and the name (as the server spells it, often a
// path). RES_BAD_RESPONSE when the data is shorter than the fixed part or the name runs past it.
unsigned int ParseAllInfoResponse(const Trans2Resp& resp, SSmbFileInfo* info);
