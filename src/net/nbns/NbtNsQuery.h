#pragma once
// The name-query datagram of the NetBIOS name service (UDP port 137): one question for a name of type NB,
// class IN, every field big-endian. Stateless; any thread.

#include <string>

inline constexpr unsigned short kNbtNsFlagsQuery = 0x0100;           // recursion desired
inline constexpr unsigned short kNbtNsFlagsBroadcastQuery = 0x0110;  // ... and broadcast

// A new datagram (delete[] by the caller) asking for `name` with `suffix`, with the broadcast flag when
// `broadcast` is set. The part of `name` before its
// first '.' is the NetBIOS name and the rest the scope. *length gets the datagram's size. Null, with
// *length 0, when the scope cannot be encoded (see ToL2NetBiosName).
unsigned char* PrepareNsQueryPacketN(int* length, const std::string& name, unsigned char suffix,
                                     unsigned short transId, bool broadcast);
