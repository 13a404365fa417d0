// Single-file transfers between local browsers, a failing browser and a streaming source: what lies at
// the destination and at the source afterwards, for success, failure, stop and replacement.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <random>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "../platform/LoopUntil.h"
#include "FaultyBrowser.h"
#include "JobHarness.h"
#include "StreamBrowser.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "transfer/FsThread.h"
#include "transfer/IFsTransfer.h"

namespace {

std::string Bytes(size_t size, unsigned seed = 1) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator());
    }
    return bytes;
}

class Recorder : public IFsTransferListener {
public:
    void OnTransferProgress(unsigned long long done, bool busy) override {
        lastProgress = done;
        ++progressCount;
        sawBusy = sawBusy || busy;
        if (onProgress) {
            onProgress();
        }
    }
    void OnTransferEnded(unsigned long r) override {
        ++ends;
        result = r;
    }
    int ends = 0;
    unsigned long result = 0xFFFFFFFF;
    unsigned long long lastProgress = 0;
    int progressCount = 0;
    bool sawBusy = false;
    std::function<void()> onProgress;
};

// Runs one transfer inside a running application and returns its result.
struct Plan {
    enum TKind { COPY, MOVE };
    explicit Plan(TKind kind = COPY, TDestination destination = DEST_NEW, unsigned long long listedSize = 0)
        : kind(kind), destination(destination), listedSize(listedSize) {}
    TKind kind;
    TDestination destination;
    unsigned long long listedSize;
    std::function<void(IFsTransfer&, Recorder&)> during;
};

unsigned long Transfer(IFsBrowser* src, IFsBrowser* dst, const std::wstring& from, const std::wstring& to,
                       const Plan& run, Recorder* seen = nullptr) {
    Recorder recorder;
    std::unique_ptr<IFsTransfer> transfer(CreateFsTransferN(&recorder, run.destination, src, dst));
    if (transfer == nullptr) {
        return 0xFFFFFFFE;
    }
    if (run.during) {
        run.during(*transfer, recorder);
    }
    Osp::Base::DateTime date = Osp::Base::DateTime::FromUnixSeconds(1500000000);
    if (run.kind == Plan::COPY) {
        transfer->CopyFileA(from, run.listedSize, date, to);
    } else {
        transfer->MoveFileA(from, run.listedSize, date, to);
    }
    LoopUntil([&] { return recorder.ends > 0; }, 20000);
    LoopUntil([] { return false; }, 30);  // nothing more may come
    EXPECT_EQ(recorder.ends, 1);
    if (seen != nullptr) {
        *seen = recorder;
    }
    return recorder.result;
}

// Files of the folder other than the expected ones: temporary or partial leftovers.
std::vector<std::string> Leftovers(const PhoneRoot& root, const std::string& folder,
                                   const std::set<std::string>& expected) {
    std::vector<std::string> extra;
    for (const auto& e : std::filesystem::directory_iterator(root.Host(folder))) {
        const std::string name = e.path().filename().string();
        if (expected.count(name) == 0) {
            extra.push_back(name);
        }
    }
    return extra;
}

class FsTransferTest : public ::testing::Test {
protected:
    // The whole seconds of a file's modification time.
    long long ModifiedAt(const std::string& file) const {
        struct stat st {};
        ::stat(root_.Host(file).c_str(), &st);
        return st.st_mtim.tv_sec;
    }

    PhoneRoot root_;
};

