// The transfer job between the private files, the phone memory and a real share, for copy and cut, with
// success, a read failing midway, a write failing midway or at the last block (the server's answer turned
// into a refusal on its way), the connection dropped, the server gone until the job has ended, and Cancel:
// what lies at the destination, the kept modification time, whether the source is still there, and that
// nothing temporary or partial remains (of a server that went away, no partial file under a real name).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "../transfer/FaultyBrowser.h"
#include "../transfer/JobHarness.h"
#include "CountingRelay.h"
#include "SambaFixture.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"

namespace {

namespace fs = std::filesystem;

// Ten of the share's blocks (Samba takes large reads and writes), five of the phone's.
constexpr size_t kSize = 10 * 130048;
constexpr int kShareBlocks = 10;
constexpr long long kSourceTime = 1577934245;  // 2 January 2020, 03:04:05 UTC
constexpr unsigned char kRead = 0x2E;
constexpr unsigned char kWrite = 0x2F;

enum TPlace { HOME, MEDIA, SHARE };
enum TFault { NONE, READ_FAILS, WRITE_FAILS, LAST_WRITE_FAILS, DROPPED, GONE, CANCELLED };

const char* PlaceName(TPlace p) {
    return p == HOME ? "home" : p == MEDIA ? "media" : "share";
}
const char* FaultName(TFault f) {
    const char* names[] = {"success", "read fails",  "write fails", "last write fails",
                           "dropped", "server gone", "cancel"};
    return names[f];
}

std::string Content(unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(kSize, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator());
    }
    return bytes;
}

class TransferTableTest : public SambaFixture {
protected:
    // The host folder of a place, where its files lie.
    std::string HostDir(TPlace place, const PhoneRoot& root) const {
        return place == SHARE ? Server().ShareDir() + "/t" : root.Host(place == HOME ? "Home/t" : "Media/t");
    }
    static std::wstring Root(TPlace place) {
        return place == SHARE ? L"\\t\\" : place == HOME ? L"/Home/t/" : L"/Media/t/";
    }
};

