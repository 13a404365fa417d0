// The transfer job between the private files and an SMB 3 share: a folder tree copied and moved both ways,
// whole and with the server killed while the tree is on its way; and a copy within the share, which the
// server makes. Whatever happens, every file lies whole in
// at least one place (a moved source goes only once its copy is confirmed), a failed job says so, nothing
// partial stays at the destination while the server can be reached, and the same folder serves the next
// job once the server is back.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "../transfer/FaultyBrowser.h"
#include "../transfer/JobHarness.h"
#include "CountingRelay.h"
#include "SambaFixture.h"
#include "SmbTestSupport.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "net/smb2/FsSmb2Browser.h"
#include "transfer/IFsTransfer.h"

namespace {

namespace fs = std::filesystem;
using testsupport::SambaServer;

// Two files of several blocks and a small one between them; the job moves 256 KiB blocks here, so each
// large file takes six reads with the one that finds its end.
const std::map<std::string, size_t> kTree = {
    {"tree/a.bin", 1024 * 1024 + 100}, {"tree/sub/b.bin", 1024 * 1024 + 100}, {"tree/sub/c.bin", 1000}};
// The read held while the server is killed: inside the second large file, whichever order the job takes.
constexpr int kReadAtKill = 10;
constexpr long long kSourceTime = 1577934245;  // 2 January 2020, 03:04:05 UTC

std::string Content(const std::string& name, size_t size) {
    std::mt19937 generator(static_cast<unsigned>(std::hash<std::string>()(name)));
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator());
    }
    return bytes;
}

std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteTree(const std::string& base) {
    for (const auto& [name, size] : kTree) {
        fs::create_directories(fs::path(base + "/" + name).parent_path());
        std::ofstream(base + "/" + name, std::ios::binary) << Content(name, size);
        struct timespec times[2] = {{kSourceTime, 0}, {kSourceTime, 0}};
        ::utimensat(AT_FDCWD, (base + "/" + name).c_str(), times, 0);
    }
    fs::create_directories(base + "/tree/empty");
}

long long ModifiedAt(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mtim.tv_sec;
}

// Files below base that are not whole files of the tree: partial or temporary ones.
std::vector<std::string> NotWhole(const std::string& base) {
    std::vector<std::string> found;
    if (!fs::exists(base)) {
        return found;
    }
    for (const auto& e : fs::recursive_directory_iterator(base)) {
        const std::string rel = fs::relative(e.path(), base).string();
        if (e.is_directory()) {
            continue;
        }
        const auto known = kTree.find(rel);
        if (known == kTree.end() || ReadHost(e.path().string()) != Content(rel, known->second)) {
            found.push_back(rel);
        }
    }
    return found;
}

enum TKill { NO_KILL, KILLED_AND_BACK, KILLED_AND_DOWN };

struct SCase {
    bool upload;  // private files to the share; otherwise the other way
    int mode;
    TKill kill;
};

std::string CaseName(const SCase& c) {
    const char* kills[] = {"whole", "killed and back", "killed and down"};
    return std::string(c.upload ? "upload " : "download ") +
           (c.mode == Clipboard::MODE_CUT ? "cut, " : "copy, ") + kills[c.kill];
}

