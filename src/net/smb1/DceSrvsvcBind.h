#pragma once
// The DCE/RPC bind packet that opens the server-service interface (srvsvc 3.0, NDR transfer syntax) on
// the "\srvsvc" pipe. Stateless; any thread.

inline constexpr unsigned int kDceSrvsvcBindLength = 72;

// A new packet (delete[] by the caller); *length gets its size.
unsigned char* PrepareDceSrvsvcBindPacket(unsigned int* length, unsigned short callId,
                                          unsigned short maxFragment);
