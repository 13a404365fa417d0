#include "net/smb1/Trans2Resp.h"

#include "app/Results.h"
#include "net/WireReader.h"

namespace {

const unsigned char kFixedWords = 10;

}  // namespace

void Trans2Resp::Clear() {
    setup_ = params_ = data_ = nullptr;
    setupCount_ = 0;
    paramCount_ = dataCount_ = 0;
}

unsigned int Trans2Resp::FromSmb(const Smb* m) {
    smb_.reset(m);
    Clear();
    if (!m || m->wordCount == 0) {
        return RES_OK;
    }
    if (m->wordCount < kFixedWords) {
        return RES_BAD_RESPONSE;
    }
    WireReader words(m->words, 2u * m->wordCount);
    unsigned short totalParams = words.ReadUint16();
    unsigned short totalData = words.ReadUint16();
    words.Skip(2);
    unsigned short paramCount = words.ReadUint16();
    unsigned short paramOffset = words.ReadUint16();
    unsigned short paramDisplacement = words.ReadUint16();
    unsigned short dataCount = words.ReadUint16();
    unsigned short dataOffset = words.ReadUint16();
    unsigned short dataDisplacement = words.ReadUint16();
    unsigned char setupCount = words.ReadUbyte();
    words.Skip(1);
    const unsigned char* setup = words.ReadBytes(2u * setupCount);
    if (words.Failed()) {
        return RES_BAD_RESPONSE;
    }
    // Secondary answers are never collected: the whole answer must be in this one message.
    if (totalParams != paramCount || paramDisplacement != 0 || totalData != dataCount ||
        dataDisplacement != 0) {
        return RES_BAD_RESPONSE;
    }
    const unsigned char* params = m->At(paramOffset, paramCount);
    const unsigned char* data = m->At(dataOffset, dataCount);
    if ((paramCount > 0 && !params) || (dataCount > 0 && !data)) {
        return RES_BAD_RESPONSE;
    }
    setup_ = setupCount ? setup : nullptr;
    setupCount_ = setupCount;
    params_ = paramCount ? params : nullptr;
    paramCount_ = paramCount;
    data_ = dataCount ? data : nullptr;
    dataCount_ = dataCount;
    return RES_OK;
}

const Smb* Trans2Resp::ReleaseSmbN() {
    Clear();
    return smb_.release();
}
