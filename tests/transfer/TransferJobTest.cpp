// The transfer job over local trees: folders made and merged, the four overwrite answers, moves by one
// rename or file by file, links taken as links, a destination inside the selection refused, and Cancel.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "FaultyBrowser.h"
#include "JobHarness.h"
#include "Osp/Ui/Controls/MessageBox.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "testsupport/UiDriver.h"

namespace {

namespace fs = std::filesystem;

constexpr long long kSourceTime = 1577934245;  // 2 January 2020, 03:04:05 UTC

class TransferJobTest : public ::testing::Test {
protected:
    void SetUp() override { MakeTree(); }
    void MakeTree() const {
        root_.Write("Home/src/top.txt", "top new");
        root_.Write("Home/src/docs/a.txt", "a new");
        root_.Write("Home/src/docs/b.txt", "b new");
        root_.Write("Home/src/docs/deep/c.txt", "c new");
        struct timespec times[2] = {{kSourceTime, 0}, {kSourceTime, 0}};
        ::utimensat(AT_FDCWD, root_.Host("Home/src/docs/deep/c.txt").c_str(), times, 0);
        root_.Write("Home/outside/secret.txt", "outside");
        root_.MakeDir("Home/dst");
        fs::create_directory_symlink(root_.Host("Home/outside"), root_.Host("Home/src/docs/linked"));
    }
    static LocalBrowser* Home() { return Corvane::GetMyInstance()->GetLocalBrowser(); }
    // docs and top.txt of Home/src.
    static std::unique_ptr<Clipboard> Selection(int mode) {
        auto clipboard = std::make_unique<Clipboard>(mode, Home(), L"/Home/src/");
        clipboard->AddFolder(L"docs");
        clipboard->AddFile(L"top.txt", 7, Osp::Base::DateTime(), L"top.txt");
        return clipboard;
    }
    long long ModifiedAt(const std::string& file) const {
        struct stat st {};
        ::stat(root_.Host(file).c_str(), &st);
        return st.st_mtim.tv_sec;
    }
    // Names below a folder other than the expected files: temporary and partial files.
    std::vector<std::string> Extra(const std::string& folder, const std::set<std::string>& expected) const {
        std::vector<std::string> extra;
        for (const auto& e : fs::recursive_directory_iterator(root_.Host(folder))) {
            const std::string rel = fs::relative(e.path(), root_.Host(folder)).string();
            if (!e.is_directory() && expected.count(rel) == 0) {
                extra.push_back(rel);
            }
        }
        return extra;
    }

