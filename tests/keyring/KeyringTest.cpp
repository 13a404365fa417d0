// The keyring as the platform offers it, against the packaged Secret Service on the test's own bus:
// what it keeps and hands back, and how a locked, silent, stopped or absent keyring answers.

#include <gtest/gtest.h>

#include <chrono>

#include "PrivateKeyring.h"
#include "SharedKeyring.h"

namespace {

using host::Keyring;
using host::KeyringKey;

const KeyringKey kNas{L"NAS", L"Music", L"bob"};
const KeyringKey kPc{L"192.0.2.7", L"", L"DOMAIN\\al\x00ef"};

TEST(KeyringTest, KeepsReplacesHandsBackAndRemoves) {
    PrivateKeyring& keyring = SharedKeyring();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    EXPECT_EQ(Keyring::Store(kNas, L"NAS", L"first", 5000), host::KEYRING_OK);
    EXPECT_EQ(Keyring::Store(kPc, L"PC", L"p\x00e4ss \x0416 w=rd", 5000), host::KEYRING_OK);
    EXPECT_EQ(Keyring::Store(kNas, L"NAS", L"second one", 5000), host::KEYRING_OK);
    EXPECT_EQ(keyring.Entries(),
              (std::vector<std::wstring>{L"192.0.2.7//DOMAIN\\al\x00ef=p\x00e4ss \x0416 w=rd",
                                         L"NAS/Music/bob=second one"}));
    // The keyring's own files hold no password as it is.
    EXPECT_TRUE(keyring.FilesHolding("second one").empty());
    EXPECT_EQ(Keyring::Remove(kNas, 5000), host::KEYRING_OK);
    EXPECT_EQ(Keyring::Remove(kNas, 5000), host::KEYRING_OK);  // nothing there any more is no failure
    EXPECT_EQ(keyring.Entries(),
              (std::vector<std::wstring>{L"192.0.2.7//DOMAIN\\al\x00ef=p\x00e4ss \x0416 w=rd"}));
    // A text that is not UTF-16 cannot be stored, and is refused rather than cut.
    EXPECT_EQ(Keyring::Store(kNas, L"NAS", std::wstring(1, wchar_t(0xD800)), 5000), host::KEYRING_FAILED);
    EXPECT_EQ(Keyring::Remove(kPc, 5000), host::KEYRING_OK);
}

TEST(KeyringTest, LockedSilentStoppedAndAbsentKeyrings) {
    PrivateKeyring& keyring = SharedKeyring();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    ASSERT_EQ(Keyring::Store(kNas, L"NAS", L"kept", 5000), host::KEYRING_OK);

    // Locked: reported, never unlocked, nothing changed.
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::LOCKED));
    std::vector<host::KeyringEntry> entries;
    EXPECT_EQ(Keyring::Store(kPc, L"PC", L"new", 5000), host::KEYRING_LOCKED);
    EXPECT_EQ(Keyring::LoadAll(&entries, 5000), host::KEYRING_LOCKED);
    EXPECT_TRUE(entries.empty());
    EXPECT_EQ(Keyring::Remove(kNas, 5000), host::KEYRING_LOCKED);
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    EXPECT_EQ(keyring.Entries(), (std::vector<std::wstring>{L"NAS/Music/bob=kept"}));

    // Silent: each call ends at its deadline.
    keyring.Pause();
    for (int call = 0; call < 3; ++call) {
        const auto start = std::chrono::steady_clock::now();
        const host::TKeyringResult result = call == 0   ? Keyring::Store(kPc, L"PC", L"new", 400)
                                            : call == 1 ? Keyring::LoadAll(&entries, 400)
                                                        : Keyring::Remove(kNas, 400);
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_EQ(result, host::KEYRING_TIMED_OUT) << "call " << call;
        EXPECT_LT(took.count(), 1400) << "call " << call;
    }
    keyring.Resume();
    EXPECT_EQ(keyring.Entries(), (std::vector<std::wstring>{L"NAS/Music/bob=kept"}));
    EXPECT_EQ(Keyring::Remove(kNas, 5000), host::KEYRING_OK);

    // Stopped, with nothing on the bus to start one: no service.
    keyring.StopKeyring();
    EXPECT_EQ(Keyring::Store(kPc, L"PC", L"new", 5000), host::KEYRING_NO_SERVICE);
    EXPECT_EQ(Keyring::LoadAll(&entries, 5000), host::KEYRING_NO_SERVICE);

    // No session bus at all.
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(Keyring::Store(kPc, L"PC", L"new", 5000), host::KEYRING_NO_SERVICE);
    keyring.UseBus();
}

}  // namespace