TEST(Smb2TransferTest, AFolderTreeSurvivesTheServerKilledMidway) {
    const SCase cases[] = {
        {true, Clipboard::MODE_COPY, NO_KILL},          {false, Clipboard::MODE_CUT, NO_KILL},
        {true, Clipboard::MODE_COPY, KILLED_AND_BACK},  {true, Clipboard::MODE_CUT, KILLED_AND_BACK},
        {false, Clipboard::MODE_COPY, KILLED_AND_BACK}, {false, Clipboard::MODE_CUT, KILLED_AND_BACK},
        {true, Clipboard::MODE_CUT, KILLED_AND_DOWN},   {false, Clipboard::MODE_CUT, KILLED_AND_DOWN},
    };
    ServerOn on(SambaServer::SECURITY_DEFAULTS);
    ASSERT_TRUE(on.started) << on.error;
    Smb2Browser::SetDeadline(5000);
    PhoneRoot root;
    ASSERT_TRUE(CorvaneLoop::Run(
        [&] {
            RemoteFolder folder;
            NetBrowser& share = *Smb2TestBrowser(folder);
            RootRecorder opened;
            ASSERT_EQ(OpenRoot(share, opened), RES_OK);
            IFsBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
            int round = 0;
            for (const SCase& c : cases) {
                SCOPED_TRACE(CaseName(c));
                const std::string dir = "r" + std::to_string(++round);
                const std::wstring wdir(dir.begin(), dir.end());
                const std::string homeBase = root.Host("Home/" + dir);
                const std::string shareBase = on.server.ShareDir() + "/" + dir;
                const std::string srcBase = c.upload ? homeBase : shareBase;
                const std::string dstBase = c.upload ? shareBase : homeBase;
                WriteTree(srcBase);
                fs::create_directories(dstBase);

                FaultyBrowser source(c.upload ? home : static_cast<IFsBrowser*>(&share));
                if (c.kill != NO_KILL) {
                    source.holdRead = kReadAtKill;
                }
                Clipboard clipboard(c.mode, &source,
                                    c.upload ? L"/Home/" + wdir + L"/" : L"\\" + wdir + L"\\");
                clipboard.AddFolder(L"tree");
                IFsBrowser* destination = c.upload ? static_cast<IFsBrowser*>(&share) : home;
                const std::wstring dstRoot = c.upload ? L"\\" + wdir + L"\\" : L"/Home/" + wdir + L"/";
                JobRecorder job;
                auto popup = std::make_unique<TransferPopup>(false, &clipboard, &job, destination, dstRoot);
                ASSERT_TRUE(popup->Construct());
                popup->ShowPopup();
                if (c.kill != NO_KILL) {
                    ASSERT_TRUE(LoopUntil([&] { return source.held_ != nullptr; }, 20000));
                    on.server.Stop();
                    std::string error;
                    if (c.kill == KILLED_AND_BACK) {
                        ASSERT_TRUE(on.server.Restart(&error)) << error;
                    }
                    source.ReleaseHeld();
                }
                const auto start = std::chrono::steady_clock::now();
                LoopUntil([&] { return job.ends > 0; }, 30000);
                ASSERT_EQ(job.ends, 1);
                EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
                if (c.kill == NO_KILL) {
                    EXPECT_EQ(job.result, RES_OK) << std::string(job.message.begin(), job.message.end());
                } else {
                    EXPECT_NE(job.result, RES_OK);
                    EXPECT_FALSE(job.message.empty());
                }
                if (c.kill == KILLED_AND_DOWN) {
                    std::string error;
                    ASSERT_TRUE(on.server.Restart(&error)) << error;
                }
                // The partial file of a share is removed by a request of its own, which may still be on
                // its way when the job reports. Only a server that stayed down keeps it.
                if (c.kill != KILLED_AND_DOWN || !c.upload) {
                    EXPECT_TRUE(LoopUntil([&] { return NotWhole(dstBase).empty(); }, 10000))
                        << testing::PrintToString(NotWhole(dstBase));
                }
                EXPECT_TRUE(NotWhole(srcBase).empty()) << testing::PrintToString(NotWhole(srcBase));
                for (const auto& [name, size] : kTree) {
                    const bool atSource = fs::exists(srcBase + "/" + name);
                    const bool atDestination = ReadHost(dstBase + "/" + name) == Content(name, size);
                    EXPECT_TRUE(atSource || atDestination) << name << " is lost";
                    if (c.kill == NO_KILL) {
                        EXPECT_TRUE(atDestination) << name;
                        EXPECT_EQ(atSource, c.mode == Clipboard::MODE_COPY) << name;
                        // The copy keeps the source's time; the share keeps it to two seconds.
                        EXPECT_LE(std::abs(ModifiedAt(dstBase + "/" + name) - kSourceTime), c.upload ? 2 : 0)
                            << name;
                    } else if (c.mode == Clipboard::MODE_COPY) {
                        EXPECT_TRUE(atSource) << name;
                    }
                }
                popup.reset();
            }
            // The folder still serves a job after the outages: the first tree copied up once more.
            JobRecorder again;
            Clipboard clipboard(Clipboard::MODE_COPY, home, L"/Home/r1/");
            clipboard.AddFolder(L"tree");
            fs::create_directories(on.server.ShareDir() + "/again");
            RunJob(again, clipboard, &share, L"\\again\\");
            EXPECT_EQ(again.result, RES_OK);
            share.RemoveListener(&opened);
            CorvaneLoop::Quit();
        },
        600000));
    EXPECT_TRUE(NotWhole(on.server.ShareDir() + "/again").empty());
    EXPECT_TRUE(fs::exists(on.server.ShareDir() + "/again/tree/sub/b.bin"));
    Smb2Browser::SetDeadline(20000);
}

