// The synchronous file over a real share: a worker's reads fill its buffer across the share's blocks, and
// a connection that drops ends the worker's wait.

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "SambaFixture.h"
#include "app/Results.h"
#include "fs/FileSyncProxy.h"
#include "net/smb1/SmbFile.h"

namespace {

class FileSyncProxySmbTest : public SambaFixture {};

std::string Bytes(size_t size) {
    std::mt19937 generator(5);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(generator());
    }
    return bytes;
}

// Runs work on a worker while the loop turns; the loop's side may act once the worker reaches a point.
void OnWorker(const std::function<void(std::atomic<int>&)>& work, const std::function<void()>& atStep = {}) {
    std::atomic<int> step{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work(step);
        done = true;
    });
    if (atStep) {
        LoopUntil([&] { return step.load() > 0 || done.load(); }, 20000);
        atStep();
        step = 2;
    }
    LoopUntil([&] { return done.load(); }, 20000);
    EXPECT_TRUE(done.load());
    worker.join();
}

TEST_F(FileSyncProxySmbTest, ReadsFillTheBufferAcrossBlocksUntilTheEnd) {
    const std::string content = Bytes(200000);
    PutFile("archive.bin", content);
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        OnWorker([&](std::atomic<int>&) {
            FileSyncProxy proxy;
            ASSERT_EQ(proxy.Open(browser, L"\\archive.bin", FILE_MODE_READ), RES_OK);
            std::string buffer(150000, '\0');
            unsigned int count = 0;
            ASSERT_EQ(proxy.ReadS(buffer.data(), 150000, &count), RES_OK);
            ASSERT_EQ(count, 150000u);  // more than two of the share's blocks
            EXPECT_TRUE(buffer == content.substr(0, 150000));
            EXPECT_EQ(proxy.Tell64(), 150000u);
            ASSERT_EQ(proxy.ReadS(buffer.data(), 150000, &count), RES_OK);
            EXPECT_EQ(count, 50000u);
            EXPECT_TRUE(buffer.compare(0, count, content, 150000, count) == 0);
            ASSERT_EQ(proxy.SeekS(POS_END, -10), RES_OK);
            EXPECT_EQ(proxy.Tell64(), content.size() - 10);
            proxy.CloseS();
        });
    }));
}

TEST_F(FileSyncProxySmbTest, ADroppedConnectionEndsTheWorkersWaitWithAnError) {
    PutFile("big.bin", Bytes(3000000));
    ASSERT_TRUE(RunInApp([&] {
        SmbBrowser* browser = Smb1Browser(folder_);
        unsigned long last = RES_OK;
        OnWorker(
            [&](std::atomic<int>& step) {
                FileSyncProxy proxy;
                ASSERT_EQ(proxy.Open(browser, L"\\big.bin", FILE_MODE_READ), RES_OK);
                std::string buffer(SmbFile::kBlockSize, '\0');
                unsigned int count = 0;
                EXPECT_EQ(proxy.ReadS(buffer.data(), SmbFile::kBlockSize, &count), RES_OK);
                step = 1;
                while (step.load() != 2) {
                    std::this_thread::yield();
                }
                // Reads until the drop is seen; it must be seen, not waited on.
                do {
                    last = proxy.ReadS(buffer.data(), SmbFile::kBlockSize, &count);
                } while (last == RES_OK && count != 0);
            },
            [&] { Server().Stop(); });
        EXPECT_EQ(last, RES_DISCONNECTED);
    }));
}

}  // namespace
