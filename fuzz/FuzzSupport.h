#pragma once
// What the fuzz targets share: a check that stops the run on a broken property (libFuzzer and the replay
// both report an abort as a failure), and the framing of fuzzed bytes as the server messages the parsers
// expect.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)

// True when [p, p + count) lies within [start, start + length).
inline bool Inside(const unsigned char* p, std::size_t count, const unsigned char* start,
                   std::size_t length) {
    return p >= start && p <= start + length && count <= static_cast<std::size_t>(start + length - p);
}

// A whole received transaction answer (transport header included) carrying `params` and `data`, laid out
// as a server does: ten words, no setup, parameters at 56, data at the next multiple of 4.
inline std::vector<unsigned char> TransAnswer(unsigned char command, const unsigned char* params,
                                              std::size_t paramCount, const unsigned char* data,
                                              std::size_t dataCount) {
    const std::size_t paramOffset = 56;
    std::size_t dataOffset = (paramOffset + paramCount + 3) / 4 * 4;
    std::vector<unsigned char> m(4 + dataOffset + dataCount, 0);
    unsigned char* h = m.data() + 4;
    auto put16 = [](unsigned char* p, std::size_t v) {
        p[0] = static_cast<unsigned char>(v);
        p[1] = static_cast<unsigned char>(v >> 8);
    };
    std::size_t size = dataOffset + dataCount;
    m[1] = static_cast<unsigned char>(size >> 16);
    m[2] = static_cast<unsigned char>(size >> 8);
    m[3] = static_cast<unsigned char>(size);
    h[0] = 0xFF;
    h[1] = 'S';
    h[2] = 'M';
    h[3] = 'B';
    h[4] = command;
    h[32] = 10;
    unsigned char* w = h + 33;
    put16(w + 0, paramCount);
    put16(w + 2, dataCount);
    put16(w + 6, paramCount);
    put16(w + 8, paramOffset);
    put16(w + 12, dataCount);
    put16(w + 14, dataOffset);
    put16(h + 53, size - 55);
    for (std::size_t i = 0; i < paramCount; ++i) {
        h[paramOffset + i] = params[i];
    }
    for (std::size_t i = 0; i < dataCount; ++i) {
        h[dataOffset + i] = data[i];
    }
    return m;
}
