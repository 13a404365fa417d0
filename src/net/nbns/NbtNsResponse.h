#pragma once
// Reading a name-service answer datagram. Every byte comes from the network: each field is checked against
// the datagram's length before it is read. Stateless; any thread.

// The datagram's transaction id (its first two bytes, big-endian), or 0 when it is shorter than a header.
unsigned short GetNsResponseTransId(const unsigned char* packet, unsigned int length);

// Picks one unique (non-group) IPv4 address from a positive answer to the query `transId`: the first
// one with `takeFirst`; otherwise the one equal to `preferred` (the sender) when listed, else the first.
// Addresses are in host byte order. False, leaving *address alone, when the datagram is not such an
// answer or lists no unique address.
bool ParseNsResponsePacket(unsigned long* address, const unsigned char* packet, unsigned int length,
                           unsigned short transId, unsigned long preferred, bool takeFirst);
