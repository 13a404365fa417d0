#pragma once
// CLOSE: closing an open file. Stateless; any thread.

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_CLOSE = 0x04;

// The new request (owned by the caller); the file's time is left as the server has it.
Smb* CreateSmbCloseRequestN(unsigned short fid);