TEST_F(FsTransferTest, CopiesWholeFilesWhateverTheirListedSize) {
    const std::string big = Bytes(1000000);
    root_.Write("Home/big.bin", big);
    root_.Write("Home/empty.txt", "");
    root_.MakeDir("Home/sub");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        Recorder seen;
        // Listed as 10 bytes, the file has grown since: all of it is copied.
        EXPECT_EQ(Transfer(home, home, L"/Home/big.bin", L"/Home/sub/big.bin", Plan(Plan::COPY, DEST_NEW, 10),
                           &seen),
                  RES_OK);
        EXPECT_EQ(seen.lastProgress, big.size());
        EXPECT_EQ(Transfer(home, home, L"/Home/empty.txt", L"/Home/sub/empty.txt", Plan()), RES_OK);
        // The same file onto itself is refused, never replaced.
        EXPECT_EQ(Transfer(home, home, L"/Home/big.bin", L"/Home/big.bin", Plan(Plan::COPY, DEST_REPLACE)),
                  RES_ALREADY_EXISTS);
    });
    EXPECT_TRUE(root_.Read("Home/sub/big.bin") == big);
    EXPECT_EQ(ModifiedAt("Home/sub/big.bin"), 1500000000) << "a copy keeps the time it was given";
    EXPECT_TRUE(root_.Read("Home/big.bin") == big);
    EXPECT_TRUE(root_.Exists("Home/sub/empty.txt"));
    EXPECT_TRUE(Leftovers(root_, "Home/sub", {"big.bin", "empty.txt"}).empty());
}

// A local copy goes through the kernel's copy in large pieces (a progress each), never block by block
// through the program, new or replacing, and keeps the copy's rules: whole bytes, the time kept, no
// leftover.
TEST_F(FsTransferTest, ALocalCopyIsMadeByTheKernelInLargePieces) {
    const std::string big = Bytes(20 * 1024 * 1024 + 5);
    root_.Write("Home/big.bin", big);
    root_.MakeDir("Home/sub");
    root_.Write("Home/sub/old.bin", "old");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        for (const auto& [to, destination] :
             {std::pair{L"/Home/sub/big.bin", DEST_NEW}, std::pair{L"/Home/sub/old.bin", DEST_REPLACE}}) {
            Recorder seen;
            EXPECT_EQ(Transfer(home, home, L"/Home/big.bin", to, Plan(Plan::COPY, destination), &seen),
                      RES_OK);
            EXPECT_EQ(seen.lastProgress, big.size());
            EXPECT_LE(seen.progressCount, 3);
        }
    });
    EXPECT_TRUE(root_.Read("Home/sub/big.bin") == big);
    EXPECT_TRUE(root_.Read("Home/sub/old.bin") == big);
    EXPECT_EQ(ModifiedAt("Home/sub/big.bin"), 1500000000);
    EXPECT_TRUE(Leftovers(root_, "Home/sub", {"big.bin", "old.bin"}).empty());
}

// Regression: a second browser object over the same storage counted as another place, so a move of a
// file onto itself through it replaced the file by its copy and then deleted the "source": the only copy.
TEST_F(FsTransferTest, AnotherBrowserOverTheSameStorageIsTheSamePlace) {
    root_.Write("Home/a.txt", "only copy");
    root_.MakeDir("Home/sub");
    struct stat before {};
    ASSERT_EQ(::stat(root_.Host("Home/a.txt").c_str(), &before), 0);
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        LocalBrowser other(LocalBrowser::ROOT_HOME);
        const Plan onto[] = {Plan(Plan::COPY, DEST_NEW), Plan(Plan::COPY, DEST_REPLACE),
                             Plan(Plan::MOVE, DEST_NEW), Plan(Plan::MOVE, DEST_REPLACE)};
        for (const Plan& plan : onto) {
            EXPECT_EQ(Transfer(home, &other, L"/Home/a.txt", L"/Home/a.txt", plan), RES_ALREADY_EXISTS);
            EXPECT_EQ(root_.Read("Home/a.txt"), "only copy");
        }
        // A move between the two is a rename, as within one of them.
        EXPECT_EQ(Transfer(&other, home, L"/Home/a.txt", L"/Home/sub/a.txt", Plan(Plan::MOVE)), RES_OK);
    });
    struct stat after {};
    ASSERT_EQ(::stat(root_.Host("Home/sub/a.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(root_.Read("Home/sub/a.txt"), "only copy");
    EXPECT_FALSE(root_.Exists("Home/a.txt"));
    EXPECT_TRUE(Leftovers(root_, "Home", {"sub"}).empty());
}

TEST_F(FsTransferTest, AnExistingFileIsKeptOrReplacedOnlyOnceTheNewOneIsStored) {
    root_.Write("Home/a.txt", "new content");
    root_.Write("Home/sub/a.txt", "old");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        FaultyBrowser failing(home);
        EXPECT_EQ(Transfer(home, home, L"/Home/a.txt", L"/Home/sub/a.txt", Plan()), RES_ALREADY_EXISTS);
        EXPECT_EQ(root_.Read("Home/sub/a.txt"), "old");
        // The replacement fails at its confirmation: the old file is still there, and no temporary one.
        failing.failWrite = 2;
        EXPECT_EQ(
            Transfer(home, &failing, L"/Home/a.txt", L"/Home/sub/a.txt", Plan(Plan::COPY, DEST_REPLACE)),
            0x80000000);
        EXPECT_EQ(root_.Read("Home/sub/a.txt"), "old");
        EXPECT_EQ(Transfer(home, home, L"/Home/a.txt", L"/Home/sub/a.txt", Plan(Plan::MOVE, DEST_REPLACE)),
                  RES_OK);
    });
    EXPECT_EQ(root_.Read("Home/sub/a.txt"), "new content");
    EXPECT_FALSE(root_.Exists("Home/a.txt"));
    EXPECT_TRUE(Leftovers(root_, "Home/sub", {"a.txt"}).empty());
}

