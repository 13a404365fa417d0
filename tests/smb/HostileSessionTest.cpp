// The session against a scripted server that stops answering, answers what was never asked, speaks in
// old error classes, or keeps one request waiting while the multiplex ids go round; and against callers
// that reconnect inside an answer or keep a file after its folder is gone. Every waiting operation must
// end, with its result, and the next one must find a working connection.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ScriptedSmbServer.h"
#include "SmbTestSupport.h"
#include "app/Results.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/ISmbSessionListener.h"
#include "net/smb1/SmbClose.h"
#include "net/smb1/SmbDelete.h"

namespace {

using Reply = SScriptedReply;
using Clock = std::chrono::steady_clock;

constexpr unsigned char kDelete = 0x06;
constexpr unsigned char kClose = 0x04;
constexpr unsigned char kEcho = 0x2B;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The session's settings of a test, put back when it ends.
struct STimeouts {
    STimeouts(int requestMs, int idleMs) {
        SmbSession::SetRequestTimeout(requestMs);
        SmbSession::SetIdleProbeAfter(idleMs);
    }
    ~STimeouts() {
        SmbSession::SetRequestTimeout(30000);
        SmbSession::SetIdleProbeAfter(60000);
        SmbSession::SetServerPort(445);
    }
};

// Runs body in an application whose network folder is on server.
void WithFolderOn(ScriptedSmbServer& server, const std::function<void(RemoteFolder&)>& body,
                  int timeoutMs = 60000) {
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    EXPECT_TRUE(RunInApp([&] { body(folder); }, timeoutMs));
}

void WithBrowserOn(ScriptedSmbServer& server, const std::function<void(RemoteFolder&, SmbBrowser&)>& body) {
    WithFolderOn(server, [&](RemoteFolder& folder) { body(folder, *Smb1Browser(folder)); });
}

// Deletes name through browser and waits for the answer; the result, or 1 without an answer.
unsigned long Delete(SmbBrowser& browser, OpRecorder& ops, const std::wstring& name, int timeoutMs = 20000) {
    size_t before = ops.answers.size();
    browser.DeleteFileA(static_cast<int>(before), &ops, name);
    const OpAnswer* answer = WaitForOp(ops, before + 1, timeoutMs);
    return answer != nullptr ? answer->result : 1;
}

Reply DeleteDone(const SScriptedRequest& r) {
    return Send(SmbAnswer(r, 0, {}, {}));
}

TEST(HostileSessionTest, ASilentServerFailsEveryWaitingRequestAtItsDeadlineAndTheNextOneReconnects) {
    // The first connection logs on and then answers nothing.
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        return r.connection > 1 && r.command == kDelete ? DeleteDone(r) : Pass();
    });
    STimeouts timeouts(1000, 60000);
    WithBrowserOn(server, [&](RemoteFolder& folder, SmbBrowser& browser) {
        OpRecorder ops;
        Clock::time_point start = Clock::now();
        browser.DeleteFileA(1, &ops, L"\\a");
        browser.GetFileInfoA(2, &ops, L"\\b");
        ASSERT_NE(WaitForOp(ops, 2, 10000), nullptr);
        double waited = SecondsSince(start);
        EXPECT_GE(waited, 0.9);
        EXPECT_LT(waited, 3.0);
        EXPECT_EQ(ops.answers[0].result, RES_DISCONNECTED);
        EXPECT_EQ(ops.answers[1].result, RES_DISCONNECTED);
        EXPECT_FALSE(folder.IsConnected());
        EXPECT_EQ(Delete(browser, ops, L"\\c"), RES_OK);
    });
    EXPECT_EQ(server.Count(0x72, 2), 1);
}

// An answer that does not belong to the request the server read.
struct SOutOfStepCase {
    const char* what;
    std::function<Bytes(const SScriptedRequest&)> answer;
    unsigned long expected = RES_DISCONNECTED;
};

