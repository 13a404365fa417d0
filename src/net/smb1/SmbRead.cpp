#include "net/smb1/SmbRead.h"

#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/WireReader.h"

namespace {

const unsigned char kWords = 12;
const unsigned char kResponseWords = 12;

}  // namespace

Smb* CreateSmbReadRequestN(unsigned short fid, unsigned long long offset, unsigned int count) {
    Smb* smb = CreateSmbRequestN(SMB_COM_READ_ANDX, kWords, 0);
    unsigned char* w = smb->words;
    SetFinalAndX(w);
    SetUint16(w + 4, fid);
    SetUint32(w + 6, static_cast<unsigned long>(offset & 0xFFFFFFFFu));
    SetUint16(w + 10, static_cast<unsigned short>(count));
    SetUint16(w + 14, static_cast<unsigned short>(count >> 16));
    SetUint32(w + 20, static_cast<unsigned long>(offset >> 32));
    return smb;
}

unsigned int ParseReadResponse(const Smb& response, unsigned int maxCount, const unsigned char** data,
                               unsigned int* count) {
    if (response.wordCount < kResponseWords) {
        return RES_BAD_RESPONSE;
    }
    WireReader words(response.words, 2u * response.wordCount);
    words.Skip(10);  // AndX, available, compaction mode, reserved
    unsigned int length = words.ReadUint16();
    unsigned int offset = words.ReadUint16();
    length |= static_cast<unsigned int>(words.ReadUint16()) << 16;
    const unsigned char* at = response.At(offset, length);
    if (words.Failed() || length > maxCount || (length > 0 && !at)) {
        return RES_BAD_RESPONSE;
    }
    *data = at;
    *count = length;
    return RES_OK;
}
