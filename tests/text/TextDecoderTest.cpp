#include "text/TextDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/CodePages.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::wstring Decode(const Bytes& bytes, TTextEncoding encoding, size_t start = 0) {
    std::u16string out = u"left over";
    DecodeText(bytes.data(), bytes.size(), encoding, start, 4, &out);
    return std::wstring(out.begin(), out.end());
}

std::wstring Utf8Units(const Bytes& bytes) {
    std::wstring units;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t before = pos;
        units.push_back(GetUtf8Char(bytes.data(), bytes.size(), &pos));
        EXPECT_GT(pos, before);
        EXPECT_LE(pos, bytes.size());
    }
    return units;
}

// Sequences after the sections of Markus Kuhn's UTF-8 decoder stress test, and Unicode's own example of
// maximal subparts: ill-formed input gives one U+FFFD per maximal subpart, never one per sequence nor
// one per byte of a sequence that was well begun.
TEST(GetUtf8Char, StressTestSequences) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::wstring units;
    };
    const wchar_t R = 0xFFFD;
    const Case cases[] = {
        {"1 Greek kosme",
         {0xCE, 0xBA, 0xE1, 0xBD, 0xB9, 0xCF, 0x83, 0xCE, 0xBC, 0xCE, 0xB5},
         {0x3BA, 0x1F79, 0x3C3, 0x3BC, 0x3B5}},
        {"2.1 first of two bytes", {0xC2, 0x80}, {0x80}},
        {"2.1 first of three bytes", {0xE0, 0xA0, 0x80}, {0x800}},
        {"2.1 first of four bytes", {0xF0, 0x90, 0x80, 0x80}, {0x10000}},
        {"2.2 last of one byte", {0x7F}, {0x7F}},
        {"2.2 last of two bytes", {0xDF, 0xBF}, {0x7FF}},
        {"2.2 last of three bytes", {0xEF, 0xBF, 0xBF}, {0xFFFF}},
        {"2.2 last of four bytes", {0xF4, 0x8F, 0xBF, 0xBF}, {0x10FFFF}},
        {"2.3 below surrogates", {0xED, 0x9F, 0xBF}, {0xD7FF}},
        {"2.3 private use", {0xEE, 0x80, 0x80}, {0xE000}},
        {"2.3 replacement", {0xEF, 0xBF, 0xBD}, {0xFFFD}},
        {"emoji", {0xF0, 0x9F, 0x98, 0x80}, {0x1F600}},
        {"3.1 lone continuations", {0x80, 0xBF, 0x41}, {R, R, L'A'}},
        {"3.2 lonely two-byte start", {0xC2, 0x20}, {R, L' '}},
        {"3.2 lonely three-byte start", {0xE5, 0x20}, {R, L' '}},
        {"3.2 lonely four-byte start", {0xF4, 0x20}, {R, L' '}},
        {"3.3 two-byte cut at end", {0xDF}, {R}},
        {"3.3 three-byte cut at end", {0xEF, 0xBF}, {R}},
        {"3.3 four-byte cut at end", {0xF0, 0x9F, 0x98}, {R}},
        {"3.3 three-byte cut by ASCII", {0xE2, 0x82, 0x41}, {R, L'A'}},
        {"3.3 three-byte cut by a start", {0xE2, 0xC3, 0xA9}, {R, 0xE9}},
        {"3.3 four-byte cut by a start", {0xF0, 0x9F, 0xF0, 0x9F, 0x98, 0x80}, {R, 0x1F600}},
        {"3.5 impossible bytes", {0xFE, 0xFF, 0xF5, 0x80}, {R, R, R, R}},
        {"4.1 overlong slash, two bytes", {0xC0, 0xAF}, {R, R}},
        {"4.1 overlong slash, three bytes", {0xE0, 0x80, 0xAF}, {R, R, R}},
        {"4.1 overlong slash, four bytes", {0xF0, 0x80, 0x80, 0xAF}, {R, R, R, R}},
        {"4.2 largest overlong, two bytes", {0xC1, 0xBF}, {R, R}},
        {"4.2 largest overlong, three bytes", {0xE0, 0x9F, 0xBF}, {R, R, R}},
        {"4.2 largest overlong, four bytes", {0xF0, 0x8F, 0xBF, 0xBF}, {R, R, R, R}},
        {"4.3 overlong NUL", {0xE0, 0x80, 0x80}, {R, R, R}},
        {"5.1 single surrogate", {0xED, 0xA0, 0x80}, {R, R, R}},
        {"5.2 paired surrogates", {0xED, 0xA0, 0x80, 0xED, 0xB0, 0x80}, {R, R, R, R, R, R}},
        {"5.3 non-character", {0xEF, 0xBF, 0xBE}, {0xFFFE}},
        {"beyond U+10FFFF", {0xF4, 0x90, 0x80, 0x80}, {R, R, R, R}},
        {"Unicode's example of maximal subparts",
         {0x61, 0xF1, 0x80, 0x80, 0xE1, 0x80, 0xC2, 0x62, 0x80, 0x63, 0x80, 0xBF, 0x64},
         {L'a', R, R, R, L'b', R, L'c', R, R, L'd'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8Units(c.bytes), c.units) << c.what;
    }
}

