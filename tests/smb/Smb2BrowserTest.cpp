// The SMB 2/3 browser against real Samba servers: one table of operations on every kind of server with
// "Automatic", the reasons a connection is refused, and the deadline of a silent server.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "SambaFixture.h"
#include "SmbTestSupport.h"
#include "app/Results.h"
#include "net/smb2/FsSmb2Browser.h"
#include "testsupport/SambaServer.h"

namespace {

using testsupport::SambaServer;

std::string RandomBytes(size_t size) {
    std::mt19937 generator(7);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator());
    }
    return bytes;
}

// Writes bytes into a new file in blocks, then confirms them with the empty write: the confirmation's
// result, or the first failure on the way.
unsigned long WriteWhole(IFsBrowser& browser, const std::wstring& path, const std::string& bytes) {
    FileRecorder files;
    browser.CreateFileA(&files, path, FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS);
    const FileAnswer* created = WaitForFile(files, 1);
    if (created == nullptr || created->result != RES_OK) {
        return created == nullptr ? RES_TIMEOUT : created->result;
    }
    unsigned int block = 0;
    browser.GetProperty(IFsBrowser::PROP_WRITE_BLOCK, &block);
    size_t done = 0;
    while (done < bytes.size()) {
        const unsigned int size = static_cast<unsigned int>(std::min<size_t>(block, bytes.size() - done));
        files.file->WriteA(bytes.data() + done, size);
        const FileAnswer* written = WaitForFile(files, files.answers.size() + 1);
        if (written == nullptr || written->result != RES_OK || written->count != size) {
            return written == nullptr ? RES_TIMEOUT : written->result;
        }
        done += size;
    }
    files.file->WriteA(nullptr, 0);
    const FileAnswer* confirmed = WaitForFile(files, files.answers.size() + 1);
    return confirmed == nullptr ? RES_TIMEOUT : confirmed->result;
}

