#include "text/TextDecoder.h"

#include "text/CodePages.h"

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Writes decoded characters into the text, applying the line-break, tab and control-character rules.
class UnitWriter {
public:
    UnitWriter(std::wstring* out, int tabSize) : out_(out), tabSize_(tabSize > 0 ? tabSize : 1) {}

    void Put(wchar_t c) {
        if (c >= 0x80 || (c >= L' ' && c < 0x7F)) {
            out_->push_back(c);
        } else if (c == L'\n' || c == L'\r') {
            PutLineBreak(c);
            return;
        } else if (c == L'\t') {
            PutTab();
        }
        pairOpen_ = 0;
    }

private:
    // CR LF and LF CR are one break, but the pair is closed by its second half: CR LF CR LF is two.
    void PutLineBreak(wchar_t c) {
        if (pairOpen_ != 0 && pairOpen_ != c) {
            pairOpen_ = 0;
        } else {
            out_->push_back(L'\n');
            pairOpen_ = c;
        }
        lineStart_ = out_->size();
    }

    void PutTab() {
        const size_t column = out_->size() - lineStart_;
        const size_t spaces = static_cast<size_t>(tabSize_) - column % static_cast<size_t>(tabSize_);
        out_->append(spaces, L' ');
    }

    std::wstring* out_;
    size_t tabSize_;
    size_t lineStart_ = 0;
    wchar_t pairOpen_ = 0;  // the break character that opened a possible CR LF or LF CR pair
};

template <typename MapByte>
void DecodeBytes(const unsigned char* data, size_t size, size_t start, UnitWriter& writer, MapByte map) {
    for (size_t i = start; i < size; ++i) {
        writer.Put(map(data[i]));
    }
}

void DecodeUtf8(const unsigned char* data, size_t size, size_t start, UnitWriter& writer) {
    size_t pos = start;
    while (pos < size) {
        writer.Put(GetUtf8Char(data, size, &pos));
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
    out->reserve(utf16 ? size / 2 : size);
    UnitWriter writer(out, tabSize);
    switch (encoding) {
        case ENCODING_CP1252:
            DecodeBytes(data, size, start, writer, Cp1252ToUnicode);
            break;
        case ENCODING_CP1251:
            DecodeBytes(data, size, start, writer, Cp1251ToUnicode);
            break;
        case ENCODING_UTF8:
            DecodeUtf8(data, size, start, writer);
            break;
        case ENCODING_UTF16LE:
        case ENCODING_UTF16BE:
            DecodeUtf16(data, size, start, encoding == ENCODING_UTF16BE, writer);
            break;
        case ENCODING_AUTO:
        case ENCODING_LATIN1:
            DecodeBytes(data, size, start, writer, [](unsigned char byte) { return wchar_t{byte}; });
            break;
    }
}