    PhoneRoot root_;
};

TEST_F(TransferJobTest, TheFourOverwriteAnswersGiveTheExpectedTree) {
    using O = TransferPopup;
    struct Case {
        const char* name;
        std::deque<TransferPopup::TOverwrite> answers;
        size_t questions;
        const char* a;    // docs/a.txt afterwards
        const char* top;  // top.txt afterwards
    };
    const Case cases[] = {
        {"No, No", {O::OVERWRITE_NO, O::OVERWRITE_NO}, 2, "a old", "top old"},
        {"No to all", {O::OVERWRITE_NO_TO_ALL}, 1, "a old", "top old"},
        {"Yes, No", {O::OVERWRITE_YES, O::OVERWRITE_NO}, 2, "a new", "top old"},
        {"Yes to all", {O::OVERWRITE_YES_TO_ALL}, 1, "a new", "top new"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root_.Host("Home/dst"));
        root_.Write("Home/dst/docs/a.txt", "a old");
        root_.Write("Home/dst/top.txt", "top old");
        JobRecorder job;
        job.answers = c.answers;
        InRunningApp([&] { RunJob(job, *Selection(Clipboard::MODE_COPY), Home(), L"/Home/dst/"); });
        EXPECT_EQ(job.result, RES_OK);
        EXPECT_EQ(job.message, L"");
        EXPECT_EQ(job.questions.size(), c.questions);
        EXPECT_EQ(root_.Read("Home/dst/docs/a.txt"), c.a);
        EXPECT_EQ(root_.Read("Home/dst/top.txt"), c.top);
        EXPECT_EQ(root_.Read("Home/dst/docs/deep/c.txt"), "c new");
        EXPECT_EQ(ModifiedAt("Home/dst/docs/deep/c.txt"), kSourceTime)
            << "a copy keeps the time of its source";
        // The link is copied as a link: nothing of the folder it points to is copied.
        EXPECT_EQ(fs::read_symlink(root_.Host("Home/dst/docs/linked")), root_.Host("Home/outside"));
        EXPECT_TRUE(Extra("Home/dst", {"docs/a.txt", "docs/b.txt", "docs/deep/c.txt", "top.txt"}).empty());
        EXPECT_EQ(root_.Read("Home/src/docs/a.txt"), "a new");
    }
}

TEST_F(TransferJobTest, AMoveRenamesAWholeFolderOrMergesItKeepingFoldersWithSkippedFiles) {
    {
        JobRecorder job;
        InRunningApp([&] { RunJob(job, *Selection(Clipboard::MODE_CUT), Home(), L"/Home/dst/"); });
        EXPECT_EQ(job.result, RES_OK);
        EXPECT_EQ(root_.Read("Home/dst/docs/deep/c.txt"), "c new");
        EXPECT_TRUE(fs::is_symlink(root_.Host("Home/dst/docs/linked")));  // moved with its folder
        EXPECT_FALSE(fs::exists(root_.Host("Home/src/docs")));
        EXPECT_FALSE(fs::exists(root_.Host("Home/src/top.txt")));
    }
    // Back, with a clash inside: the folder is merged file by file.
    root_.Write("Home/src/docs/a.txt", "a again");
    root_.Write("Home/src/docs/deep/d.txt", "d");
    root_.Write("Home/src/top.txt", "top again");
    JobRecorder job;
    job.answers = {TransferPopup::OVERWRITE_NO, TransferPopup::OVERWRITE_YES};
    InRunningApp([&] { RunJob(job, *Selection(Clipboard::MODE_CUT), Home(), L"/Home/dst/"); });
    EXPECT_EQ(job.result, RES_OK);
    EXPECT_EQ(job.questions.size(), 2u);
    EXPECT_EQ(root_.Read("Home/dst/docs/a.txt"), "a new");  // No: kept, and its source stays
    EXPECT_EQ(root_.Read("Home/src/docs/a.txt"), "a again");
    EXPECT_EQ(root_.Read("Home/dst/docs/deep/d.txt"), "d");
    EXPECT_FALSE(fs::exists(root_.Host("Home/src/docs/deep")));  // emptied, removed
    EXPECT_EQ(root_.Read("Home/dst/top.txt"), "top again");      // Yes: replaced
    EXPECT_FALSE(fs::exists(root_.Host("Home/src/top.txt")));
    EXPECT_EQ(root_.Read("Home/outside/secret.txt"), "outside");
}

// Regression: links inside a walked folder were dropped by a copy. A link goes as a link where the
// destination can hold one and is left out, with a note, where it cannot.
TEST_F(TransferJobTest, LinksGoAsLinksOrStayWithANote) {
    struct Case {
        const char* name;
        int mode;
        bool holdsLinks;  // else a browser in front of the private files, which makes no links
        const char* dst;
    };
    const Case cases[] = {
        {"copy to a place without links", Clipboard::MODE_COPY, false, "Home/dst"},
        {"cut to a place without links", Clipboard::MODE_CUT, false, "Home/dst"},
        {"cut to the phone memory", Clipboard::MODE_CUT, true, "Media/dst"},
    };
    const std::wstring note =
        L"Links were left out, as the destination cannot hold them: '/Home/src/docs/linked'";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root_.Host("Home/src"));
        fs::remove_all(root_.Host("Home/dst"));
        MakeTree();
        root_.MakeDir(c.dst);
        JobRecorder job;
        InRunningApp([&] {
            FaultyBrowser noLinks(Home());
            IFsBrowser* dst = &noLinks;
            if (c.holdsLinks) {
                dst = Corvane::GetMyInstance()->GetLocalBrowser(LocalBrowser::ROOT_MEDIA);
            }
            const std::string root = "/" + std::string(c.dst) + "/";
            RunJob(job, *Selection(c.mode), dst, std::wstring(root.begin(), root.end()));
        });
        EXPECT_EQ(job.result, RES_OK);
        EXPECT_EQ(job.message, c.holdsLinks ? L"" : note);
        const std::string dstLink = std::string(c.dst) + "/docs/linked";
        EXPECT_EQ(fs::is_symlink(root_.Host(dstLink)), c.holdsLinks);
        const bool stays = c.mode == Clipboard::MODE_COPY || !c.holdsLinks;
        EXPECT_EQ(fs::is_symlink(root_.Host("Home/src/docs/linked")), stays);
        EXPECT_EQ(root_.Read(std::string(c.dst) + "/docs/deep/c.txt"), "c new");
        EXPECT_EQ(root_.Read("Home/outside/secret.txt"), "outside");
    }
}

