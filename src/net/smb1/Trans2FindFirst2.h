#pragma once
// TRANSACTION2 FIND_FIRST2: the first page of a folder listing, asked in the both-directory information
// level. Stateless; any thread.

#include <string>

#include "net/smb1/Trans2Req.h"

inline constexpr unsigned short kFindSearchCount = 64;
inline constexpr unsigned short kFindInfoLevel = 0x0104;
inline constexpr unsigned short kFindFirst2ResponseParams = 10;

// Lists the entries of `folder` (ending in '\') with the pattern folder + "*". False when the path does not
// fit one message.
bool ConstructTrans2FindFirst2Request(Trans2Req& req, const std::wstring& folder);
