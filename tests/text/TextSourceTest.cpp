#include "text/TextSource.h"

#include <gtest/gtest.h>

#include <filesystem>
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

    // Opens the file and decodes its first window, as the viewer does.
    static bool Decode(TextSource& source, std::wstring* text) {
        size_t placeText = 0;
        std::u16string units;
        const bool decoded =
            source.Open() == TextSource::TLoad::Loaded &&
            source.Load(source.GetDataStart(), TextSource::TPosition::Place, 4, &units, &placeText);
        *text = std::wstring(units.begin(), units.end());
        return decoded;
    }

    // Loads the window around a byte; false when the file cannot be read.
    static bool Load(TextSource& source, std::uint64_t byte, TextSource::TPosition how, std::wstring* text) {
        std::u16string units;
        size_t placeText = 0;
        const bool loaded = source.Load(byte, how, 4, &units, &placeText);
        if (loaded) {
            *text = std::wstring(units.begin(), units.end());
        }
        return loaded;
    }

    // Loads the window around a byte and gives the text from the place taken for it.
    static std::wstring TextAt(TextSource& source, std::uint64_t byte, TextSource::TPosition how) {
        std::u16string text;
        size_t placeText = 0;
        EXPECT_TRUE(source.Load(byte, how, 4, &text, &placeText));
        return std::wstring(text.begin() + static_cast<long>(std::min(placeText, text.size())), text.end());
    }

    TempRoot root_;
};

// Numbered lines of about 30 bytes, enough for several windows.
std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "line " + std::to_string(i) + " of the numbered file\n";
    }
    return text;
}

TEST_F(TextSourceTest, Utf8MarkIsHiddenWhenDetectedAndShownWhenChosen) {
    TextSource source(Write("bom.txt", "\xEF\xBB\xBFok"));
    std::wstring text;
    ASSERT_TRUE(Decode(source, &text));
    EXPECT_EQ(source.GetEncoding(), ENCODING_UTF8);
    EXPECT_EQ(text, L"ok");

    TextSource chosen(Write("bom.txt", "\xEF\xBB\xBFok"));
    chosen.SetEncoding(ENCODING_UTF8);
    ASSERT_TRUE(Decode(chosen, &text));
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
        ASSERT_TRUE(Decode(source, &text)) << c.what;
        EXPECT_EQ(source.GetEncoding(), c.encoding) << c.what;
        EXPECT_EQ(source.IsEncodingChosen(), c.chosen != ENCODING_AUTO) << c.what;
        EXPECT_EQ(text, c.text) << c.what;
    }
}

TEST_F(TextSourceTest, TwoByteMarkAloneIsNoMark) {
    TextSource source(Write("ff-fe.txt", "\xFF\xFE"));
    std::wstring text;
    ASSERT_TRUE(Decode(source, &text));
    EXPECT_NE(source.GetEncoding(), ENCODING_UTF16LE);
    EXPECT_EQ(text, L"\xFF\xFE");
}

TEST_F(TextSourceTest, EmptyMissingAndFolderAreNotOpened) {
    EXPECT_EQ(TextSource(Write("empty.txt", "")).Open(), TextSource::TLoad::Empty);
    EXPECT_EQ(TextSource(L"/Home/missing.txt").Open(), TextSource::TLoad::Failed);
    EXPECT_EQ(TextSource(L"/Home").Open(), TextSource::TLoad::Failed);
    EXPECT_EQ(TextSource(L"/Home/../../etc/passwd").Open(), TextSource::TLoad::Failed);
}

// A file larger than the window is read a window at a time, each beginning at a line, wherever it is
// asked for; a place noted in one window gives the same text when a window is loaded from it.
TEST_F(TextSourceTest, WindowsReachEveryPartOfALargeFile) {
    const std::string file = NumberedLines(30000);
    ASSERT_GT(file.size(), 3u * TextSource::kWindowBytes);
    TextSource source(Write("numbered.txt", file));
    std::wstring text;
    ASSERT_TRUE(Decode(source, &text));
    EXPECT_EQ(source.GetWindowStart(), 0u);
    EXPECT_EQ(source.GetWindowEnd(), TextSource::kWindowBytes);
    EXPECT_TRUE(source.WindowAtStart());
    EXPECT_FALSE(source.WindowAtEnd());
    EXPECT_EQ(text.substr(0, 7), L"line 0 ");

    const TextSource::SPlace place = source.PlaceBefore(text.size() * 3 / 4);
    EXPECT_GT(place.byte, 0u);
    const std::wstring fromPlace = text.substr(place.textPos, 200);
    EXPECT_EQ(TextAt(source, place.byte, TextSource::TPosition::Place).substr(0, 200), fromPlace);
    EXPECT_LT(source.GetWindowStart(), place.byte);
    EXPECT_EQ(source.ByteOf(source.PlaceBefore(1000).textPos), source.PlaceBefore(1000).byte);

    const std::uint64_t middle = file.size() / 2;
    const std::wstring atMiddle = TextAt(source, middle, TextSource::TPosition::AnyByte);
    const size_t lineStart = file.rfind('\n', middle) + 1;
    const size_t nextLine = file[middle - 1] == '\n' ? middle : file.find('\n', middle) + 1;
    ASSERT_NE(lineStart, 0u);
    EXPECT_EQ(atMiddle.substr(0, 20), std::wstring(file.begin() + nextLine, file.begin() + nextLine + 20));

    const std::wstring atEnd = TextAt(source, file.size(), TextSource::TPosition::Place);
    EXPECT_TRUE(atEnd.empty());
    EXPECT_TRUE(source.WindowAtEnd());
    EXPECT_EQ(source.GetWindowEnd(), file.size());
    EXPECT_LE(source.GetWindowEnd() - source.GetWindowStart(), TextSource::kWindowBytes);
    EXPECT_GT(source.GetWindowEnd() - source.GetWindowStart(), TextSource::kWindowBytes - 100);
    EXPECT_FALSE(source.TakeChanged());
}