// A selected link: renamed by a move on its storage, made anew by a copy; an item of its name at the
// destination is the user's question, and Yes replaces that item with the link.
TEST_F(TransferJobTest, ASelectedLinkIsRenamedOrMadeAnewAndReplacesOnlyOnYes) {
    struct Case {
        const char* name;
        int mode;
        const char* inTheWay;  // a file of the link's name at the destination, or null
        TransferPopup::TOverwrite answer;
        bool linkAtDestination;
    };
    const Case cases[] = {
        {"copy", Clipboard::MODE_COPY, nullptr, TransferPopup::OVERWRITE_NO, true},
        {"cut", Clipboard::MODE_CUT, nullptr, TransferPopup::OVERWRITE_NO, true},
        {"cut onto a file, No", Clipboard::MODE_CUT, "old", TransferPopup::OVERWRITE_NO, false},
        {"cut onto a file, Yes", Clipboard::MODE_CUT, "old", TransferPopup::OVERWRITE_YES, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root_.Host("Home/src"));
        fs::remove_all(root_.Host("Home/dst"));
        MakeTree();
        if (c.inTheWay != nullptr) {
            root_.Write("Home/dst/linked", c.inTheWay);
        }
        JobRecorder job;
        job.answers = {c.answer};
        InRunningApp([&] {
            Clipboard clipboard(c.mode, Home(), L"/Home/src/docs/");
            clipboard.AddLink(L"linked", Osp::Base::DateTime());
            RunJob(job, clipboard, Home(), L"/Home/dst/");
        });
        EXPECT_EQ(job.result, RES_OK);
        EXPECT_EQ(job.questions.size(), c.inTheWay != nullptr ? 1u : 0u);
        EXPECT_EQ(fs::is_symlink(root_.Host("Home/dst/linked")), c.linkAtDestination);
        if (!c.linkAtDestination) {
            EXPECT_EQ(root_.Read("Home/dst/linked"), c.inTheWay);
        }
        const bool moved = c.mode == Clipboard::MODE_CUT && c.linkAtDestination;
        EXPECT_EQ(fs::is_symlink(root_.Host("Home/src/docs/linked")), !moved);
        EXPECT_EQ(root_.Read("Home/outside/secret.txt"), "outside");
    }
}

// The destination is compared by place: a second browser object over the same storage is the same place.
// Regression: through it a cut pasted into its own folder replaced each file by itself and deleted it.
TEST_F(TransferJobTest, ADestinationInsideTheSelectionIsRefusedBeforeAnythingChanges) {
    const char* destinations[] = {"/Home/src/", "/Home/src/docs/", "/Home/src/docs/deep/"};
    for (int mode : {Clipboard::MODE_COPY, Clipboard::MODE_CUT}) {
        for (bool sameObject : {true, false}) {
            for (const char* destination : destinations) {
                SCOPED_TRACE(testing::Message()
                             << destination << " mode " << mode << " same object " << sameObject);
                JobRecorder job;
                job.answers = {TransferPopup::OVERWRITE_YES_TO_ALL};
                std::vector<testsupport::ShownMessageBox> shown;
                InRunningApp([&] {
                    testsupport::UiDriver ui;
                    ui.AnswerNextMessageBox(Osp::Ui::Controls::MSGBOX_RESULT_OK);
                    LocalBrowser other(LocalBrowser::ROOT_HOME);
                    const std::string d = destination;
                    RunJob(job, *Selection(mode), sameObject ? Home() : &other,
                           std::wstring(d.begin(), d.end()));
                    shown = ui.MessageBoxes();
                });
                EXPECT_EQ(job.result, RES_CANCELLED);
                EXPECT_EQ(job.message, L"");
                EXPECT_TRUE(job.questions.empty());
                ASSERT_EQ(shown.size(), 1u);
                EXPECT_EQ(shown[0].title, L"File transfer error");
                EXPECT_EQ(
                    shown[0].text,
                    L"You have to select a different destination folder in order to copy or move items");
                EXPECT_TRUE(
                    Extra("Home/src", {"top.txt", "docs/a.txt", "docs/b.txt", "docs/deep/c.txt"}).empty());
                EXPECT_EQ(root_.Read("Home/src/top.txt"), "top new");
                EXPECT_EQ(root_.Read("Home/src/docs/a.txt"), "a new");
                EXPECT_EQ(root_.Read("Home/src/docs/deep/c.txt"), "c new");
            }
        }
    }
}

