#include "app/RegValue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/Results.h"
#include "host/HostPaths.h"

namespace {

using Osp::Base::ByteBuffer;
using Osp::Base::String;
using Osp::Base::UuId;
using Osp::Io::Registry;

const String kPath(L"/Home/RF.reg");
const String kSection(L"General");

// A data root of its own, with an empty "/Home/", for each test.
class RegValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "regvalue-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        std::filesystem::create_directory(root_ / "Home");
        host::SetDataRoot(root_.string());
        ASSERT_EQ(reg_.Construct(kPath, true), RES_OK);
        ASSERT_EQ(reg_.AddSection(kSection), RES_OK);
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    // Writes first (adding the key), then overwrites, then reads back from the saved file.
    template <typename T>
    void RoundTrip(const wchar_t* key, const T& first, const T& second) {
        ASSERT_EQ(SetRegValue(reg_, kSection, String(key), first), RES_OK);
        T value{};
        ASSERT_EQ(reg_.GetValue(kSection, String(key), value), RES_OK);
        EXPECT_TRUE(value == first);
        ASSERT_EQ(SetRegValue(reg_, kSection, String(key), second), RES_OK);
        ASSERT_EQ(reg_.Flush(), RES_OK);

        Registry saved;
        ASSERT_EQ(saved.Construct(kPath, false), RES_OK);
        T read{};
        ASSERT_EQ(saved.GetValue(kSection, String(key), read), RES_OK);
        EXPECT_TRUE(read == second);
    }

    std::filesystem::path root_;
    Registry reg_;
};

TEST_F(RegValueTest, EveryTypeIsAddedThenOverwritten) {
    RoundTrip(L"Int", -7, 1 << 30);
    RoundTrip(L"Double", 0.1, -2.5e300);
    RoundTrip(L"Float", 1.5f, 3.25f);
    RoundTrip(L"String", String(L"first"), String(L"second, with \"quotes\" and = signs"));

    UuId first;
    UuId second;
    ASSERT_EQ(UuId::Parse(String(L"01234567-89ab-cdef-0123-456789abcdef"), first), RES_OK);
    ASSERT_EQ(UuId::Parse(String(L"fedcba98-7654-3210-fedc-ba9876543210"), second), RES_OK);
    RoundTrip(L"Id", first, second);

    const unsigned char one[] = {1, 2, 3};
    const unsigned char two[] = {0, 255, 0, 10};
    ByteBuffer firstBytes;
    ByteBuffer secondBytes;
    ASSERT_EQ(firstBytes.Construct(one, sizeof(one)), RES_OK);
    ASSERT_EQ(secondBytes.Construct(two, sizeof(two)), RES_OK);
    RoundTrip(L"Bytes", firstBytes, secondBytes);
}

TEST_F(RegValueTest, EmptyStringRemovesTheKey) {
    ASSERT_EQ(SetRegValue(reg_, kSection, String(L"Password"), String(L"secret")), RES_OK);
    EXPECT_EQ(SetRegValue(reg_, kSection, String(L"Password"), String()), RES_OK);
    String value;
    EXPECT_EQ(reg_.GetValue(kSection, String(L"Password"), value), RES_KEY_NOT_FOUND);

    // Removing what is not there is no failure, whether the key or the whole section is missing.
    EXPECT_EQ(SetRegValue(reg_, kSection, String(L"Password"), String()), RES_OK);
    EXPECT_EQ(SetRegValue(reg_, String(L"Missing"), String(L"Password"), String()), RES_OK);
}

TEST_F(RegValueTest, MissingSectionIsReported) {
    EXPECT_EQ(SetRegValue(reg_, String(L"Missing"), String(L"Count"), 3), RES_NO_SUCH_ENTRY);
    EXPECT_EQ(SetRegValue(reg_, String(L"Missing"), String(L"Name"), String(L"x")), RES_NO_SUCH_ENTRY);
}

}  // namespace
