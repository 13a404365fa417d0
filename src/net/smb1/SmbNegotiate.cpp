#include "net/smb1/SmbNegotiate.h"

#include <cstring>

#include "app/Results.h"
#include "net/WireReader.h"
#include "net/smb1/NtlmResponse.h"

namespace {

const unsigned char kDialectBufferFormat = 0x02;
const char kDialect[] = "NT LM 0.12";

}  // namespace

Smb* CreateSmbNegotiateProtocolRequestN() {
    Smb* smb = CreateSmbRequestN(SMB_COM_NEGOTIATE, 0, 1 + sizeof(kDialect));
    smb->bytes[0] = kDialectBufferFormat;
    std::memcpy(smb->bytes + 1, kDialect, sizeof(kDialect));
    return smb;
}

unsigned int ParseNegotiateResponse(const Smb& response, SNegotiateInfo* info) {
    if (response.wordCount != kNegotiateResponseWords) {
        return RES_BAD_RESPONSE;
    }
    WireReader words(response.words, 2u * response.wordCount);
    words.Skip(2);  // dialect index
    info->securityMode = words.ReadUbyte();
    info->maxMpx = words.ReadUint16();
    words.Skip(2);  // virtual circuits
    info->maxBuffer = words.ReadUint32();
    words.Skip(4);  // raw size
    info->sessionKey = words.ReadUint32();
    info->capabilities = words.ReadUint32();
    words.Skip(8);  // system time
    info->serverTimeZone = static_cast<short>(words.ReadUint16());
    unsigned char challengeLength = words.ReadUbyte();

    WireReader bytes(response.bytes, response.byteCount);
    const unsigned char* challenge = bytes.ReadBytes(challengeLength);
    if (words.Failed() || bytes.Failed()) {
        return RES_BAD_RESPONSE;
    }
    if ((info->securityMode & SECURITY_CHALLENGE_RESPONSE) && challengeLength < kNtlmChallengeLength) {
        return RES_BAD_RESPONSE;
    }
    info->challenge.assign(challenge, challenge + challengeLength);
    info->domain.clear();
    while (bytes.Remaining() >= 2) {
        unsigned short unit = bytes.ReadUint16();
        if (unit == 0) {
            break;
        }
        info->domain += static_cast<wchar_t>(unit);
    }
    return RES_OK;
}