std::string ReadWhole(IFsBrowser& browser, const std::wstring& path) {
    FileRecorder files;
    browser.CreateFileA(&files, path, FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
    const FileAnswer* opened = WaitForFile(files, 1);
    if (opened == nullptr || opened->result != RES_OK) {
        return "(not opened)";
    }
    unsigned int block = 0;
    browser.GetProperty(IFsBrowser::PROP_READ_BLOCK, &block);
    std::string buffer(block, '\0');
    std::string out;
    for (;;) {
        files.file->ReadA(buffer.data(), block);
        const FileAnswer* read = WaitForFile(files, files.answers.size() + 1);
        if (read == nullptr || read->result != RES_OK) {
            return "(read failed)";
        }
        if (read->count == 0) {
            return out;
        }
        out.append(buffer.data(), read->count);
    }
}

unsigned long Op(const std::function<void(OpRecorder&)>& start) {
    OpRecorder ops;
    start(ops);
    const OpAnswer* answer = WaitForOp(ops, 1);
    return answer == nullptr ? RES_TIMEOUT : answer->result;
}

// Lists dir to its end, its enumerator being answered later.
EnumRecorder ListDirLater(IFsDir& dir) {
    DirRecorder opened;
    EnumRecorder listed;
    dir.SetListener(&opened);
    dir.OpenEnumeratorA();
    LoopUntil([&] { return opened.enumResult != 1; }, 20000);
    if (opened.enumerator == nullptr) {
        listed.endResult = opened.enumResult;
        return listed;
    }
    opened.enumerator->SetListener(&listed);
    opened.enumerator->StartEnumA(true);
    LoopUntil([&] { return listed.ends > 0; }, 20000);
    return listed;
}

struct STableCase {
    SambaServer::TSecurity security;
    const wchar_t* connection;  // what the details tell
};

TEST(Smb2BrowserTest, EveryServerKindServesTheSameOperationsOnAutomatic) {
    const STableCase cases[] = {
        {SambaServer::SECURITY_DEFAULTS, L"SMB 3.1.1, file data encrypted"},
        {SambaServer::SECURITY_STRICT, L"SMB 3.1.1, file data encrypted"},
        {SambaServer::SECURITY_SMB1_ONLY, L"SMB1 (NT LM 0.12)"},
    };
    const std::string content = RandomBytes(3 * Smb2Browser::kBlockSize + 12345);
    for (const STableCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "security " << c.security);
        ServerOn on(c.security);
        ASSERT_TRUE(on.started) << on.error;
        ASSERT_TRUE(RunInApp([&] {
            RemoteFolder folder;
            PointFolderAt(folder, L"corvshare", L"corvtest", L"Corv-pass1");
            NetBrowser& browser = *folder.CreateBrowser();
            RootRecorder root;
            ASSERT_EQ(OpenRoot(browser, root), RES_OK);
            EXPECT_EQ(browser.DescribeConnection(), c.connection);
            EXPECT_TRUE(folder.IsConnected());

            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.CreateFolderA(1, &ops, L"\\made", true); }), RES_OK);
            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.CreateFolderA(1, &ops, L"\\made", true); }),
                      RES_ALREADY_EXISTS);
            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.CreateFolderA(1, &ops, L"\\made", false); }), RES_OK);
            EXPECT_EQ(WriteWhole(browser, L"\\made\\a.bin", content), RES_OK);
            EXPECT_EQ(ReadWhole(browser, L"\\made\\a.bin"), content);
            // A rename never replaces a file that is there.
            EXPECT_EQ(WriteWhole(browser, L"\\made\\kept.bin", "kept"), RES_OK);
            EXPECT_EQ(Op([&](OpRecorder& ops) {
                          browser.RenameFileA(1, &ops, L"\\made\\a.bin", L"\\made\\kept.bin");
                      }),
                      RES_ALREADY_EXISTS);
            EXPECT_EQ(ReadWhole(browser, L"\\made\\kept.bin"), "kept");
            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.DeleteFileA(1, &ops, L"\\made\\kept.bin"); }),
                      RES_OK);
            EXPECT_EQ(Op([&](OpRecorder& ops) {
                          browser.RenameFileA(1, &ops, L"\\made\\a.bin", L"\\made\\b.bin");
                      }),
                      RES_OK);
            // A change of case alone is a rename too (the server finds names without case).
            EXPECT_EQ(Op([&](OpRecorder& ops) {
                          browser.RenameFileA(1, &ops, L"\\made\\b.bin", L"\\made\\B.bin");
                      }),
                      RES_OK);

            OpRecorder info;
            browser.GetFileInfoA(1, &info, L"\\made\\b.bin");
            const OpAnswer* answer = WaitForOp(info, 1);
            ASSERT_NE(answer, nullptr);
            ASSERT_EQ(answer->result, RES_OK);
            EXPECT_EQ(reinterpret_cast<IFsDirEntry*>(answer->object)->GetSize(), content.size());

            EnumRecorder listed = ListDirLater(*root.dir);
            EXPECT_EQ(listed.endResult, RES_OK);
            ASSERT_NE(listed.Find(L"made"), nullptr);
            EXPECT_NE(listed.Find(L"made")->type & ENTRY_DIRECTORY, 0);

            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.DeleteFolderA(1, &ops, L"\\made"); }),
                      RES_DIR_NOT_EMPTY);
            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.DeleteFileA(1, &ops, L"\\made\\b.bin"); }), RES_OK);
            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.DeleteFileA(1, &ops, L"\\made\\b.bin"); }),
                      RES_NOT_FOUND);
            EXPECT_EQ(Op([&](OpRecorder& ops) { browser.DeleteFolderA(1, &ops, L"\\made"); }), RES_OK);
            browser.RemoveListener(&root);
        }));
        EXPECT_TRUE(std::filesystem::is_empty(on.server.ShareDir()));
    }
}

// The server's own view of the test share's connection: whether it encrypts, from smbstatus (the account's
// sessions are no answer: the share list may come over a session of its own).
std::string ServerSeesEncryption(const SambaServer& server) {
    std::string status;
    testsupport::RunCommand("smbstatus -S -s " + server.ConfigFile(), &status);
    const size_t line = status.find(std::string("\n") + SambaServer::kShare + " ");
    if (line == std::string::npos) {
        return "(no connection)";
    }
    const std::string share = status.substr(line + 1, status.find('\n', line + 1) - line - 1);
    return share.find("-GCM") != std::string::npos || share.find("-CCM") != std::string::npos
               ? "encrypted"
               : "in the clear";
}

