#pragma once
// The 16-byte common header of a connection-oriented DCE/RPC packet, as this client writes it: version
// 5.0, a single fragment, little-endian data representation, no authentication. Stateless; any thread.

inline constexpr unsigned int kDceHeaderLength = 16;
inline constexpr unsigned char DCE_PACKET_REQUEST = 0;
inline constexpr unsigned char DCE_PACKET_BIND = 11;

// Writes the header at `packet` (whose first 16 bytes are zero).
void SetDceHeader(unsigned char* packet, unsigned char type, unsigned short fragmentLength,
                  unsigned short callId);