TEST(EncodingOfMark, ByteOrderMarks) {
    struct Case {
        Bytes bytes;
        TTextEncoding encoding;
        size_t start;
    };
    const Case cases[] = {
        {{0xEF, 0xBB, 0xBF, 'a'}, ENCODING_UTF8, 3},
        {{0xEF, 0xBB, 0xBF}, ENCODING_UTF8, 3},
        {{0xFF, 0xFE, 'a', 0}, ENCODING_UTF16LE, 2},
        {{0xFE, 0xFF, 0, 'a'}, ENCODING_UTF16BE, 2},
        {{0xFF, 0xFE}, ENCODING_AUTO, 0},
        {{0xEF, 0xBB, 'a'}, ENCODING_AUTO, 0},
        {{'a', 'b', 'c'}, ENCODING_AUTO, 0},
        {{}, ENCODING_AUTO, 0},
    };
    for (const Case& c : cases) {
        size_t start = 99;
        EXPECT_EQ(EncodingOfMark(c.bytes.data(), c.bytes.size(), &start), c.encoding);
        EXPECT_EQ(start, c.start);
    }
}

// A character beyond the Basic Multilingual Plane is one surrogate pair in the text, never more units
// than the bytes it came from.
TEST(DecodeText, FourByteUtf8SequenceIsOneSurrogatePair) {
    EXPECT_EQ(Decode({'a', 0xF0, 0x9F, 0x98, 0x80, 'b'}, ENCODING_UTF8),
              L"a\xD83D\xDE00"
              L"b");
    EXPECT_EQ(Decode({0xF0, 0x9F, 0x98, 0x80, 0xF0, 0x9F}, ENCODING_UTF8), L"\xD83D\xDE00\xFFFD");
}

// A sample cut from the start of a longer file may end inside a sequence; a whole file may not.
TEST(IsUtf8BeyondAscii, WholeFilesAndSamples) {
    struct Case {
        Bytes bytes;
        bool whole;
        bool sample;
    };
    const Case cases[] = {
        {{'a', 'b'}, false, false},
        {{'a', 0xC3, 0xA9}, true, true},
        {{0xEF, 0xBF, 0xBD}, true, true},
        {{0xC3, 0xA9, 0xF0, 0x9F, 0x98}, false, true},
        {{0xC3, 0xA9, 0xF0, 0x9F, 0x98, 'a'}, false, false},
        {{0xF0, 0x9F, 0x98}, false, false},
        {{0xC3, 0xA9, 0xE9, 'a'}, false, false},
        {{0xC3, 0xA9, 0xC0}, false, false},
        {{0xED, 0xA0, 0x80}, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsUtf8BeyondAscii(c.bytes.data(), c.bytes.size(), TSample::Whole), c.whole);
        EXPECT_EQ(IsUtf8BeyondAscii(c.bytes.data(), c.bytes.size(), TSample::CutAtEnd), c.sample);
    }
}

TEST(DecodeText, LineBreaks) {
    struct Case {
        const char* bytes;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"a\r\nb\r\nc", L"a\nb\nc"}, {"a\n\rb", L"a\nb"},       {"a\rb\nc", L"a\nb\nc"},
        {"a\r\rb", L"a\n\nb"},       {"a\n\nb", L"a\n\nb"},     {"a\r\n\r\nb", L"a\n\nb"},
        {"a\n\r\n\rb", L"a\n\nb"},   {"a\r\n\n\rb", L"a\n\nb"}, {"\r\n", L"\n"},
    };
    for (const Case& c : cases) {
        const std::string s = c.bytes;
        EXPECT_EQ(Decode(Bytes(s.begin(), s.end()), ENCODING_LATIN1), c.text) << c.bytes;
    }
}

