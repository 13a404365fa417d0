// Operations of the local browser and its folders that answer through the loop: folders made, entries
// described, renamed and deleted, including names that are not UTF-8 on the host and listeners that die
// with answers on their way.

#include <gtest/gtest.h>

#include "CorvaneLoop.h"
#include "PhoneRoot.h"
#include "Recorders.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "fs/IFileSync.h"

namespace {

// Runs the calls in one loop and waits until count answers have come to ops.
void RunOps(OpRecorder& ops, size_t count, const std::function<void()>& calls) {
    ops.hook = [&ops, count] {
        if (ops.answers.size() == count) {
            CorvaneLoop::Quit();
        }
    };
    ASSERT_TRUE(CorvaneLoop::Run(calls));
    ASSERT_EQ(ops.answers.size(), count);
}

TEST(LocalOpsTest, CreateFolder) {
    PhoneRoot root;
    root.MakeDir("Home/there");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    OpRecorder ops;
    RunOps(ops, 3, [&] {
        home.CreateFolderA(1, &ops, L"/Home/there", false);
        home.CreateFolderA(2, &ops, L"/Home/there", true);
        home.CreateFolderA(3, &ops, L"/Home/new", true);
    });
    EXPECT_EQ(ops.answers[0].result, RES_OK);
    EXPECT_EQ(ops.answers[1].result, RES_ALREADY_EXISTS);
    EXPECT_EQ(ops.answers[2].result, RES_OK);
    EXPECT_EQ(ops.answers[2].id, 3);
    EXPECT_TRUE(root.Exists("Home/new"));
}

TEST(LocalOpsTest, FileInfo) {
    PhoneRoot root;
    root.Write("Home/a.txt", "abc");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    OpRecorder ops;
    RunOps(ops, 3, [&] {
        home.GetFileInfoA(0, &ops, L"/Home/a.txt");
        home.GetFileInfoA(1, &ops, L"/Home/");
        home.GetFileInfoA(2, &ops, L"/Home/missing.txt");
    });
    ASSERT_NE(ops.answers[0].object, 0);
    const auto* entry = reinterpret_cast<const IFsDirEntry*>(ops.answers[0].object);
    EXPECT_EQ(entry->GetName(), L"a.txt");
    EXPECT_EQ(entry->GetSize(), 3u);
    EXPECT_EQ(entry->GetType(), 0);
    EXPECT_EQ(ops.answers[1].result, RES_NOT_FOUND);
    EXPECT_EQ(ops.answers[1].object, 0);
    // A file that is not there is a failure, not a success without an entry.
    EXPECT_EQ(ops.answers[2].result, RES_NOT_FOUND);
    EXPECT_EQ(ops.answers[2].object, 0);
}

TEST(LocalOpsTest, RenameAndDeleteInHome) {
    PhoneRoot root;
    root.Write("Home/a.txt", "a");
    root.Write("Home/full/inner/x.txt", "x");
    root.MakeDir("Home/empty");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    OpRecorder ops;
    RunOps(ops, 4, [&] {
        home.RenameFileA(0, &ops, L"/Home/a.txt", L"/Home/b.txt");
        home.DeleteFolderA(1, &ops, L"/Home/full");
        home.DeleteFolderA(2, &ops, L"/Home/empty");
        home.RenameFolderA(3, &ops, L"/Home/full", L"/Home/moved");
    });
    EXPECT_EQ(ops.answers[0].result, RES_OK);
    EXPECT_EQ(root.Read("Home/b.txt"), "a");
    EXPECT_NE(ops.answers[1].result, RES_OK);  // not empty: nothing removed
    EXPECT_EQ(ops.answers[2].result, RES_OK);
    EXPECT_FALSE(root.Exists("Home/empty"));
    EXPECT_EQ(ops.answers[3].result, RES_OK);
    EXPECT_TRUE(root.Exists("Home/moved/inner/x.txt"));
    // Without a listener the deletion is done at once.
    EXPECT_EQ(home.DeleteFileA(0, nullptr, L"/Home/b.txt"), RES_OK);
    EXPECT_FALSE(root.Exists("Home/b.txt"));
    EXPECT_EQ(home.DeleteFileA(0, nullptr, L"/Home/b.txt"), RES_NOT_FOUND);
}

// A folder's own operations take names: a name that would reach the folder itself, its parent or deeper
// is refused, so that the recursive delete never removes more than one child.
TEST(LocalOpsTest, FolderOperationsTakeOnlyPlainNames) {
    PhoneRoot root;
    root.Write("Home/keep/sub/x.txt", "x");
    root.Write("Home/keep/y.txt", "y");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    DirRecorder opened;
    home.SetListener(&opened);
    home.OpenRootDirA();
    opened.dir->SetListener(&opened);
    opened.dir->OpenSubDirA(L"keep");
    IFsDir* keep = opened.subDir.get();
    OpRecorder ops;
    RunOps(ops, 6, [&] {
        keep->DeleteSubDirA(0, &ops, L"..");
        keep->DeleteSubDirA(1, &ops, L".");
        keep->DeleteSubDirA(2, &ops, L"");
        keep->DeleteFileA(3, &ops, L"sub/x.txt");
        keep->RenameFileA(4, &ops, L"y.txt", L"../y.txt");
        keep->DeleteSubDirA(5, &ops, L"sub");
    });
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(ops.answers[i].result, Osp::Base::E_INVALID_ARG) << i;
    }
    EXPECT_EQ(ops.answers[5].result, RES_OK);
    EXPECT_FALSE(root.Exists("Home/keep/sub"));
    EXPECT_EQ(root.Read("Home/keep/y.txt"), "y");
    keep->SetListener(&opened);
    keep->OpenSubDirA(L"..");
    EXPECT_EQ(opened.subDirResult, Osp::Base::E_INVALID_ARG);
    EXPECT_EQ(opened.subDir, nullptr);
}

