#include "text/TextDecoder.h"

#include <algorithm>
#include <array>

#include "text/CodePages.h"

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The characters of the bytes of one single-byte encoding.
using ByteTable = std::array<wchar_t, 256>;

template <typename MapByte>
ByteTable MakeTable(MapByte map) {
    ByteTable table{};
    for (int b = 0; b < 256; ++b) {
        table[static_cast<size_t>(b)] = map(static_cast<unsigned char>(b));
    }
    return table;
}

const ByteTable& TableOf(TTextEncoding encoding) {
    static const ByteTable latin1 = MakeTable([](unsigned char b) { return wchar_t{b}; });
    static const ByteTable cp1252 = MakeTable(Cp1252ToUnicode);
    static const ByteTable cp1251 = MakeTable(Cp1251ToUnicode);
    return encoding == ENCODING_CP1252 ? cp1252 : encoding == ENCODING_CP1251 ? cp1251 : latin1;
}

// Writes decoded characters into the text, applying the line-break, tab and control-character rules.
// The text is sized up front to the most the input can give, written through a pointer, and cut to what
// was written at the end, so that the per-character work stays a store and a compare.
class UnitWriter {
public:
    UnitWriter(std::wstring* out, size_t capacity, int tabSize)
        : out_(out), tabSize_(tabSize > 0 ? static_cast<size_t>(tabSize) : 1) {
        out_->resize(capacity);
        begin_ = out_->data();
        dst_ = begin_;
        lineStart_ = begin_;
    }

    ~UnitWriter() { out_->resize(static_cast<size_t>(dst_ - begin_)); }

    void Put(wchar_t c) {
        if (c >= L' ') [[likely]] {
            if (c != 0x7F) {
                *dst_++ = c;
            }
            pairOpen_ = 0;
        } else {
            PutControl(c);
        }
    }

private:
    void PutControl(wchar_t c) {
        if (c == L'\n' || c == L'\r') {
            PutLineBreak(c);
            return;
        }
        if (c == L'\t') {
            const size_t column = static_cast<size_t>(dst_ - lineStart_);
            dst_ = std::fill_n(dst_, tabSize_ - column % tabSize_, L' ');
        }
        pairOpen_ = 0;
    }

    // CR LF and LF CR are one break, but the pair is closed by its second half: CR LF CR LF is two.
    void PutLineBreak(wchar_t c) {
        if (pairOpen_ != 0 && pairOpen_ != c) {
            pairOpen_ = 0;
        } else {
            *dst_++ = L'\n';
            pairOpen_ = c;
        }
        lineStart_ = dst_;
    }

    std::wstring* out_;
    size_t tabSize_;
    wchar_t* begin_;
    wchar_t* dst_;
    wchar_t* lineStart_;
    wchar_t pairOpen_ = 0;  // the break character that opened a possible CR LF or LF CR pair
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
            writer.Put(GetUtf8Char(data, size, &pos));
        }
    }
}

void DecodeUtf16(const unsigned char* data, size_t size, size_t start, bool bigEndian, UnitWriter& writer) {
    const size_t high = bigEndian ? 0 : 1;
    for (size_t i = start; size - i >= 2; i += 2) {
        writer.Put(static_cast<wchar_t>((data[i + high] << 8) | data[i + 1 - high]));
    }
}

}  // namespace

TTextEncoding DetectEncoding(const unsigned char* data, size_t size, size_t* start) {
    *start = 0;
    if (size < 3) {
        return ENCODING_LATIN1;
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
    return ENCODING_LATIN1;
}

wchar_t GetUtf8Char(const unsigned char* data, size_t size, size_t* pos) {
    const unsigned char lead = data[(*pos)++];
    if (lead < 0x80) {
        return lead;
    }
    if (lead < 0xC2 || lead > 0xEF) {
        return kReplacement;
    }
    const int continuations = lead < 0xE0 ? 1 : 2;
    unsigned value = lead & (lead < 0xE0 ? 0x1Fu : 0x0Fu);
    for (int i = 0; i < continuations; ++i) {
        if (*pos >= size || !IsContinuation(data[*pos])) {
            return kReplacement;
        }
        value = (value << 6) | (data[(*pos)++] & 0x3Fu);
    }
    return static_cast<wchar_t>(value & 0xFFFF);
}

void DecodeText(const unsigned char* data, size_t size, TTextEncoding encoding, size_t start, int tabSize,
                std::wstring* out) {
    out->clear();
    if (start >= size) {
        return;
    }
    const bool utf16 = encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE;
    // Each input unit gives at most one character, except a tab, which gives up to a tab stop of spaces;
    // a tab byte inside a UTF-16 unit only makes the bound looser.
    const size_t units = utf16 ? (size - start) / 2 : size - start;
    const auto tabs = static_cast<size_t>(std::count(data + start, data + size, '\t'));
    UnitWriter writer(out, units + tabs * static_cast<size_t>(std::max(tabSize - 1, 0)), tabSize);
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
