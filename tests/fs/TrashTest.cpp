// The trash of the phone's places, as the disk shows it: what is deleted lies in the trash's "files"
// folder with an info file beside it that desktop file managers read, comes back to where it was (its
// folder made again, a clash refused until the occupant may go to the trash itself), and an info file
// that is missing, malformed or points outside the places never sends anything anywhere on its own.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "PhoneRoot.h"
#include "app/Results.h"
#include "fs/Trash.h"
#include "fs/TrashInfo.h"
#include "fs/TrashPlaces.h"
#include "testsupport/SambaServer.h"

namespace {

// A data root with the data home (and so the home trash) inside it, on its file system.
class TrashTest : public ::testing::Test {
protected:
    TrashTest() {
        const char* old = ::getenv("XDG_DATA_HOME");
        hadDataHome_ = old != nullptr;
        oldDataHome_ = hadDataHome_ ? old : "";
        ::setenv("XDG_DATA_HOME", root_.Host("data").c_str(), 1);
    }
    ~TrashTest() override {
        if (hadDataHome_) {
            ::setenv("XDG_DATA_HOME", oldDataHome_.c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
        }
    }

    std::wstring TrashOf(LocalBrowser::TRoot place) {
        std::wstring folder;
        EXPECT_TRUE(TrashOfRoot(place, &folder));
        return folder;
    }
    // The item of that name in the trash's list.
    static STrashItem Item(const Trash& trash, const std::wstring& name) {
        const std::vector<STrashItem> items = trash.List();
        const auto it =
            std::find_if(items.begin(), items.end(), [&](const STrashItem& i) { return i.name == name; });
        EXPECT_NE(it, items.end()) << "not in the trash";
        return it == items.end() ? STrashItem() : *it;
    }
    std::string Resolved(const std::string& relative) const {
        return std::filesystem::canonical(root_.Host(relative)).string();
    }

    PhoneRoot root_;
    bool hadDataHome_ = false;
    std::string oldDataHome_;
};

TEST_F(TrashTest, ThePlacesOnTheDataHomesDiskUseTheHomeTrashAndThePrivateFilesTheirOwn) {
    EXPECT_EQ(TrashOf(LocalBrowser::ROOT_MEDIA), L"/Trash/Home/");
    EXPECT_EQ(TrashOf(LocalBrowser::ROOT_CARD), L"/Trash/Home/");
    EXPECT_EQ(TrashOf(LocalBrowser::ROOT_HOME), L"/Home/.Trash/");
    EXPECT_TRUE(std::filesystem::is_directory(root_.Host("data/Trash/files")));
    EXPECT_TRUE(std::filesystem::is_directory(root_.Host("data/Trash/info")));
    EXPECT_TRUE(std::filesystem::is_directory(root_.Host("Home/.Trash/files")));
    EXPECT_EQ(ShownTrashes(false), std::vector<std::wstring>{L"/Trash/Home/"});
    EXPECT_EQ(ShownTrashes(true), (std::vector<std::wstring>{L"/Trash/Home/", L"/Home/.Trash/"}));
}

// The data home may be a link, as it often is; the trash itself may not: a link there could lead what the
// user deletes into anybody's folder.
TEST_F(TrashTest, ADataHomeBehindALinkServesButATrashThatIsALinkIsRefused) {
    root_.MakeDir("real-data");
    std::filesystem::create_directory_symlink(root_.Host("real-data"), root_.Host("linked-data"));
    ::setenv("XDG_DATA_HOME", root_.Host("linked-data").c_str(), 1);
    std::wstring folder;
    EXPECT_TRUE(TrashOfRoot(LocalBrowser::ROOT_MEDIA, &folder));
    EXPECT_TRUE(std::filesystem::is_directory(root_.Host("real-data/Trash/files")));

    root_.MakeDir("elsewhere");
    root_.MakeDir("data");
    std::filesystem::create_directory_symlink(root_.Host("elsewhere"), root_.Host("data/Trash"));
    ::setenv("XDG_DATA_HOME", root_.Host("data").c_str(), 1);
    EXPECT_FALSE(TrashOfRoot(LocalBrowser::ROOT_MEDIA, &folder));
    EXPECT_TRUE(std::filesystem::is_empty(root_.Host("elsewhere")));
}

TEST_F(TrashTest, DeletedItemsLieInTheTrashWithInfoFilesAndComeBackWhereTheyWere) {
    struct Case {
        LocalBrowser::TRoot place;
        std::string folder;  // below the data root
        std::wstring virtualFolder;
        std::string name;  // UTF-8 on the disk
        std::wstring shownName;
        bool tree;
        std::string infoPath;  // what Path= holds, percent-encoded ("ROOT" stands for the resolved root)
    };
    const Case cases[] = {
        {LocalBrowser::ROOT_MEDIA, "Media/Music", L"/Media/Music", "song.mp3", L"song.mp3", false,
         "ROOT/Media/Music/song.mp3"},
        {LocalBrowser::ROOT_MEDIA, "Media", L"/Media", "caf\xC3\xA9 \xE6\x97\xA5.txt",
         L"caf\u00e9 \u65e5.txt", false, "ROOT/Media/caf%C3%A9%20%E6%97%A5.txt"},
        {LocalBrowser::ROOT_CARD, "Storagecard/Media", L"/Storagecard/Media", "Photos", L"Photos", true,
         "ROOT/Storagecard/Media/Photos"},
        {LocalBrowser::ROOT_HOME, "Home/Notes", L"/Home/Notes",
         "\xC3\xBC"
         "ber",
         L"\u00fcber", true, "Notes/%C3%BCber"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder + "/" + c.name);
        const std::string item = c.folder + "/" + c.name;
        if (c.tree) {
            root_.Write(item + "/a.txt", "aaa");
            root_.Write(item + "/deep/b.bin", std::string(5000, 'b'));
        } else {
            root_.Write(item, "content");
        }
        Trash trash(TrashOf(c.place));
        ASSERT_EQ(trash.Put(c.virtualFolder + L"/" + c.shownName), RES_OK);
        EXPECT_FALSE(root_.Exists(item));

        const std::string trashDir = c.place == LocalBrowser::ROOT_HOME ? "Home/.Trash" : "data/Trash";
        EXPECT_TRUE(root_.Exists(trashDir + "/files/" + c.name));
        const std::string info = root_.Read(trashDir + "/info/" + c.name + ".trashinfo");
        std::string path = c.infoPath;
        if (path.compare(0, 4, "ROOT") == 0) {
            path = PercentEncode(Resolved("")) + path.substr(4);
        }
        EXPECT_EQ(info.substr(0, info.find("DeletionDate=")), "[Trash Info]\nPath=" + path + "\n");
        EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos);

        const STrashItem listed = Item(trash, c.shownName);
        EXPECT_EQ(listed.originalPath, c.virtualFolder + L"/" + c.shownName);
        EXPECT_EQ(listed.isFolder, c.tree);
        EXPECT_EQ(listed.size, c.tree ? 5003u : 7u);
        EXPECT_EQ(listed.deletedAt.size(), 16u);

        ASSERT_EQ(trash.Restore(listed, listed.originalPath, Trash::KEEP_OCCUPANT), RES_OK);
        EXPECT_EQ(root_.Read(c.tree ? item + "/deep/b.bin" : item),
                  c.tree ? std::string(5000, 'b') : "content");
        EXPECT_FALSE(root_.Exists(trashDir + "/files/" + c.name));
        EXPECT_FALSE(root_.Exists(trashDir + "/info/" + c.name + ".trashinfo"));
    }
}

TEST_F(TrashTest, ATakenNameIsNumberedAndARestoreOntoATakenPathAsksFirst) {
    Trash trash(TrashOf(LocalBrowser::ROOT_MEDIA));
    root_.Write("Media/a.txt", "first");
    ASSERT_EQ(trash.Put(L"/Media/a.txt"), RES_OK);
    root_.Write("Media/a.txt", "second");
    ASSERT_EQ(trash.Put(L"/Media/a.txt"), RES_OK);
    EXPECT_EQ(root_.Read("data/Trash/files/a.txt"), "first");
    EXPECT_EQ(root_.Read("data/Trash/files/a.2.txt"), "second");
    EXPECT_TRUE(root_.Exists("data/Trash/info/a.2.txt.trashinfo"));

    root_.Write("Media/a.txt", "third");
    const STrashItem first = Item(trash, L"a.txt");
    EXPECT_EQ(trash.Restore(first, L"/Media/a.txt", Trash::KEEP_OCCUPANT), RES_ALREADY_EXISTS);
    EXPECT_EQ(root_.Read("Media/a.txt"), "third");
    EXPECT_EQ(root_.Read("data/Trash/files/a.txt"), "first");

    // Replacing sends the occupant to the trash: nothing is lost either way.
    ASSERT_EQ(trash.Restore(first, L"/Media/a.txt", Trash::TRASH_OCCUPANT), RES_OK);
    EXPECT_EQ(root_.Read("Media/a.txt"), "first");
    EXPECT_EQ(root_.Read("data/Trash/files/a.3.txt"), "third");
    EXPECT_EQ(trash.List().size(), 2u);
}

TEST_F(TrashTest, ARestoreMakesTheFoldersThatWentSince) {
    Trash trash(TrashOf(LocalBrowser::ROOT_MEDIA));
    root_.Write("Media/x/y/z.txt", "z");
    ASSERT_EQ(trash.Put(L"/Media/x/y/z.txt"), RES_OK);
    std::filesystem::remove_all(root_.Host("Media/x"));
    ASSERT_EQ(trash.Restore(Item(trash, L"z.txt"), L"/Media/x/y/z.txt", Trash::KEEP_OCCUPANT), RES_OK);
    EXPECT_EQ(root_.Read("Media/x/y/z.txt"), "z");
}

TEST_F(TrashTest, EraseAndEmptyDeleteForGoodAndNeverFollowLinks) {
    Trash trash(TrashOf(LocalBrowser::ROOT_MEDIA));
    root_.Write("Media/keep/k.txt", "k");
    root_.Write("Media/tree/t.txt", "t");
    std::filesystem::create_directory_symlink(root_.Host("Media/keep"), root_.Host("Media/tree/link"));
    root_.Write("Media/f.txt", "f");
    ASSERT_EQ(trash.Put(L"/Media/tree"), RES_OK);
    ASSERT_EQ(trash.Put(L"/Media/f.txt"), RES_OK);
    unsigned long long bytes = 0;
    for (const STrashItem& item : trash.List()) {
        bytes += item.size;
    }
    EXPECT_EQ(bytes, 2u);  // the link inside counts as nothing
    ASSERT_EQ(trash.Erase(Item(trash, L"f.txt")), RES_OK);
    EXPECT_FALSE(root_.Exists("data/Trash/files/f.txt"));
    EXPECT_FALSE(root_.Exists("data/Trash/info/f.txt.trashinfo"));
    ASSERT_EQ(trash.Empty(), RES_OK);
    EXPECT_TRUE(trash.List().empty());
    EXPECT_EQ(root_.Read("Media/keep/k.txt"), "k");
}

TEST_F(TrashTest, AnItemWhoseInfoIsMissingMalformedOrOutsideThePlacesHasNoOriginalPath) {
    Trash trash(TrashOf(LocalBrowser::ROOT_MEDIA));
    const std::string media = Resolved("Media");
    const std::pair<std::string, std::string> cases[] = {
        {"missing", ""},
        {"no-group", "Path=" + media + "/no-group\n"},
        {"bad-escape", "[Trash Info]\nPath=" + media + "/bad%2\n"},
        {"outside", "[Trash Info]\nPath=/etc/outside\nDeletionDate=2026-01-02T03:04:05\n"},
        {"climbs", "[Trash Info]\nPath=" + media + "/../../../etc/climbs\n"},
        {"relative", "[Trash Info]\nPath=Media/relative\n"},
        {"huge", "[Trash Info]\nPath=" + media + "/huge\n#" + std::string(kMaxTrashInfoBytes, 'x') + "\n"},
    };
    for (const auto& [name, info] : cases) {
        root_.Write("data/Trash/files/" + name, name);
        if (!info.empty()) {
            root_.Write("data/Trash/info/" + name + ".trashinfo", info);
        }
    }
    root_.Write("data/Trash/files/good", "good");
    root_.Write("data/Trash/info/good.trashinfo", "[Trash Info]\nPath=" + media + "/sub/good\n");
    for (const STrashItem& item : trash.List()) {
        SCOPED_TRACE(item.name);
        EXPECT_EQ(item.originalPath, item.name == L"good" ? L"/Media/sub/good" : L"");
    }
    EXPECT_EQ(Item(trash, L"outside").deletedAt, L"2026-01-02 03:04");
    // Such an item goes only where the user says.
    ASSERT_EQ(trash.Restore(Item(trash, L"outside"), L"/Media/chosen", Trash::KEEP_OCCUPANT), RES_OK);
    EXPECT_EQ(root_.Read("Media/chosen"), "outside");
    EXPECT_FALSE(std::filesystem::exists("/etc/outside"));
}

TEST_F(TrashTest, PrivateFilesStayInThePrivateFolder) {
    root_.Write("Home/secret.txt", "s");
    Trash trash(TrashOf(LocalBrowser::ROOT_HOME));
    ASSERT_EQ(trash.Put(L"/Home/secret.txt"), RES_OK);
    EXPECT_EQ(root_.Read("Home/.Trash/files/secret.txt"), "s");
    EXPECT_TRUE(!root_.Exists("data/Trash/files") ||
                std::filesystem::is_empty(root_.Host("data/Trash/files")));
    // A private info file never names a place outside the private folder.
    root_.Write("Home/.Trash/files/out", "o");
    root_.Write("Home/.Trash/info/out.trashinfo", "[Trash Info]\nPath=" + Resolved("Media") + "/out\n");
    EXPECT_EQ(Item(trash, L"out").originalPath, L"");
}

constexpr char kPrivateMounts[] = "CORVANE_TEST_PRIVATE_MOUNTS";

// Runs the current test again in a private mount namespace, where it may mount; true when it did so (and
// its result is this test's).
bool RerunInPrivateNamespace() {
    if (std::getenv(kPrivateMounts) != nullptr ||
        testsupport::RunCommand("unshare -m --propagation private true") != 0) {
        return false;
    }
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = std::string(kPrivateMounts) + "=1 unshare -m --propagation private '" +
                                std::filesystem::read_symlink("/proc/self/exe").string() +
                                "' --gtest_filter='" + test->test_suite_name() + "." + test->name() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return true;
}

TEST_F(TrashTest, ACardOnItsOwnFileSystemHasItsTrashAtItsTopAndNothingCrossesFileSystems) {
    if (RerunInPrivateNamespace()) {
        return;
    }
    if (std::getenv(kPrivateMounts) == nullptr) {
        GTEST_SKIP() << "this process may not make a mount namespace of its own (unshare -m failed)";
    }
    ASSERT_EQ(testsupport::RunCommand("mount -t tmpfs -o size=1m corvcard '" +
                                      root_.Host("Storagecard/Media") + "'"),
              0);
    root_.MakeDir("Media/mnt");
    ASSERT_EQ(
        testsupport::RunCommand("mount -t tmpfs -o size=1m corvnested '" + root_.Host("Media/mnt") + "'"), 0);

    const std::wstring folder = TrashOf(LocalBrowser::ROOT_CARD);
    EXPECT_EQ(folder, L"/Trash/Storagecard/");
    const std::string trashDir = "Storagecard/Media/.Trash-" + std::to_string(::getuid());
    root_.Write("Storagecard/Media/Videos/clip 1.mp4", "clip");
    Trash trash(folder);
    ASSERT_EQ(trash.Put(L"/Storagecard/Media/Videos/clip 1.mp4"), RES_OK);
    EXPECT_EQ(root_.Read(trashDir + "/files/clip 1.mp4"), "clip");
    const std::string info = root_.Read(trashDir + "/info/clip 1.mp4.trashinfo");
    EXPECT_EQ(info.substr(0, info.find("DeletionDate=")), "[Trash Info]\nPath=Videos/clip%201.mp4\n");
    EXPECT_EQ(ShownTrashes(false), (std::vector<std::wstring>{L"/Trash/Home/", L"/Trash/Storagecard/"}));
    // A card that refuses the move keeps the item in the trash.
    ASSERT_EQ(testsupport::RunCommand("mount -o remount,ro '" + root_.Host("Storagecard/Media") + "'"), 0);
    EXPECT_EQ(trash.Restore(Item(trash, L"clip 1.mp4"), L"/Storagecard/Media/Videos/clip 1.mp4",
                            Trash::KEEP_OCCUPANT),
              Osp::Base::E_READ_ONLY);
    EXPECT_EQ(root_.Read(trashDir + "/files/clip 1.mp4"), "clip");
    EXPECT_TRUE(root_.Exists(trashDir + "/info/clip 1.mp4.trashinfo"));
    ASSERT_EQ(testsupport::RunCommand("mount -o remount,rw '" + root_.Host("Storagecard/Media") + "'"), 0);
    ASSERT_EQ(trash.Restore(Item(trash, L"clip 1.mp4"), L"/Storagecard/Media/Videos/clip 1.mp4",
                            Trash::KEEP_OCCUPANT),
              RES_OK);
    EXPECT_EQ(root_.Read("Storagecard/Media/Videos/clip 1.mp4"), "clip");

    // A file below a mount inside the phone memory is on another disk than the phone memory's trash: it
    // stays where it is, for the permanent delete to take.
    root_.Write("Media/mnt/far.txt", "far");
    Trash home(TrashOf(LocalBrowser::ROOT_MEDIA));
    EXPECT_EQ(home.Put(L"/Media/mnt/far.txt"), Osp::Base::E_INVALID_ARG);
    EXPECT_EQ(root_.Read("Media/mnt/far.txt"), "far");
    EXPECT_TRUE(home.List().empty());
    testsupport::RunCommand("umount '" + root_.Host("Media/mnt") + "'");
    testsupport::RunCommand("umount '" + root_.Host("Storagecard/Media") + "'");
}

TEST(TrashInfoTest, TextsThatAreNotWellFormedInfoFilesAreRefused) {
    const std::pair<std::string, bool> cases[] = {
        {"[Trash Info]\nPath=/a%20b\nDeletionDate=2026-12-11T09:30:00\n", true},
        {"[Trash Info]\r\nPath=/a\r\n", true},
        {"# written by hand\n[Other]\nPath=/x\n[Trash Info]\nPath=/a\n", true},
        {"", false},
        {"[Trash Info]\n", false},
        {"[Trash Info]\nPath=\n", false},
        {"[Trash Info]\nPath=/a\nPath=/b\n", false},
        {"[Trash Info]\nPath=/a%\n", false},
        {"[Trash Info]\nPath=/a%zz\n", false},
        {"[Trash Info]\nPath=/a%00b\n", false},
        {"[Other]\nPath=/a\n", false},
    };
    for (const auto& [text, good] : cases) {
        SCOPED_TRACE(text);
        STrashInfo info;
        EXPECT_EQ(ParseTrashInfo(text, &info), good);
    }
    STrashInfo info;
    ASSERT_TRUE(ParseTrashInfo(cases[0].first, &info));
    EXPECT_EQ(info.path, "/a b");
    EXPECT_EQ(info.deletedAt, L"2026-12-11 09:30");
}

}  // namespace
