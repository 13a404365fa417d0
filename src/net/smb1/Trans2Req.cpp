#include "net/smb1/Trans2Req.h"

#include "app/ByteOrder.h"

namespace {

const unsigned char kFixedWords = 14;
const unsigned int kMaxOffset = 0xFFFF;

// Padding ahead of the parameters; it also serves the data when there are no parameters.
std::size_t FirstPad(unsigned char setupCount, bool hasName) {
    return (setupCount % 2 == 1 ? 3 : 1) - (hasName ? 1 : 0);
}

}  // namespace

bool Trans2Req::Construct(unsigned char command, unsigned char setupCount, unsigned short paramCount,
                          unsigned short dataCount, unsigned char maxSetupCount, unsigned short maxParamCount,
                          unsigned short maxDataCount, const std::wstring& name) {
    smb_.reset();
    setup_ = params_ = data_ = nullptr;
    unsigned int wordCount = kFixedWords + setupCount;
    if (wordCount > 0xFF) {
        return false;
    }
    bool hasName = !name.empty();
    std::size_t nameBlock = hasName ? 2 * name.size() + 3 : 0;
    std::size_t pad1 = paramCount == 0 ? 0 : FirstPad(setupCount, hasName);
    std::size_t pad2 = 0;
    if (dataCount != 0) {
        pad2 = paramCount != 0 ? (4 - paramCount % 4) % 4 : FirstPad(setupCount, hasName);
    }
    std::size_t paramOffset = kSmbFixedLength + 2 * wordCount + nameBlock + pad1;
    std::size_t dataOffset = paramOffset + paramCount + pad2;
    std::size_t byteCount = nameBlock + pad1 + paramCount + pad2 + dataCount;
    if (dataOffset > kMaxOffset) {
        return false;
    }
    Smb* smb = CreateSmbRequestN(command, static_cast<unsigned char>(wordCount), byteCount);
    if (!smb) {
        return false;
    }
    smb_.reset(smb);
    unsigned char* w = smb->words;
    SetUint16(w + 0, paramCount);
    SetUint16(w + 2, dataCount);
    SetUint16(w + 4, maxParamCount);
    SetUint16(w + 6, maxDataCount);
    w[8] = maxSetupCount;
    SetUint16(w + 18, paramCount);
    SetUint16(w + 20, static_cast<unsigned short>(paramOffset));
    SetUint16(w + 22, dataCount);
    SetUint16(w + 24, static_cast<unsigned short>(dataOffset));
    w[26] = setupCount;
    setup_ = w + 28;
    if (hasName) {
        WriteUnicodeSz(smb->bytes + 1, name);
    }
    params_ = smb->header + paramOffset;
    data_ = smb->header + dataOffset;
    return true;
}

Smb* Trans2Req::ReleaseSmbN() {
    setup_ = params_ = data_ = nullptr;
    return smb_.release();
}
