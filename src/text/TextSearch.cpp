#include "text/TextSearch.h"

#include <algorithm>

#include "text/CodePages.h"

namespace {

// Upper- and lower-case partners in the blocks where a fixed offset or neighbouring code points pair them.
char32_t ToLower(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    // Latin Extended-A pairs upper case at even code points with lower case at the next, except in two
    // runs where the pairs start one later.
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) {
        return (c % 2 == (oddUpper ? 1u : 0u)) ? c + 1 : c;
    }
    return c;
}

char32_t ToUpper(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) ||
        (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return c - 0x20;
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 0x50;
    }
    if (c > 0x100 && c <= 0x17F && ToLower(c - 1) == c) {
        return c - 1;
    }
    return c;
}

// The character's bytes in the encoding; empty when the encoding has no such character.
std::vector<unsigned char> Encode(char32_t c, TTextEncoding encoding) {
    std::vector<unsigned char> bytes;
    switch (encoding) {
        case ENCODING_UTF8:
            if (c < 0x80) {
                bytes = {static_cast<unsigned char>(c)};
            } else if (c < 0x800) {
                bytes = {static_cast<unsigned char>(0xC0 | (c >> 6)),
                         static_cast<unsigned char>(0x80 | (c & 0x3F))};
            } else if (c < 0x10000) {
                bytes = {static_cast<unsigned char>(0xE0 | (c >> 12)),
                         static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)),
                         static_cast<unsigned char>(0x80 | (c & 0x3F))};
            } else {
                bytes = {static_cast<unsigned char>(0xF0 | (c >> 18)),
                         static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F)),
                         static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F)),
                         static_cast<unsigned char>(0x80 | (c & 0x3F))};
            }
            break;
        case ENCODING_UTF16LE:
        case ENCODING_UTF16BE: {
            std::vector<unsigned> units;
            if (c > 0xFFFF) {
                units = {0xD800 + ((c - 0x10000) >> 10), 0xDC00 + ((c - 0x10000) & 0x3FF)};
            } else {
                units = {static_cast<unsigned>(c)};
            }
            for (unsigned unit : units) {
                const auto high = static_cast<unsigned char>(unit >> 8);
                const auto low = static_cast<unsigned char>(unit & 0xFF);
                bytes.push_back(encoding == ENCODING_UTF16BE ? high : low);
                bytes.push_back(encoding == ENCODING_UTF16BE ? low : high);
            }
            break;
        }
        case ENCODING_AUTO:
        case ENCODING_LATIN1:
        case ENCODING_CP1252:
        case ENCODING_CP1251:
            for (int b = 0; b < 256; ++b) {
                const auto byte = static_cast<unsigned char>(b);
                const wchar_t mapped = encoding == ENCODING_CP1252   ? Cp1252ToUnicode(byte)
                                       : encoding == ENCODING_CP1251 ? Cp1251ToUnicode(byte)
                                                                     : wchar_t{byte};
                if (static_cast<char32_t>(mapped) == c) {
                    bytes = {byte};
                    break;
                }
            }
            break;
    }
    return bytes;
}

// The code points of UTF-16 text: pairs joined, lone surrogates kept as they are.
std::vector<char32_t> CodePoints(const std::wstring& text) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto unit = static_cast<char32_t>(text[i]);
        if (unit - 0xD800u < 0x400u && i + 1 < text.size() &&
            static_cast<char32_t>(text[i + 1]) - 0xDC00u < 0x400u) {
            points.push_back(0x10000 + ((unit - 0xD800) << 10) +
                             (static_cast<char32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else {
            points.push_back(unit);
        }
    }
    return points;
}

}  // namespace

std::vector<char32_t> CaseForms(char32_t c) {
    std::vector<char32_t> forms = {c};
    for (const char32_t other : {ToLower(c), ToUpper(c)}) {
        if (std::find(forms.begin(), forms.end(), other) == forms.end()) {
            forms.push_back(other);
        }
    }
    return forms;
}

TextPattern::TextPattern(const std::wstring& text, TTextEncoding encoding) : encoding_(encoding) {
    for (const char32_t c : CodePoints(text)) {
        SCharacter character;
        const std::vector<unsigned char> own = Encode(c, encoding);
        if (own.empty()) {
            characters_.clear();
            return;
        }
        for (const char32_t form : CaseForms(c)) {
            std::vector<unsigned char> bytes = Encode(form, encoding);
            // A case partner of another length, or one the encoding lacks, is left out.
            if (bytes.size() == own.size()) {
                character.forms.push_back(std::move(bytes));
            }
        }
        characters_.push_back(std::move(character));
    }
    for (const SCharacter& character : characters_) {
        const size_t width = character.forms.front().size();
        for (size_t i = 0; i < width; ++i) {
            std::bitset<256> allowed;
            for (const std::vector<unsigned char>& form : character.forms) {
                allowed.set(form[i]);
            }
            allowed_.push_back(allowed);
        }
    }
    length_ = allowed_.size();
    // Horspool's skip: a byte at the last offset moves the search on to the nearest earlier offset that
    // allows it.
    shift_.fill(length_);
    for (size_t i = 0; i + 1 < length_; ++i) {
        for (int b = 0; b < 256; ++b) {
            if (allowed_[i].test(static_cast<size_t>(b))) {
                shift_[static_cast<size_t>(b)] = length_ - 1 - i;
            }
        }
    }
}

bool TextPattern::MatchesAt(const unsigned char* data) const {
    for (size_t i = length_; i-- > 0;) {
        if (!allowed_[i].test(data[i])) {
            return false;
        }
    }
    // Every byte may stand where it stands; each character must also be one whole form, not a mix of two.
    size_t at = 0;
    for (const SCharacter& character : characters_) {
        const size_t width = character.forms.front().size();
        const bool whole =
            width == 1 || std::any_of(character.forms.begin(), character.forms.end(),
                                      [&](const std::vector<unsigned char>& form) {
                                          return std::equal(form.begin(), form.end(), data + at);
                                      });
        if (!whole) {
            return false;
        }
        at += width;
    }
    return true;
}

size_t TextPattern::FindFirst(const unsigned char* data, size_t size, size_t from) const {
    if (length_ == 0 || size < length_) {
        return npos;
    }
    const bool utf16 = encoding_ == ENCODING_UTF16LE || encoding_ == ENCODING_UTF16BE;
    for (size_t at = from; at + length_ <= size;) {
        if ((!utf16 || at % 2 == 0) && MatchesAt(data + at)) {
            return at;
        }
        at += shift_[data[at + length_ - 1]];
    }
    return npos;
}

size_t TextPattern::FindLast(const unsigned char* data, size_t size, size_t before) const {
    if (length_ == 0 || size < length_) {
        return npos;
    }
    if (before == 0) {
        return npos;
    }
    const bool utf16 = encoding_ == ENCODING_UTF16LE || encoding_ == ENCODING_UTF16BE;
    size_t at = std::min(before - 1, size - length_);
    for (;; --at) {
        if ((!utf16 || at % 2 == 0) && MatchesAt(data + at)) {
            return at;
        }
        if (at == 0) {
            return npos;
        }
    }
}