TEST(HostileSessionTest, AnAnswerToNothingAskedOrThatCannotBeFramedFailsTheConnectionAtOnce) {
    const SOutOfStepCase cases[] = {
        {"another_multiplex_id",
         [](const SScriptedRequest& r) {
             SScriptedRequest other = r;
             other.mid = static_cast<unsigned short>(r.mid + 100);
             return SmbAnswer(other, 0, {}, {});
         }},
        {"another_command",
         [](const SScriptedRequest& r) {
             SScriptedRequest other = r;
             other.command = 0x07;
             return SmbAnswer(other, 0, {}, {});
         },
         RES_BAD_RESPONSE},  // the request its id names hears what went wrong
        {"a_logon_answer_nobody_waits_for",
         [](const SScriptedRequest& r) {
             SScriptedRequest other = r;
             other.command = 0x73;
             other.mid = 0;
             return SmbAnswer(other, 0, Hex("ff000000 0000"), {});
         }},
        {"byte_count_past_the_message",
         [](const SScriptedRequest& r) {
             Bytes m = SmbAnswer(r, 0, {}, {});
             m[4 + 33] = 0x40;
             return m;
         }},
        {"not_smb",
         [](const SScriptedRequest& r) {
             Bytes m = SmbAnswer(r, 0, {}, {});
             m[4] = 0xFE;
             return m;
         }},
    };
    for (const SOutOfStepCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedSmbServer server([&](const SScriptedRequest& r) {
            if (r.command != kDelete) {
                return Pass();
            }
            return r.connection == 1 ? Send(c.answer(r)) : DeleteDone(r);
        });
        // The deadline is far away: the connection must fail on the answer itself.
        STimeouts timeouts(30000, 60000);
        WithBrowserOn(server, [&](RemoteFolder&, SmbBrowser& browser) {
            OpRecorder ops;
            Clock::time_point start = Clock::now();
            EXPECT_EQ(Delete(browser, ops, L"\\a", 10000), c.expected);
            EXPECT_LT(SecondsSince(start), 5.0);
            EXPECT_EQ(Delete(browser, ops, L"\\b"), RES_OK);
        });
        EXPECT_EQ(server.Count(0x72, 2), 1);
    }
}

// An answer in an old server's error class and code: flags2 without NT status.
Bytes DosAnswer(const SScriptedRequest& r, unsigned char errorClass, unsigned short code) {
    Bytes m = SmbAnswer(r, 0, {}, {});
    m[4 + 5] = errorClass;
    m[4 + 7] = static_cast<unsigned char>(code);
    m[4 + 8] = static_cast<unsigned char>(code >> 8);
    m[4 + 11] &= static_cast<unsigned char>(~0x40);
    return m;
}

TEST(HostileSessionTest, AServerWithoutNtStatusIsAskedWithoutItAndItsErrorClassesAreFailures) {
    struct {
        const wchar_t* name;
        unsigned char errorClass;
        unsigned short code;
        unsigned long expected;
    } cases[] = {
        {L"\\gone", 1, 2, RES_NOT_FOUND},
        {L"\\locked", 1, 5, RES_ACCESS_DENIED},
        {L"\\odd", 1, 0x4321, RES_FAILURE},  // unknown, but a failure all the same
        {L"\\fine", 0, 0, RES_OK},
    };
    size_t next = 0;
    // Capabilities without CAP_STATUS32 (0x40).
    ScriptedSmbServer server(
        [&](const SScriptedRequest& r) {
            if (r.command != kDelete) {
                return Pass();
            }
            const auto& c = cases[next++ % 4];
            return Send(DosAnswer(r, c.errorClass, c.code));
        },
        0x03, 0xC09C);
    STimeouts timeouts(30000, 60000);
    WithBrowserOn(server, [&](RemoteFolder&, SmbBrowser& browser) {
        OpRecorder ops;
        for (const auto& c : cases) {
            EXPECT_EQ(Delete(browser, ops, c.name), c.expected) << static_cast<int>(c.code);
        }
    });
    for (const SScriptedRequest& r : server.Requests()) {
        if (r.command != 0x72) {
            EXPECT_EQ(GetLe16(r.message, 10) & 0x4000, 0) << "command " << static_cast<int>(r.command);
        }
    }
}

