#include <gtest/gtest.h>

#include "app/PathUtils.h"
#include "app/StringConv.h"
#include "app/StringUtils.h"

namespace {

using Osp::Base::String;

TEST(StringConv, WideFormsCopyUnitsIncludingZeros) {
    const std::wstring units{L'a', L'\0', static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    String text = FromStlWstring(units);
    EXPECT_EQ(text.GetLength(), 4);
    EXPECT_EQ(ToStlWstring(text), units);

    std::wstring out = L"stale";
    ToStlWstring(&out, text);
    EXPECT_EQ(out, units);
}

TEST(StringConv, NarrowFormsMapBytesOntoUnitsAndBack) {
    const std::string bytes{'A', static_cast<char>(0xE9), static_cast<char>(0xFF)};
    String text = FromStlString(bytes);
    EXPECT_EQ(text.Units(), (std::wstring{L'A', static_cast<wchar_t>(0xE9), static_cast<wchar_t>(0xFF)}));
    EXPECT_EQ(ToStlString(text), bytes);
    // A unit above 255 keeps only its low byte.
    EXPECT_EQ(ToStlString(String(std::wstring{static_cast<wchar_t>(0x0441)})), std::string(1, '\x41'));
}

TEST(StringUtils, TrailingSymbols) {
    struct Case {
        std::wstring text;
        bool all;
        std::wstring added;
        std::wstring removed;
    };
    const Case cases[] = {
        {L"", false, L"", L""},
        {L"/a", false, L"/a/", L"/a"},
        {L"/a/", false, L"/a/", L"/a"},
        {L"/a///", false, L"/a///", L"/a//"},
        {L"/a///", true, L"/a///", L"/a"},
        {L"///", true, L"///", L""},
    };
    for (const Case& c : cases) {
        std::wstring added = c.text;
        AddTrailingSymbol(&added, L'/');
        EXPECT_EQ(added, c.added) << c.text;
        std::wstring removed = c.text;
        RemoveTrailingSymbol(&removed, L'/', c.all);
        EXPECT_EQ(removed, c.removed) << c.text;
    }
}

TEST(StringUtils, ReplaceAndCount) {
    std::wstring path = L"\\a\\b\\c.txt";
    EXPECT_EQ(CountChar(path, L'\\'), 3u);
    ReplaceSymbol(&path, L'\\', L'/');
    EXPECT_EQ(path, L"/a/b/c.txt");
    EXPECT_EQ(CountChar(path, L'\\'), 0u);
}

TEST(StringUtils, CaseMappingLeavesSurrogatesAndOtherUnitsAlone) {
    std::wstring wide{L'a', L'Z', L'1', static_cast<wchar_t>(0xD801), static_cast<wchar_t>(0xDC28)};
    MakeUpper(&wide);
    EXPECT_EQ(wide,
              (std::wstring{L'A', L'Z', L'1', static_cast<wchar_t>(0xD801), static_cast<wchar_t>(0xDC28)}));
    MakeLower(&wide);
    EXPECT_EQ(wide,
              (std::wstring{L'a', L'z', L'1', static_cast<wchar_t>(0xD801), static_cast<wchar_t>(0xDC28)}));

    // Bytes above 127 must not reach the classifiers as negative values.
    std::string narrow{'a', 'B', static_cast<char>(0xE9), '.'};
    MakeUpper(&narrow);
    EXPECT_EQ(narrow, (std::string{'A', 'B', static_cast<char>(0xE9), '.'}));
    MakeLower(&narrow);
    EXPECT_EQ(narrow, (std::string{'a', 'b', static_cast<char>(0xE9), '.'}));
}

TEST(PathUtils, ParseFileName) {
    struct Case {
        std::wstring path;
        wchar_t sep;
        bool found;
        std::wstring dir;
        std::wstring name;
    };
    const Case cases[] = {
        {L"/a/b.txt", 0, true, L"/a/", L"b.txt"},
        {L"/a/b/", 0, true, L"/a/b/", L""},
        {L"\\srv\\share\\f", 0, true, L"\\srv\\share\\", L"f"},
        {L"/a/b.txt", L'\\', false, L"-", L"-"},
        {L"b.txt", L'/', false, L"-", L"-"},
        // With sep 0 the first character is the separator, so a bare name splits at its own first letter.
        {L"b.txt", 0, true, L"b", L".txt"},
        {L"", 0, false, L"-", L"-"},
    };
    for (const Case& c : cases) {
        std::wstring dir = L"-";
        std::wstring name = L"-";
        EXPECT_EQ(ParseFileName(c.path, &dir, &name, c.sep), c.found) << c.path;
        EXPECT_EQ(dir, c.dir) << c.path;
        EXPECT_EQ(name, c.name) << c.path;
    }
}

TEST(PathUtils, ExtensionAndBase) {
    struct Case {
        std::wstring name;
        std::wstring base;
        std::wstring ext;
    };
    const Case cases[] = {
        {L"a.tar.gz", L"a.tar", L"gz"},
        {L"readme", L"readme", L""},
        {L"ends.", L"ends.", L""},
        {L".profile", L"", L"profile"},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        std::wstring ext = L"stale";
        GetFileExt(c.name, &ext);
        EXPECT_EQ(ext, c.ext) << c.name;
        std::wstring base = L"stale";
        ext = L"stale";
        SplitFileName(c.name, &base, &ext);
        EXPECT_EQ(base, c.base) << c.name;
        EXPECT_EQ(ext, c.ext) << c.name;
    }
}

}  // namespace
