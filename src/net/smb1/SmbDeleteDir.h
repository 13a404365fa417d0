#pragma once
// DELETE_DIRECTORY: removing an empty folder. Stateless; any thread.

#include <string>

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_DELETE_DIRECTORY = 0x01;

// The new request (owned by the caller); null when the path is too long for one message.
Smb* CreateSmbDeleteDirRequestN(const std::wstring& path);
