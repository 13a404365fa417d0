#include "net/WireReader.h"

#include "app/ByteOrder.h"

WireReader::WireReader(const void* data, std::size_t length)
    : data_(static_cast<const unsigned char*>(data)), length_(data ? length : 0) {}

const unsigned char* WireReader::Take(std::size_t count) {
    if (failed_ || count > length_ - offset_) {
        failed_ = true;
        return nullptr;
    }
    const unsigned char* p = data_ + offset_;
    offset_ += count;
    return p;
}

unsigned char WireReader::ReadUbyte() {
    const unsigned char* p = Take(1);
    return p ? *p : 0;
}

unsigned short WireReader::ReadUint16() {
    const unsigned char* p = Take(2);
    return p ? GetUint16(p) : 0;
}

unsigned int WireReader::ReadUint32() {
    const unsigned char* p = Take(4);
    return p ? GetUint32(p) : 0;
}

unsigned long long WireReader::ReadUint64() {
    const unsigned char* p = Take(8);
    return p ? GetUint64(p) : 0;
}

unsigned short WireReader::ReadUint16Be() {
    const unsigned char* p = Take(2);
    return p ? static_cast<unsigned short>((p[0] << 8) | p[1]) : 0;
}

unsigned int WireReader::ReadUint32Be() {
    const unsigned char* p = Take(4);
    if (!p) {
        return 0;
    }
    return (static_cast<unsigned int>(p[0]) << 24) | (static_cast<unsigned int>(p[1]) << 16) |
           (static_cast<unsigned int>(p[2]) << 8) | p[3];
}

const unsigned char* WireReader::ReadBytes(std::size_t count) {
    return Take(count);
}

std::wstring WireReader::ReadUtf16(std::size_t units) {
    std::wstring text;
    if (units > Remaining() / 2) {
        failed_ = true;
        return text;
    }
    const unsigned char* p = Take(units * 2);
    if (p && units > 0) {
        ArrayToWstring(&text, p, static_cast<unsigned int>(units));
    }
    return text;
}

void WireReader::Skip(std::size_t count) {
    Take(count);
}

void WireReader::SeekTo(std::size_t offset) {
    if (failed_ || offset > length_) {
        failed_ = true;
        return;
    }
    offset_ = offset;
}

void WireReader::AlignTo(std::size_t multiple) {
    std::size_t rest = offset_ % multiple;
    if (rest != 0) {
        Skip(multiple - rest);
    }
}
