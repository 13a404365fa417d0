// The private-folder password's stored form: a record another PBKDF2-HMAC-SHA256 implementation agrees
// with, records that round-trip, and damaged records refused whole.

#include <gtest/gtest.h>

#include "app/PasswordHash.h"

namespace {

const std::wstring kSalt = L"000102030405060708090a0b0c0d0e0f";
const std::wstring kKey = L"3a8e18759520d515bd9351abe4cf72a39f2f943a2fd57f24bcf588c012b8f15e";

// Made by Python's hashlib.pbkdf2_hmac("sha256", "secret12".encode("utf-16-le"), bytes(range(16)), 10000).
TEST(PasswordHashTest, AgreesWithAnotherImplementation) {
    PasswordHash hash;
    ASSERT_TRUE(PasswordHash::Parse(L"pbkdf2-sha256$10000$" + kSalt + L"$" + kKey, hash));
    EXPECT_TRUE(hash.Matches(L"secret12"));
    EXPECT_FALSE(hash.Matches(L"Secret12"));
    EXPECT_FALSE(hash.Matches(L"secret1"));
    EXPECT_FALSE(hash.Matches(L""));
    // Characters beyond ASCII count as their UTF-16 units.
    ASSERT_TRUE(PasswordHash::Parse(L"pbkdf2-sha256$10000$" + kSalt +
                                        L"$5664383a0c9c4cadca6da2e826f27928f001cdfa78ab78c1d876944a10af5c70",
                                    hash));
    EXPECT_TRUE(hash.Matches(L"p\x00e9\x0416"));
}

TEST(PasswordHashTest, NewRecordsRoundTripWithTheirOwnSalt) {
    const PasswordHash first = PasswordHash::Make(L"secret12", 10000);
    const PasswordHash second = PasswordHash::Make(L"secret12", 10000);
    EXPECT_NE(first.ToString(), second.ToString());
    EXPECT_EQ(first.ToString().find(L"secret12"), std::wstring::npos);
    PasswordHash read;
    ASSERT_TRUE(PasswordHash::Parse(first.ToString(), read));
    EXPECT_EQ(read.ToString(), first.ToString());
    EXPECT_TRUE(read.Matches(L"secret12"));
    EXPECT_FALSE(read.Matches(L"secret13"));
    EXPECT_EQ(PasswordHash::Make(L"x").GetIterations(), PasswordHash::kIterations);
}

TEST(PasswordHashTest, DamagedRecordsAreRefused) {
    const std::wstring head = L"pbkdf2-sha256$10000$";
    const std::wstring cases[] = {
        L"",
        L"secret12",
        L"pbkdf2-sha1$10000$" + kSalt + L"$" + kKey,
        head + kSalt,
        head + kSalt + L"$" + kKey + L"$",
        head + kSalt + L"$" + kKey.substr(2),          // key too short
        head + kSalt + L"$" + kKey + L"00",            // key too long
        head + kSalt + L"$" + kKey.substr(1),          // odd number of digits
        head + kSalt + L"$" + L"zz" + kKey.substr(2),  // not hex
        head + kSalt + L"$" + L"3A" + kKey.substr(2),  // upper case is not what is written
        head + L"0001020304" + L"$" + kKey,            // salt too short
        head + std::wstring(130, L'a') + L"$" + kKey,  // salt too long
        L"pbkdf2-sha256$$" + kSalt + L"$" + kKey,
        L"pbkdf2-sha256$9999$" + kSalt + L"$" + kKey,      // too cheap
        L"pbkdf2-sha256$20000001$" + kSalt + L"$" + kKey,  // too dear
        L"pbkdf2-sha256$4294977296$" + kSalt + L"$" + kKey,
        L"pbkdf2-sha256$010000$" + kSalt + L"$" + kKey,
        L"pbkdf2-sha256$+10000$" + kSalt + L"$" + kKey,
        L"pbkdf2-sha256$1e5$" + kSalt + L"$" + kKey,
        L"pbkdf2-sha256$10000 $" + kSalt + L"$" + kKey,
        head + kSalt + L"$" + kKey + std::wstring(300, L' '),
    };
    for (const std::wstring& text : cases) {
        PasswordHash hash = PasswordHash::Make(L"kept", 10000);
        const std::wstring before = hash.ToString();
        EXPECT_FALSE(PasswordHash::Parse(text, hash)) << testing::PrintToString(text);
        EXPECT_EQ(hash.ToString(), before) << testing::PrintToString(text);
    }
}

}  // namespace
