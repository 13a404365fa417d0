#include "net/smb1/SmbWrite.h"

#include <cstring>

#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/WireReader.h"

namespace {

const unsigned char kWords = 14;
const unsigned char kResponseWords = 6;
// The data follows the header, the words, the byte count and one pad byte.
const unsigned short kDataOffset = kSmbFixedLength + 2 * kWords + 1;

}  // namespace

Smb* CreateSmbWriteRequestN(unsigned short fid, unsigned long long offset, const void* data,
                            unsigned int count) {
    if (count > kMaxSmbLargeWriteCount) {
        return nullptr;
    }
    // The pad byte and the data are all written below.
    Smb* smb = count > kMaxSmbWriteCount ? CreateLargeSmbRequestN(SMB_COM_WRITE_ANDX, kWords, count + 1)
                                         : CreateSmbRequestN(SMB_COM_WRITE_ANDX, kWords, count + 1, true);
    unsigned char* w = smb->words;
    SetFinalAndX(w);
    SetUint16(w + 4, fid);
    SetUint32(w + 6, static_cast<unsigned long>(offset & 0xFFFFFFFFu));
    SetUint16(w + 18, static_cast<unsigned short>(count >> 16));
    SetUint16(w + 20, static_cast<unsigned short>(count));
    SetUint16(w + 22, kDataOffset);
    SetUint32(w + 24, static_cast<unsigned long>(offset >> 32));
    smb->bytes[0] = 0;  // pad
    if (count > 0) {
        std::memcpy(smb->bytes + 1, data, count);
    }
    return smb;
}

unsigned int ParseWriteResponse(const Smb& response, unsigned int maxCount, unsigned int* count) {
    if (response.wordCount < kResponseWords) {
        return RES_BAD_RESPONSE;
    }
    WireReader words(response.words, 2u * response.wordCount);
    words.Skip(4);  // AndX
    unsigned int written = words.ReadUint16();
    words.Skip(2);  // available
    written |= static_cast<unsigned int>(words.ReadUint16()) << 16;
    if (words.Failed() || written > maxCount) {
        return RES_BAD_RESPONSE;
    }
    *count = written;
    return RES_OK;
}