TEST(Smb2BrowserTest, TheFoldersEncryptionChoiceDecidesAndDetailsTellWhatTheSessionDoes) {
    const struct {
        SambaServer::TSecurity security;
        TEncryption encryption;
        const wchar_t* connection;
        const char* server;
    } cases[] = {
        {SambaServer::SECURITY_DEFAULTS, ENCRYPTION_WHEN_OFFERED, L"SMB 3.1.1, file data encrypted",
         "encrypted"},
        {SambaServer::SECURITY_DEFAULTS, ENCRYPTION_WHEN_REQUIRED, L"SMB 3.1.1, file data not encrypted",
         "in the clear"},
        {SambaServer::SECURITY_STRICT, ENCRYPTION_WHEN_REQUIRED, L"SMB 3.1.1, file data encrypted",
         "encrypted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "security " << c.security << " encryption " << c.encryption);
        ServerOn on(c.security);
        ASSERT_TRUE(on.started) << on.error;
        ASSERT_TRUE(RunInApp([&] {
            RemoteFolder folder;
            NetBrowser& browser = *Smb2TestBrowser(folder);
            folder.SetEncryption(c.encryption);
            RootRecorder root;
            ASSERT_EQ(OpenRoot(browser, root), RES_OK);
            EXPECT_EQ(browser.DescribeConnection(), c.connection);
            EXPECT_EQ(WriteWhole(browser, L"\\a.bin", "abc"), RES_OK);
            EXPECT_EQ(ReadWhole(browser, L"\\a.bin"), "abc");
            // Asked after the file's traffic: the server records what a session does as its requests come.
            EXPECT_EQ(ServerSeesEncryption(on.server), c.server);
            browser.RemoveListener(&root);
        }));
    }
}

struct SRefusalCase {
    SambaServer::TSecurity security;
    TSmbProtocol protocol;
    const wchar_t* share;
    const wchar_t* password;
    unsigned long expected;
    SambaServer::TAccount account = SambaServer::ACCOUNT_ENABLED;
};

TEST(Smb2BrowserTest, RefusalsGiveTheirReason) {
    const SRefusalCase cases[] = {
        {SambaServer::SECURITY_DEFAULTS, SMB_PROTOCOL_AUTOMATIC, L"corvshare", L"wrong", RES_BAD_LOGON},
        {SambaServer::SECURITY_DEFAULTS, SMB_PROTOCOL_SMB2, L"absent", L"Corv-pass1", RES_BAD_SHARE},
        {SambaServer::SECURITY_DEFAULTS, SMB_PROTOCOL_SMB1, L"corvshare", L"Corv-pass1", RES_SMB1_REFUSED},
        {SambaServer::SECURITY_SMB1_ONLY, SMB_PROTOCOL_SMB2, L"corvshare", L"Corv-pass1",
         RES_PROTOCOLS_REFUSED},
        {SambaServer::SECURITY_SMB1_ONLY, SMB_PROTOCOL_SMB1, L"corvshare", L"wrong", RES_BAD_LOGON},
        // The library reports these three as a wrong password or a bare failure; the server's own status
        // tells them apart, with a share and without one (the share list).
        {SambaServer::SECURITY_DEFAULTS, SMB_PROTOCOL_AUTOMATIC, L"corvshare", L"Corv-pass1",
         RES_ACCOUNT_DISABLED, SambaServer::ACCOUNT_DISABLED},
        {SambaServer::SECURITY_DEFAULTS, SMB_PROTOCOL_SMB2, L"", L"Corv-pass1", RES_ACCOUNT_LOCKED,
         SambaServer::ACCOUNT_LOCKED},
        {SambaServer::SECURITY_ENCRYPTED_SMB2, SMB_PROTOCOL_AUTOMATIC, L"corvshare", L"Corv-pass1",
         RES_SECURITY_REFUSED},
    };
    for (const SRefusalCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "security " << c.security << " protocol " << c.protocol << " account " << c.account);
        ServerOn on(c.security, c.account);
        ASSERT_TRUE(on.started) << on.error;
        ASSERT_TRUE(RunInApp([&] {
            RemoteFolder folder;
            PointFolderAt(folder, c.share, L"corvtest", c.password);
            folder.SetProtocol(c.protocol);
            RootRecorder root;
            EXPECT_EQ(OpenRoot(*folder.CreateBrowser(), root), c.expected);
            EXPECT_FALSE(folder.IsConnected());
            folder.CreateBrowser()->RemoveListener(&root);
        }));
    }
}

