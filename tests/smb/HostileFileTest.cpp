// File input and output against a scripted server that breaks the rules or fails: malformed read and
// write answers, a refused block among several on their way, blocks read ahead, a server that goes away
// in the middle, and a handle that outlives its connection.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedSmbServer.h"
#include "SmbTestSupport.h"
#include "app/Results.h"
#include "net/smb1/SmbStatus.h"

namespace {

using Reply = SScriptedReply;

// Where a request's fields lie in the message the server read: header, word count, words.
constexpr size_t kWords = 33;

// A server whose answers to NT_CREATE_ANDX open a file of 1,000 bytes and whose READ_ANDX and WRITE_ANDX
// answers are the test's.
struct SIoCase {
    const char* what;
    std::function<Bytes(const SScriptedRequest&)> answer;
    unsigned long expected;
};

Bytes CreateAnswer(const SScriptedRequest& r) {
    return OpenFileAnswer(r, 1000);
}

// A READ_ANDX answer whose data lies at offset with length (high half included) as given, carrying data
// after one pad byte.
Bytes ReadAnswer(const SScriptedRequest& r, unsigned offset, unsigned length, const Bytes& data) {
    Bytes words = {0xFF, 0, 0, 0};
    Put16(words, 0);
    Put16(words, 0);
    Put16(words, 0);
    Put16(words, length & 0xFFFF);
    Put16(words, offset);
    Put16(words, length >> 16);
    words.resize(24, 0);
    Bytes bytes(1, 0);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return SmbAnswer(r, 0, words, bytes);
}

Bytes ReadAnswer(const SScriptedRequest& r, unsigned offset, unsigned length, size_t carried) {
    return ReadAnswer(r, offset, length, Bytes(carried, 'r'));
}

Bytes WriteAnswer(const SScriptedRequest& r, unsigned count) {
    Bytes words = {0xFF, 0, 0, 0};
    Put16(words, count & 0xFFFF);
    Put16(words, 0);
    Put16(words, count >> 16);
    Put16(words, 0);
    return SmbAnswer(r, 0, words, {});
}

// The answers every file test's server gives: NT_CREATE_ANDX opens a file of 1,000 bytes, CLOSE closes it;
// anything else is left to the logon or unanswered.
Reply FileServer(const SScriptedRequest& r) {
    if (r.command == 0xA2) {
        return Send(CreateAnswer(r));
    }
    return r.command == 0x04 ? Send(SmbAnswer(r, 0, {}, {})) : Pass();
}

// Runs body in an application whose network folder is on server, with \f.bin opened in mode.
void WithFileOn(ScriptedSmbServer& server, TFileMode mode,
                const std::function<void(SmbBrowser& browser, FileRecorder& files)>& body) {
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    EXPECT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder);
        FileRecorder files;
        browser->CreateFileA(&files, L"\\f.bin", mode, FILE_DISP_OPEN_EXISTING);
        ASSERT_NE(WaitForFile(files, 1), nullptr);
        ASSERT_EQ(files.answers[0].result, RES_OK);
        body(*browser, files);
    }));
    SmbSession::SetServerPort(445);
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
            if (r.command == 0x2E || r.command == 0x2F) {
                return Send(c.answer(r));
            }
            return FileServer(r);
        });
        WithFileOn(server, FILE_MODE_WRITE, [&](SmbBrowser& browser, FileRecorder& files) {
            std::vector<char> buffer(500, 'w');
            size_t answers = 2;
            if (write) {
                // The block is answered as soon as it is on its way; what the server says of it comes
                // with the empty write that waits for every block.
                files.file->WriteA(buffer.data(), 500);
                const FileAnswer* taken = WaitForFile(files, answers++);
                ASSERT_NE(taken, nullptr);
                EXPECT_EQ(taken->result, RES_OK);
                files.file->WriteA(buffer.data(), 0);
            } else {
                files.file->ReadA(buffer.data(), 500);
            }
            const FileAnswer* answer = WaitForFile(files, answers);
            ASSERT_NE(answer, nullptr);
            EXPECT_EQ(answer->result, c.expected);
            if (c.expected != RES_OK) {
                EXPECT_EQ(answer->count, 0u);
            }
        });
    };
    for (const SIoCase& c : reads) {
        run(c, false);
    }
    for (const SIoCase& c : writes) {
        run(c, true);
    }
}

// Goes away at the first connection's first TRANSACTION2 and answers the later ones with a folder.
Reply GoneOnceThenAFolder(const SScriptedRequest& r) {
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
}