// A request listener that runs a step on every answer.
class AnswerHook : public ISmbRequestListener {
public:
    explicit AnswerHook(std::function<void(unsigned long, unsigned short)> onAnswer)
        : onAnswer_(std::move(onAnswer)) {}
    void OnSmbReceived(unsigned long result, unsigned short mid, const Smb*) override {
        onAnswer_(result, mid);
    }
    void OnTransReceived(unsigned long, unsigned short, const Trans2Resp*) override {}
    void OnTrans2Received(unsigned long, unsigned short, const Trans2Resp*) override {}

private:
    std::function<void(unsigned long, unsigned short)> onAnswer_;
};

class LogonRecorder : public ISmbSessionListener {
public:
    void OnConnected(unsigned long result) override { results.push_back(result); }
    void OnTreeConnected(unsigned long) override {}
    bool OnSmbReceived(const Smb*) override { return false; }
    void OnDisconnected() override { ++disconnects; }
    std::vector<unsigned long> results;
    int disconnects = 0;
};

TEST(HostileSessionTest, AReconnectInsideAnAnswerLeavesTheNewConnectionAlone) {
    // Two answers arrive in one piece: the first one's listener drops the connection and connects
    // again; the second, left on the old connection, must never be read as the new one's.
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        if (r.command == kClose && r.connection == 1) {
            Bytes both = SmbAnswer(r, 0, {}, {});
            SScriptedRequest next = r;
            next.mid = static_cast<unsigned short>(r.mid + 1);
            Bytes second = SmbAnswer(next, 0, {}, {});
            both.insert(both.end(), second.begin(), second.end());
            return Send(both);
        }
        return r.command == kClose ? Send(SmbAnswer(r, 0, {}, {})) : Pass();
    });
    STimeouts timeouts(30000, 60000);
    WithFolderOn(server, [&](RemoteFolder& folder) {
        SmbSession session(&folder);
        LogonRecorder logons;
        session.SetSmbSessionListener(&logons);
        std::vector<unsigned long> answers;
        AnswerHook reconnect([&](unsigned long result, unsigned short) {
            answers.push_back(result);
            if (answers.size() == 1) {
                session.Disconnect(RES_OK);
                session.ConnectA();
            }
        });
        session.SendSmbA(CreateSmbCloseRequestN(1), &reconnect, SmbSession::SEND_CONNECT);
        session.SendSmbA(CreateSmbCloseRequestN(2), &reconnect, SmbSession::SEND_CONNECT);
        LoopUntil([&] { return logons.results.size() >= 2; }, 10000);
        ASSERT_EQ(logons.results.size(), 2u);
        EXPECT_EQ(logons.results[1], RES_OK);
        EXPECT_TRUE(session.IsConnected());
        // The second request went down with the first connection.
        ASSERT_EQ(answers.size(), 2u);
        EXPECT_EQ(answers[1], RES_DISCONNECTED);
        // The new connection carries requests.
        session.SendSmbA(CreateSmbCloseRequestN(3), &reconnect, SmbSession::SEND_WHEN_CONNECTED);
        LoopUntil([&] { return answers.size() >= 3; }, 10000);
        ASSERT_EQ(answers.size(), 3u);
        EXPECT_EQ(answers[2], RES_OK);
        session.SetSmbSessionListener(nullptr);
    });
    EXPECT_EQ(server.Count(0x72, 2), 1);
}