// Host names that are not UTF-8 arrive as lone surrogates and go back to the same bytes.
TEST(LocalOpsTest, NamesThatAreNotUtf8) {
    PhoneRoot root;
    root.Write("Home/\xff\xfe.txt", "raw");
    root.Write("Media/\xff\xfe.txt", "raw");
    const std::wstring odd = std::wstring(1, wchar_t(0xDCFF)) + wchar_t(0xDCFE) + L".txt";
    for (LocalBrowser::TRoot kind : {LocalBrowser::ROOT_HOME, LocalBrowser::ROOT_MEDIA}) {
        const std::string dir = kind == LocalBrowser::ROOT_HOME ? "Home/" : "Media/";
        const std::wstring base = LocalBrowser::GetRootPath(kind);
        Osp::Content::ContentManager content;
        content.Construct();
        LocalBrowser browser(kind, &content);
        EnumRecorder listed = ListFolder(browser);
        ASSERT_NE(listed.Find(odd), nullptr);

        IFileSync* file = nullptr;
        ASSERT_EQ(browser.CreateSyncFileN(&file, base + odd, FILE_MODE_READ, FILE_DISP_OPEN_EXISTING),
                  RES_OK);
        char buffer[8] = {};
        unsigned int count = 0;
        file->ReadS(buffer, sizeof buffer, &count);
        delete file;
        EXPECT_EQ(std::string(buffer, count), "raw");

        OpRecorder ops;
        RunOps(ops, 2, [&] {
            browser.RenameFileA(0, &ops, base + odd, base + L"plain.txt");
            browser.RenameFileA(1, &ops, base + L"plain.txt", base + odd + L".2");
        });
        EXPECT_EQ(ops.answers[0].result, RES_OK);
        EXPECT_EQ(ops.answers[1].result, RES_OK);
        EXPECT_EQ(root.Read(dir + "\xff\xfe.txt.2"), "raw");
        EXPECT_EQ(browser.DeleteFileA(0, nullptr, base + odd + L".2"), RES_OK);
        EXPECT_FALSE(root.Exists(dir + "\xff\xfe.txt.2"));
    }
}

