// The walker over the real local storage and over a storage that answers inside its calls: the order of
// what it reports, holding and resuming, stopping, links, trees too deep, and deletion from inside a
// callback.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../folderform/FakeBrowser.h"
#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "app/Corvane.h"
#include "app/IUserEventHandler.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "transfer/FileWalker.h"
#include "transfer/IWalkerListener.h"

namespace {

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// Writes down every callback as a line ("enter /Home/R/", "item A dir", "exit ...", "end 0") and answers
// as told; ends the test loop when the walk ends.
class Recorder : public IWalkerListener {
public:
    std::vector<std::string> events;
    std::function<bool(const std::wstring&)> onEnter = [](const std::wstring&) { return true; };
    std::function<bool(const std::wstring&)> onExit = [](const std::wstring&) { return true; };
    std::function<void(const IFsDirEntry&)> onItem = [](const IFsDirEntry&) {};
    unsigned long result = 1;
    bool quitAtEnd = true;

    bool OnEnterFolder(const std::wstring& path) override {
        events.push_back("enter " + Narrow(path));
        return onEnter(path);
    }
    void OnItemFound(const IFsDirEntry* entry) override {
        const int type = entry->GetType();
        events.push_back("item " + Narrow(entry->GetName()) + ((type & ENTRY_DIRECTORY) ? " dir" : "") +
                         ((type & ENTRY_LINK) ? " link" : ""));
        onItem(*entry);
        delete entry;
    }
    bool OnExitFolder(const std::wstring& path) override {
        events.push_back("exit " + Narrow(path));
        return onExit(path);
    }
    void OnFsWalkFinished(unsigned long r) override {
        result = r;
        events.push_back("end " + std::to_string(r));
        if (quitAtEnd) {
            CorvaneLoop::Quit();
        }
    }
};

class FileWalkerTest : public ::testing::Test {
protected:
    // Walks the root of the private files' folder below "/Home/" inside a running application.
    void Walk(Recorder& recorder, const std::wstring& root,
              const std::function<void(FileWalker&)>& after = {}) {
        ASSERT_TRUE(CorvaneLoop::Run([&] {
            walker_ =
                std::make_unique<FileWalker>(Corvane::GetMyInstance()->GetLocalBrowser(), &recorder, root);
            walker_->StartA(false);
            if (after) {
                after(*walker_);
            }
        }));
    }

    PhoneRoot phone;
    std::unique_ptr<FileWalker> walker_;
};

TEST_F(FileWalkerTest, ReportsEachFolderWholeBeforeItsSubfoldersAndLeavesThemDeepestFirst) {
    phone.MakeDir("Home/R/A/B");
    phone.Write("Home/R/F", "x");
    phone.Write("Home/R/.profile", "x");
    phone.Write("Home/R/A/B/..x", "x");
    Recorder recorder;
    Walk(recorder, L"/Home/R");
    std::vector<std::string> expected = {"enter /Home/R/",     "item A dir",       "item F",
                                         "item .profile",      "enter /Home/R/A/", "item B dir",
                                         "enter /Home/R/A/B/", "item ..x",         "exit /Home/R/A/B/",
                                         "exit /Home/R/A/",    "exit /Home/R/",    "end 0"};
    // The storage lists a folder in no fixed order: compare the items of the root as a set.
    ASSERT_EQ(recorder.events.size(), expected.size());
    std::vector<std::string> rootItems(recorder.events.begin() + 1, recorder.events.begin() + 4);
    std::sort(rootItems.begin(), rootItems.end());
    EXPECT_EQ(rootItems, (std::vector<std::string>{"item .profile", "item A dir", "item F"}));
    std::copy(rootItems.begin(), rootItems.end(), recorder.events.begin() + 1);
    std::sort(expected.begin() + 1, expected.begin() + 4);
    EXPECT_EQ(recorder.events, expected);
}

TEST_F(FileWalkerTest, EmptyAndUnopenableRoots) {
    phone.MakeDir("Home/Empty");
    Recorder empty;
    Walk(empty, L"/Home/Empty/");
    EXPECT_EQ(empty.events, (std::vector<std::string>{"enter /Home/Empty/", "exit /Home/Empty/", "end 0"}));

    Recorder missing;
    Walk(missing, L"/Home/Missing");
    ASSERT_EQ(missing.events.size(), 2u);
    EXPECT_EQ(missing.events[0], "enter /Home/Missing/");
    EXPECT_NE(missing.result, RES_OK);
}

// Resumes a held walker from a posted event, as an owner that first does work of its own would.
class Resumer : public IUserEventHandler {
public:
    FileWalker* walker = nullptr;
    void Post() { Corvane::GetMyInstance()->PostUserEvent(this, 0); }
    void OnUserEvent(int) override { walker->ContinueA(); }
    void OnUserEventEx(UserEvent*) override {}
};

TEST_F(FileWalkerTest, HeldWalksResumeWithTheSameFolderOrItsNextSibling) {
    phone.MakeDir("Home/R/A/X");
    Recorder recorder;
    Resumer resumer;
    // Holds before every folder is opened and after every folder is left.
    recorder.onEnter = [&](const std::wstring&) {
        resumer.Post();
        return false;
    };
    recorder.onExit = [&](const std::wstring&) {
        resumer.Post();
        return false;
    };
    Walk(recorder, L"/Home/R", [&](FileWalker& walker) { resumer.walker = &walker; });
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"enter /Home/R/", "item A dir", "enter /Home/R/A/", "item X dir",
                                        "enter /Home/R/A/X/", "exit /Home/R/A/X/", "exit /Home/R/A/",
                                        "exit /Home/R/", "end 0"}));
}

