// Folders and enumerations of the local browser: what "/Home" hides, early stops, the memory card's
// protected data area, and roots that are not there.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "CorvaneLoop.h"
#include "PhoneRoot.h"
#include "Recorders.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"

namespace {

std::vector<std::wstring> Names(const EnumRecorder& listed) {
    std::vector<std::wstring> names;
    for (const SeenEntry& e : listed.entries) {
        names.push_back(e.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class LocalEnumTest : public ::testing::Test {
protected:
    void SetUp() override {
        root.Write("Home/RF.reg", "settings");
        root.Write("Home/zq93tfx1mv", "store");
        root.Write("Home/notes.txt", "0123456789");
        root.Write("Home/.profile", "x");
        root.MakeDir("Home/Cache");
        root.Write("Home/Cache/RF.reg", "a copy");
        root.Write("Home/Cache/zq93tfx1mv", "a copy");
        root.MakeDir("Home/Cache/Cache");
    }
    PhoneRoot root;
};

TEST_F(LocalEnumTest, HomeHidesSystemFilesAndShowsCacheHidden) {
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    EnumRecorder listed = ListFolder(home);
    EXPECT_EQ(Names(listed), (std::vector<std::wstring>{L".profile", L"Cache", L"notes.txt"}));
    EXPECT_EQ(listed.Find(L"Cache")->type, ENTRY_DIRECTORY | ENTRY_HIDDEN);
    EXPECT_EQ(listed.Find(L".profile")->type, ENTRY_HIDDEN);
    EXPECT_EQ(listed.Find(L"notes.txt")->type, 0);
    EXPECT_EQ(listed.Find(L"notes.txt")->size, 10u);
    EXPECT_EQ(listed.ends, 1);
    EXPECT_EQ(listed.endResult, RES_OK);
}

TEST_F(LocalEnumTest, OtherFoldersShowEveryEntry) {
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    EnumRecorder listed = ListFolder(home, {L"Cache"});
    EXPECT_EQ(Names(listed), (std::vector<std::wstring>{L"Cache", L"RF.reg", L"zq93tfx1mv"}));
    EXPECT_EQ(listed.Find(L"Cache")->type, ENTRY_DIRECTORY);
}

// OpenDirA decides by the path whether the folder is "/Home" itself; it answers through the loop.
TEST_F(LocalEnumTest, OpenDirOfHomeHidesLikeTheRoot) {
    struct Case {
        std::wstring path;
        bool hidesSettings;
    };
    const Case cases[] = {{L"/Home", true}, {L"/Home/", true}, {L"/Home/Cache", false}};
    for (const Case& c : cases) {
        LocalBrowser home(LocalBrowser::ROOT_HOME);
        OpRecorder opened;
        opened.deleteObject = [](std::intptr_t o) { delete reinterpret_cast<IFsDir*>(o); };
        opened.hook = [] { CorvaneLoop::Quit(); };
        ASSERT_TRUE(CorvaneLoop::Run([&] { home.OpenDirA(7, &opened, c.path); }));
        ASSERT_EQ(opened.answers.size(), 1u);
        ASSERT_EQ(opened.answers[0].id, 7);
        ASSERT_EQ(opened.answers[0].result, RES_OK);
        auto* dir = reinterpret_cast<IFsDir*>(opened.answers[0].object);
        EXPECT_EQ(dir->GetName(false).back(), L'/');
        DirRecorder enumerated;
        dir->SetListener(&enumerated);
        dir->OpenEnumeratorA();
        EnumRecorder listed;
        enumerated.enumerator->SetListener(&listed);
        enumerated.enumerator->StartEnumA(false);
        EXPECT_EQ(listed.Find(L"RF.reg") == nullptr, c.hidesSettings)
            << std::string(c.path.begin(), c.path.end());
    }
}

TEST_F(LocalEnumTest, EmptyFolderEndsAtOnce) {
    root.MakeDir("Home/Empty");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    EnumRecorder listed = ListFolder(home, {L"Empty"});
    EXPECT_TRUE(listed.entries.empty());
    EXPECT_EQ(listed.ends, 1);
    EXPECT_EQ(listed.endResult, RES_OK);
}

TEST_F(LocalEnumTest, StopFromInsideOnGetEntryEndsBeforeTheNextEntry) {
    for (int i = 0; i < 5; ++i) {
        root.Write("Media/f" + std::to_string(i), "x");
    }
    LocalBrowser media(LocalBrowser::ROOT_MEDIA);
    DirRecorder opened;
    media.SetListener(&opened);
    media.OpenRootDirA();
    opened.dir->SetListener(&opened);
    opened.dir->OpenEnumeratorA();
    EnumRecorder listed;
    IFsDirEnum* enumerator = opened.enumerator.get();
    listed.hook = [&] { enumerator->StopEnumA(); };
    enumerator->SetListener(&listed);
    EXPECT_EQ(enumerator->StartEnumA(false), RES_OK);
    EXPECT_EQ(listed.entries.size(), 1u);
    EXPECT_EQ(listed.ends, 1);
    EXPECT_EQ(listed.endResult, RES_OK);
    // An enumeration runs once.
    EXPECT_NE(enumerator->StartEnumA(false), RES_OK);
    EXPECT_EQ(listed.ends, 1);
}

// A listener may delete the enumerator from inside OnGetEntry; the enumeration must then stop touching it.
TEST_F(LocalEnumTest, EnumeratorDeletedInsideOnGetEntry) {
    for (int i = 0; i < 3; ++i) {
        root.Write("Media/f" + std::to_string(i), "x");
    }
    LocalBrowser media(LocalBrowser::ROOT_MEDIA);
    DirRecorder opened;
    media.SetListener(&opened);
    media.OpenRootDirA();
    opened.dir->SetListener(&opened);
    opened.dir->OpenEnumeratorA();
    EnumRecorder listed;
    listed.hook = [&] { opened.enumerator.reset(); };
    IFsDirEnum* enumerator = opened.enumerator.get();
    enumerator->SetListener(&listed);
    enumerator->StartEnumA(false);
    EXPECT_EQ(listed.entries.size(), 1u);
    EXPECT_EQ(listed.ends, 0);
}

TEST_F(LocalEnumTest, DetailsReadModificationTimes) {
    struct utimbuf times = {1000000000, 1000000000};  // 9 September 2001, 01:46:40 UTC
    ASSERT_EQ(::utime(root.Host("Home/notes.txt").c_str(), &times), 0);
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    EnumRecorder plain = ListFolder(home, {}, false);
    EnumRecorder detailed = ListFolder(home, {}, true);
    EXPECT_EQ(plain.Find(L"notes.txt")->modified, Osp::Base::DateTime());
    EXPECT_EQ(detailed.Find(L"notes.txt")->modified, Osp::Base::DateTime::FromUnixSeconds(1000000000));
}

TEST(LocalRootTest, MissingCardOpensButCannotBeEnumerated) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    LocalBrowser card(LocalBrowser::ROOT_CARD);
    DirRecorder opened;
    card.SetListener(&opened);
    EXPECT_EQ(card.OpenRootDirA(), RES_OK);
    EXPECT_EQ(opened.dirResult, RES_OK);
    ASSERT_NE(opened.dir, nullptr);
    EXPECT_EQ(opened.dir->GetName(true), L"/Storagecard/Media/");
    EXPECT_EQ(opened.dir->GetProperName(), L"Media");
    opened.dir->SetListener(&opened);
    opened.dir->OpenEnumeratorA();
    EXPECT_EQ(opened.enumResult, RES_NOT_FOUND);
    EXPECT_EQ(opened.enumerator, nullptr);
}

TEST(LocalCardTest, DataAreaIsRefusedInAnySpelling) {
    PhoneRoot root;
    root.MakeDir("Storagecard/Media/Others/__@@bada_applications@@__/zq93tfx1mv/bin");
    root.MakeDir("Storagecard/Media/Videos/Others/__@@bada_applications@@__/zq93tfx1mv");
    struct Case {
        std::wstring path;
        unsigned long result;
    };
    const Case cases[] = {
        {L"/Storagecard/Media/Others/__@@bada_applications@@__/zq93tfx1mv", RES_ACCESS_DENIED},
        {L"/Storagecard/Media/Others/__@@bada_applications@@__/zq93tfx1mv/bin/", RES_ACCESS_DENIED},
        {L"/Storagecard/Media/OTHERS/__@@Bada_Applications@@__/ZQ93TFX1MV", RES_ACCESS_DENIED},
        {L"/Storagecard/Media//Others/./__@@bada_applications@@__/zq93tfx1mv", RES_ACCESS_DENIED},
        {L"/Storagecard/Media/Videos/../Others/__@@bada_applications@@__/zq93tfx1mv", RES_ACCESS_DENIED},
        // The same text further down the tree is an ordinary folder.
        {L"/Storagecard/Media/Videos/Others/__@@bada_applications@@__/zq93tfx1mv", RES_OK},
        {L"/Storagecard/Media/Others/__@@bada_applications@@__", RES_OK},
    };
    LocalBrowser card(LocalBrowser::ROOT_CARD);
    OpRecorder opened;
    opened.deleteObject = [](std::intptr_t o) { delete reinterpret_cast<IFsDir*>(o); };
    opened.hook = [&] {
        if (opened.answers.size() == std::size(cases)) {
            CorvaneLoop::Quit();
        }
    };
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        for (size_t i = 0; i < std::size(cases); ++i) {
            card.OpenDirA(static_cast<int>(i), &opened, cases[i].path);
        }
    }));
    ASSERT_EQ(opened.answers.size(), std::size(cases));
    for (const OpAnswer& a : opened.answers) {
        const Case& c = cases[a.id];
        EXPECT_EQ(a.result, c.result) << std::string(c.path.begin(), c.path.end());
        EXPECT_EQ(a.object != 0, c.result == RES_OK);
    }
    // Walking down name by name meets the same wall.
    EnumRecorder walked = ListFolder(card, {L"Others", L"__@@bada_applications@@__", L"zq93tfx1mv"});
    EXPECT_EQ(walked.endResult, RES_ACCESS_DENIED);
    // The phone memory has no such area.
    root.MakeDir("Media/Others/__@@bada_applications@@__/zq93tfx1mv");
    LocalBrowser media(LocalBrowser::ROOT_MEDIA);
    EXPECT_EQ(ListFolder(media, {L"Others", L"__@@bada_applications@@__", L"zq93tfx1mv"}).endResult, RES_OK);
}

