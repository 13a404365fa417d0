// The private-folder password read from the settings section in each of the forms a file may hold, and
// what each form answers to a check and writes back.

#include <gtest/gtest.h>

#include <functional>

#include "app/PasswordHash.h"
#include "app/PrivatePassword.h"
#include "app/Results.h"

namespace {

using Osp::Base::String;

const String kGeneral(L"General");

// The password's keys of "General" as "key=text" (or "key=?" for another type).
std::vector<std::wstring> Keys(const Osp::Io::Registry& reg) {
    std::vector<std::wstring> keys;
    for (const wchar_t* key : {L"Pwd", L"PwdHash"}) {
        String text;
        const unsigned long r = reg.GetValue(kGeneral, String(key), text);
        if (r != RES_KEY_NOT_FOUND) {
            keys.push_back(std::wstring(key) + L"=" + (r == RES_OK ? text.Units() : L"?"));
        }
    }
    return keys;
}

// Adds the key to "General", made when missing.
template <typename T>
void Put(Osp::Io::Registry& reg, const wchar_t* key, const T& value) {
    reg.AddSection(kGeneral);
    reg.AddValue(kGeneral, String(key), value);
}

std::vector<std::wstring> SavedKeys(const PrivatePassword& password, Osp::Io::Registry& reg) {
    password.Save(reg, kGeneral);
    return Keys(reg);
}

TEST(PrivatePasswordTest, EachStoredFormChecksAsItShould) {
    const std::wstring record = PasswordHash::Make(L"secret12", 10000).ToString();
    enum TSaved { UNCHANGED, HASHED_ONLY, NOTHING };
    struct Case {
        const char* what;
        std::function<void(Osp::Io::Registry&)> write;
        bool set;
        PrivatePassword::TCheck right;  // of "secret12"
        PrivatePassword::TCheck wrong;  // of "secret13"
        TSaved saved;                   // after the checks
    };
    const Case cases[] = {
        {"no section", [](Osp::Io::Registry&) {}, false, PrivatePassword::MATCH, PrivatePassword::MATCH,
         NOTHING},
        {"no key", [](Osp::Io::Registry& reg) { reg.AddSection(kGeneral); }, false, PrivatePassword::MATCH,
         PrivatePassword::MATCH, NOTHING},
        {"hash", [&](Osp::Io::Registry& reg) { Put(reg, L"PwdHash", String(record)); }, true,
         PrivatePassword::MATCH, PrivatePassword::MISMATCH, HASHED_ONLY},
        {"plain of an older file", [](Osp::Io::Registry& reg) { Put(reg, L"Pwd", String(L"secret12")); },
         true, PrivatePassword::MATCH, PrivatePassword::MISMATCH, HASHED_ONLY},
        {"empty plain", [](Osp::Io::Registry& reg) { Put(reg, L"Pwd", String()); }, false,
         PrivatePassword::MATCH, PrivatePassword::MATCH, NOTHING},
        // The hash wins over a plain key that an older copy may have left beside it.
        {"hash and plain",
         [&](Osp::Io::Registry& reg) {
             Put(reg, L"Pwd", String(L"secret13"));
             Put(reg, L"PwdHash", String(record));
         },
         true, PrivatePassword::MATCH, PrivatePassword::MISMATCH, HASHED_ONLY},
        {"damaged hash",
         [&](Osp::Io::Registry& reg) { Put(reg, L"PwdHash", String(record.substr(0, record.size() - 1))); },
         true, PrivatePassword::UNREADABLE, PrivatePassword::UNREADABLE, UNCHANGED},
        {"damaged hash beside a plain one",
         [&](Osp::Io::Registry& reg) {
             Put(reg, L"Pwd", String(L"secret12"));
             Put(reg, L"PwdHash", String(L"garbage"));
         },
         true, PrivatePassword::UNREADABLE, PrivatePassword::UNREADABLE, UNCHANGED},
        {"hash of another type", [](Osp::Io::Registry& reg) { Put(reg, L"PwdHash", 7); }, true,
         PrivatePassword::UNREADABLE, PrivatePassword::UNREADABLE, UNCHANGED},
        {"plain of another type", [](Osp::Io::Registry& reg) { Put(reg, L"Pwd", 7); }, true,
         PrivatePassword::UNREADABLE, PrivatePassword::UNREADABLE, UNCHANGED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Osp::Io::Registry reg;
        reg.AddSection(String(L"Other"));
        c.write(reg);
        PrivatePassword password;
        password.Load(reg, kGeneral);
        EXPECT_EQ(password.IsSet(), c.set);
        EXPECT_EQ(password.Check(L"secret13"), c.wrong);
        EXPECT_EQ(password.Check(L"secret12"), c.right);
        reg.AddSection(kGeneral);
        const std::vector<std::wstring> before = Keys(reg);
        const std::vector<std::wstring> keys = SavedKeys(password, reg);
        switch (c.saved) {
            case UNCHANGED:
                EXPECT_EQ(keys, before);
                break;
            case HASHED_ONLY: {
                ASSERT_EQ(keys.size(), 1u);
                EXPECT_EQ(keys[0].rfind(L"PwdHash=pbkdf2-sha256$", 0), 0u) << testing::PrintToString(keys[0]);
                PrivatePassword reread;
                reread.Load(reg, kGeneral);
                EXPECT_EQ(reread.Check(L"secret12"), PrivatePassword::MATCH);
                break;
            }
            case NOTHING:
                EXPECT_TRUE(keys.empty());
                break;
        }
    }
}

TEST(PrivatePasswordTest, SetChangeAndRemove) {
    Osp::Io::Registry reg;
    reg.AddSection(kGeneral);
    Put(reg, L"Pwd", String(L"old one"));
    PrivatePassword password;
    password.Load(reg, kGeneral);
    EXPECT_TRUE(password.IsPlain());
    password.Set(L"new one");
    EXPECT_FALSE(password.IsPlain());
    EXPECT_EQ(password.Check(L"old one"), PrivatePassword::MISMATCH);
    EXPECT_EQ(password.Check(L"new one"), PrivatePassword::MATCH);
    EXPECT_EQ(SavedKeys(password, reg).size(), 1u);
    password.Set(L"");
    EXPECT_FALSE(password.IsSet());
    EXPECT_TRUE(SavedKeys(password, reg).empty());
}

}  // namespace