// What a single file's transfer tells; it can stop the transfer at its first progress.
struct STransferEnd : IFsTransferListener {
    void OnTransferProgress(unsigned long long, bool) override {
        if (stopAtProgress != nullptr) {
            stopAtProgress->StopA();
        }
    }
    void OnTransferEnded(unsigned long r) override {
        result = r;
        ended = true;
    }
    IFsTransfer* stopAtProgress = nullptr;
    unsigned long result = 0;
    bool ended = false;
};

TEST(Smb2TransferTest, ACopyWithinTheShareIsMadeByTheServerAndGoesThroughThePhoneWhereRefused) {
    constexpr unsigned short kSmb2Ioctl = 0x000B;
    constexpr unsigned int kStatusNotSupported = 0xC00000BB;
    ServerOn on(SambaServer::SECURITY_DEFAULTS);
    ASSERT_TRUE(on.started) << on.error;
    CountingRelay relay(on.server.Port());
    SmbSession::SetServerPort(relay.Port());
    const size_t size = 8 * 1024 * 1024 + 123;
    const std::string share = on.server.ShareDir();
    std::ofstream(share + "/big.bin", std::ios::binary) << Content("big.bin", size);
    const struct {
        const char* name;
        bool refused;
        bool stopped;
        unsigned long result;
    } cases[] = {
        {"made by the server", false, false, RES_OK},
        {"refused by the server", true, false, RES_OK},
        {"stopped between the server's pieces", false, true, RES_CANCELLED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        relay.RefuseSmb2Answers(0, 0);
        ASSERT_TRUE(RunInApp([&] {
            RemoteFolder folder;
            NetBrowser& browser = *Smb2TestBrowser(folder);
            // The relay reads and changes only messages that go unencrypted.
            folder.SetEncryption(ENCRYPTION_WHEN_REQUIRED);
            RootRecorder root;
            ASSERT_EQ(OpenRoot(browser, root), RES_OK);
            if (c.refused) {
                relay.RefuseSmb2Answers(kSmb2Ioctl, kStatusNotSupported);
            }
            const unsigned long long before = relay.BytesToServer() + relay.BytesFromServer();
            STransferEnd end;
            std::unique_ptr<IFsTransfer> transfer(CreateFsTransferN(&end, DEST_NEW, &browser, &browser));
            end.stopAtProgress = c.stopped ? transfer.get() : nullptr;
            transfer->CopyFileA(L"\\big.bin", size, Osp::Base::DateTime(), L"\\copy.bin");
            ASSERT_TRUE(LoopUntil([&] { return end.ended; }, 60000));
            const unsigned long long moved = relay.BytesToServer() + relay.BytesFromServer() - before;
            EXPECT_EQ(end.result, c.result);
            if (c.result == RES_OK) {
                EXPECT_EQ(ReadHost(share + "/copy.bin"), Content("big.bin", size));
                if (c.refused) {
                    EXPECT_GT(moved, 2 * size);
                } else {
                    EXPECT_LT(moved, size / 16);
                }
            }
            browser.RemoveListener(&root);
        }));
        // Nothing but the source and a whole copy, under its own name and only when it was made.
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(share)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        const std::vector<std::string> expected = c.result == RES_OK
                                                      ? std::vector<std::string>{"big.bin", "copy.bin"}
                                                      : std::vector<std::string>{"big.bin"};
        EXPECT_EQ(names, expected);
        fs::remove(share + "/copy.bin");
    }
}

}  // namespace
