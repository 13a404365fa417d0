#include "app/StringConv.h"

void FromStlWstring(Osp::Base::String* out, const std::wstring& units) {
    *out = Osp::Base::String(units);
}

Osp::Base::String FromStlWstring(const std::wstring& units) {
    return Osp::Base::String(units);
}

void ToStlWstring(std::wstring* out, const Osp::Base::String& text) {
    *out = text.Units();
}

std::wstring ToStlWstring(const Osp::Base::String& text) {
    return text.Units();
}

void FromStlString(Osp::Base::String* out, const std::string& bytes) {
    *out = FromStlString(bytes);
}

Osp::Base::String FromStlString(const std::string& bytes) {
    std::wstring units;
    units.reserve(bytes.size());
    for (char byte : bytes) {
        // Through unsigned char, so that bytes above 127 keep their value instead of turning negative.
        units.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
    }
    return Osp::Base::String(units);
}

void ToStlString(std::string* out, const Osp::Base::String& text) {
    *out = ToStlString(text);
}

std::string ToStlString(const Osp::Base::String& text) {
    std::string bytes;
    bytes.reserve(text.Units().size());
    for (wchar_t unit : text.Units()) {
        bytes.push_back(static_cast<char>(static_cast<unsigned char>(unit & 0xFF)));
    }
    return bytes;
}
