#pragma once
// What the TRANSACTION2 subcommands of this client have in common: one setup word naming the subcommand,
// no name, no setup words asked back. Stateless; any thread.

#include <cstddef>

#include "net/smb1/Trans2Req.h"

inline constexpr unsigned short TRANS2_FIND_FIRST2 = 0x0001;
inline constexpr unsigned short TRANS2_FIND_NEXT2 = 0x0002;
inline constexpr unsigned short TRANS2_QUERY_FS_INFORMATION = 0x0003;
inline constexpr unsigned short TRANS2_QUERY_PATH_INFORMATION = 0x0005;
inline constexpr unsigned short TRANS2_SET_PATH_INFORMATION = 0x0006;

// Constructs `req` for `subcommand` and writes its setup word; false when it does not fit one message.
bool ConstructTrans2Subcommand(Trans2Req& req, unsigned short subcommand, std::size_t paramCount,
                               std::size_t dataCount, unsigned short maxParamCount,
                               unsigned short maxDataCount);
