#pragma once
// TRANSACTION2 FIND_NEXT2: the following pages of a folder listing, resumed after a named entry.
// Stateless; any thread.

#include <string>

#include "net/smb1/Trans2Req.h"

inline constexpr unsigned short kFindNext2ResponseParams = 8;

// Continues the search `sid` after the entry named `resumeName`. False when the name does not fit one
// message.
bool ConstructTrans2FindNext2Request(Trans2Req& req, unsigned short sid, const std::wstring& resumeName);