TEST(HostileSessionTest, MultiplexIdsWrapAroundARequestStillWaitingWithoutReusingIt) {
    // The server keeps the first DELETE waiting until the ids have gone all the way round past it, then
    // answers it.
    unsigned short held = 0;
    unsigned short last = 0;
    bool wrapped = false;
    bool heldAnswered = false;
    Bytes heldAnswer;
    ScriptedSmbServer server([&](const SScriptedRequest& r) {
        if (r.command == kDelete) {
            held = r.mid;
            heldAnswer = SmbAnswer(r, 0, {}, {});
            return Reply{Reply::IGNORE, {}};
        }
        if (r.command != kClose) {
            return Pass();
        }
        wrapped = wrapped || r.mid < last;
        last = r.mid;
        Bytes out = SmbAnswer(r, 0, {}, {});
        if (wrapped && !heldAnswered && r.mid > held) {
            heldAnswered = true;
            out.insert(out.end(), heldAnswer.begin(), heldAnswer.end());
        }
        return Send(out);
    });
    STimeouts timeouts(120000, 600000);
    unsigned long heldResult = 1;
    int closes = 0;
    WithFolderOn(
        server,
        [&](RemoteFolder& folder) {
            SmbSession session(&folder);
            AnswerHook deleted([&](unsigned long result, unsigned short) { heldResult = result; });
            session.SendSmbA(CreateSmbDeleteRequestN(L"\\held"), &deleted, SmbSession::SEND_CONNECT);
            // Seven chains of closes, each answer sending the next, until the held request is answered.
            std::function<void()> next;
            AnswerHook closed([&](unsigned long result, unsigned short) {
                ++closes;
                if (result == RES_OK && heldResult == 1 && closes < 70000) {
                    next();
                }
            });
            next = [&] {
                session.SendSmbA(CreateSmbCloseRequestN(1), &closed, SmbSession::SEND_WHEN_CONNECTED);
            };
            LoopUntil([&] { return session.IsConnected(); }, 10000);
            for (int i = 0; i < 7; ++i) {
                next();
            }
            LoopUntil([&] { return heldResult != 1; }, 100000);
        },
        150000);
    EXPECT_EQ(heldResult, RES_OK);
    // The held answer may come before the last close of the wrap is answered.
    EXPECT_GE(closes, 65534);
    // No request the server read carried 0 or 0xFFFF, nor the held one's id while it waited.
    int reused = 0;
    int reserved = 0;
    for (const SScriptedRequest& r : server.Requests()) {
        if (r.command == kClose) {
            reused += r.mid == held;
            reserved += r.mid == 0 || r.mid == 0xFFFF;
        }
    }
    EXPECT_EQ(reused, 0);
    EXPECT_EQ(reserved, 0);
}

TEST(HostileSessionTest, TheSessionKeepsToTheAnnouncedMultiplexCountWhoeverSends) {
    // The server answers nothing after the logon; of twelve requests from two callers, only as many as
    // the client announced (the server's 50, capped at 8) reach it.
    ScriptedSmbServer server([](const SScriptedRequest&) { return Pass(); });
    STimeouts timeouts(30000, 60000);
    WithFolderOn(server, [&](RemoteFolder& folder) {
        SmbSession session(&folder);
        AnswerHook first([](unsigned long, unsigned short) {});
        AnswerHook second([](unsigned long, unsigned short) {});
        for (int i = 0; i < 6; ++i) {
            session.SendSmbA(CreateSmbCloseRequestN(1), &first, SmbSession::SEND_CONNECT);
            session.SendSmbA(CreateSmbCloseRequestN(2), &second, SmbSession::SEND_CONNECT);
        }
        LoopUntil([&] { return server.Count(kClose) >= 8; }, 10000);
        LoopUntil([] { return false; }, 500);
    });
    EXPECT_EQ(server.Count(kClose), 8);
}

TEST(HostileSessionTest, AnIdleConnectionIsProbedBeforeReuseAndABusyOneIsNot) {
    // The server answers everything on its first connection until told to go silent.
    bool silent = false;
    ScriptedSmbServer server([&](const SScriptedRequest& r) {
        if (r.command != kDelete && r.command != kEcho) {
            return Pass();
        }
        if (silent && r.connection == 1) {
            return Reply{Reply::IGNORE, {}};
        }
        return Send(SmbAnswer(r, 0, r.command == kEcho ? Hex("0100") : Bytes(),
                              r.command == kEcho ? Bytes(1, 0) : Bytes()));
    });
    STimeouts timeouts(30000, 300);
    WithBrowserOn(server, [&](RemoteFolder&, SmbBrowser& browser) {
        OpRecorder ops;
        EXPECT_EQ(Delete(browser, ops, L"\\a"), RES_OK);
        EXPECT_EQ(Delete(browser, ops, L"\\b"), RES_OK);  // at once: no echo
        EXPECT_EQ(server.Count(kEcho), 0);
        LoopUntil([] { return false; }, 400);
        EXPECT_EQ(Delete(browser, ops, L"\\c"), RES_OK);  // after a silence: an echo goes first
        EXPECT_EQ(server.Count(kEcho), 1);
        // A connection that died while idle shows it at the echo's short deadline, not the request's.
        silent = true;
        LoopUntil([] { return false; }, 400);
        Clock::time_point start = Clock::now();
        EXPECT_EQ(Delete(browser, ops, L"\\d", 20000), RES_DISCONNECTED);
        EXPECT_LT(SecondsSince(start), 8.0);
        EXPECT_EQ(Delete(browser, ops, L"\\e"), RES_OK);
    });
    std::vector<SScriptedRequest> requests = server.Requests();
    // The echo went ahead of the request after the silence.
    for (size_t i = 0; i + 1 < requests.size(); ++i) {
        if (requests[i].command == kEcho) {
            EXPECT_EQ(requests[i + 1].command, kDelete);
        }
    }
}

