#include "text/TextPlaces.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsUtf16(TTextEncoding encoding) {
    return encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE;
}

unsigned UnitAt(const unsigned char* data, size_t i, TTextEncoding encoding) {
    return encoding == ENCODING_UTF16BE ? (data[i] << 8) | data[i + 1] : (data[i + 1] << 8) | data[i];
}

// The second line-break character of an LF CR pair belongs to the break before it.
size_t AfterBreak(const unsigned char* data, size_t size, size_t lineFeed) {
    const size_t next = lineFeed + 1;
    const bool pairedBefore = lineFeed > 0 && data[lineFeed - 1] == '\r';
    return next < size && data[next] == '\r' && !pairedBefore ? next + 1 : next;
}

size_t NextUtf16Place(const unsigned char* data, size_t size, size_t from, TTextEncoding encoding,
                      size_t unitParity) {
    size_t i = from + ((from & 1) != (unitParity & 1) ? 1 : 0);
    const size_t limit = std::min(size, i + kPlaceSearchBytes);
    for (size_t at = i; at + 1 < limit; at += 2) {
        if (UnitAt(data, at, encoding) == '\n') {
            return at + 2;
        }
    }
    // A low surrogate is the second half of a pair; the character begins before it.
    if (i + 1 < size && UnitAt(data, i, encoding) - 0xDC00u < 0x400u) {
        i += 2;
    }
    return std::min(i, size);
}

}  // namespace

size_t NextPlace(const unsigned char* data, size_t size, size_t from, TTextEncoding encoding,
                 size_t unitParity) {
    if (from >= size) {
        return size;
    }
    if (IsUtf16(encoding)) {
        return NextUtf16Place(data, size, from, encoding, unitParity);
    }
    const size_t limit = std::min(size, from + kPlaceSearchBytes);
    if (const void* lineFeed = std::memchr(data + from, '\n', limit - from)) {
        return AfterBreak(data, size,
                          static_cast<size_t>(static_cast<const unsigned char*>(lineFeed) - data));
    }
    size_t i = from;
    if (encoding == ENCODING_UTF8) {
        // A well-formed character has at most three continuation bytes.
        for (int skipped = 0; skipped < 3 && i < size && (data[i] & 0xC0) == 0x80; ++skipped) {
            ++i;
        }
    }
    return i;
}

size_t EndOfWholeCharacters(const unsigned char* data, size_t size, TTextEncoding encoding,
                            size_t unitParity) {
    if (IsUtf16(encoding)) {
        size_t end = size - ((size & 1) != (unitParity & 1) ? 1 : 0);
        if (end >= 2 && end - 2 >= (unitParity & 1) && UnitAt(data, end - 2, encoding) - 0xD800u < 0x400u) {
            end -= 2;
        }
        return end;
    }
    if (encoding != ENCODING_UTF8) {
        return size;
    }
    // The last lead byte among the last four bytes: when its sequence needs more bytes than are left,
    // the window ends before it.
    for (size_t back = 1; back <= 4 && back <= size; ++back) {
        const unsigned char byte = data[size - back];
        if ((byte & 0xC0) != 0x80) {
            const size_t length = byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
            return length > back ? size - back : size;
        }
    }
    return size;
}
