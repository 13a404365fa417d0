#pragma once
// WRITE_ANDX: writing a block of an open file, and the checked reading of the answer. Stateless; any
// thread.

#include "net/smb1/Smb.h"

inline constexpr unsigned char SMB_COM_WRITE_ANDX = 0x2F;
// One data byte fewer than the byte count can hold, for the pad byte ahead of the data.
inline constexpr unsigned int kMaxSmbWriteCount = kMaxSmbByteCount - 1;
// The most a large write carries, for a server that offers them; its byte count holds only the low 16
// bits, and the data length's high bits go in their own word.
inline constexpr unsigned int kMaxSmbLargeWriteCount = kMaxLargeSmbBytes - 1;

// The new request (owned by the caller) carrying `count` bytes of `data` for `offset`; a large write when
// `count` exceeds kMaxSmbWriteCount, null when it exceeds kMaxSmbLargeWriteCount.
Smb* CreateSmbWriteRequestN(unsigned short fid, unsigned long long offset, const void* data,
                            unsigned int count);

// The count the server wrote; RES_BAD_RESPONSE when the words are too few or the count is larger than
// `maxCount`, the count that was sent.
unsigned int ParseWriteResponse(const Smb& response, unsigned int maxCount, unsigned int* count);
