#pragma once
// ECHO: the cheapest request a server answers, to learn whether a connection that was idle still
// carries. Stateless; any thread.

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_ECHO = 0x2B;

// The new request (owned by the caller): one echo of one byte.
Smb* CreateSmbEchoRequestN();
