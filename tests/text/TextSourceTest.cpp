#include "text/TextSource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "../platform/TempRoot.h"

namespace {

class TextSourceTest : public ::testing::Test {
protected:
    std::wstring Write(const std::string& name, const std::string& bytes) {
        std::ofstream(root_.Host("Home/" + name), std::ios::binary) << bytes;
        return L"/Home/" + std::wstring(name.begin(), name.end());
    }

    TempRoot root_;
};

TEST_F(TextSourceTest, Utf8MarkIsHiddenWhenDetectedAndShownWhenChosen) {
    TextSource source(Write("bom.txt", "\xEF\xBB\xBFok"));
    ASSERT_EQ(source.Load(), TextSource::TLoad::Loaded);
    std::wstring text;
    ASSERT_TRUE(source.Decode(&text, 4));
    EXPECT_EQ(source.GetEncoding(), ENCODING_UTF8);
    EXPECT_EQ(text, L"ok");

    TextSource chosen(Write("bom.txt", "\xEF\xBB\xBFok"));
    chosen.SetEncoding(ENCODING_UTF8);
    ASSERT_TRUE(chosen.Decode(&text, 4));
    EXPECT_EQ(text, L"\xFEFFok");
}

// What a file opens as, with the characters it shows: detected when no encoding is chosen, decoded from
// the first byte when one is. Samples of one line are enough for the desktop's detector.
TEST_F(TextSourceTest, EncodingCases) {
    const wchar_t R = 0xFFFD;
    struct Case {
        const char* what;
        std::string bytes;
        TTextEncoding chosen;
        TTextEncoding encoding;
        std::wstring text;
    };
    const Case cases[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBFok \xC3\xA9", ENCODING_AUTO, ENCODING_UTF8, L"ok \xE9"},
        {"UTF-8 without a mark", "\xD0\x9C\xD0\xB8\xD1\x80 \xE2\x80\x94 ok", ENCODING_AUTO, ENCODING_UTF8,
         L"\x41C\x438\x440 \x2014 ok"},
        {"four-byte UTF-8", "a\xF0\x9F\x98\x80", ENCODING_AUTO, ENCODING_UTF8, L"a\xD83D\xDE00"},
        {"ASCII only", "plain text\n", ENCODING_AUTO, ENCODING_LATIN1, L"plain text\n"},
        {"Cyrillic in Windows-1251",
         "\xcc\xee\xf0\xee\xe7 \xe8 \xf1\xee\xeb\xed\xf6\xe5; \xe4\xe5\xed\xfc "
         "\xf7\xf3\xe4\xe5\xf1\xed\xfb\xe9!",
         ENCODING_AUTO, ENCODING_CP1251,
         L"\x41c\x43e\x440\x43e\x437 \x438 \x441\x43e\x43b\x43d\x446\x435; \x434\x435\x43d\x44c "
         L"\x447\x443\x434\x435\x441\x43d\x44b\x439!"},
        {"Latin-1",
         "Caf\xe9 cr\xe8me, na\xefve fa\xe7"
         "ade, d\xe9j\xe0 vu, r\xe9sum\xe9 \xab guillemets \xbb.",
         ENCODING_AUTO, ENCODING_LATIN1,
         L"Caf\xe9 cr\xe8me, na\xefve fa\xe7"
         L"ade, d\xe9j\xe0 vu, r\xe9sum\xe9 \xab guillemets \xbb."},
        {"Windows-1252",
         "Caf\xe9 \x93quoted\x94 text\x85 d\xe9j\xe0 vu \x97 na\xefve fa\xe7"
         "ade.",
         ENCODING_AUTO, ENCODING_CP1252,
         L"Caf\xe9 \x201cquoted\x201d text\x2026 d\xe9j\xe0 vu \x2014 na\xefve fa\xe7"
         L"ade."},
        {"a detector's answer the viewer does not offer (KOI8-R)",
         "\xed\xcf\xd2\xcf\xda \xc9 \xd3\xcf\xcc\xce\xc3\xc5; \xc4\xc5\xce\xd8 "
         "\xde\xd5\xc4\xc5\xd3\xce\xd9\xca! "
         "\xe5\xdd\xc5 \xd4\xd9 \xc4\xd2\xc5\xcd\xcc\xc5\xdb\xd8, \xc4\xd2\xd5\xc7 "
         "\xd0\xd2\xc5\xcc\xc5\xd3\xd4\xce\xd9\xca.",
         ENCODING_AUTO, ENCODING_LATIN1,
         L"\xed\xcf\xd2\xcf\xda \xc9 \xd3\xcf\xcc\xce\xc3\xc5; \xc4\xc5\xce\xd8 "
         L"\xde\xd5\xc4\xc5\xd3\xce\xd9\xca! "
         L"\xe5\xdd\xc5 \xd4\xd9 \xc4\xd2\xc5\xcd\xcc\xc5\xdb\xd8, \xc4\xd2\xd5\xc7 "
         L"\xd0\xd2\xc5\xcc\xc5\xd3\xd4\xce\xd9\xca."},
        {"UTF-16 LE with a mark", std::string("\xFF\xFEh\0\x3B\x04", 6), ENCODING_AUTO, ENCODING_UTF16LE,
         L"h\x43B"},
        {"UTF-16 BE with a mark", std::string("\xFE\xFF\0h\x04\x3B", 6), ENCODING_AUTO, ENCODING_UTF16BE,
         L"h\x43B"},
        {"UTF-16 LE without a mark", std::string("h\0i\0 \0\x3B\x04\n\0", 10), ENCODING_AUTO,
         ENCODING_UTF16LE, L"hi \x43B\n"},
        {"UTF-16 BE without a mark", std::string("\0h\0i\0 \x04\x3B\0\n", 10), ENCODING_AUTO,
         ENCODING_UTF16BE, L"hi \x43B\n"},
        {"one malformed byte makes a file not UTF-8", "\xC3\xA9t\xE9", ENCODING_AUTO, ENCODING_LATIN1,
         L"\xC3\xA9t\xE9"},
        {"UTF-8 chosen: a lone continuation byte",
         "a\x80"
         "b",
         ENCODING_UTF8,
         ENCODING_UTF8,
         {L'a', R, L'b'}},
        {"UTF-8 chosen: a byte that never starts a character",
         "a\xC0\xF5\xFF"
         "b",
         ENCODING_UTF8,
         ENCODING_UTF8,
         {L'a', R, R, R, L'b'}},
        {"UTF-8 chosen: a sequence cut short",
         "a\xF0\x9F\x98"
         "b\xE2\x82",
         ENCODING_UTF8,
         ENCODING_UTF8,
         {L'a', R, L'b', R}},
        {"UTF-8 chosen: overlong forms",
         "\xC0\xAF\xE0\x80\xAF",
         ENCODING_UTF8,
         ENCODING_UTF8,
         {R, R, R, R, R}},
        {"UTF-8 chosen: a surrogate", "\xED\xA0\x80", ENCODING_UTF8, ENCODING_UTF8, {R, R, R}},
        {"UTF-8 chosen: beyond U+10FFFF", "\xF4\x90\x80\x80", ENCODING_UTF8, ENCODING_UTF8, {R, R, R, R}},
    };
    for (const Case& c : cases) {
        TextSource source(Write("case.txt", c.bytes));
        if (c.chosen != ENCODING_AUTO) {
            source.SetEncoding(c.chosen);
        }
        std::wstring text;
        ASSERT_TRUE(source.Decode(&text, 4)) << c.what;
        EXPECT_EQ(source.GetEncoding(), c.encoding) << c.what;
        EXPECT_EQ(source.IsEncodingChosen(), c.chosen != ENCODING_AUTO) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

TEST_F(TextSourceTest, TwoByteMarkAloneIsNoMark) {
    TextSource source(Write("ff-fe.txt", "\xFF\xFE"));
    std::wstring text;
    ASSERT_TRUE(source.Decode(&text, 4));
    EXPECT_NE(source.GetEncoding(), ENCODING_UTF16LE);
    EXPECT_EQ(text, L"\xFF\xFE");
}

TEST_F(TextSourceTest, EmptyMissingAndFolderAreNotLoaded) {
    EXPECT_EQ(TextSource(Write("empty.txt", "")).Load(), TextSource::TLoad::Empty);
    EXPECT_EQ(TextSource(L"/Home/missing.txt").Load(), TextSource::TLoad::Failed);
    EXPECT_EQ(TextSource(L"/Home").Load(), TextSource::TLoad::Failed);
    EXPECT_EQ(TextSource(L"/Home/../../etc/passwd").Load(), TextSource::TLoad::Failed);
    std::wstring text = L"kept";
    EXPECT_FALSE(TextSource(L"/Home/missing.txt").Decode(&text, 4));
}

// A large file keeps only its decoded text; choosing another encoding reads the file again.
TEST_F(TextSourceTest, RawBytesAreDroppedOnlyBeyondTheKeepLimit) {
    struct Case {
        std::uint32_t size;
        bool keeps;
    };
    for (const Case c : {Case{TextSource::kKeepRawBytes, true}, Case{TextSource::kKeepRawBytes + 1, false}}) {
        TextSource source(Write("big.txt", std::string(c.size, 'x')));
        ASSERT_EQ(source.Load(), TextSource::TLoad::Loaded);
        std::wstring text;
        ASSERT_TRUE(source.Decode(&text, 4));
        EXPECT_EQ(text.size(), c.size);
        EXPECT_EQ(source.HoldsData(), c.keeps);
        EXPECT_FALSE(source.IsTruncated());
    }
    TextSource source(Write("big.txt", "\xC3\xA9" + std::string(TextSource::kKeepRawBytes, 'x')));
    source.SetEncoding(ENCODING_LATIN1);
    std::wstring text;
    ASSERT_TRUE(source.Decode(&text, 4));
    EXPECT_EQ(text.substr(0, 2), L"\xC3\xA9");
    source.SetEncoding(ENCODING_UTF8);
    ASSERT_TRUE(source.Decode(&text, 4));
    EXPECT_EQ(text.substr(0, 2), L"\xE9x");
}

TEST_F(TextSourceTest, OnlyTheFirst1500KilobytesAreRead) {
    TextSource source(Write("huge.txt", std::string(TextSource::kMaxBytes, 'a') + "bcd"));
    ASSERT_EQ(source.Load(), TextSource::TLoad::Loaded);
    EXPECT_TRUE(source.IsTruncated());
    EXPECT_EQ(source.GetDataSize(), 1536000u);
    std::wstring text;
    ASSERT_TRUE(source.Decode(&text, 4));
    EXPECT_EQ(text, std::wstring(TextSource::kMaxBytes, L'a'));
}

}  // namespace
