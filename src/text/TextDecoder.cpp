#include "text/TextDecoder.h"

#include <algorithm>
#include <array>

#include "text/CodePages.h"
#include "text/TextPlaces.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// The characters of the bytes of one single-byte encoding.
using ByteTable = std::array<char16_t, 256>;

template <typename MapByte>
ByteTable MakeTable(MapByte map) {
    ByteTable table{};
    for (int b = 0; b < 256; ++b) {
        table[static_cast<size_t>(b)] = static_cast<char16_t>(map(static_cast<unsigned char>(b)));
    }
    return table;
}

const ByteTable& TableOf(TTextEncoding encoding) {
    static const ByteTable latin1 = MakeTable([](unsigned char b) { return char16_t{b}; });
    static const ByteTable cp1252 = MakeTable(Cp1252ToUnicode);
    static const ByteTable cp1251 = MakeTable(Cp1251ToUnicode);
    return encoding == ENCODING_CP1252 ? cp1252 : encoding == ENCODING_CP1251 ? cp1251 : latin1;
}

// Writes decoded characters into the text, applying the line-break, tab and control-character rules.
// The text is sized up front to the most the input can give, written through a pointer, and cut to what
// was written at the end, so that the per-character work stays a store and a compare.
class UnitWriter {
public:
    UnitWriter(std::u16string* out, size_t capacity, int tabSize)
        : out_(out), tabSize_(tabSize > 0 ? static_cast<size_t>(tabSize) : 1) {
        out_->resize(capacity);
        begin_ = out_->data();
        dst_ = begin_;
        lineStart_ = begin_;
    }

    ~UnitWriter() { out_->resize(Size()); }

    size_t Size() const { return static_cast<size_t>(dst_ - begin_); }

    void Put(char16_t c) {
        if (c >= u' ') [[likely]] {
            if (c != 0x7F) {
                *dst_++ = c;
            }
            pairOpen_ = 0;
        } else {
            PutControl(c);
        }
    }

    // A character beyond the Basic Multilingual Plane goes in as its UTF-16 surrogate pair.
    void PutCodePoint(char32_t c) {
        if (c > 0xFFFF) {
            c -= 0x10000;
            *dst_++ = static_cast<char16_t>(0xD800 + (c >> 10));
            *dst_++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
            pairOpen_ = 0;
        } else {
            Put(static_cast<char16_t>(c));
        }
    }

private:
    void PutControl(char16_t c) {
        if (c == u'\n' || c == u'\r') {
            PutLineBreak(c);
            return;
        }
        if (c == u'\t') {
            const size_t column = static_cast<size_t>(dst_ - lineStart_);
            dst_ = std::fill_n(dst_, tabSize_ - column % tabSize_, u' ');
        }
        pairOpen_ = 0;
    }

    // CR LF and LF CR are one break, but the pair is closed by its second half: CR LF CR LF is two.
    void PutLineBreak(char16_t c) {
        if (pairOpen_ != 0 && pairOpen_ != c) {
            pairOpen_ = 0;
        } else {
            *dst_++ = u'\n';
            pairOpen_ = c;
        }
        lineStart_ = dst_;
    }

    std::u16string* out_;
    size_t tabSize_;
    char16_t* begin_;
    char16_t* dst_;
    char16_t* lineStart_;
    char16_t pairOpen_ = 0;  // the break character that opened a possible CR LF or LF CR pair
};

void DecodeBytes(const unsigned char* data, size_t size, size_t start, const ByteTable& table,
                 UnitWriter& writer) {
    for (size_t i = start; i < size; ++i) {
        writer.Put(table[data[i]]);
    }
}

void DecodeUtf8(const unsigned char* data, size_t size, size_t start, UnitWriter& writer) {
    size_t pos = start;
    while (pos < size) {
        if (data[pos] < 0x80) {
            writer.Put(data[pos++]);
        } else {
            writer.PutCodePoint(GetUtf8Char(data, size, &pos));
        }
    }
}

bool IsHighSurrogate(unsigned unit) {
    return unit - 0xD800u < 0x400u;
}

bool IsSurrogate(unsigned unit) {
    return unit - 0xD800u < 0x800u;
}

// A surrogate that is not half of a pair in the right order stands for no character and shows as U+FFFD.
void DecodeUtf16(const unsigned char* data, size_t size, size_t start, bool bigEndian, UnitWriter& writer) {
    const size_t high = bigEndian ? 0 : 1;
    auto unitAt = [&](size_t i) { return static_cast<unsigned>((data[i + high] << 8) | data[i + 1 - high]); };
    for (size_t i = start; size - i >= 2; i += 2) {
        const unsigned unit = unitAt(i);
        if (!IsSurrogate(unit)) [[likely]] {
            writer.Put(static_cast<char16_t>(unit));
        } else if (IsHighSurrogate(unit) && size - i >= 4 && unitAt(i + 2) - 0xDC00u < 0x400u) {
            writer.Put(static_cast<char16_t>(unit));
            writer.Put(static_cast<char16_t>(unitAt(i + 2)));
            i += 2;
        } else {
            writer.Put(kReplacement);
        }
    }
}

}  // namespace

