#pragma once
// SESSION_SETUP_ANDX: the logon request, built from the server's negotiate answer. Stateless; any thread.

#include <string>

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_SESSION_SETUP_ANDX = 0x73;

// The new request (owned by the caller). The password block is empty for share-level security without a
// password, the NTLM response to the negotiate answer's challenge (twice) with `encryptPasswords`, and the
// plain UTF-16 password otherwise. The session key and primary domain come from `negotiateResponse`. Null
// when that answer fails ParseNegotiateResponse (the session checks it first) or the strings are too long
// for one message.
Smb* CreateSessionSetupRequestN(const std::wstring& user, const std::wstring& password,
                                const Smb* negotiateResponse, unsigned long capabilities,
                                unsigned short maxBuffer, unsigned short maxMpx, bool userLevel,
                                bool encryptPasswords);

// True when the server's successful answer says it logged the user on as its guest account.
bool IsGuestLogon(const Smb& response);
