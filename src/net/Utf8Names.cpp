#include "net/Utf8Names.h"

bool ToUtf8Name(const std::wstring& name, std::string* out) {
    out->clear();
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned long c = static_cast<unsigned long>(name[i]) & 0xFFFF;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size()) {
            const unsigned long low = static_cast<unsigned long>(name[i + 1]) & 0xFFFF;
            if (low < 0xDC00 || low > 0xDFFF) {
                return false;
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return false;
        }
        if (c < 0x80) {
            *out += static_cast<char>(c);
        } else if (c < 0x800) {
            *out += static_cast<char>(0xC0 | (c >> 6));
            *out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out += static_cast<char>(0xE0 | (c >> 12));
            *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out += static_cast<char>(0xF0 | (c >> 18));
            *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

bool FromUtf8Name(const std::string& name, std::wstring* out) {
    out->clear();
    std::size_t i = 0;
    while (i < name.size()) {
        const unsigned char lead = static_cast<unsigned char>(name[i]);
        int more = 0;
        unsigned long c = 0;
        unsigned long least = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            more = 1, c = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            more = 2, c = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            more = 3, c = lead & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (name.size() - i - 1 < static_cast<std::size_t>(more)) {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            const unsigned char next = static_cast<unsigned char>(name[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            return false;
        }
        if (c >= 0x10000) {
            *out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            *out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            *out += static_cast<wchar_t>(c);
        }
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}