// Regression: a move into a media folder renames its file to a temporary name there first; when the old
// file could not be removed, the failure removed the temporary file, which was the moved file.
TEST_F(TransferJobTest, AMoveThatCannotReplaceLeavesItsFileAtItsSourceAndSaysSo) {
    struct Case {
        const char* name;
        bool folderInTheWay;  // else a file, while the media database answers busy
    };
    const Case cases[] = {{"a folder of the same name", true}, {"a busy media database", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root_.Host("Media/Pictures"));
        root_.Write("Home/src/pic.jpg", "picture");
        if (c.folderInTheWay) {
            root_.MakeDir("Media/Pictures/pic.jpg/inside");
        } else {
            root_.Write("Media/Pictures/pic.jpg", "old picture");
            host::ContentStore::Instance().SetBusyCount(1000);
        }
        JobRecorder job;
        job.answers = {TransferPopup::OVERWRITE_YES};
        InRunningApp([&] {
            auto clipboard = std::make_unique<Clipboard>(Clipboard::MODE_CUT, Home(), L"/Home/src/");
            clipboard->AddFile(L"pic.jpg", 7, Osp::Base::DateTime(), L"");
            RunJob(job, *clipboard, Corvane::GetMyInstance()->GetLocalBrowser(LocalBrowser::ROOT_MEDIA),
                   L"/Media/Pictures/");
        });
        host::ContentStore::Instance().SetBusyCount(0);
        EXPECT_NE(job.result, RES_OK);
        EXPECT_EQ(job.message, L"Unable to move the file '/Home/src/pic.jpg'. It stays where it was.\n\n");
        EXPECT_EQ(root_.Read("Home/src/pic.jpg"), "picture");
        const std::set<std::string> old =
            c.folderInTheWay ? std::set<std::string>{} : std::set<std::string>{"pic.jpg"};
        EXPECT_TRUE(Extra("Media/Pictures", old).empty());
    }
}

// Regression: with "Yes to all", a leftover under the temporary name made the job ask and fail forever.
TEST_F(TransferJobTest, TakenTemporaryNamesEndTheJobInsteadOfAskingAgain) {
    root_.Write("Home/dst/top.txt", "top old");
    JobRecorder job;
    job.answers = {TransferPopup::OVERWRITE_YES_TO_ALL};
    InRunningApp([&] {
        FaultyBrowser dst(Home());
        dst.leftoverCreates = 1000;
        auto clipboard = std::make_unique<Clipboard>(Clipboard::MODE_COPY, Home(), L"/Home/src/");
        clipboard->AddFile(L"top.txt", 7, Osp::Base::DateTime(), L"");
        RunJob(job, *clipboard, &dst, L"/Home/dst/", [&] { return dst.creates > 40; });
    });
    EXPECT_EQ(job.result, RES_FAILURE);
    EXPECT_EQ(job.questions.size(), 1u);
    EXPECT_EQ(root_.Read("Home/dst/top.txt"), "top old");
}

TEST_F(TransferJobTest, CancelStopsTheJobWithoutAMessageOrAPartialFile) {
    root_.Write("Home/src/top.txt", std::string(64 << 20, 'x'));
    JobRecorder job;
    InRunningApp([&] {
        // The source holds its third block until Cancel is on its way.
        FaultyBrowser src(Home());
        src.holdRead = 3;
        auto clipboard = std::make_unique<Clipboard>(Clipboard::MODE_COPY, &src, L"/Home/src/");
        clipboard->AddFile(L"top.txt", 64 << 20, Osp::Base::DateTime(), L"");
        RunJob(job, *clipboard, Home(), L"/Home/dst/", [&] {
            if (src.reads < 3) {
                return false;
            }
            src.ReleaseHeld();  // answered later, after Cancel
            return true;
        });
    });
    EXPECT_EQ(job.result, RES_CANCELLED);
    EXPECT_EQ(job.message, L"");
    EXPECT_FALSE(fs::exists(root_.Host("Home/dst/top.txt")));
}

}  // namespace