TEST(Smb2BrowserTest, ADisconnectDropsItsAnswersAndTheNextOperationConnectsAgain) {
    ServerOn on(SambaServer::SECURITY_DEFAULTS);
    ASSERT_TRUE(on.started) << on.error;
    ASSERT_TRUE(RunInApp([&] {
        RemoteFolder folder;
        NetBrowser& browser = *Smb2TestBrowser(folder);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(browser, root), RES_OK);
        ASSERT_EQ(WriteWhole(browser, L"\\a.bin", "abc"), RES_OK);
        // The open is answered while the screen thread looks away; by the time the answer comes up, its
        // asker and the connection are gone.
        auto asker = std::make_unique<FileRecorder>();
        browser.CreateFileA(asker.get(), L"\\a.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        asker.reset();
        browser.Disconnect();
        LoopUntil([] { return false; }, 300);
        EXPECT_FALSE(folder.IsConnected());
        // The next operation connects the share again by itself: the listing of a folder opened before,
        // or a paste into the share.
        EXPECT_NE(ListDirLater(*root.dir).Find(L"a.bin"), nullptr);
        EXPECT_EQ(ReadWhole(browser, L"\\a.bin"), "abc");
        EXPECT_TRUE(folder.IsConnected());
        browser.RemoveListener(&root);
    }));
}

// Regression: the handles of files start again with every connection, so a file opened before a
// reconnection wrote into whichever file the new connection had opened under the same number.
TEST(Smb2BrowserTest, AFileOpenedBeforeAReconnectionFailsAndTouchesNoOtherFile) {
    ServerOn on(SambaServer::SECURITY_DEFAULTS);
    ASSERT_TRUE(on.started) << on.error;
    const std::string other = on.server.ShareDir() + "/other.bin";
    std::ofstream(other, std::ios::binary) << "other";
    ASSERT_TRUE(RunInApp([&] {
        RemoteFolder folder;
        NetBrowser& browser = *Smb2TestBrowser(folder);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(browser, root), RES_OK);
        FileRecorder old;
        browser.CreateFileA(&old, L"\\old.bin", FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS);
        const FileAnswer* opened = WaitForFile(old, 1);
        ASSERT_TRUE(opened != nullptr && opened->result == RES_OK);
        browser.Disconnect();
        // The next open connects again; its file is the first of the new connection, as the old one was
        // of the first.
        FileRecorder fresh;
        browser.CreateFileA(&fresh, L"\\other.bin", FILE_MODE_WRITE, FILE_DISP_OPEN_EXISTING);
        opened = WaitForFile(fresh, 1);
        ASSERT_TRUE(opened != nullptr && opened->result == RES_OK);
        const std::string bytes = "written through the old file";
        std::string buffer(64, '\0');
        EXPECT_EQ(old.file->WriteA(bytes.data(), static_cast<unsigned int>(bytes.size())), RES_DISCONNECTED);
        EXPECT_EQ(old.file->WriteA(nullptr, 0), RES_DISCONNECTED);
        EXPECT_EQ(old.file->SeekA(POS_BEGIN, 0), RES_DISCONNECTED);
        EXPECT_EQ(old.file->ReadA(buffer.data(), static_cast<unsigned int>(buffer.size())), RES_DISCONNECTED);
        old.file.reset();
        fresh.file.reset();
        LoopUntil([] { return false; }, 300);
        EXPECT_EQ(old.answers.size(), 1u);
        browser.RemoveListener(&root);
    }));
    std::ifstream in(other, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "other");
}

