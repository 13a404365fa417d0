#include "net/smb1/Smb.h"

#include <algorithm>
#include <cstring>

#include "app/ByteOrder.h"

void SetFinalAndX(unsigned char* andX) {
    andX[0] = 0xFF;
    andX[1] = 0;
    andX[2] = 0;
    andX[3] = 0;
}

Smb* CreateSmbRequestN(unsigned char command, unsigned char wordCount, std::size_t byteCount,
                       bool fillsBytes) {
    if (byteCount > kMaxSmbByteCount) {
        return nullptr;
    }
    Smb* smb = new Smb;
    smb->Construct(wordCount, static_cast<unsigned short>(byteCount), fillsBytes);
    smb->Header().ConstructRequest(command);
    return smb;
}

Smb* CreateLargeSmbRequestN(unsigned char command, unsigned char wordCount, std::size_t byteLength) {
    if (byteLength > kMaxLargeSmbBytes) {
        return nullptr;
    }
    Smb* smb = new Smb;
    smb->ConstructLarge(wordCount, byteLength);
    smb->Header().ConstructRequest(command);
    return smb;
}

Smb::~Smb() {
    Release();
}

void Smb::Release() {
    if (ownsBuffer) {
        delete[] buffer;
    }
    buffer = nullptr;
    ownsBuffer = false;
    header = words = bytes = nullptr;
    wordCount = 0;
    byteCount = 0;
    framed_ = false;
    size_ = 0;
}

void Smb::Construct(unsigned char newWordCount, unsigned short newByteCount, bool fillsBytes) {
    Allocate(newWordCount, newByteCount, fillsBytes ? kSmbFixedLength + 2u * newWordCount : ~std::size_t{0});
}

void Smb::ConstructLarge(unsigned char newWordCount, std::size_t byteLength) {
    Allocate(newWordCount, byteLength, kSmbFixedLength + 2u * newWordCount);
}

void Smb::Allocate(unsigned char newWordCount, std::size_t byteLength, std::size_t zeroed) {
    Release();
    wordCount = newWordCount;
    byteCount = static_cast<unsigned short>(byteLength);
    size_ = static_cast<unsigned int>(kSmbFixedLength + 2u * wordCount + byteLength);
    buffer = new unsigned char[kTransportHeaderLength + size_];
    std::memset(buffer, 0, kTransportHeaderLength + std::min<std::size_t>(zeroed, size_));
    ownsBuffer = true;
    WriteTransportHeader(buffer, size_);
    header = buffer + kTransportHeaderLength;
    header[kSmbHeaderLength] = wordCount;
    words = wordCount ? header + kSmbHeaderLength + 1 : nullptr;
    SetUint16(header + kSmbHeaderLength + 1 + 2 * wordCount, byteCount);
    bytes = byteLength ? header + kSmbFixedLength + 2 * wordCount : nullptr;
    framed_ = true;
}

bool Smb::ReceiveFrom(const void* data, unsigned int length, bool owns) {
    Release();
    // A received message is only read; the buffer is non-const so that an owned one can be freed.
    buffer = static_cast<unsigned char*>(const_cast<void*>(data));
    ownsBuffer = owns;
    if (length < kTransportHeaderLength) {
        return false;
    }
    header = buffer + kTransportHeaderLength;
    if (length < kTransportHeaderLength + kSmbHeaderLength + 1) {
        return false;
    }
    wordCount = header[kSmbHeaderLength];
    unsigned int wordsEnd = kTransportHeaderLength + kSmbHeaderLength + 1 + 2u * wordCount;
    if (length < wordsEnd + 2) {
        return false;
    }
    words = wordCount ? header + kSmbHeaderLength + 1 : nullptr;
    byteCount = GetUint16(buffer + wordsEnd);
    if (wordsEnd + 2 + byteCount > length) {
        return false;
    }
    bytes = byteCount ? buffer + wordsEnd + 2 : nullptr;
    framed_ = true;
    // A large read's data runs past what the 16-bit byte count can say; the transport's length is the
    // message's.
    size_ = length - kTransportHeaderLength;
    return true;
}

unsigned char* Smb::GetBuffer(unsigned int* size) {
    *size = GetSize() + kTransportHeaderLength;
    return buffer;
}

const unsigned char* Smb::GetBuffer(unsigned int* size) const {
    *size = GetSize() + kTransportHeaderLength;
    return buffer;
}

const unsigned char* Smb::At(std::size_t offset, std::size_t count) const {
    std::size_t size = GetSize();
    if (!framed_ || offset > size || count > size - offset) {
        return nullptr;
    }
    return header + offset;
}
