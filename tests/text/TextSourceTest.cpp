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

TEST_F(TextSourceTest, TwoByteMarkAloneIsLatin1) {
    TextSource source(Write("ff-fe.txt", "\xFF\xFE"));
    std::wstring text;
    ASSERT_TRUE(source.Decode(&text, 4));
    EXPECT_EQ(source.GetEncoding(), ENCODING_LATIN1);
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
