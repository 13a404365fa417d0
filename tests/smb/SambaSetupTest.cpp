// The client against real Samba servers set up otherwise than the shared one: a server with a share list
// far longer than one answer, and one that maps unknown users to its guest account.

#include <gtest/gtest.h>

#include <string>

#include "SmbTestSupport.h"
#include "app/Results.h"
#include "testsupport/SambaServer.h"

namespace {

// Starts server with extra configuration and points folder at it.
bool StartServer(testsupport::SambaServer& server, const std::string& global, const std::string& shares) {
    server.SetExtraConfig(global, shares);
    std::string error;
    bool started = server.Start(&error);
    EXPECT_TRUE(started) << error;
    SmbSession::SetServerPort(server.Port());
    return started;
}

TEST(SambaSetupTest, AShareListLongerThanOneAnswerIsReadWhole) {
    // 300 shares with remarks: several times what one transaction answer and one DCE/RPC fragment hold.
    std::string shares;
    for (int i = 0; i < 300; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "corvlong%03d", i);
        shares += std::string("[") + name + "]\npath = /tmp\nread only = yes\ncomment = Share number " +
                  std::to_string(i) + " of the long list\n";
    }
    testsupport::SambaServer server;
    ASSERT_TRUE(StartServer(server, "", shares));
    RemoteFolder folder;
    PointFolderAt(folder, L"", L"corvtest", L"Corv-pass1");
    EXPECT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder);
        RootRecorder root;
        root.onSelectShare = [&] { browser->SelectShare(L"corvshare"); };
        EXPECT_EQ(OpenRoot(*browser, root), RES_OK);
        browser->RemoveListener(&root);
        EXPECT_EQ(root.shareQuestions, 1);
        EXPECT_EQ(root.shares.size(), 302u);
        EXPECT_EQ(root.shares.count(L"corvlong000"), 1u);
        EXPECT_EQ(root.shares.count(L"corvlong299"), 1u);
        EXPECT_EQ(root.shares.count(L"corvdocs"), 1u);
    }));
    SmbSession::SetServerPort(445);
}

TEST(SambaSetupTest, AGuestLogonInsteadOfTheUserGivenIsRefusedAndSaysSo) {
    testsupport::SambaServer server;
    ASSERT_TRUE(StartServer(server, "map to guest = bad user\nguest account = nobody\n", ""));
    struct {
        const wchar_t* user;
        const wchar_t* password;
        unsigned long expected;
    } cases[] = {
        // An unknown user with a password would see the guest's view without a word.
        {L"nosuchuser", L"some-password", RES_GUEST_ONLY},
        // A known user with a wrong password is refused by the server itself.
        {L"corvtest", L"wrong-password", RES_BAD_LOGON},
        {L"corvtest", L"Corv-pass1", RES_OK},
    };
    for (const auto& c : cases) {
        RemoteFolder folder;
        PointFolderAt(folder, L"corvshare", c.user, c.password);
        EXPECT_TRUE(RunInApp([&] {
            RootRecorder root;
            EXPECT_EQ(OpenRoot(*Smb1Browser(folder), root), c.expected) << c.user << " " << c.password;
            Smb1Browser(folder)->RemoveListener(&root);
        }));
    }
    EXPECT_EQ(BadaResultToString(RES_GUEST_ONLY),
              L"The server did not accept this user name and password and offered only guest access");
    SmbSession::SetServerPort(445);
}

}  // namespace
