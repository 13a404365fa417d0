#pragma once
// READ_ANDX: reading a block of an open file, and the checked reading of the answer. Stateless; any
// thread.

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_READ_ANDX = 0x2E;

// The new request (owned by the caller) for up to `count` bytes at `offset`: its low 16 bits in the
// maximum count, the high ones (a large read, for a server that offers them) in the word that follows
// the minimum count.
Smb* CreateSmbReadRequestN(unsigned short fid, unsigned long long offset, unsigned int count);

// The data of a successful answer: *data points into the answer, *count bytes long. RES_BAD_RESPONSE when
// the words are too few, the data does not lie inside the message, or it is longer than `maxCount`, the
// count that was asked for (so that a caller's buffer of that size always holds it).
unsigned int ParseReadResponse(const Smb& response, unsigned int maxCount, const unsigned char** data,
                               unsigned int* count);