TEST(HostileSessionTest, AFileOrListingThatOutlivesItsFolderAnswersDisconnected) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        if (r.command == 0xA2) {
            return Send(OpenFileAnswer(r, 1000));
        }
        return r.command == kClose ? Send(SmbAnswer(r, 0, {}, {})) : Pass();
    });
    STimeouts timeouts(30000, 60000);
    SmbSession::SetServerPort(server.Port());
    EXPECT_TRUE(RunInApp([&] {
        auto folder = std::make_unique<RemoteFolder>();
        PointFolderAt(*folder, L"share", L"user", L"secret");
        SmbBrowser* browser = Smb1Browser(*folder);
        FileRecorder files;
        browser->CreateFileA(&files, L"\\f.bin", FILE_MODE_WRITE, FILE_DISP_OPEN_EXISTING);
        ASSERT_NE(WaitForFile(files, 1), nullptr);
        ASSERT_EQ(files.answers[0].result, RES_OK);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(*browser, root), RES_OK);
        DirRecorder opened;
        root.dir->SetListener(&opened);
        root.dir->OpenEnumeratorA();
        ASSERT_NE(opened.enumerator, nullptr);
        browser->RemoveListener(&root);

        folder.reset();  // the browser and the session go with it

        // The folder object outlives its browser: it starts nothing and names no browser.
        EXPECT_EQ(root.dir->GetBrowser(), nullptr);
        EXPECT_EQ(root.dir->GetName(true), L"\\");
        EXPECT_EQ(root.dir->OpenEnumeratorA(), RES_DISCONNECTED);
        EXPECT_EQ(root.dir->OpenSubDirA(L"sub"), RES_DISCONNECTED);
        EXPECT_EQ(root.dir->DeleteFileA(1, nullptr, L"f.bin"), RES_DISCONNECTED);
        EXPECT_EQ(root.dir->RenameSubDirA(1, nullptr, L"a", L"b"), RES_DISCONNECTED);
        root.dir.reset();

        std::vector<char> buffer(100);
        files.file->ReadA(buffer.data(), 100);
        ASSERT_NE(WaitForFile(files, 2), nullptr);
        EXPECT_EQ(files.answers[1].result, RES_DISCONNECTED);
        files.file->WriteA(buffer.data(), 100);
        ASSERT_NE(WaitForFile(files, 3), nullptr);
        EXPECT_EQ(files.answers[2].result, RES_DISCONNECTED);
        files.file.reset();  // closes without a session

        EnumRecorder listed;
        opened.enumerator->SetListener(&listed);
        opened.enumerator->StartEnumA(true);
        LoopUntil([&] { return listed.ends > 0; }, 5000);
        EXPECT_EQ(listed.endResult, RES_DISCONNECTED);
    }));
    SmbSession::SetServerPort(445);
}

TEST(HostileSessionTest, AComputerNameTheNameServiceCannotCarryIsRefusedWithoutAQuery) {
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret", L"");
    folder.SetNodeName(Osp::Base::String(L"\x0424\x0410\x0419\x041B\x042B"));
    EXPECT_TRUE(RunInApp([&] {
        RootRecorder root;
        EXPECT_EQ(OpenRoot(*Smb1Browser(folder), root, 5000), RES_BAD_NODE_NAME);
        Smb1Browser(folder)->RemoveListener(&root);
    }));
    EXPECT_EQ(
        BadaResultToString(RES_BAD_NODE_NAME),
        L"Unable to look up a computer name with characters other than plain letters, digits and signs.\n\n"
        L"Please enter the server's IP address instead.");
}

}  // namespace
