#include "app/Format.h"

#include <gtest/gtest.h>

namespace {

using Osp::Base::String;
using Osp::Base::TimeSpan;

TEST(Format, CountsAndSizes) {
    struct Case {
        unsigned long long n;
        const wchar_t* count;
        const wchar_t* size;
        const wchar_t* fileSize;
    };
    const Case cases[] = {
        {0, L"0", L"0 bytes", L"0 bytes"},
        {1023, L"1023", L"1023 bytes", L"1023 bytes"},
        {1024, L"1024", L"1.00 KB", L"1.00 KB"},
        {1025, L"1025", L"1.00 KB", L"1.00 KB (1025 bytes)"},
        {1536, L"1536", L"1.50 KB", L"1.50 KB (1536 bytes)"},
        {999999, L"999999", L"976.56 KB", L"976.56 KB (999999 bytes)"},
        {1000000, L"1.0 mln", L"976.56 KB", L"976.56 KB (1000000 bytes)"},
        {1048576, L"1.0 mln", L"1.00 MB", L"1.00 MB (1048576 bytes)"},
        {2500000000ull, L"2.5 bln", L"2.33 GB", L"2.33 GB (2500000000 bytes)"},
        {18446744073709551615ull, L"18446744073.7 bln", L"17179869184.00 GB",
         L"17179869184.00 GB (18446744073709551615 bytes)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatCount64(c.n).Units(), c.count) << c.n;
        EXPECT_EQ(FormatSize64(c.n).Units(), c.size) << c.n;
        String fileSize = L"stale";
        FormatFileSize(&fileSize, c.n);
        EXPECT_EQ(fileSize.Units(), c.fileSize) << c.n;
    }
}

TEST(Format, FilesAndFolders) {
    struct Case {
        unsigned files;
        unsigned folders;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, 0, L""},
        {1, 0, L"1 files"},
        {0, 1, L"1 folders"},
        {1, 2, L"1 files, 2 folders"},
        {4294967295u, 0, L"4294967295 files"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FilesAndFoldersToStr(c.files, c.folders).Units(), c.text) << c.files << "/" << c.folders;
    }
}

TEST(Format, TimeSpans) {
    struct Case {
        TimeSpan span;
        const wchar_t* text;
    };
    const Case cases[] = {
        {TimeSpan(0), L"0 s "},
        {TimeSpan(0, 0, 0, 7, 999), L"7 s "},
        {TimeSpan(0, 0, 1, 30), L"1 m 30 s "},
        {TimeSpan(0, 1, 0, 0), L"1 h 0 m 0 s "},
        {TimeSpan(1, 0, 0, 5), L"1 day 0 h 0 m 5 s "},
        {TimeSpan(3, 2, 1, 0), L"3 days 2 h 1 m 0 s "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TimeSpanToString(c.span).Units(), c.text) << c.span.GetTicks();
    }
}

}  // namespace
