#pragma once
// TREE_CONNECT_ANDX: connecting to a share of a logged-on session. Stateless; any thread.

#include <string>

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_TREE_CONNECT_ANDX = 0x75;

// The new request (owned by the caller) for the UNC `path`, with `uid` in its header. The password is a
// single zero byte when empty, the NTLM response to the 8-byte `challenge` with `encryptPasswords`, and
// the low bytes of its units otherwise; a pad byte follows where the path would start at an odd offset.
// Null when the path is too long for one message.
Smb* CreateSmbTreeConnectRequestN(const std::wstring& password, const unsigned char* challenge,
                                  unsigned short uid, const std::wstring& path, bool encryptPasswords);
