// The logon against a scripted server that breaks the rules: a request for a plain-text password, framing
// that does not add up, a keep-alive, a reset and a trickle.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedSmbServer.h"
#include "SmbTestSupport.h"
#include "app/Results.h"

namespace {

using Reply = SScriptedReply;

unsigned long OpenRootOn(ScriptedSmbServer& server, const std::wstring& password, int timeoutMs = 15000) {
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", password);
    unsigned long result = 1;
    EXPECT_TRUE(RunInApp([&] {
        RootRecorder root;
        result = OpenRoot(*Smb1Browser(folder), root, timeoutMs);
        Smb1Browser(folder)->RemoveListener(&root);
    }));
    SmbSession::SetServerPort(445);
    return result;
}

bool Received(ScriptedSmbServer& server, unsigned char command) {
    for (const SScriptedRequest& r : server.Requests()) {
        if (r.command == command) {
            return true;
        }
    }
    return false;
}

TEST(HostileLogonTest, APlainTextPasswordIsNeverSent) {
    struct Case {
        unsigned char securityMode;
        const wchar_t* password;
        unsigned long expected;
    } cases[] = {
        {0x01, L"secret", RES_BAD_LOGON},  // user level, plain text
        {0x00, L"secret", RES_BAD_LOGON},  // share level, plain text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "security mode " << int(c.securityMode));
        ScriptedSmbServer server([](const SScriptedRequest&) { return Pass(); }, c.securityMode);
        EXPECT_EQ(OpenRootOn(server, c.password), c.expected);
        EXPECT_TRUE(Received(server, 0x72));
        EXPECT_FALSE(Received(server, 0x73));
        EXPECT_FALSE(Received(server, 0x75));
    }
}

TEST(HostileLogonTest, AServerWithoutUnicodeIsRefusedBeforeANameIsSent) {
    // The default capabilities less CAP_UNICODE (0x04).
    ScriptedSmbServer server([](const SScriptedRequest&) { return Pass(); }, 0x03, 0xC0D8);
    EXPECT_EQ(OpenRootOn(server, L"secret"), RES_NO_UNICODE);
    EXPECT_FALSE(Received(server, 0x73));
    EXPECT_FALSE(Received(server, 0x75));
}

TEST(HostileLogonTest, AnEmptyPasswordLogsOnWithoutChallengeResponse) {
    ScriptedSmbServer server([](const SScriptedRequest&) { return Pass(); }, 0x01);
    EXPECT_EQ(OpenRootOn(server, L""), RES_OK);
    for (const SScriptedRequest& r : server.Requests()) {
        if (r.command == 0x73) {
            // Both password lengths of the session setup are 0.
            EXPECT_EQ(GetLe16(r.message, 33 + 14), 0);
            EXPECT_EQ(GetLe16(r.message, 33 + 16), 0);
        }
    }
}

TEST(HostileLogonTest, BrokenNegotiateAnswersEndTheLogon) {
    struct Case {
        const char* what;
        std::function<Reply(const SScriptedRequest&)> onNegotiate;
        unsigned long expected;
    } cases[] = {
        {"refused", [](const SScriptedRequest& r) { return Send(SmbAnswer(r, 0xC0000001, {}, {})); },
         RES_SMB1_REFUSED},
        {"no_dialect", [](const SScriptedRequest& r) { return Send(SmbAnswer(r, 0, Bytes(2, 0xFF), {})); },
         RES_SMB1_REFUSED},
        {"too_few_words", [](const SScriptedRequest& r) { return Send(SmbAnswer(r, 0, Bytes(26, 0), {})); },
         RES_FAILURE},
        {"transport_length_above_the_maximum",
         [](const SScriptedRequest&) { return Send(Hex("00 01 00 00")); }, RES_DISCONNECTED},
        {"transport_length_below_a_header", [](const SScriptedRequest&) { return Send(Hex("00 00 00 10")); },
         RES_DISCONNECTED},
        {"counts_that_do_not_fit_then_silence",
         [](const SScriptedRequest& r) {
             Bytes answer = SmbAnswer(r, 0, Bytes(34, 0), {});
             answer[4 + 33 + 34] = 0xFF;  // byte count far beyond the message
             return Send(answer);
         },
         RES_DISCONNECTED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedSmbServer server(
            [&](const SScriptedRequest& r) { return r.command == 0x72 ? c.onNegotiate(r) : Pass(); });
        EXPECT_EQ(OpenRootOn(server, L"secret"), c.expected);
        EXPECT_FALSE(Received(server, 0x73));
    }
}

TEST(HostileLogonTest, AKeepAliveBeforeTheNegotiateAnswerIsSwallowed) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        if (r.command != 0x72) {
            return Pass();
        }
        return Reply{Reply::IGNORE, {}};
    });
    // The default negotiate answer follows a keep-alive sent by the script through a second server
    // reply: the scripted server sends the keep-alive, then the real answer.
    ScriptedSmbServer keepAlive([&](const SScriptedRequest& r) {
        if (r.command != 0x72) {
            return Pass();
        }
        Bytes bytes = Hex("85 00 00 00");
        Bytes words;
        Put16(words, 0);
        words.push_back(0x03);
        Put16(words, 50);
        Put16(words, 1);
        Put32(words, 16644);
        Put32(words, 65536);
        Put32(words, 0);
        Put32(words, 0xC0DC);
        words.resize(words.size() + 10, 0);
        words.push_back(8);
        Bytes challenge = {1, 2, 3, 4, 5, 6, 7, 8, 0, 0};
        Bytes answer = SmbAnswer(r, 0, words, challenge);
        bytes.insert(bytes.end(), answer.begin(), answer.end());
        return Send(bytes);
    });
    EXPECT_EQ(OpenRootOn(keepAlive, L"secret"), RES_OK);
}

TEST(HostileLogonTest, ARetryRightAfterAResetDuringTheLogonConnectsAgain) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        return r.command == 0x73 && r.connection == 1 ? Reply{Reply::RESET, {}} : Pass();
    });
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    EXPECT_TRUE(RunInApp([&] {
        RootRecorder root;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(OpenRoot(*Smb1Browser(folder), root), RES_DISCONNECTED);
        EXPECT_EQ(OpenRoot(*Smb1Browser(folder), root), RES_OK);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
        Smb1Browser(folder)->RemoveListener(&root);
    }));
    SmbSession::SetServerPort(445);
}

TEST(HostileLogonTest, ATrickleEndsWhenTheConnectionTimerRunsOut) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        if (r.command != 0x72) {
            return Pass();
        }
        return Reply{Reply::TRICKLE, SmbAnswer(r, 0, Bytes(34, 0), Bytes(10, 0))};
    });
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(OpenRootOn(server, L"secret", 15000), RES_DISCONNECTED);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(seconds, 4.0);
}

}  // namespace