// Regression: a failed transfer left its partial file under the final name, and a failure of the last
// write passed as success since nothing confirmed the data.
TEST_F(FsTransferTest, AFailedOrStoppedTransferLeavesNothingAndAMoveKeepsItsSource) {
    const std::string content = Bytes(900000, 2);
    root_.Write("Home/src.bin", content);
    root_.MakeDir("Media/Pictures");
    struct Case {
        const char* name;
        Plan::TKind kind;
        int failRead;
        int failWrite;  // 5 is the confirming empty write of this file's four blocks
        bool stop;
        unsigned long expected;
    };
    const Case cases[] = {
        {"read fails midway", Plan::COPY, 2, 0, false, 0x80000000},
        {"write fails midway", Plan::MOVE, 0, 2, false, 0x80000000},
        {"the confirmation fails", Plan::MOVE, 0, 5, false, 0x80000000},
        {"stopped", Plan::MOVE, 0, 0, true, RES_CANCELLED},
    };
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        LocalBrowser* media = Corvane::GetMyInstance()->GetLocalBrowser(LocalBrowser::ROOT_MEDIA);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            FaultyBrowser src(home);
            src.failRead = c.failRead;
            FaultyBrowser dst(media);
            dst.failWrite = c.failWrite;
            Plan run(c.kind);
            if (c.stop) {
                run.during = [](IFsTransfer& t, Recorder& r) { r.onProgress = [&t] { t.StopA(); }; };
            }
            // Through the wrappers the media folder is written with plain files, block by block.
            EXPECT_EQ(Transfer(&src, &dst, L"/Home/src.bin", L"/Media/Pictures/src.bin", run), c.expected);
            EXPECT_TRUE(root_.Read("Home/src.bin") == content);
            EXPECT_TRUE(Leftovers(root_, "Media/Pictures", {}).empty());
        }
    });
}

// Regression: the temporary name hung on the file's name alone, so a leftover of an earlier attempt made
// every replacement end with "already exists", which is the caller's overwrite question.
TEST_F(FsTransferTest, ALeftoverUnderATemporaryNameIsPassedByAndKept) {
    root_.Write("Home/a.txt", "new content");
    root_.Write("Home/sub/a.txt", "old");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        FaultyBrowser dst(home);
        dst.leftoverCreates = 1;
        EXPECT_EQ(Transfer(home, &dst, L"/Home/a.txt", L"/Home/sub/a.txt", Plan(Plan::COPY, DEST_REPLACE)),
                  RES_OK);
        // Where every name is taken the transfer fails on its own account, after a few names.
        dst.leftoverCreates = 100;
        EXPECT_EQ(Transfer(home, &dst, L"/Home/a.txt", L"/Home/sub/a.txt", Plan(Plan::COPY, DEST_REPLACE)),
                  RES_FAILURE);
        EXPECT_LT(dst.leftoversMade, 10);
    });
    EXPECT_EQ(root_.Read("Home/sub/a.txt"), "new content");
    // The leftovers are not this transfer's files: they stay.
    EXPECT_EQ(Leftovers(root_, "Home/sub", {"a.txt"}).size(), 5u);
}