// A file opened for reading reads its next block ahead; a seek, a read of another size or the file's end
// must never show the bytes of that block in the wrong place.
TEST(Smb2BrowserTest, ReadsBetweenSeeksAndOfOtherSizesGetTheBytesAtTheirPosition) {
    ServerOn on(SambaServer::SECURITY_DEFAULTS);
    ASSERT_TRUE(on.started) << on.error;
    const std::string content = RandomBytes(100000);
    std::ofstream(on.server.ShareDir() + "/r.bin", std::ios::binary) << content;
    enum TStep { READ, SEEK };
    const struct {
        TStep step;
        TPosition origin;
        int value;  // the size read, or the seek's offset
    } steps[] = {
        {READ, POS_BEGIN, 4000},  {READ, POS_BEGIN, 4000},  {SEEK, POS_CURRENT, -500},
        {READ, POS_BEGIN, 4000},  {READ, POS_BEGIN, 300},   {READ, POS_BEGIN, 300},
        {SEEK, POS_CURRENT, 7},   {READ, POS_BEGIN, 300},   {SEEK, POS_BEGIN, 10},
        {READ, POS_BEGIN, 50000}, {READ, POS_BEGIN, 50000}, {READ, POS_BEGIN, 50000},
        {SEEK, POS_END, -100},    {READ, POS_BEGIN, 4000},  {READ, POS_BEGIN, 4000},
    };
    ASSERT_TRUE(RunInApp([&] {
        RemoteFolder folder;
        NetBrowser& browser = *Smb2TestBrowser(folder);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(browser, root), RES_OK);
        FileRecorder files;
        browser.CreateFileA(&files, L"\\r.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        const FileAnswer* answer = WaitForFile(files, 1);
        ASSERT_TRUE(answer != nullptr && answer->result == RES_OK);
        size_t expected = 0;
        std::string buffer;
        for (size_t i = 0; i < std::size(steps); ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i);
            if (steps[i].step == SEEK) {
                const size_t base = steps[i].origin == POS_BEGIN     ? 0
                                    : steps[i].origin == POS_CURRENT ? expected
                                                                     : content.size();
                expected = static_cast<size_t>(static_cast<long long>(base) + steps[i].value);
                files.file->SeekA(steps[i].origin, steps[i].value);
                answer = WaitForFile(files, files.answers.size() + 1);
                ASSERT_TRUE(answer != nullptr && answer->result == RES_OK);
            } else {
                buffer.assign(static_cast<size_t>(steps[i].value), '\0');
                files.file->ReadA(buffer.data(), static_cast<unsigned int>(buffer.size()));
                answer = WaitForFile(files, files.answers.size() + 1);
                ASSERT_TRUE(answer != nullptr && answer->result == RES_OK);
                const std::string want = content.substr(std::min(expected, content.size()), buffer.size());
                ASSERT_EQ(std::string(buffer.data(), answer->count), want);
                expected += answer->count;
            }
            EXPECT_EQ(files.file->Tell64(), expected);
        }
        files.file.reset();
        browser.RemoveListener(&root);
    }));
}

TEST(Smb2BrowserTest, DisconnectNeverWaitsOnAServerThatWentSilent) {
    ServerOn on(SambaServer::SECURITY_DEFAULTS);
    ASSERT_TRUE(on.started) << on.error;
    Smb2Browser::SetDeadline(8000);
    std::chrono::steady_clock::time_point quitStart;
    ASSERT_TRUE(RunInApp([&] {
        RemoteFolder folder;
        NetBrowser& browser = *Smb2TestBrowser(folder);
        RootRecorder root;
        ASSERT_EQ(OpenRoot(browser, root), RES_OK);
        on.server.Pause(true);
        OpRecorder stuck;
        browser.GetFileInfoA(1, &stuck, L"\\");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const auto start = std::chrono::steady_clock::now();
        browser.Disconnect();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_FALSE(folder.IsConnected());
        on.server.Pause(false);
        EXPECT_EQ(OpenRoot(browser, root), RES_OK);
        // The call the disconnect left behind never answers.
        EXPECT_TRUE(stuck.answers.empty());
        // Quitting with a call that waits on the silent server does not wait for it either.
        on.server.Pause(true);
        browser.GetFileInfoA(1, &stuck, L"\\");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        browser.RemoveListener(&root);
        quitStart = std::chrono::steady_clock::now();
    }));
    EXPECT_LT(std::chrono::steady_clock::now() - quitStart, std::chrono::seconds(5));
    on.server.Pause(false);
    Smb2Browser::SetDeadline(20000);
}

TEST(Smb2BrowserTest, NoServerAndASilentServerEndWithinTheDeadline) {
    const int silent = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 4), 0);
    socklen_t length = sizeof address;
    getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length);
    const struct {
        unsigned short port;
        unsigned long expected;
    } cases[] = {{testsupport::FindFreePort(), RES_NO_SMB_SERVER},
                 {ntohs(address.sin_port), RES_DISCONNECTED}};
    Smb2Browser::SetDeadline(1500);
    for (const auto& c : cases) {
        SmbSession::SetServerPort(c.port);
        ASSERT_TRUE(RunInApp([&] {
            RemoteFolder folder;
            PointFolderAt(folder, L"corvshare", L"corvtest", L"Corv-pass1");
            folder.SetProtocol(SMB_PROTOCOL_SMB2);
            RootRecorder root;
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(OpenRoot(*folder.CreateBrowser(), root), c.expected);
            folder.CreateBrowser()->RemoveListener(&root);
            folder.DropConnection();
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        }));
    }
    Smb2Browser::SetDeadline(20000);
    SmbSession::SetServerPort(445);
    close(silent);
}

}  // namespace
