#include "text/EncodingDetection.h"

#include <algorithm>
#include <string>

#include "host/CharsetDetector.h"

namespace {

// The detector has seen enough by this many bytes, and it costs time in proportion to what it is given.
constexpr size_t kDetectorSample = 64 * 1024;

// A unit position counts as the high byte of UTF-16 text when at least this share of the units hold NUL
// there (spaces and line ends alone give that much in scripts beyond Latin)...
constexpr size_t kMostlyNulShare = 8;
// ...and the other position holds NUL in at most this share of them.
constexpr size_t kRarelyNulShare = 64;

TTextEncoding GuessUtf16(const unsigned char* data, size_t size) {
    const size_t units = size / 2;
    size_t nulAt[2] = {0, 0};
    for (size_t i = 0; i + 1 < size; i += 2) {
        nulAt[0] += data[i] == 0 ? 1 : 0;
        nulAt[1] += data[i + 1] == 0 ? 1 : 0;
    }
    for (int high = 0; high < 2; ++high) {
        const size_t low = static_cast<size_t>(1 - high);
        if (units > 0 && nulAt[high] * kMostlyNulShare >= units && nulAt[low] * kRarelyNulShare <= units) {
            return high == 0 ? ENCODING_UTF16BE : ENCODING_UTF16LE;
        }
    }
    return ENCODING_AUTO;
}

TTextEncoding EncodingOfCharsetName(const std::string& name) {
    struct SName {
        const char* name;
        TTextEncoding encoding;
    };
    static constexpr SName kNames[] = {
        {"ISO-8859-1", ENCODING_LATIN1},
        {"WINDOWS-1252", ENCODING_CP1252},
        {"WINDOWS-1251", ENCODING_CP1251},
    };
    for (const SName& known : kNames) {
        if (name == known.name) {
            return known.encoding;
        }
    }
    return kDefaultEncoding;
}

}  // namespace

TTextEncoding DetectEncoding(const unsigned char* data, size_t size, TSample sample, size_t* start) {
    const TTextEncoding marked = EncodingOfMark(data, size, start);
    if (marked != ENCODING_AUTO) {
        return marked;
    }
    if (IsUtf8BeyondAscii(data, size, sample)) {
        return ENCODING_UTF8;
    }
    const TTextEncoding utf16 = GuessUtf16(data, size);
    if (utf16 != ENCODING_AUTO) {
        return utf16;
    }
    return EncodingOfCharsetName(host::DetectCharset(data, std::min(size, kDetectorSample)));
}
