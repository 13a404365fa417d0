#pragma once
// NT_CREATE_ANDX: opening or creating a file or a folder, and the checked reading of the answer.
// Stateless; any thread.

#include <string>

#include "fs/FsTypes.h"
#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_NT_CREATE_ANDX = 0xA2;

// The new request (owned by the caller) for the share-relative `path`; `directory` asks for a folder.
// Null when the path is too long for one message.
Smb* CreateSmbNtCreateRequestN(const std::wstring& path, TFileMode mode, TFileDisp disp, bool directory);

// The file id and end of file of a successful answer; RES_BAD_RESPONSE when its words are too few.
unsigned int ParseNtCreateResponse(const Smb& response, unsigned short* fid, unsigned long long* endOfFile);