TEST(LocalBrowserTest, CapabilitiesPropertiesAndDisks) {
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    LocalBrowser media(LocalBrowser::ROOT_MEDIA);
    LocalBrowser card(LocalBrowser::ROOT_CARD);
    LocalBrowser otherMedia(LocalBrowser::ROOT_MEDIA);
    EXPECT_TRUE(home.CapableOf(CAP_WRITE | CAP_CREATE_FOLDER));
    EXPECT_FALSE(media.CapableOf(CAP_WRITE | CAP_CREATE_FOLDER));
    EXPECT_FALSE(card.CapableOf(CAP_WRITE | CAP_CREATE_FOLDER));
    EXPECT_TRUE(card.CapableOf(CAP_WRITE | CAP_FILE_IO | CAP_SYNC_FILE));
    EXPECT_FALSE(card.CapableOf(CAP_ENUM_TIMES));
    unsigned int block = 7;
    EXPECT_EQ(media.GetProperty(IFsBrowser::PROP_WRITE_BLOCK, &block), RES_OK);
    EXPECT_EQ(block, 0x40000u);
    EXPECT_EQ(media.GetProperty(static_cast<IFsBrowser::TProperty>(3), &block), RES_FAILURE);
    EXPECT_EQ(block, 0x40000u);
    EXPECT_TRUE(media.IsTheSameDisk(&otherMedia));
    EXPECT_FALSE(media.IsTheSameDisk(&card));
    EXPECT_FALSE(media.IsTheSameDisk(nullptr));
}

}  // namespace