// Input without line breaks still splits into windows at characters: nothing of a character is lost or
// shown as U+FFFD at a window's start, and a UTF-16 window never begins between the bytes of a unit.
TEST_F(TextSourceTest, WindowsOfTextWithoutLineBreaks) {
    struct Case {
        const char* what;
        std::string unit;
        TTextEncoding encoding;
        std::wstring shown;
    };
    const Case cases[] = {
        {"one long ASCII line", "x", ENCODING_LATIN1, L"x"},
        {"one long UTF-8 line", "\xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80", ENCODING_UTF8,
         L"\x416\x20AC\xD83D\xDE00"},
        {"one long UTF-16 line", std::string("\x16\x04\x3D\xD8\x00\xDE", 6), ENCODING_UTF16LE,
         L"\x416\xD83D\xDE00"},
        {"NUL bytes", std::string(1, '\0'), ENCODING_LATIN1, L""},
    };
    for (const Case& c : cases) {
        std::string file;
        while (file.size() < 2 * TextSource::kWindowBytes + 5) {
            file += c.unit;
        }
        TextSource source(Write("long.txt", file));
        source.SetEncoding(c.encoding);
        ASSERT_EQ(source.Open(), TextSource::TLoad::Loaded) << c.what;
        for (const std::uint64_t byte : {std::uint64_t{0}, file.size() / 2 + 1, file.size() / 3 + 2}) {
            const std::wstring text = TextAt(source, byte, TextSource::TPosition::AnyByte);
            if (c.shown.empty()) {
                EXPECT_TRUE(text.empty()) << c.what;
                continue;
            }
            ASSERT_GE(text.size(), c.shown.size() * 2) << c.what;
            EXPECT_EQ(text.find(L'\xFFFD'), std::wstring::npos) << c.what << " at " << byte;
            // The text from the place begins with one of the unit's characters, in order from there.
            const std::wstring twice = c.shown + c.shown;
            EXPECT_NE(twice.find(text.substr(0, c.shown.size())), std::wstring::npos)
                << c.what << " at " << byte;
        }
    }
}

// A file that shrinks, grows or goes while open: the window shows what is there and the change is told.
TEST_F(TextSourceTest, AFileThatChangesWhileOpen) {
    const std::wstring path = Write("changing.txt", NumberedLines(20000));
    TextSource source(path);
    std::wstring text;
    ASSERT_TRUE(Decode(source, &text));
    EXPECT_FALSE(source.TakeChanged());

    Write("changing.txt", NumberedLines(10));
    ASSERT_TRUE(Load(source, 400000, TextSource::TPosition::AnyByte, &text));
    EXPECT_TRUE(source.TakeChanged());
    EXPECT_FALSE(source.TakeChanged());
    EXPECT_TRUE(source.WindowAtStart());
    EXPECT_TRUE(source.WindowAtEnd());
    EXPECT_EQ(text.substr(0, 7), L"line 0 ");

    Write("changing.txt", NumberedLines(20));
    ASSERT_TRUE(Load(source, 0, TextSource::TPosition::Place, &text));
    EXPECT_TRUE(source.TakeChanged());
    EXPECT_EQ(source.GetFileSize(), NumberedLines(20).size());

    std::filesystem::remove(root_.Host("Home/changing.txt"));
    EXPECT_FALSE(Load(source, 0, TextSource::TPosition::Place, &text));
    EXPECT_TRUE(source.TakeChanged());
    EXPECT_EQ(text.substr(0, 7), L"line 0 ");
}

}  // namespace