TEST_F(FileWalkerTest, StopEndsAtTheEndOfTheListingAndEntersNothingMore) {
    for (int i = 0; i < 20; ++i) {
        phone.MakeDir("Home/R/d" + std::to_string(i) + "/deeper");
    }
    Recorder recorder;
    FileWalker* walker = nullptr;
    recorder.onItem = [&](const IFsDirEntry&) { walker->StopA(); };
    Walk(recorder, L"/Home/R", [&](FileWalker& w) { walker = &w; });
    EXPECT_EQ(recorder.result, RES_CANCELLED);
    EXPECT_EQ(recorder.events.front(), "enter /Home/R/");
    EXPECT_EQ(std::count_if(recorder.events.begin(), recorder.events.end(),
                            [](const std::string& e) { return e.rfind("enter", 0) == 0; }),
              1);
}

// Links to a folder outside the walked tree, to an ancestor and to nothing: each is one item, none is
// entered, and the walk ends normally.
TEST_F(FileWalkerTest, LinksAreReportedAndNeverEntered) {
    phone.MakeDir("Home/R/sub");
    phone.Write("Outside/secret.txt", "x");
    std::filesystem::create_directory_symlink(phone.Host("Outside"), phone.Host("Home/R/outside"));
    std::filesystem::create_directory_symlink("..", phone.Host("Home/R/sub/up"));
    std::filesystem::create_symlink("nowhere", phone.Host("Home/R/dangling"));
    Recorder recorder;
    Walk(recorder, L"/Home/R");
    EXPECT_EQ(recorder.result, RES_OK);
    auto has = [&](const std::string& e) {
        return std::find(recorder.events.begin(), recorder.events.end(), e) != recorder.events.end();
    };
    EXPECT_TRUE(has("item outside dir link"));
    EXPECT_TRUE(has("item up dir link"));
    EXPECT_TRUE(has("item dangling link"));
    EXPECT_FALSE(has("item secret.txt"));
    EXPECT_EQ(std::count_if(recorder.events.begin(), recorder.events.end(),
                            [](const std::string& e) { return e.rfind("enter", 0) == 0; }),
              2);  // R and R/sub only
}

TEST_F(FileWalkerTest, ATreeDeeperThanTheLimitEndsTheWalkWithItsOwnError) {
    std::string path = "Home/R";
    for (size_t i = 0; i <= FileWalker::kMaxDepth; ++i) {
        path += "/d";
    }
    phone.MakeDir(path);
    Recorder recorder;
    Walk(recorder, L"/Home/R");
    EXPECT_EQ(recorder.result, RES_TREE_TOO_DEEP);
    EXPECT_EQ(recorder.events.size(),
              2 * (FileWalker::kMaxDepth + 1) + 1);  // every folder but the last, once
}

TEST_F(FileWalkerTest, DeletedInsideACallbackItCallsNothingMore) {
    phone.Write("Home/R/a", "x");
    phone.Write("Home/R/b", "x");
    Recorder recorder;
    recorder.onItem = [&](const IFsDirEntry&) {
        walker_.reset();
        Corvane::GetMyInstance()->PostUserEvent(nullptr, 0);
        CorvaneLoop::Quit();
    };
    Walk(recorder, L"/Home/R");
    EXPECT_EQ(recorder.events.size(), 2u);  // enter, one item
}

// A storage that answers inside every call must not make the walk's stack grow with the tree.
TEST(FileWalkerLoopTest, AStorageAnsweringInsideItsCallsIsWalkedWithoutRecursion) {
    FakeBrowser browser(BROWSER_ARCHIVE);
    std::vector<FakeBrowser::Entry>& root = browser.folders[L"/"];
    constexpr int kFolders = 50000;
    for (int i = 0; i < kFolders; ++i) {
        root.push_back({L"f" + std::to_wstring(i), true});
    }
    Recorder recorder;
    recorder.quitAtEnd = false;
    int entered = 0;
    recorder.onEnter = [&](const std::wstring&) {
        ++entered;
        return true;
    };
    FileWalker walker(&browser, &recorder, L"/");
    walker.StartA(false);
    EXPECT_EQ(recorder.result, RES_OK);
    EXPECT_EQ(entered, kFolders + 1);
}

}  // namespace
