#include "text/LineFeeds.h"

#include <cstring>

namespace {

bool IsUtf16(TTextEncoding encoding) {
    return encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE;
}

// The offset of the first UTF-16 line feed at or after i, or size.
size_t NextUtf16LineFeed(const unsigned char* data, size_t size, size_t i, TTextEncoding encoding) {
    const size_t low = encoding == ENCODING_UTF16BE ? 1 : 0;
    for (; i + 1 < size; i += 2) {
        if (data[i + low] == '\n' && data[i + 1 - low] == 0) {
            return i;
        }
    }
    return size;
}

size_t FirstUnit(size_t unitParity) {
    return unitParity & 1;
}

}  // namespace

size_t CountLineFeeds(const unsigned char* data, size_t size, TTextEncoding encoding, size_t unitParity) {
    size_t count = 0;
    if (IsUtf16(encoding)) {
        for (size_t i = NextUtf16LineFeed(data, size, FirstUnit(unitParity), encoding); i < size;
             i = NextUtf16LineFeed(data, size, i + 2, encoding)) {
            ++count;
        }
        return count;
    }
    const unsigned char* p = data;
    const unsigned char* const end = data + size;
    while (p < end) {
        const void* hit = std::memchr(p, '\n', static_cast<size_t>(end - p));
        if (hit == nullptr) {
            break;
        }
        ++count;
        p = static_cast<const unsigned char*>(hit) + 1;
    }
    return count;
}

size_t AfterLineFeeds(const unsigned char* data, size_t size, size_t n, TTextEncoding encoding,
                      size_t unitParity, size_t* found) {
    *found = 0;
    if (n == 0) {
        return 0;
    }
    if (IsUtf16(encoding)) {
        for (size_t i = NextUtf16LineFeed(data, size, FirstUnit(unitParity), encoding); i < size;
             i = NextUtf16LineFeed(data, size, i + 2, encoding)) {
            if (++*found == n) {
                return i + 2;
            }
        }
        return size;
    }
    const unsigned char* p = data;
    const unsigned char* const end = data + size;
    while (p < end) {
        const void* hit = std::memchr(p, '\n', static_cast<size_t>(end - p));
        if (hit == nullptr) {
            break;
        }
        p = static_cast<const unsigned char*>(hit) + 1;
        if (++*found == n) {
            return static_cast<size_t>(p - data);
        }
    }
    return size;
}