TEST(LocalOpsTest, MediaFilesGoThroughTheContentDatabase) {
    PhoneRoot root;
    root.Write("Media/Pictures/a.png", "png");
    Osp::Content::ContentManager content;
    content.Construct();
    LocalBrowser media(LocalBrowser::ROOT_MEDIA, &content);
    OpRecorder ops;
    RunOps(ops, 1, [&] { media.RenameFileA(0, &ops, L"/Media/Pictures/a.png", L"/Media/Pictures/b.png"); });
    EXPECT_EQ(ops.answers[0].result, RES_OK);
    EXPECT_EQ(root.Read("Media/Pictures/b.png"), "png");
    EXPECT_TRUE(host::ContentStore::Instance().IsRegistered(L"/Media/Pictures/b.png"));
    EXPECT_FALSE(host::ContentStore::Instance().IsRegistered(L"/Media/Pictures/a.png"));
    // A busy database is asked again.
    host::ContentStore::Instance().SetBusyCount(3);
    EXPECT_EQ(media.DeleteFileA(0, nullptr, L"/Media/Pictures/b.png"), RES_OK);
    EXPECT_FALSE(root.Exists("Media/Pictures/b.png"));
}

TEST(LocalOpsTest, RefusedMediaFormatIsDeletedByWayOfAJpegName) {
    PhoneRoot root;
    host::ContentStore::Instance().RefuseExtension(L"xyz");
    root.Write("Media/Others/a.XYZ", "a");
    root.Write("Media/Others/noext", "n");
    root.Write("Media/Others/b.xyz", "b");
    root.Write("Media/Others/b.jpg", "someone else's picture");
    host::ContentStore::Instance().RefuseExtension(L"");
    Osp::Content::ContentManager content;
    content.Construct();
    LocalBrowser media(LocalBrowser::ROOT_MEDIA, &content);
    EXPECT_EQ(media.DeleteFileA(0, nullptr, L"/Media/Others/a.XYZ"), RES_OK);
    EXPECT_FALSE(root.Exists("Media/Others/a.XYZ"));
    EXPECT_FALSE(root.Exists("Media/Others/a.jpg"));
    EXPECT_EQ(media.DeleteFileA(0, nullptr, L"/Media/Others/noext"), RES_OK);
    EXPECT_FALSE(root.Exists("Media/Others/noext.jpg"));
    // The temporary name is taken: nothing is deleted and nothing is overwritten.
    EXPECT_EQ(media.DeleteFileA(0, nullptr, L"/Media/Others/b.xyz"), RES_UNSUPPORTED_FORMAT);
    EXPECT_EQ(root.Read("Media/Others/b.xyz"), "b");
    EXPECT_EQ(root.Read("Media/Others/b.jpg"), "someone else's picture");
}

// Answers whose listener died on the way are dropped, and what they carried is freed (the sanitizer
// build checks both).
TEST(LocalOpsTest, AnswersToADeadListenerAreDropped) {
    PhoneRoot root;
    root.Write("Home/a.txt", "a");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    OpRecorder survivor;
    auto doomed = std::make_unique<OpRecorder>();
    auto doomedFiles = std::make_unique<FileRecorder>();
    survivor.hook = [] { CorvaneLoop::Quit(); };
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        home.OpenDirA(0, doomed.get(), L"/Home/");
        home.GetFileInfoA(1, doomed.get(), L"/Home/a.txt");
        home.CreateFolderA(2, doomed.get(), L"/Home/f", false);
        home.CreateFileA(doomedFiles.get(), L"/Home/a.txt", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        doomed.reset();
        doomedFiles.reset();
        // A new listener may take the dead one's address; it must not receive the old answers either.
        doomed = std::make_unique<OpRecorder>();
        home.CreateFolderA(3, &survivor, L"/Home/g", false);
    }));
    EXPECT_TRUE(doomed->answers.empty());
    ASSERT_EQ(survivor.answers.size(), 1u);
    EXPECT_EQ(survivor.answers[0].id, 3);
    EXPECT_TRUE(root.Exists("Home/f"));
}

// Answers still queued when their browser is destroyed are dropped with it.
TEST(LocalOpsTest, AnswersOfADeadBrowserAreDropped) {
    PhoneRoot root;
    auto browser = std::make_unique<LocalBrowser>(LocalBrowser::ROOT_HOME);
    LocalBrowser other(LocalBrowser::ROOT_HOME);
    OpRecorder ops;
    ops.hook = [] { CorvaneLoop::Quit(); };
    ASSERT_TRUE(CorvaneLoop::Run([&] {
        browser->OpenDirA(0, &ops, L"/Home/");
        browser.reset();
        other.CreateFolderA(1, &ops, L"/Home/f", false);
    }));
    ASSERT_EQ(ops.answers.size(), 1u);
    EXPECT_EQ(ops.answers[0].id, 1);
}

}  // namespace