TEST(HostileFileTest, AServerThatStopsInTheMiddleAnswersDisconnectedAndTheNextRequestReconnects) {
    ScriptedSmbServer server(GoneOnceThenAFolder);
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    EXPECT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder);
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

// The data length of a WRITE_ANDX request, and the offset and size of a READ_ANDX request.
unsigned WriteLength(const SScriptedRequest& r) {
    return GetLe16(r.message, kWords + 20);
}
unsigned ReadOffset(const SScriptedRequest& r) {
    return GetLe16(r.message, kWords + 6) | (GetLe16(r.message, kWords + 8) << 16);
}
unsigned ReadSize(const SScriptedRequest& r) {
    return GetLe16(r.message, kWords + 10);
}

// How the server treats one write among several.
struct SWriteCase {
    const char* what;
    int failing;  // the write (1-based) that fails
    std::function<Reply(const SScriptedRequest&)> failure;
    unsigned long expected;
};

TEST(HostileFileTest, ABlockRefusedAmongSeveralOnTheirWayFailsTheFileAtTheNextWriteOrTheEmptyOne) {
    const unsigned long readOnly = SmbStatusToBadaResult(0xC00000A2);
    const SWriteCase cases[] = {
        {"first_refused", 1, [](const SScriptedRequest& r) { return Send(SmbAnswer(r, 0xC00000A2, {}, {})); },
         readOnly},
        {"third_short", 3, [](const SScriptedRequest& r) { return Send(WriteAnswer(r, WriteLength(r) - 1)); },
         RES_FAILURE},
        {"last_refused", 6, [](const SScriptedRequest& r) { return Send(SmbAnswer(r, 0xC00000A2, {}, {})); },
         readOnly},
        {"gone_at_the_fourth", 4,
         [](const SScriptedRequest&) {
             return Reply{Reply::CLOSE, {}};
         },
         RES_DISCONNECTED},
    };
    for (const SWriteCase& c : cases) {
        SCOPED_TRACE(c.what);
        int writes = 0;
        ScriptedSmbServer server([&](const SScriptedRequest& r) {
            if (r.command == 0x2F) {
                return ++writes == c.failing ? c.failure(r) : Send(WriteAnswer(r, WriteLength(r)));
            }
            return FileServer(r);
        });
        WithFileOn(server, FILE_MODE_WRITE, [&](SmbBrowser& browser, FileRecorder& files) {
            std::vector<char> block(1000, 'w');
            // Six blocks, then the empty write, until an answer fails.
            const FileAnswer* answer = nullptr;
            for (int i = 0; i <= 6; ++i) {
                files.file->WriteA(block.data(), i < 6 ? 1000 : 0);
                answer = WaitForFile(files, files.answers.size() + 1);
                ASSERT_NE(answer, nullptr);
                if (answer->result != RES_OK) {
                    break;
                }
                EXPECT_EQ(answer->count, i < 6 ? 1000u : 0u);
            }
            EXPECT_EQ(answer->result, c.expected);
            EXPECT_EQ(answer->count, 0u);
            // The file stays failed and sends nothing more. Writes already on their way when the failure
            // came may still be reaching the server: the count is taken once it has stood still a while.
            int sent = server.Count(0x2F);
            for (int still = 0; still < 5;) {
                LoopUntil([] { return false; }, 20);
                const int now = server.Count(0x2F);
                still = now == sent ? still + 1 : 0;
                sent = now;
            }
            for (unsigned size : {1000u, 0u}) {
                files.file->WriteA(block.data(), size);
                const FileAnswer* again = WaitForFile(files, files.answers.size() + 1);
                ASSERT_NE(again, nullptr);
                EXPECT_EQ(again->result, c.expected);
            }
            EXPECT_EQ(server.Count(0x2F), sent);
        });
    }
}