TTextEncoding EncodingOfMark(const unsigned char* data, size_t size, size_t* start) {
    *start = 0;
    if (size < 3) {
        return ENCODING_AUTO;
    }
    if (data[0] == 0xFE && data[1] == 0xFF) {
        *start = 2;
        return ENCODING_UTF16BE;
    }
    if (data[0] == 0xFF && data[1] == 0xFE) {
        *start = 2;
        return ENCODING_UTF16LE;
    }
    if (data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        *start = 3;
        return ENCODING_UTF8;
    }
    return ENCODING_AUTO;
}

bool IsUtf8BeyondAscii(const unsigned char* data, size_t size, TSample sample) {
    static constexpr unsigned char kEncodedReplacement[] = {0xEF, 0xBF, 0xBD};
    bool beyondAscii = false;
    size_t pos = 0;
    while (pos < size) {
        if (data[pos] < 0x80) {
            ++pos;
            continue;
        }
        const size_t at = pos;
        const bool wellFormed = GetUtf8Char(data, size, &pos) != kReplacement ||
                                (pos - at == 3 && std::equal(data + at, data + pos, kEncodedReplacement));
        if (!wellFormed) {
            // A maximal subpart that begins well and runs into the end of a sample is a sequence the
            // sample cut.
            const bool cut = pos == size && data[at] >= 0xC2 && data[at] <= 0xF4;
            return sample == TSample::CutAtEnd && cut && beyondAscii;
        }
        beyondAscii = true;
    }
    return beyondAscii;
}

char32_t GetUtf8Char(const unsigned char* data, size_t size, size_t* pos) {
    const unsigned char lead = data[(*pos)++];
    if (lead < 0x80) {
        return lead;
    }
    // The second byte's range is narrower after a few leads: that is what shuts out overlong forms,
    // surrogates and code points beyond U+10FFFF. Every later byte is any continuation byte.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    int continuations = 0;
    char32_t value = 0;
    if (lead < 0xC2 || lead > 0xF4) {
        return kReplacement;
    }
    if (lead < 0xE0) {
        continuations = 1;
        value = lead & 0x1Fu;
    } else if (lead < 0xF0) {
        continuations = 2;
        value = lead & 0x0Fu;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else {
        continuations = 3;
        value = lead & 0x07u;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    }
    for (int i = 0; i < continuations; ++i) {
        // A byte that cannot continue ends the maximal subpart before it, which gives one replacement.
        if (*pos >= size || data[*pos] < low || data[*pos] > high) {
            return kReplacement;
        }
        value = (value << 6) | (data[(*pos)++] & 0x3Fu);
        low = 0x80;
        high = 0xBF;
    }
    return value;
}

namespace {

void DecodeRange(const unsigned char* data, size_t size, size_t start, TTextEncoding encoding,
                 UnitWriter& writer) {
    switch (encoding) {
        case ENCODING_UTF8:
            DecodeUtf8(data, size, start, writer);
            break;
        case ENCODING_UTF16LE:
        case ENCODING_UTF16BE:
            DecodeUtf16(data, size, start, encoding == ENCODING_UTF16BE, writer);
            break;
        case ENCODING_AUTO:
        case ENCODING_LATIN1:
        case ENCODING_CP1252:
        case ENCODING_CP1251:
            DecodeBytes(data, size, start, TableOf(encoding), writer);
            break;
    }
}

// The most text data[start..size) can give: each input unit gives at most one character, except a tab,
// which gives up to a tab stop of spaces; a tab byte inside a UTF-16 unit only makes the bound looser.
size_t MostUnits(const unsigned char* data, size_t size, TTextEncoding encoding, size_t start, int tabSize) {
    const bool utf16 = encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE;
    const size_t units = utf16 ? (size - start) / 2 : size - start;
    const auto tabs = static_cast<size_t>(std::count(data + start, data + size, '\t'));
    return units + tabs * static_cast<size_t>(std::max(tabSize - 1, 0));
}

}  // namespace

void DecodeText(const unsigned char* data, size_t size, TTextEncoding encoding, size_t start, int tabSize,
                std::u16string* out) {
    out->clear();
    if (start >= size) {
        return;
    }
    UnitWriter writer(out, MostUnits(data, size, encoding, start, tabSize), tabSize);
    DecodeRange(data, size, start, encoding, writer);
}

void DecodeTextMarked(const unsigned char* data, size_t size, TTextEncoding encoding, size_t start,
                      size_t unitParity, int tabSize, size_t pinned, size_t markSpacing, std::u16string* out,
                      std::vector<STextMark>* marks) {
    out->clear();
    marks->clear();
    start = std::min(start, size);
    marks->push_back({0, start});
    if (start >= size) {
        return;
    }
    UnitWriter writer(out, MostUnits(data, size, encoding, start, tabSize), tabSize);
    // The text is decoded a stretch at a time, each ending at a place: the decoder's state carries over,
    // so the text is the same as in one go, and each stretch's end is a mark.
    size_t from = start;
    while (from < size) {
        size_t to = NextPlace(data, size, std::min(size, from + std::max<size_t>(markSpacing, 1)), encoding,
                              unitParity);
        if (pinned > from && pinned < to) {
            to = pinned;
        }
        DecodeRange(data, to, from, encoding, writer);
        if (to < size) {
            marks->push_back({writer.Size(), to});
        }
        from = to;
    }
}
