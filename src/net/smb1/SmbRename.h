#pragma once
// RENAME: renaming or moving a file or folder within a share. Stateless; any thread.

#include <string>

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_RENAME = 0x07;

// The new request (owned by the caller); null when the paths are too long for one message.
Smb* CreateSmbRenameRequestN(const std::wstring& oldPath, const std::wstring& newPath);
