#include "archive/ArcValue.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using arclib::BSTR;

constexpr std::uint32_t kReplacement = 0xFFFD;
// Strings longer than this many code points are not made.
constexpr std::size_t kMaxBstrChars = 1u << 26;

std::uint32_t PrefixOf(BSTR text) {
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const unsigned char*>(text) - sizeof(bytes), sizeof(bytes));
    return bytes;
}

}  // namespace

BSTR AllocBstr(const std::wstring& units) {
    std::u32string points;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t u = static_cast<std::uint32_t>(units[i]) & 0xFFFF;
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size()) {
            std::uint32_t low = static_cast<std::uint32_t>(units[i + 1]) & 0xFFFF;
            if (low >= 0xDC00 && low < 0xE000) {
                points.push_back(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        points.push_back(u >= 0xD800 && u < 0xE000 ? kReplacement : u);
    }
    if (points.size() > kMaxBstrChars) {
        return nullptr;
    }
    const std::uint32_t bytes = static_cast<std::uint32_t>(points.size() * sizeof(wchar_t));
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(bytes) + bytes + sizeof(wchar_t)));
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(block, &bytes, sizeof(bytes));
    auto* text = reinterpret_cast<wchar_t*>(block + sizeof(bytes));
    for (std::size_t i = 0; i < points.size(); ++i) {
        text[i] = static_cast<wchar_t>(points[i]);
    }
    text[points.size()] = 0;
    return text;
}

void FreeBstr(BSTR text) {
    if (text != nullptr) {
        std::free(reinterpret_cast<unsigned char*>(text) - sizeof(std::uint32_t));
    }
}

std::wstring UnitsFromBstr(BSTR text) {
    std::wstring units;
    if (text == nullptr) {
        return units;
    }
    const std::size_t count = PrefixOf(text) / sizeof(wchar_t);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t c = static_cast<std::uint32_t>(text[i]);
        if (c >= 0x10000 && c < 0x110000) {
            c -= 0x10000;
            units.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            units.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        } else {
            units.push_back(static_cast<wchar_t>(c < 0x110000 ? c : kReplacement));
        }
    }
    return units;
}

ArcValue::ArcValue() {
    std::memset(&value_, 0, sizeof(value_));
}

ArcValue::~ArcValue() {
    Clear();
}

void ArcValue::Clear() {
    if (value_.vt == arclib::VT_BSTR) {
        FreeBstr(value_.bstrVal);
    }
    std::memset(&value_, 0, sizeof(value_));
}

arclib::PROPVARIANT* ArcValue::Reset() {
    Clear();
    return &value_;
}

bool ArcValue::ToUInt64(unsigned long long* out) const {
    switch (value_.vt) {
        case arclib::VT_UI1:
        case arclib::VT_UI2:
        case arclib::VT_UI4:
            *out = value_.ulVal & (value_.vt == arclib::VT_UI1   ? 0xFFu
                                   : value_.vt == arclib::VT_UI2 ? 0xFFFFu
                                                                 : ~0u);
            return true;
        case arclib::VT_UI8:
            *out = value_.uhVal;
            return true;
        case arclib::VT_I4:
            *out = value_.lVal < 0 ? 0 : static_cast<unsigned long long>(value_.lVal);
            return value_.lVal >= 0;
        case arclib::VT_I8:
            *out = value_.hVal < 0 ? 0 : static_cast<unsigned long long>(value_.hVal);
            return value_.hVal >= 0;
        default:
            return false;
    }
}

bool ArcValue::Blob(void* out, unsigned int size) const {
    if (!IsString() || PrefixOf(value_.bstrVal) != size) {
        return false;
    }
    std::memcpy(out, value_.bstrVal, size);
    return true;
}
