#include "app/ByteOrder.h"

namespace {

const unsigned char* Bytes(const void* p) {
    return static_cast<const unsigned char*>(p);
}
unsigned char* Bytes(void* p) {
    return static_cast<unsigned char*>(p);
}

}  // namespace

unsigned short GetUint16(const void* p) {
    const unsigned char* b = Bytes(p);
    return static_cast<unsigned short>(b[0] | (b[1] << 8));
}

unsigned int GetUint32(const void* p) {
    const unsigned char* b = Bytes(p);
    return static_cast<unsigned int>(b[0]) | (static_cast<unsigned int>(b[1]) << 8) |
           (static_cast<unsigned int>(b[2]) << 16) | (static_cast<unsigned int>(b[3]) << 24);
}

unsigned long long GetUint64(const void* p) {
    return static_cast<unsigned long long>(GetUint32(p)) |
           (static_cast<unsigned long long>(GetUint32(Bytes(p) + 4)) << 32);
}

void SetUint16(void* p, unsigned short value) {
    unsigned char* b = Bytes(p);
    b[0] = static_cast<unsigned char>(value);
    b[1] = static_cast<unsigned char>(value >> 8);
}

void SetUint32(void* p, unsigned long value) {
    unsigned char* b = Bytes(p);
    for (int i = 0; i < 4; ++i) {
        b[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

void SetUint64(void* p, unsigned long long value) {
    SetUint32(p, static_cast<unsigned long>(value & 0xFFFFFFFFu));
    SetUint32(Bytes(p) + 4, static_cast<unsigned long>(value >> 32));
}

unsigned char ReadUbyte(const unsigned char** cursor) {
    return *(*cursor)++;
}

unsigned short ReadUint16(const unsigned char** cursor) {
    unsigned short value = GetUint16(*cursor);
    *cursor += 2;
    return value;
}

unsigned int ReadUint32(const unsigned char** cursor) {
    unsigned int value = GetUint32(*cursor);
    *cursor += 4;
    return value;
}

unsigned char* WriteUbyte(unsigned char* p, unsigned char value) {
    *p = value;
    return p + 1;
}

unsigned char* WriteUint16(unsigned char* p, unsigned short value) {
    SetUint16(p, value);
    return p + 2;
}

unsigned char* WriteUint32(unsigned char* p, unsigned long value) {
    SetUint32(p, value);
    return p + 4;
}

unsigned char* WriteOemSz(unsigned char* p, const char* text) {
    do {
        *p++ = static_cast<unsigned char>(*text);
    } while (*text++ != '\0');
    return p;
}

unsigned char* WriteUnicodeSz(unsigned char* p, const std::wstring& text) {
    for (wchar_t unit : text) {
        p = WriteUint16(p, static_cast<unsigned short>(unit));
    }
    return WriteUint16(p, 0);
}

unsigned char* WriteTransportHeader(unsigned char* p, unsigned int length) {
    p[0] = 0;
    p[1] = static_cast<unsigned char>(length >> 16);
    p[2] = static_cast<unsigned char>(length >> 8);
    p[3] = static_cast<unsigned char>(length);
    return p + 4;
}

void ArrayToWstring(std::wstring* out, const void* p, unsigned int count) {
    const unsigned char* b = Bytes(p);
    out->clear();
    if (count != kUntilZeroUnit) {
        out->reserve(count);
        for (unsigned int i = 0; i < count; ++i, b += 2) {
            out->push_back(static_cast<wchar_t>(GetUint16(b)));
        }
        return;
    }
    for (unsigned short unit = GetUint16(b); unit != 0; b += 2, unit = GetUint16(b)) {
        out->push_back(static_cast<wchar_t>(unit));
    }
}
