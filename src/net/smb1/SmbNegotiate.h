#pragma once
// NEGOTIATE: the request offering the one dialect this client speaks, and the checked reading of the
// server's answer. Stateless; any thread.

#include <string>
#include <vector>

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_NEGOTIATE = 0x72;
inline constexpr unsigned char kNegotiateResponseWords = 17;
inline constexpr unsigned char SECURITY_USER_LEVEL = 0x01;
inline constexpr unsigned char SECURITY_CHALLENGE_RESPONSE = 0x02;
// Capabilities of a negotiate answer that change how the client talks.
inline constexpr unsigned int CAP_UNICODE = 0x0004;
inline constexpr unsigned int CAP_STATUS32 = 0x0040;
inline constexpr unsigned int CAP_LARGE_READX = 0x4000;
inline constexpr unsigned int CAP_LARGE_WRITEX = 0x8000;

// The new request (owned by the caller): no words, the bytes 0x02 "NT LM 0.12".
Smb* CreateSmbNegotiateProtocolRequestN();

// What the client uses of a negotiate answer.
struct SNegotiateInfo {
    unsigned char securityMode = 0;
    unsigned short maxMpx = 0;
    unsigned int maxBuffer = 0;
    unsigned int sessionKey = 0;
    unsigned int capabilities = 0;
    short serverTimeZone = 0;              // minutes
    std::vector<unsigned char> challenge;  // the data bytes the challenge length names
    std::wstring domain;                   // the primary domain behind the challenge
};

// RES_OK, or RES_BAD_RESPONSE when the answer does not have the 17 words of this dialect, names more
// challenge bytes than it carries, or asks for challenge/response without an 8-byte challenge. The domain
// ends at its zero unit or at the end of the bytes, whichever comes first.
unsigned int ParseNegotiateResponse(const Smb& response, SNegotiateInfo* info);