TEST_F(TransferTableTest, EveryPairKindAndFaultLeavesTheExpectedFiles) {
    const std::pair<TPlace, TPlace> pairs[] = {{HOME, SHARE},  {SHARE, HOME}, {MEDIA, SHARE},
                                               {SHARE, MEDIA}, {HOME, MEDIA}, {MEDIA, HOME}};
    CountingRelay relay(Server().Port());
    SmbSession::SetServerPort(relay.Port());
    PhoneRoot root;
    int round = 0;
    ASSERT_TRUE(CorvaneLoop::Run(
        [&] {
            Corvane* app = Corvane::GetMyInstance();
            SmbBrowser* share = Smb1Browser(folder_);
            auto browser = [&](TPlace p) -> IFsBrowser* {
                return p == SHARE ? static_cast<IFsBrowser*>(share)
                                  : app->GetLocalBrowser(p == HOME ? LocalBrowser::ROOT_HOME
                                                                   : LocalBrowser::ROOT_MEDIA);
            };
            for (const auto& [from, to] : pairs) {
                for (int mode : {Clipboard::MODE_COPY, Clipboard::MODE_CUT}) {
                    for (TFault fault :
                         {NONE, READ_FAILS, WRITE_FAILS, LAST_WRITE_FAILS, DROPPED, GONE, CANCELLED}) {
                        const bool shareWrites = to == SHARE;
                        const bool shareReads = from == SHARE;
                        if ((fault == DROPPED || fault == GONE) && !shareReads && !shareWrites) {
                            continue;  // no connection to drop
                        }
                        if ((fault == READ_FAILS || fault == CANCELLED) && from != SHARE && to == MEDIA) {
                            continue;  // the platform copies into the phone memory in one call that
                                       // reads nothing here and cannot be stopped
                        }
                        if (fault == LAST_WRITE_FAILS && !shareWrites) {
                            continue;  // the last block of a local write is the confirmation, covered by the
                                       // single-file tests
                        }
                        SCOPED_TRACE(std::string(PlaceName(from)) + " -> " + PlaceName(to) +
                                     (mode == Clipboard::MODE_CUT ? " cut, " : " copy, ") + FaultName(fault));
                        ++round;
                        const std::string name = "f" + std::to_string(round) + ".bin";
                        const std::wstring wname(name.begin(), name.end());
                        const std::string content = Content(static_cast<unsigned>(round));
                        fs::create_directories(HostDir(from, root));
                        fs::create_directories(HostDir(to, root));
                        const std::string source = HostDir(from, root) + "/" + name;
                        std::ofstream(source, std::ios::binary) << content;
                        struct timespec times[2] = {{kSourceTime, 0}, {kSourceTime, 0}};
                        ::utimensat(AT_FDCWD, source.c_str(), times, 0);

                        IFsBrowser* src = browser(from);
                        IFsBrowser* dst = browser(to);
                        FaultyBrowser faultySrc(src);
                        FaultyBrowser faultyDst(dst);
                        relay.DropAfter(0, 0);
                        relay.RefuseAnswer(0, 0);
                        if (fault == READ_FAILS) {
                            if (shareReads) {
                                relay.RefuseAnswer(kRead, 3);
                            } else {
                                faultySrc.failRead = 2;
                                src = &faultySrc;
                            }
                        } else if (fault == WRITE_FAILS) {
                            if (shareWrites) {
                                relay.RefuseAnswer(kWrite, 3);
                            } else {
                                faultyDst.failWrite = 2;
                                dst = &faultyDst;
                            }
                        } else if (fault == LAST_WRITE_FAILS) {
                            relay.RefuseAnswer(kWrite, kShareBlocks);
                        } else if (fault == DROPPED || fault == GONE) {
                            relay.DropAfter(shareReads ? kRead : kWrite, 3, fault == GONE);
                        }
                        Clipboard clipboard(mode, src, Root(from));
                        clipboard.AddFile(wname, kSize, Osp::Base::DateTime::FromUnixSeconds(kSourceTime),
                                          wname);
                        JobRecorder job;
                        // Cancel comes as soon as the job has started its transfer.
                        RunJob(job, clipboard, dst, Root(to),
                               fault == CANCELLED ? std::function<bool()>([] { return true; }) : nullptr);
                        relay.ComeBack();
                        const std::string target = HostDir(to, root) + "/" + name;
                        if (fault == NONE) {
                            EXPECT_EQ(job.result, RES_OK);
                            std::ifstream in(target, std::ios::binary);
                            const std::string copied((std::istreambuf_iterator<char>(in)),
                                                     std::istreambuf_iterator<char>());
                            EXPECT_TRUE(copied == content);
                            EXPECT_EQ(fs::exists(source), mode == Clipboard::MODE_COPY);
                            // Every place keeps the source's time. The share keeps it to two seconds, set by
                            // a request of its own that may still be on its way when the job reports.
                            EXPECT_TRUE(LoopUntil([&] {
                                struct stat st {};
                                ::stat(target.c_str(), &st);
                                return std::abs(st.st_mtim.tv_sec - kSourceTime) <= (to == SHARE ? 2 : 0);
                            }));
                        } else {
                            EXPECT_NE(job.result, RES_OK);
                            EXPECT_EQ(job.message.empty(), fault == CANCELLED);
                            // The partial file on a share is removed by a request of its own, which may
                            // still be on its way when the job reports.
                            EXPECT_TRUE(LoopUntil([&] { return !fs::exists(target); }));
                            std::ifstream in(source, std::ios::binary);
                            const std::string kept((std::istreambuf_iterator<char>(in)),
                                                   std::istreambuf_iterator<char>());
                            EXPECT_TRUE(kept == content);
                        }
                        // Nothing temporary or partial anywhere at the destination or in the cache; a server
                        // that went away keeps the temporary file that could not be removed, and it alone.
                        for (const auto& e : fs::directory_iterator(HostDir(to, root))) {
                            const std::string n = e.path().filename().string();
                            if (fault == GONE && shareWrites && n.rfind(".corvane-", 0) == 0) {
                                fs::remove(e.path());
                                continue;
                            }
                            EXPECT_TRUE(n.rfind("f", 0) == 0 && n.find(".part") == std::string::npos) << n;
                        }
                        if (fs::exists(root.Host("Home/Cache"))) {
                            EXPECT_TRUE(fs::is_empty(root.Host("Home/Cache")));
                        }
                    }
                }
            }
            CorvaneLoop::Quit();
        },
        600000));
}

}  // namespace
