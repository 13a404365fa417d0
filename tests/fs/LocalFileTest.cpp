// Files of the local browser: the read loop, the open modes and dispositions, and answers of files that
// are gone.

#include <gtest/gtest.h>

#include <cstring>

#include "CorvaneLoop.h"
#include "PhoneRoot.h"
#include "Recorders.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "fs/IFileSync.h"

namespace {

TEST(LocalFileTest, ShortFileReadsWhatItHasThenNothing) {
    PhoneRoot root;
    root.Write("Home/ten.bin", "0123456789");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    FileRecorder files;
    char buffer[100];
    files.hook = [&] {
        const FileAnswer& last = files.answers.back();
        if (last.what == FileAnswer::CREATE && last.result == RES_OK) {
            files.file->ReadA(buffer, sizeof buffer);
        } else if (last.what == FileAnswer::READ && last.count > 0) {
            files.file->ReadA(buffer, sizeof buffer);
        } else {
            CorvaneLoop::Quit();
        }
    };
    ASSERT_TRUE(CorvaneLoop::Run(
        [&] { home.CreateFileA(&files, L"/Home/ten.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING); }));
    ASSERT_EQ(files.answers.size(), 3u);
    EXPECT_EQ(files.answers[1].result, RES_OK);
    EXPECT_EQ(files.answers[1].count, 10u);
    EXPECT_EQ(std::memcmp(buffer, "0123456789", 10), 0);
    EXPECT_EQ(files.answers[2].result, RES_OK);
    EXPECT_EQ(files.answers[2].count, 0u);
    EXPECT_EQ(files.answers[2].file, files.file.get());

    IFileSync* sync = nullptr;
    ASSERT_EQ(home.CreateSyncFileN(&sync, L"/Home/ten.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING), RES_OK);
    std::unique_ptr<IFileSync> owned(sync);
    unsigned int count = 99;
    EXPECT_EQ(sync->ReadS(buffer, sizeof buffer, &count), RES_OK);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(sync->ReadS(buffer, sizeof buffer, &count), RES_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(sync->Tell64(), 10u);
}

TEST(LocalFileTest, CreateNewOnAnExistingFileFailsAndKeepsIt) {
    PhoneRoot root;
    root.Write("Home/keep.txt", "precious");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    FileRecorder files;
    files.hook = [] { CorvaneLoop::Quit(); };
    ASSERT_TRUE(CorvaneLoop::Run(
        [&] { home.CreateFileA(&files, L"/Home/keep.txt", FILE_MODE_WRITE, FILE_DISP_CREATE_NEW); }));
    ASSERT_EQ(files.answers.size(), 1u);
    EXPECT_EQ(files.answers[0].result, RES_ALREADY_EXISTS);
    EXPECT_EQ(files.answers[0].file, nullptr);
    EXPECT_EQ(root.Read("Home/keep.txt"), "precious");
}

// Every mode and disposition through the synchronous file, which opens exactly as the asynchronous one.
TEST(LocalFileTest, OpenModesAndDispositions) {
    struct Case {
        const char* name;
        int mode;
        int disp;
        bool exists;
        unsigned long result;
        std::string after;  // the file's content after writing "new" at the open position
    };
    const Case cases[] = {
        {"read existing", FILE_MODE_READ, 0, true, RES_OK, "old!"},
        {"read missing", FILE_MODE_READ, 0, false, RES_NOT_FOUND, ""},
        {"write open existing", FILE_MODE_WRITE, FILE_DISP_OPEN_EXISTING, true, RES_OK, "new!"},
        {"write open missing", FILE_MODE_WRITE, FILE_DISP_OPEN_EXISTING, false, RES_NOT_FOUND, ""},
        {"write create new", FILE_MODE_WRITE, FILE_DISP_CREATE_NEW, false, RES_OK, "new"},
        {"write create always", FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS, true, RES_OK, "new"},
        {"write larger disposition", FILE_MODE_WRITE, 9, true, RES_OK, "new"},
        {"append existing", FILE_MODE_APPEND, 0, true, RES_OK, "old!new"},
        {"append missing", FILE_MODE_APPEND, 0, false, RES_OK, "new"},
        {"mode 0", 0, FILE_DISP_CREATE_ALWAYS, true, Osp::Base::E_INVALID_ARG, "old!"},
        {"write disposition 0", FILE_MODE_WRITE, 0, true, Osp::Base::E_INVALID_ARG, "old!"},
    };
    for (const Case& c : cases) {
        PhoneRoot root;
        if (c.exists) {
            root.Write("Media/f.txt", "old!");
        }
        LocalBrowser media(LocalBrowser::ROOT_MEDIA);
        IFileSync* file = reinterpret_cast<IFileSync*>(1);
        unsigned long r = media.CreateSyncFileN(&file, L"/Media/f.txt", static_cast<TFileMode>(c.mode),
                                                static_cast<TFileDisp>(c.disp));
        EXPECT_EQ(r, c.result) << c.name;
        EXPECT_EQ(file == nullptr, r != RES_OK) << c.name;
        if (file != nullptr) {
            unsigned int written = 0;
            file->WriteS("new", 3, &written);
            delete file;
        }
        EXPECT_EQ(root.Read("Media/f.txt"), c.after) << c.name;
    }
}

TEST(LocalFileTest, WriteSeekAndReadBack) {
    PhoneRoot root;
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    FileRecorder files;
    char buffer[8] = {};
    int step = 0;
    files.hook = [&] {
        IFsFile* f = files.file.get();
        switch (step++) {
            case 0:
                f->WriteA("abcdef", 6);
                break;
            case 1:
                f->SeekA(POS_END, -2);
                break;
            case 2:
                f->ReadA(buffer, sizeof buffer);
                break;
            default:
                CorvaneLoop::Quit();
        }
    };
    ASSERT_TRUE(CorvaneLoop::Run(
        [&] { home.CreateFileA(&files, L"/Home/w.bin", FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS); }));
    ASSERT_EQ(files.answers.size(), 4u);
    EXPECT_EQ(files.answers[1].count, 6u);
    EXPECT_EQ(files.answers[2].result, RES_OK);
    EXPECT_EQ(files.answers[3].count, 2u);
    EXPECT_STREQ(buffer, "ef");
    EXPECT_EQ(files.file->Tell64(), 6u);
    files.file->CloseA();
    EXPECT_EQ(root.Read("Home/w.bin"), "abcdef");
}

// A file deleted while its answers are on their way: they are dropped, not delivered with a dead file.
TEST(LocalFileTest, AnswersOfADeletedFileAreDropped) {
    PhoneRoot root;
    root.Write("Home/ten.bin", "0123456789");
    LocalBrowser home(LocalBrowser::ROOT_HOME);
    FileRecorder files;
    char buffer[4];
    files.hook = [&] {
        files.file->ReadA(buffer, sizeof buffer);
        files.file->SeekA(POS_BEGIN, 0);
        files.file.reset();
        files.hook = nullptr;
        CorvaneLoop::Quit();
    };
    ASSERT_TRUE(CorvaneLoop::Run(
        [&] { home.CreateFileA(&files, L"/Home/ten.bin", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING); }));
    EXPECT_EQ(files.answers.size(), 1u);
}

}  // namespace