TEST(DecodeText, TabsStopEveryFourColumnsOfTheLine) {
    struct Case {
        const char* bytes;
        const wchar_t* text;
    };
    const Case cases[] = {
        {"\tx", L"    x"},        {"abc\tx", L"abc x"},        {"abcd\tx", L"abcd    x"},
        {"a\t\tx", L"a       x"}, {"ab\ncd\tx", L"ab\ncd  x"}, {"ab\r\n\tx", L"ab\n    x"},
    };
    for (const Case& c : cases) {
        const std::string s = c.bytes;
        EXPECT_EQ(Decode(Bytes(s.begin(), s.end()), ENCODING_LATIN1), c.text) << c.bytes;
    }
    // Columns count characters, not bytes, so tab stops line up in multi-byte text as well.
    EXPECT_EQ(Decode({0xD0, 0xB0, 0xD0, 0xB1, '\t', 'x'}, ENCODING_UTF8), L"\x430\x431  x");
    EXPECT_EQ(Decode({'a', 0, '\t', 0, 'x', 0}, ENCODING_UTF16LE), L"a   x");
}

TEST(DecodeText, DropsAsciiControlsButKeepsEverythingElse) {
    EXPECT_EQ(Decode({'a', 0, 1, 0x1B, 0x7F, ' ', '~', 0x80, 0x9F, 0xA0, 0xFF}, ENCODING_LATIN1),
              L"a ~\x80\x9F\xA0\xFF");
}

TEST(DecodeText, SingleByteCodePages) {
    EXPECT_EQ(Decode({0x80, 0x81, 0x8D, 0x9F, 0xA0, 0xE9}, ENCODING_CP1252), L"\x20AC\x81\x8D\x178\xA0\xE9");
    EXPECT_EQ(Decode({'A', 0x80, 0x98, 0xA8, 0xB9, 0xC0, 0xFF}, ENCODING_CP1251),
              L"A\x402\x98\x401\x2116\x410\x44F");
}

// Every byte from 0x80 up must come out of the tables as the code page's character or, where the code
// page has none, as the byte itself; the list of undefined positions catches a shifted row.
TEST(CodePages, UndefinedPositionsAreTheByteAndNothingElse) {
    for (int b = 0x80; b <= 0xFF; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const bool cp1252Undefined = b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
        EXPECT_EQ(Cp1252ToUnicode(byte) == b, cp1252Undefined || b >= 0xA0) << b;
        const bool cp1251Same = b == 0x98 || b == 0xA0 || b == 0xA4 || b == 0xA6 || b == 0xA7 || b == 0xA9 ||
                                b == 0xAB || b == 0xAC || b == 0xAD || b == 0xAE || b == 0xB0 || b == 0xB1 ||
                                b == 0xB5 || b == 0xB6 || b == 0xB7 || b == 0xBB;
        EXPECT_EQ(Cp1251ToUnicode(byte) == b, cp1251Same) << b;
    }
    EXPECT_EQ(Cp1251ToUnicode(0x41), L'A');
}

TEST(DecodeText, Utf16BothOrdersAndAnOddLastByte) {
    EXPECT_EQ(Decode({0xFF, 0xFE, 'h', 0, 0x3B, 0x04, 'x'}, ENCODING_UTF16LE, 2), L"h\x43B");
    EXPECT_EQ(Decode({0xFE, 0xFF, 0, 'h', 0x04, 0x3B, 0}, ENCODING_UTF16BE, 2), L"h\x43B");
    EXPECT_EQ(Decode({0x3D, 0xD8, 0x00, 0xDE}, ENCODING_UTF16LE), L"\xD83D\xDE00");
    // Surrogates out of their pairs stand for nothing.
    EXPECT_EQ(Decode({0x00, 0xDE, 0x3D, 0xD8, 'a', 0, 0x3D, 0xD8}, ENCODING_UTF16LE),
              L"\xFFFD\xFFFD"
              L"a\xFFFD");
    EXPECT_EQ(Decode({'a'}, ENCODING_UTF16LE), L"");
}

}  // namespace
