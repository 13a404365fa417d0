#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "Osp/Io/Directory.h"
#include "Osp/Io/File.h"
#include "Osp/Io/Registry.h"
#include "TempRoot.h"

using namespace Osp::Base;
using namespace Osp::Io;

namespace {

std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteHost(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(PathMapping, VirtualPathsMapOntoTheRootAndNeverLeaveIt) {
    TempRoot root;
    struct Case {
        const wchar_t* path;
        result expected;
        std::string host;  // relative to the data root
    } cases[] = {
        {L"/Home/a.txt", E_SUCCESS, "Home/a.txt"},
        {L"/Media/x/../y", E_SUCCESS, "Media/y"},
        {L"/Storagecard/Media/Videos/", E_SUCCESS, "Storagecard/Media/Videos"},
        {L"/Home/./b//c", E_SUCCESS, "Home/b/c"},
        {L"/Home/..", E_ILLEGAL_ACCESS, ""},
        {L"/Home/a/../../Media/secret", E_ILLEGAL_ACCESS, ""},
        {L"/Media/../../etc/passwd", E_ILLEGAL_ACCESS, ""},
        {L"/etc/passwd", E_ILLEGAL_ACCESS, ""},
        {L"Home/a", E_ILLEGAL_ACCESS, ""},
        {L"/Storagecard/x", E_ILLEGAL_ACCESS, ""},
        // A unit that stands for a host byte maps to that byte; other lone surrogates have no host form
        // (they used to become U+FFFD, so that two names from a share were written as one).
        {L"/Home/\xDCFF\xDC80.txt", E_SUCCESS, "Home/\xff\x80.txt"},
        {L"/Home/a\xD800", E_INVALID_ARG, ""},
        {L"/Home/a\xDC41", E_INVALID_ARG, ""},
        {L"", E_ILLEGAL_ACCESS, ""},
    };
    for (const Case& c : cases) {
        std::string host;
        EXPECT_EQ(host::MapPath(c.path, host), c.expected) << std::string(c.path, c.path + wcslen(c.path));
        if (c.expected == E_SUCCESS) {
            EXPECT_EQ(host, root.Host(c.host));
        }
    }
    std::string host;
    EXPECT_EQ(host::MapPath(std::wstring(L"/Home/a\0b", 9), host), E_ILLEGAL_ACCESS) << "zero unit";

    File f;
    EXPECT_EQ(f.Construct(L"/Home/../x.txt", L"w+"), E_ILLEGAL_ACCESS);
    EXPECT_EQ(Directory::Create(L"/Media/../../escape", true), E_ILLEGAL_ACCESS);
    EXPECT_FALSE(std::filesystem::exists(root.Path() + "/../escape"));
}

TEST(HostNames, BytesThatAreNotUtf8SurviveTheRoundTrip) {
    const std::string names[] = {"plain.txt",    "\xff\xfe.txt", "caf\xc3\xa9",
                                 "half\xe2\x82", "\xed\xa0\x80", "emoji\xf0\x9f\x98\x80"};
    for (const std::string& name : names) {
        EXPECT_EQ(host::ToHostBytes(host::FromHostBytes(name)), name);
    }
    EXPECT_EQ(host::FromHostBytes("caf\xc3\xa9"), L"caf\u00e9");
    EXPECT_EQ(host::FromHostBytes("\xff"), std::wstring(1, static_cast<wchar_t>(0xDCFF)));
    std::wstring pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(host::ToHostBytes(pair), "\xf0\x9f\x98\x80");
}

TEST(HostNames, AFolderWithANonUtf8NameListsOpensAndIsRemoved) {
    TempRoot root;
    std::string bad = "\xff\xfe-dir";
    std::filesystem::create_directories(root.Host("Media/" + bad));
    WriteHost(root.Host("Media/" + bad + "/\xe9t\xe9.txt"), "latin-1 name");

    Directory media;
    ASSERT_EQ(media.Construct(L"/Media/"), E_SUCCESS);
    std::unique_ptr<DirEnumerator> e(media.ReadN());
    ASSERT_TRUE(e);
    ASSERT_EQ(e->MoveNext(), E_SUCCESS);
    String dirName = e->GetCurrentDirEntry().GetName();
    EXPECT_TRUE(e->GetCurrentDirEntry().IsDirectory());

    String dirPath = String(L"/Media/") + dirName;
    Directory inner;
    ASSERT_EQ(inner.Construct(dirPath), E_SUCCESS);
    std::unique_ptr<DirEnumerator> e2(inner.ReadN());
    ASSERT_EQ(e2->MoveNext(), E_SUCCESS);
    String filePath = dirPath + String(L"/") + e2->GetCurrentDirEntry().GetName();
    File f;
    ASSERT_EQ(f.Construct(filePath, L"r"), E_SUCCESS);
    char buf[32];
    EXPECT_EQ(f.Read(buf, sizeof buf), 12);

    String renamed = dirPath + String(L"/renamed.txt");
    EXPECT_EQ(File::Move(filePath, renamed), E_SUCCESS);
    EXPECT_TRUE(std::filesystem::exists(root.Host("Media/" + bad + "/renamed.txt")));
    EXPECT_EQ(Directory::Remove(dirPath, true), E_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(root.Host("Media/" + bad)));
}

TEST(FileTest, ReadingPastTheEndReportsEndOfFile) {
    TempRoot root;
    WriteHost(root.Host("Home/ten.bin"), "0123456789");
    File f;
    ASSERT_EQ(f.Construct(L"/Home/ten.bin", L"r"), E_SUCCESS);
    char buf[100];
    EXPECT_EQ(f.Read(buf, 100), 10);
    EXPECT_EQ(GetLastResult(), E_SUCCESS);
    EXPECT_EQ(f.Read(buf, 100), 0);
    EXPECT_EQ(GetLastResult(), E_END_OF_FILE);
    EXPECT_EQ(f.Tell(), 10);
}

TEST(FileTest, OpenModesCreateTruncateAndAppendAsTheirNamesSay) {
    TempRoot root;
    File missing;
    EXPECT_EQ(missing.Construct(L"/Home/none.txt", L"r"), E_FILE_NOT_FOUND);
    EXPECT_EQ(missing.Construct(L"/Home/none.txt", L"r+"), E_FILE_NOT_FOUND);
    EXPECT_EQ(missing.Construct(L"/Home/none.txt", L""), E_INVALID_ARG);
    {
        File w;
        ASSERT_EQ(w.Construct(L"/Home/f.txt", L"w+"), E_SUCCESS);
        ASSERT_EQ(w.Write("hello world", 11), E_SUCCESS);
    }
    {
        File rw;
        ASSERT_EQ(rw.Construct(L"/Home/f.txt", L"r+"), E_SUCCESS);
        ASSERT_EQ(rw.Write("J", 1), E_SUCCESS);  // overwrites at position 0
    }
    {
        File a;
        ASSERT_EQ(a.Construct(L"/Home/f.txt", L"a+"), E_SUCCESS);
        ASSERT_EQ(a.Write("!", 1), E_SUCCESS);
    }
    EXPECT_EQ(ReadHost(root.Host("Home/f.txt")), "Jello world!");
    {
        File t;
        ASSERT_EQ(t.Construct(L"/Home/f.txt", L"w+"), E_SUCCESS);
    }
    EXPECT_EQ(ReadHost(root.Host("Home/f.txt")), "");
    File dir;
    EXPECT_NE(dir.Construct(L"/Home", L"r"), E_SUCCESS) << "a folder is not a file";
}

TEST(FileTest, MoveNeverReplacesAnExistingFile) {
    TempRoot root;
    WriteHost(root.Host("Home/a"), "A");
    WriteHost(root.Host("Home/b"), "B");
    EXPECT_EQ(File::Move(L"/Home/a", L"/Home/b"), E_FILE_ALREADY_EXIST);
    EXPECT_EQ(ReadHost(root.Host("Home/b")), "B");
    EXPECT_EQ(File::Move(L"/Home/a", L"/Home/c"), E_SUCCESS);
    EXPECT_EQ(ReadHost(root.Host("Home/c")), "A");
}

TEST(FileTest, CopyLinkMakesALinkToTheSameTargetAndFollowsNothing) {
    TempRoot root;
    std::filesystem::create_directories(root.Host("Home/folder"));
    WriteHost(root.Host("Home/folder/f"), "F");
    WriteHost(root.Host("Home/taken"), "T");
    std::filesystem::create_directory_symlink("../outside/of/it", root.Host("Home/relative"));
    std::filesystem::create_directory_symlink(root.Host("Home/folder"), root.Host("Home/absolute"));
    struct Case {
        const wchar_t* from;
        const wchar_t* to;
        result expected;
    } cases[] = {
        {L"/Home/relative", L"/Home/folder/relative", E_SUCCESS},
        {L"/Home/absolute", L"/Media/absolute", E_SUCCESS},
        {L"/Home/absolute", L"/Home/taken", E_FILE_ALREADY_EXIST},
        {L"/Home/folder/f", L"/Home/g", E_INVALID_ARG},
        {L"/Home/folder", L"/Home/h", E_INVALID_ARG},
        {L"/Home/missing", L"/Home/i", E_FILE_NOT_FOUND},
        {L"/Home/absolute", L"/Home/../../j", E_ILLEGAL_ACCESS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.from, c.from + wcslen(c.from)));
        EXPECT_EQ(File::CopyLink(c.from, c.to), c.expected);
    }
    EXPECT_EQ(std::filesystem::read_symlink(root.Host("Home/folder/relative")), "../outside/of/it");
    EXPECT_EQ(std::filesystem::read_symlink(root.Host("Media/absolute")), root.Host("Home/folder"));
    EXPECT_EQ(ReadHost(root.Host("Home/taken")), "T");
    EXPECT_FALSE(std::filesystem::exists(root.Host("Home/g")));
    EXPECT_FALSE(std::filesystem::exists(root.Host("Home/h")));
}

TEST(FileTest, StorageSyncsThroughAFolderOrAFileAndRefusesWhatIsNotThere) {
    TempRoot root;
    WriteHost(root.Host("Home/a"), "A");
    EXPECT_EQ(File::SyncStorage(L"/Home/"), E_SUCCESS);
    EXPECT_EQ(File::SyncStorage(L"/Home/a"), E_SUCCESS);
    EXPECT_NE(File::SyncStorage(L"/Home/missing/"), E_SUCCESS);
    EXPECT_NE(File::SyncStorage(L"/Home/../../etc/"), E_SUCCESS) << "outside the phone's folders";
}

TEST(DirectoryTest, RecursiveRemovalDoesNotFollowLinks) {
    TempRoot root;
    std::filesystem::create_directories(root.Host("Media/keep"));
    WriteHost(root.Host("Media/keep/precious.txt"), "keep me");
    std::filesystem::create_directories(root.Host("Media/doomed/sub"));
    WriteHost(root.Host("Media/doomed/sub/x"), "x");
    std::filesystem::create_directory_symlink(root.Host("Media/keep"), root.Host("Media/doomed/link"));

    EXPECT_EQ(File::Remove(L"/Media/doomed"), E_ILLEGAL_ACCESS) << "a folder is no file";
    EXPECT_EQ(File::Remove(L"/Media/doomed/link"), E_SUCCESS) << "a link to a folder is";
    EXPECT_EQ(ReadHost(root.Host("Media/keep/precious.txt")), "keep me");
    std::filesystem::create_directory_symlink(root.Host("Media/keep"), root.Host("Media/doomed/link"));
    EXPECT_NE(Directory::Remove(L"/Media/doomed", false), E_SUCCESS) << "not empty";
    EXPECT_EQ(Directory::Remove(L"/Media/doomed", true), E_SUCCESS);
    EXPECT_FALSE(std::filesystem::exists(root.Host("Media/doomed")));
    EXPECT_EQ(ReadHost(root.Host("Media/keep/precious.txt")), "keep me");
}

TEST(DirectoryTest, ListingSkipsDotEntriesAndTellsKinds) {
    TempRoot root;
    std::filesystem::create_directories(root.Host("Media/folder"));
    WriteHost(root.Host("Media/.hidden"), "12345");
    Directory d;
    ASSERT_EQ(d.Construct(L"/Media"), E_SUCCESS);
    std::unique_ptr<DirEnumerator> e(d.ReadN());
    std::map<std::wstring, const DirEntry*> seen;
    std::vector<DirEntry> copies;
    while (e->MoveNext() == E_SUCCESS) {
        copies.push_back(e->GetCurrentDirEntry());
    }
    ASSERT_EQ(copies.size(), 2u);
    for (const DirEntry& entry : copies) {
        if (entry.GetName() == String(L".hidden")) {
            EXPECT_TRUE(entry.IsHidden());
            EXPECT_FALSE(entry.IsDirectory());
            EXPECT_EQ(entry.GetFileSize(), 5);
        } else {
            EXPECT_EQ(entry.GetName(), String(L"folder"));
            EXPECT_TRUE(entry.IsDirectory());
        }
    }
    EXPECT_EQ(e->MoveNext(), E_END_OF_FILE);
}

TEST(RegistryTest, EveryValueTypeSurvivesARoundTrip) {
    TempRoot root;
    UuId id = UuId::Generate();
    ByteBuffer bytes;
    const unsigned char raw[] = {0, 1, 0xFE, 0xFF, '=', '\n'};
    bytes.Construct(raw, sizeof raw);
    const std::wstring tricky = std::wstring(L"p@ss w=rd\\[x]\n\u0416") + static_cast<wchar_t>(0xDC80);
    {
        Registry reg;
        ASSERT_EQ(reg.Construct(L"/Home/RF.reg", true), E_SUCCESS);
        ASSERT_EQ(reg.AddSection(L"General"), E_SUCCESS);
        ASSERT_EQ(reg.AddSection(L"RF [1]"), E_SUCCESS);
        EXPECT_EQ(reg.AddValue(L"General", L"Int", -123456), E_SUCCESS);
        EXPECT_EQ(reg.AddValue(L"General", L"Double", 0.1), E_SUCCESS);
        EXPECT_EQ(reg.AddValue(L"General", L"Float", 2.5f), E_SUCCESS);
        EXPECT_EQ(reg.AddValue(L"RF [1]", L"Pwd=", String(tricky)), E_SUCCESS);
        EXPECT_EQ(reg.AddValue(L"General", L"Id", id), E_SUCCESS);
        EXPECT_EQ(reg.AddValue(L"General", L"Bytes", bytes), E_SUCCESS);
        EXPECT_EQ(reg.AddValue(L"General", L"Int", 1), E_FILE_ALREADY_EXIST);
        EXPECT_EQ(reg.SetValue(L"General", L"Missing", 1), E_KEY_NOT_FOUND);
        EXPECT_EQ(reg.AddValue(L"Nowhere", L"Int", 1), E_SECTION_NOT_FOUND);
        ASSERT_EQ(reg.Flush(), E_SUCCESS);
    }
    Registry reg;
    ASSERT_EQ(reg.Construct(L"/Home/RF.reg", false), E_SUCCESS);
    int i = 0;
    double d = 0;
    float f = 0;
    String s;
    UuId u;
    ByteBuffer b;
    EXPECT_EQ(reg.GetValue(L"General", L"Int", i), E_SUCCESS);
    EXPECT_EQ(i, -123456);
    EXPECT_EQ(reg.GetValue(L"General", L"Double", d), E_SUCCESS);
    EXPECT_EQ(d, 0.1);
    EXPECT_EQ(reg.GetValue(L"General", L"Float", f), E_SUCCESS);
    EXPECT_EQ(f, 2.5f);
    EXPECT_EQ(reg.GetValue(L"RF [1]", L"Pwd=", s), E_SUCCESS);
    EXPECT_EQ(s.Units(), tricky);
    EXPECT_EQ(reg.GetValue(L"General", L"Id", u), E_SUCCESS);
    EXPECT_EQ(u, id);
    EXPECT_EQ(reg.GetValue(L"General", L"Bytes", b), E_SUCCESS);
    EXPECT_EQ(b, bytes);
    EXPECT_EQ(reg.GetValue(L"General", L"Nope", i), E_KEY_NOT_FOUND);
    EXPECT_EQ(reg.GetValue(L"General", L"Double", i), E_INVALID_FORMAT) << "stored as another type";
    std::unique_ptr<Osp::Base::Collection::ArrayList> names(reg.GetAllSectionNamesN());
    ASSERT_EQ(names->GetCount(), 2);
    EXPECT_EQ(*static_cast<String*>(names->GetAt(1)), String(L"RF [1]"));
    names->RemoveAll(true);

    struct stat st;
    ASSERT_EQ(stat(root.Host("Home/RF.reg").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the file holds passwords";
}

// Regression: a damaged file read as absent, so the next save replaced it and every setting it held was
// gone. Only a missing file reads as absent; anything else there is refused and never written over.
TEST(RegistryTest, OnlyAMissingFileReadsAsAbsentAndADamagedOneIsNeverReplaced) {
    TempRoot root;
    std::string good;
    {
        Registry reg;
        reg.Construct(L"/Home/RF.reg", true);
        reg.AddSection(L"General");
        reg.AddValue(L"General", L"ShowHidden", 1);
        reg.AddValue(L"General", L"Pwd", String(L"secret"));
        ASSERT_EQ(reg.Flush(), E_SUCCESS);
        good = ReadHost(root.Host("Home/RF.reg"));
    }
    const std::string damaged[] = {
        "",                                 // empty
        good.substr(0, good.size() / 2),    // cut in the middle of a line
        good.substr(0, good.rfind("end")),  // cut just before the end mark
        "\x7f"
        "ELF\x02\x01garbage\xff\xfe",       // not a settings file at all
        good + "trailing\n",                // something after the end mark
        std::string(5 * 1024 * 1024, 'x'),  // far too large
    };
    for (const std::string& bytes : damaged) {
        WriteHost(root.Host("Home/RF.reg"), bytes);
        for (bool create : {false, true}) {
            Registry reg;
            EXPECT_EQ(reg.Construct(L"/Home/RF.reg", create), E_INVALID_FORMAT);
            reg.AddSection(L"General");
            EXPECT_NE(reg.Flush(), E_SUCCESS);
            EXPECT_EQ(ReadHost(root.Host("Home/RF.reg")), bytes) << "never replaced";
        }
    }
    // A folder where the file should be is not a settings file either.
    std::filesystem::remove(root.Host("Home/RF.reg"));
    std::filesystem::create_directory(root.Host("Home/RF.reg"));
    Registry folder;
    EXPECT_EQ(folder.Construct(L"/Home/RF.reg", true), E_INVALID_FORMAT);
    std::filesystem::remove(root.Host("Home/RF.reg"));

    Registry absent;
    EXPECT_EQ(absent.Construct(L"/Home/RF.reg", false), E_FILE_NOT_FOUND);
    Registry fresh;
    ASSERT_EQ(fresh.Construct(L"/Home/RF.reg", true), E_SUCCESS);
    fresh.AddSection(L"General");
    fresh.AddValue(L"General", L"ShowHidden", 0);
    ASSERT_EQ(fresh.Flush(), E_SUCCESS);
    Registry reread;
    ASSERT_EQ(reread.Construct(L"/Home/RF.reg", false), E_SUCCESS);
}

// A save killed at any moment leaves either the old file or the new one, whole.
TEST(RegistryTest, ASaveKilledHalfwayLeavesTheOldOrTheNewFile) {
    TempRoot root;
    auto save = [](wchar_t fill) {
        Registry reg;
        reg.Construct(L"/Home/RF.reg", true);
        reg.AddSection(L"General");
        // Large enough that the write takes a while, so that the kill lands in the middle of it.
        reg.AddValue(L"General", L"Big", String(std::wstring(1500000, fill)));
        reg.SetValue(L"General", L"Big", String(std::wstring(1500000, fill)));
        return reg.Flush();
    };
    ASSERT_EQ(save(L'a'), E_SUCCESS);
    for (int round = 0; round < 12; ++round) {
        wchar_t fill = static_cast<wchar_t>(L'b' + round);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            _exit(save(fill) == E_SUCCESS ? 0 : 1);
        }
        usleep(static_cast<useconds_t>(round * 1500));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        Registry reg;
        ASSERT_EQ(reg.Construct(L"/Home/RF.reg", false), E_SUCCESS) << "round " << round;
        String big;
        ASSERT_EQ(reg.GetValue(L"General", L"Big", big), E_SUCCESS);
        ASSERT_EQ(big.GetLength(), 1500000);
        EXPECT_TRUE(big[0] == fill || big[0] == static_cast<wchar_t>(fill - 1) || big[0] == L'a');
        EXPECT_EQ(big.Units(), std::wstring(1500000, big[0])) << "a mixture of two saves";
        // Let this round's value be the old one of the next round.
        ASSERT_EQ(save(fill), E_SUCCESS);
    }
}

}  // namespace
