#include "text/TextSearch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

size_t First(const TextPattern& pattern, const std::string& bytes, size_t from = 0) {
    return pattern.FindFirst(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), from);
}

size_t Last(const TextPattern& pattern, const std::string& bytes, size_t before) {
    return pattern.FindLast(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), before);
}

// Any case of the text matches, in each encoding the viewer reads, and nothing else does.
TEST(TextPattern, FindsTheTextInAnyCase) {
    const size_t none = TextPattern::npos;
    struct Case {
        const char* what;
        std::wstring text;
        TTextEncoding encoding;
        std::string bytes;
        size_t first;
    };
    const Case cases[] = {
        {"ASCII", L"needle", ENCODING_LATIN1, "hay hay NeEdLe hay needle", 8},
        {"not there", L"needles", ENCODING_LATIN1, "hay NeEdLe hay", none},
        {"Latin-1 letters", L"\xE9t\xE9", ENCODING_LATIN1, "l'\xC9T\xC9 ", 2},
        {"Windows-1251 Cyrillic", L"\x43c\x43e\x440\x43e\x437", ENCODING_CP1251, "xx \xcc\xce\xd0\xce\xc7!",
         3},
        {"UTF-8 Cyrillic", L"\x43c\x43e\x440\x43e\x437", ENCODING_UTF8,
         "a \xD0\x9C\xD0\x9E\xD0\xA0\xD0\x9E\xD0\x97 b", 2},
        {"UTF-8: a mix of two forms of one character is no match", L"\x401", ENCODING_UTF8,
         "\xD0\x91 \xD1\x91", 3},
        {"UTF-8 beyond the BMP", L"\xD83D\xDE00", ENCODING_UTF8, "ok \xF0\x9F\x98\x80", 3},
        {"UTF-16 LE at whole units only", L"\x4141", ENCODING_UTF16LE, std::string("\x41\x41\x41\x00", 4), 0},
        {"UTF-16 LE skips a match across units", L"\x4100", ENCODING_UTF16LE,
         std::string("\x41\x00\x41\x00\x00\x41", 6), 4},
        {"UTF-16 BE", L"Ab", ENCODING_UTF16BE,
         std::string("\x00x\x00"
                     "a\x00"
                     "B",
                     6),
         2},
        {"a character the encoding lacks", L"\x20AC", ENCODING_LATIN1, "\x80 \xA4", none},
        {"Windows-1252 has it", L"\x20AC", ENCODING_CP1252, " \x80", 1},
    };
    for (const Case& c : cases) {
        const TextPattern pattern(c.text, c.encoding);
        EXPECT_EQ(First(pattern, c.bytes), c.first) << c.what;
    }
}

TEST(TextPattern, NextAndPreviousMatches) {
    const TextPattern pattern(L"ab", ENCODING_UTF8);
    const std::string bytes = "ab xAB ab";
    EXPECT_EQ(First(pattern, bytes, 1), 4u);
    EXPECT_EQ(First(pattern, bytes, 5), 7u);
    EXPECT_EQ(First(pattern, bytes, 8), TextPattern::npos);
    EXPECT_EQ(Last(pattern, bytes, 7), 4u);
    EXPECT_EQ(Last(pattern, bytes, 4), 0u);
    EXPECT_EQ(Last(pattern, bytes, 0), TextPattern::npos);
    EXPECT_EQ(Last(pattern, bytes, 100), 7u);
    EXPECT_TRUE(TextPattern(L"", ENCODING_UTF8).IsEmpty());
}

}  // namespace