TEST(HostileFileTest, BlocksReadAheadComeInOrderAndAFailedOneFailsOnlyItsRead) {
    // Each byte of the file holds its offset's hundreds; the first answer for offset 300 is refused.
    bool refused = false;
    ScriptedSmbServer server([&](const SScriptedRequest& r) {
        if (r.command == 0x2E) {
            unsigned offset = ReadOffset(r);
            if (offset == 300 && !refused) {
                refused = true;
                return Send(SmbAnswer(r, 0xC0000022, {}, {}));
            }
            unsigned size = std::min(ReadSize(r), offset < 1000 ? 1000 - offset : 0);
            Bytes data(size);
            for (unsigned i = 0; i < size; ++i) {
                data[i] = static_cast<unsigned char>((offset + i) / 100);
            }
            return Send(ReadAnswer(r, 60, size, data));
        }
        return FileServer(r);
    });
    WithFileOn(server, FILE_MODE_READ, [&](SmbBrowser& browser, FileRecorder& files) {
        std::vector<unsigned char> buffer(100);
        std::vector<unsigned long> results;
        Bytes content;
        while (content.size() < 1000 && results.size() < 20) {
            files.file->ReadA(buffer.data(), 100);
            const FileAnswer* answer = WaitForFile(files, files.answers.size() + 1);
            ASSERT_NE(answer, nullptr);
            results.push_back(answer->result);
            content.insert(content.end(), buffer.begin(), buffer.begin() + answer->count);
            if (answer->result == RES_OK && answer->count == 0) {
                break;
            }
        }
        // The fourth read fails; asked again, the same block comes, and the rest follows in order.
        ASSERT_GE(results.size(), 5u);
        EXPECT_EQ(results[3], RES_ACCESS_DENIED);
        ASSERT_EQ(content.size(), 1000u);
        for (size_t i = 0; i < content.size(); ++i) {
            ASSERT_EQ(content[i], i / 100) << "at " << i;
        }
        EXPECT_EQ(files.file->Tell64(), 1000u);
    });
    // More than one block was on its way at once: the server saw reads beyond the one asked for.
    EXPECT_GT(server.Count(0x2E), 11);
}

TEST(HostileFileTest, AnOplockBreakIsAnsweredWithAReleaseAndTheFileGoesOn) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        if (r.command == 0xA2) {
            // The open's answer, and right behind it the break another client's open would bring.
            SScriptedRequest unasked;
            unasked.command = 0x24;
            unasked.mid = 0xFFFF;
            Bytes answer = CreateAnswer(r);
            Bytes breakRequest = SmbAnswer(unasked, 0, Hex("ff000000 0140 02 00 00000000 0000 0000"), {});
            answer.insert(answer.end(), breakRequest.begin(), breakRequest.end());
            return Send(answer);
        }
        if (r.command == 0x2E) {
            return Send(ReadAnswer(r, 60, 100, Bytes(100, 'd')));
        }
        return FileServer(r);
    });
    WithFileOn(server, FILE_MODE_WRITE, [&](SmbBrowser& browser, FileRecorder& files) {
        std::vector<char> buffer(100);
        files.file->ReadA(buffer.data(), 100);
        const FileAnswer* read = WaitForFile(files, 2);
        ASSERT_NE(read, nullptr);
        EXPECT_EQ(read->result, RES_OK);
        EXPECT_EQ(read->count, 100u);
    });
    int releases = 0;
    for (const SScriptedRequest& r : server.Requests()) {
        if (r.command == 0x24) {
            ++releases;
            EXPECT_EQ(GetLe16(r.message, kWords + 4), 0x4001);  // the file's handle
            EXPECT_EQ(r.message[kWords + 6] & 0x02, 0x02);      // the release
        }
    }
    EXPECT_EQ(releases, 1);
}

TEST(HostileFileTest, AHandleOfALostConnectionIsNeverUsedOnTheNextOne) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        return r.command == 0xA2 ? Send(CreateAnswer(r)) : GoneOnceThenAFolder(r);
    });
    WithFileOn(server, FILE_MODE_WRITE, [&](SmbBrowser& browser, FileRecorder& files) {
        // The connection goes; another request makes a new one, where the server numbers handles anew.
        OpRecorder ops;
        browser.GetFileInfoA(1, &ops, L"\\dir");
        ASSERT_NE(WaitForOp(ops, 1), nullptr);
        EXPECT_EQ(ops.answers[0].result, RES_DISCONNECTED);
        browser.GetFileInfoA(2, &ops, L"\\dir");
        ASSERT_NE(WaitForOp(ops, 2), nullptr);
        ASSERT_EQ(ops.answers[1].result, RES_OK);
        std::vector<char> buffer(100, 'w');
        files.file->WriteA(buffer.data(), 100);
        ASSERT_NE(WaitForFile(files, 2), nullptr);
        EXPECT_EQ(files.answers[1].result, RES_DISCONNECTED);
        files.file->ReadA(buffer.data(), 100);
        ASSERT_NE(WaitForFile(files, 3), nullptr);
        EXPECT_EQ(files.answers[2].result, RES_DISCONNECTED);
        files.file.reset();
        // Whatever the close would send goes before the next request, which is answered last.
        browser.GetFileInfoA(3, &ops, L"\\dir");
        ASSERT_NE(WaitForOp(ops, 3), nullptr);
    });
    EXPECT_EQ(server.Count(0x2F, 2) + server.Count(0x2E, 2) + server.Count(0x04, 2), 0);
}

}  // namespace