TEST_F(FsTransferTest, ATransferDroppedOnItsWayLeavesNoPartialFile) {
    root_.Write("Home/big.bin", Bytes(900000, 3));
    root_.MakeDir("Home/sub");
    InRunningApp([&] {
        FaultyBrowser src(Corvane::GetMyInstance()->GetLocalBrowser());
        src.holdRead = 2;
        Recorder recorder;
        std::unique_ptr<IFsTransfer> transfer(
            CreateFsTransferN(&recorder, DEST_NEW, &src, Corvane::GetMyInstance()->GetLocalBrowser()));
        transfer->CopyFileA(L"/Home/big.bin", 900000, Osp::Base::DateTime(), L"/Home/sub/big.bin");
        ASSERT_TRUE(LoopUntil([&] { return src.reads == 2; }));
        ASSERT_FALSE(Leftovers(root_, "Home/sub", {}).empty()) << "the first block is written";
        transfer.reset();  // as when its job goes with its form
        EXPECT_TRUE(LoopUntil([&] { return Leftovers(root_, "Home/sub", {}).empty(); }));
        EXPECT_EQ(recorder.ends, 0);
    });
}

// Regression: dropping a transfer while the platform copied or moved its file joined the worker on the
// screen thread until the call ended, and a file moved under its temporary name stayed there, hidden.
TEST_F(FsTransferTest, ADroppedWholeFileTransferNeitherWaitsNorLeavesItsFileAway) {
    constexpr std::uintmax_t kBig = 256 << 20;
    root_.MakeDir("Media/Pictures");
    // Sparse: reading it is quick, writing it takes a while.
    std::ofstream(root_.Host("Home/big.bin")).close();
    std::filesystem::resize_file(root_.Host("Home/big.bin"), kBig);
    root_.Write("Home/pic.jpg", "picture");
    root_.Write("Media/Pictures/pic.jpg", "old picture");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        LocalBrowser* media = Corvane::GetMyInstance()->GetLocalBrowser(LocalBrowser::ROOT_MEDIA);
        Recorder recorder;
        std::unique_ptr<IFsTransfer> copy(CreateFsTransferN(&recorder, DEST_NEW, home, media));
        copy->CopyFileA(L"/Home/big.bin", kBig, Osp::Base::DateTime(), L"/Media/Pictures/big.bin");
        copy.reset();
        std::error_code missing;
        const std::uintmax_t copied =
            std::filesystem::file_size(root_.Host("Media/Pictures/big.bin"), missing);
        EXPECT_TRUE(missing || copied < kBig) << "the screen thread waited for the copy to end";
        std::unique_ptr<IFsTransfer> move(CreateFsTransferN(&recorder, DEST_REPLACE, home, media));
        move->MoveFileA(L"/Home/pic.jpg", 7, Osp::Base::DateTime(), L"/Media/Pictures/pic.jpg");
        move.reset();
        FsThread::JoinRetired(60000);
        LoopUntil([] { return false; }, 30);
        EXPECT_EQ(recorder.ends, 0);
    });
    EXPECT_EQ(root_.Read("Home/pic.jpg"), "picture");
    EXPECT_EQ(root_.Read("Media/Pictures/pic.jpg"), "old picture");
    EXPECT_TRUE(Leftovers(root_, "Media/Pictures", {"pic.jpg"}).empty());
}

