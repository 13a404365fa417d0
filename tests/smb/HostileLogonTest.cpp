// The logon and the file operations against a scripted server that breaks the rules: a request for a
// plain-text password, framing that does not add up, a trickle, malformed read and write answers, and a
// server that goes away in the middle and comes back.

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

Reply Send(Bytes bytes) {
    return {Reply::SEND, std::move(bytes)};
}

Reply Pass() {
    return {Reply::IGNORE, {}};
}

unsigned long OpenRootOn(ScriptedSmbServer& server, const std::wstring& password, int timeoutMs = 15000) {
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", password);
    unsigned long result = 1;
    EXPECT_TRUE(RunInApp([&] {
        RootRecorder root;
        result = OpenRoot(*folder.CreateBrowser(), root, timeoutMs);
        folder.CreateBrowser()->RemoveListener(&root);
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
         RES_FAILURE},
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
        EXPECT_EQ(OpenRoot(*folder.CreateBrowser(), root), RES_DISCONNECTED);
        EXPECT_EQ(OpenRoot(*folder.CreateBrowser(), root), RES_OK);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
        folder.CreateBrowser()->RemoveListener(&root);
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

// A server whose answers to NT_CREATE_ANDX open a file of 1,000 bytes and whose READ_ANDX and WRITE_ANDX
// answers are the test's.
struct SIoCase {
    const char* what;
    std::function<Bytes(const SScriptedRequest&)> answer;
    unsigned long expected;
};

Bytes CreateAnswer(const SScriptedRequest& r) {
    Bytes words;
    words.insert(words.end(), {0xFF, 0, 0, 0, 0});
    Put16(words, 0x4001);  // fid
    Put32(words, 1);
    words.resize(words.size() + 32 + 4 + 8, 0);
    Put64(words, 1000);  // end of file
    words.resize(68, 0);
    return SmbAnswer(r, 0, words, {});
}

// A READ_ANDX answer whose data lies at offset with length (high half included) as given.
Bytes ReadAnswer(const SScriptedRequest& r, unsigned offset, unsigned length, size_t carried) {
    Bytes words = {0xFF, 0, 0, 0};
    Put16(words, 0);
    Put16(words, 0);
    Put16(words, 0);
    Put16(words, length & 0xFFFF);
    Put16(words, offset);
    Put16(words, length >> 16);
    words.resize(24, 0);
    Bytes bytes(1 + carried, 'r');
    return SmbAnswer(r, 0, words, bytes);
}

Bytes WriteAnswer(const SScriptedRequest& r, unsigned count) {
    Bytes words = {0xFF, 0, 0, 0};
    Put16(words, count & 0xFFFF);
    Put16(words, 0);
    Put16(words, count >> 16);
    Put16(words, 0);
    return SmbAnswer(r, 0, words, {});
}

TEST(HostileFileTest, MalformedReadAndWriteAnswersFailTheOperation) {
    const SIoCase reads[] = {
        {"good_read", [](const SScriptedRequest& r) { return ReadAnswer(r, 60, 100, 100); }, RES_OK},
        {"data_past_the_message", [](const SScriptedRequest& r) { return ReadAnswer(r, 60, 200, 100); },
         RES_BAD_RESPONSE},
        {"offset_past_the_message", [](const SScriptedRequest& r) { return ReadAnswer(r, 0xFFF0, 16, 100); },
         RES_BAD_RESPONSE},
        {"length_wrapping", [](const SScriptedRequest& r) { return ReadAnswer(r, 60, 0xFFFFFFF0, 100); },
         RES_BAD_RESPONSE},
        {"more_than_asked", [](const SScriptedRequest& r) { return ReadAnswer(r, 60, 600, 600); },
         RES_BAD_RESPONSE},
    };
    const SIoCase writes[] = {
        {"good_write", [](const SScriptedRequest& r) { return WriteAnswer(r, 500); }, RES_OK},
        {"short_write", [](const SScriptedRequest& r) { return WriteAnswer(r, 499); }, RES_FAILURE},
        {"more_than_sent", [](const SScriptedRequest& r) { return WriteAnswer(r, 501); }, RES_BAD_RESPONSE},
    };
    auto run = [](const SIoCase& c, bool write) {
        SCOPED_TRACE(c.what);
        ScriptedSmbServer server([&](const SScriptedRequest& r) {
            if (r.command == 0xA2) {
                return Send(CreateAnswer(r));
            }
            if (r.command == 0x2E || r.command == 0x2F) {
                return Send(c.answer(r));
            }
            return r.command == 0x04 ? Send(SmbAnswer(r, 0, {}, {})) : Pass();
        });
        SmbSession::SetServerPort(server.Port());
        RemoteFolder folder;
        PointFolderAt(folder, L"share", L"user", L"secret");
        EXPECT_TRUE(RunInApp([&] {
            FileRecorder files;
            folder.CreateBrowser()->CreateFileA(&files, L"\\f.bin", FILE_MODE_WRITE, FILE_DISP_OPEN_EXISTING);
            ASSERT_NE(WaitForFile(files, 1), nullptr);
            ASSERT_EQ(files.answers[0].result, RES_OK);
            std::vector<char> buffer(500, 'w');
            if (write) {
                files.file->WriteA(buffer.data(), 500);
            } else {
                files.file->ReadA(buffer.data(), 500);
            }
            const FileAnswer* answer = WaitForFile(files, 2);
            ASSERT_NE(answer, nullptr);
            EXPECT_EQ(answer->result, c.expected);
            if (c.expected != RES_OK) {
                EXPECT_EQ(answer->count, 0u);
            }
        }));
        SmbSession::SetServerPort(445);
    };
    for (const SIoCase& c : reads) {
        run(c, false);
    }
    for (const SIoCase& c : writes) {
        run(c, true);
    }
}

TEST(HostileFileTest, AServerThatStopsInTheMiddleAnswersDisconnectedAndTheNextRequestReconnects) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        if (r.command == 0x32 && r.connection == 1) {
            return Reply{Reply::CLOSE, {}};
        }
        if (r.command == 0x32) {
            Bytes data(72, 0);
            data[32] = 0x10;  // a folder
            Put32(data, 0);   // empty name
            return Send(Trans2Answer(r, Bytes(2, 0), data));
        }
        return Pass();
    });
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    EXPECT_TRUE(RunInApp([&] {
        SmbBrowser* browser = folder.CreateBrowser();
        OpRecorder ops;
        browser->GetFileInfoA(1, &ops, L"\\dir");
        browser->GetFileInfoA(2, &ops, L"\\other");
        ASSERT_NE(WaitForOp(ops, 2), nullptr);
        EXPECT_EQ(ops.answers[0].result, RES_DISCONNECTED);
        EXPECT_EQ(ops.answers[1].result, RES_DISCONNECTED);
        EXPECT_FALSE(folder.IsConnected());
        browser->GetFileInfoA(3, &ops, L"\\dir");
        ASSERT_NE(WaitForOp(ops, 3), nullptr);
        EXPECT_EQ(ops.answers[2].result, RES_OK);
        EXPECT_TRUE(folder.IsConnected());
    }));
    SmbSession::SetServerPort(445);
    int negotiates = 0;
    for (const SScriptedRequest& r : server.Requests()) {
        negotiates += r.command == 0x72;
    }
    EXPECT_EQ(negotiates, 2);
}

}  // namespace
