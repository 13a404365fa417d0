#include "Osp/Base/UuId.h"

#include <cstring>
#include <random>

namespace Osp::Base {
namespace {

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

bool IsDashAt(int i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

}  // namespace

String UuId::ToString() const {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    String s;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            s.Append(L'-');
        }
        s.Append(kDigits[bytes[i] >> 4]);
        s.Append(kDigits[bytes[i] & 15]);
    }
    return s;
}

result UuId::Parse(const String& text, UuId& out) {
    if (text.GetLength() != 36) {
        return E_INVALID_ARG;
    }
    UuId id;
    int byte = 0;
    for (int i = 0; i < 36;) {
        if (IsDashAt(i)) {
            if (text[i] != L'-')
                return E_INVALID_ARG;
            ++i;
            continue;
        }
        int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
        if (hi < 0 || lo < 0)
            return E_INVALID_ARG;
        id.bytes[byte++] = static_cast<unsigned char>(hi * 16 + lo);
        i += 2;
    }
    out = id;
    return E_SUCCESS;
}

UuId UuId::Generate() {
    static thread_local std::mt19937_64 rng{std::random_device{}()};
    UuId id;
    for (int i = 0; i < 16; i += 8) {
        unsigned long long v = rng();
        std::memcpy(id.bytes + i, &v, 8);
    }
    id.bytes[6] = static_cast<unsigned char>((id.bytes[6] & 0x0F) | 0x40);
    id.bytes[8] = static_cast<unsigned char>((id.bytes[8] & 0x3F) | 0x80);
    return id;
}

bool UuId::operator==(const UuId& o) const {
    return std::memcmp(bytes, o.bytes, 16) == 0;
}

}  // namespace Osp::Base
