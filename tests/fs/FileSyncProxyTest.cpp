// The synchronous file over an asynchronous browser: a worker thread's calls carried to the running
// application's loop, and every way a wait must end.

#include "fs/FileSyncProxy.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "../platform/LoopUntil.h"
#include "CorvaneLoop.h"
#include "PhoneRoot.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"

namespace {

// The private files' browser, whose opens can be made to fail before they start or to never answer.
class OddBrowser : public LocalBrowser {
public:
    enum TOpen { OPEN_NORMAL, OPEN_REFUSED, OPEN_SILENT };
    OddBrowser() : LocalBrowser(ROOT_HOME) {}
    unsigned long CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                              TFileDisp disp) override {
        if (open == OPEN_REFUSED) {
            return RES_ACCESS_DENIED;
        }
        return open == OPEN_SILENT ? RES_OK : LocalBrowser::CreateFileA(listener, path, mode, disp);
    }
    TOpen open = OPEN_NORMAL;
};

// Runs work on a worker thread while the application's loop turns, until it is done.
bool OnWorker(const std::function<void()>& work, int timeoutMs = 10000) {
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    bool finished = LoopUntil([&] { return done.load(); }, timeoutMs);
    worker.join();
    return finished;
}

TEST(FileSyncProxyTest, WritesSeeksAndReadsALocalFileFromAWorker) {
    PhoneRoot root;
    std::string content(300000, '\0');
    std::mt19937 generator(3);
    for (char& c : content) {
        c = static_cast<char>(generator());
    }
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        LocalBrowser browser(LocalBrowser::ROOT_HOME);
        EXPECT_TRUE(OnWorker([&] {
            FileSyncProxy proxy;
            ASSERT_EQ(proxy.Create(&browser, L"/Home/sync.bin", FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS),
                      RES_OK);
            unsigned int count = 0;
            ASSERT_EQ(proxy.WriteS(content.data(), static_cast<unsigned int>(content.size()), &count),
                      RES_OK);
            EXPECT_EQ(count, content.size());
            EXPECT_EQ(proxy.WriteS(content.data(), 0, &count), RES_OK);
            EXPECT_EQ(proxy.Tell64(), content.size());
            ASSERT_EQ(proxy.SeekS(POS_BEGIN, 1000), RES_OK);
            EXPECT_EQ(proxy.Tell(), 1000u);
            std::string back(content.size(), '\0');
            ASSERT_EQ(proxy.ReadS(back.data(), static_cast<unsigned int>(back.size()), &count), RES_OK);
            EXPECT_EQ(count, content.size() - 1000);
            EXPECT_TRUE(back.compare(0, count, content, 1000, count) == 0);
            EXPECT_EQ(proxy.ReadS(back.data(), 10, &count), RES_OK);
            EXPECT_EQ(count, 0u);
            proxy.CloseS();
            EXPECT_NE(proxy.ReadS(back.data(), 10, &count), RES_OK);
        }));
        CorvaneLoop::Quit();
    }));
    EXPECT_EQ(root.Read("Home/sync.bin"), content);
}

TEST(FileSyncProxyTest, RefusesCallsOnTheUserInterfaceThreadAndOpensThatCannotStart) {
    PhoneRoot root;
    root.Write("Home/a.txt", "abc");
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        OddBrowser browser;
        {
            // On the loop's own thread the call would wait for itself.
            FileSyncProxy proxy;
            EXPECT_EQ(proxy.Open(&browser, L"/Home/a.txt", FILE_MODE_READ), RES_FAILURE);
        }
        browser.open = OddBrowser::OPEN_REFUSED;
        EXPECT_TRUE(OnWorker([&] {
            FileSyncProxy proxy;
            EXPECT_EQ(proxy.Open(&browser, L"/Home/a.txt", FILE_MODE_READ), RES_ACCESS_DENIED);
        }));
        CorvaneLoop::Quit();
    }));
}

TEST(FileSyncProxyTest, AbortEndsAWaitForAnAnswerThatNeverComes) {
    PhoneRoot root;
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        OddBrowser browser;
        browser.open = OddBrowser::OPEN_SILENT;
        FileSyncProxy proxy;
        std::atomic<unsigned long> result{0};
        std::atomic<bool> done{false};
        std::thread worker([&] {
            result = proxy.Open(&browser, L"/Home/none", FILE_MODE_READ);
            done = true;
        });
        EXPECT_FALSE(LoopUntil([&] { return done.load(); }, 300));
        proxy.Abort();
        EXPECT_TRUE(LoopUntil([&] { return done.load(); }, 2000));
        worker.join();
        EXPECT_EQ(result, RES_CANCELLED);
        // After an abort nothing waits any more.
        EXPECT_TRUE(OnWorker([&] { EXPECT_EQ(proxy.SeekS(POS_BEGIN, 0), RES_CANCELLED); }, 1000));
        CorvaneLoop::Quit();
    }));
}

// Regression: a worker waiting for the loop when the run ended waited for ever, and with it whoever
// joined the worker.
TEST(FileSyncProxyTest, TheEndOfTheRunEndsAWait) {
    PhoneRoot root;
    std::atomic<unsigned long> result{0};
    std::atomic<bool> waiting{false};
    std::unique_ptr<OddBrowser> browser;
    FileSyncProxy proxy;
    std::thread worker;
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        browser = std::make_unique<OddBrowser>();
        browser->open = OddBrowser::OPEN_SILENT;
        worker = std::thread([&] {
            waiting = true;
            result = proxy.Open(browser.get(), L"/Home/none", FILE_MODE_READ);
        });
        LoopUntil([&] { return waiting.load(); }, 2000);
        LoopUntil([] { return false; }, 100);
        CorvaneLoop::Quit();
    }));
    worker.join();
    EXPECT_EQ(result, RES_CANCELLED);
}

}  // namespace
