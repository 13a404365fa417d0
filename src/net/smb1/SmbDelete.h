#pragma once
// DELETE: removing a file. Stateless; any thread.

#include <string>

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_DELETE = 0x06;

// The new request (owned by the caller); null when the path is too long for one message.
Smb* CreateSmbDeleteRequestN(const std::wstring& path);