TEST_F(FsTransferTest, MediaFoldersAreWrittenByThePlatformsWorker) {
    root_.Write("Home/pic.jpg", "picture bytes");
    root_.Write("Home/pic2.jpg", "second");
    root_.MakeDir("Media/Pictures");
    InRunningApp([&] {
        Corvane* app = Corvane::GetMyInstance();
        LocalBrowser* home = app->GetLocalBrowser();
        LocalBrowser* media = app->GetLocalBrowser(LocalBrowser::ROOT_MEDIA);
        Recorder seen;
        EXPECT_EQ(Transfer(home, media, L"/Home/pic.jpg", L"/Media/Pictures/pic.jpg", Plan(), &seen), RES_OK);
        EXPECT_TRUE(seen.sawBusy);
        EXPECT_EQ(Transfer(home, media, L"/Home/pic.jpg", L"/Media/Pictures/pic.jpg", Plan()),
                  RES_ALREADY_EXISTS);
        EXPECT_EQ(Transfer(home, media, L"/Home/pic2.jpg", L"/Media/Pictures/pic.jpg",
                           Plan(Plan::MOVE, DEST_REPLACE)),
                  RES_OK);
    });
    EXPECT_EQ(root_.Read("Media/Pictures/pic.jpg"), "second");
    EXPECT_EQ(ModifiedAt("Media/Pictures/pic.jpg"), 1500000000);
    EXPECT_TRUE(root_.Exists("Home/pic.jpg"));
    EXPECT_FALSE(root_.Exists("Home/pic2.jpg"));
    EXPECT_TRUE(Leftovers(root_, "Media/Pictures", {"pic.jpg"}).empty());
}

// Regression: a move into a folder on another file system failed, since a rename cannot cross.
TEST_F(FsTransferTest, AMoveAcrossFileSystemsCopiesConfirmsAndThenDeletes) {
    char pattern[] = "/dev/shm/corvane-xfs-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    std::filesystem::create_directory_symlink(other, root_.Host("Home/other"));
    root_.Write("Home/m.txt", "moved");
    std::ofstream(other + "/taken.txt") << "keep me";
    root_.Write("Home/taken.txt", "not this");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        EXPECT_EQ(Transfer(home, home, L"/Home/m.txt", L"/Home/other/m.txt", Plan(Plan::MOVE)), RES_OK);
        EXPECT_EQ(Transfer(home, home, L"/Home/taken.txt", L"/Home/other/taken.txt", Plan(Plan::MOVE)),
                  RES_ALREADY_EXISTS);
    });
    EXPECT_FALSE(root_.Exists("Home/m.txt"));
    EXPECT_EQ(root_.Read("Home/other/m.txt"), "moved");
    EXPECT_EQ(root_.Read("Home/other/taken.txt"), "keep me");
    EXPECT_EQ(root_.Read("Home/taken.txt"), "not this");
    std::filesystem::remove_all(other);
}

TEST_F(FsTransferTest, AStreamedFileIsConfirmedAndAFailedStreamLeavesNothing) {
    const std::string content = Bytes(25500, 3);
    root_.MakeDir("Home/out");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        StreamBrowser archive;
        archive.contents[L"/doc.bin"] = content;
        EXPECT_EQ(Transfer(&archive, home, L"/doc.bin", L"/Home/out/doc.bin", Plan()), RES_OK);
        EXPECT_EQ(archive.acknowledged, 26);

        archive.failAfterBlocks = 5;
        EXPECT_EQ(Transfer(&archive, home, L"/doc.bin", L"/Home/out/failed.bin", Plan()), 0xA0000778);
        archive.failAfterBlocks = -1;
        FaultyBrowser full(home);
        full.failWrite = 3;
        EXPECT_EQ(Transfer(&archive, &full, L"/doc.bin", L"/Home/out/full.bin", Plan()), 0x80000000);
        Plan stop;
        stop.during = [](IFsTransfer& t, Recorder& r) { r.onProgress = [&t] { t.StopA(); }; };
        EXPECT_EQ(Transfer(&archive, home, L"/doc.bin", L"/Home/out/stopped.bin", stop), RES_CANCELLED);
        EXPECT_EQ(archive.stoppedWith, RES_CANCELLED);
    });
    EXPECT_TRUE(root_.Read("Home/out/doc.bin") == content);
    EXPECT_TRUE(Leftovers(root_, "Home/out", {"doc.bin"}).empty());
}

}  // namespace
