// Archives that are broken, hostile or encrypted: each ends in its error, with no crash, nothing written
// anywhere but the receiving stream, and the password asked again after a wrong or cancelled one.

#include <gtest/gtest.h>

#include <memory>

#include "ArchiveFixture.h"
#include "app/Results.h"
#include "archive/IVolDir.h"
#include "archive/IVolume.h"
#include "archive/VolumeDb.h"
#include "fs/IFsDirEntry.h"
#include "host/SampleArchive.h"

namespace {

std::wstring Wide(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

unsigned long OpenVolume(const TempDir& dir, const std::string& name, IPasswordListener* listener,
                         std::unique_ptr<HostSyncFile>* file, std::unique_ptr<IVolume>* volume) {
    *file = std::make_unique<HostSyncFile>(dir.Path(name));
    IVolume* raw = nullptr;
    unsigned long r = VolumeDb::CreateVolumeN(Wide(name), file->get(), listener, &raw);
    volume->reset(raw);
    return r;
}

// Flips one bit in the middle of a file.
void FlipBit(const TempDir& dir, const std::string& name, double where) {
    std::string bytes = dir.Read(name);
    bytes[static_cast<std::size_t>(bytes.size() * where)] ^= 0x10;
    dir.Write(name, bytes);
}

void Truncate(const TempDir& dir, const std::string& name, double keep) {
    std::string bytes = dir.Read(name);
    dir.Write(name, bytes.substr(0, static_cast<std::size_t>(bytes.size() * keep)));
}

struct SBroken {
    const char* label;
    const char* make;  // shell command inside the folder, with data.bin (100 KB of noise) there
    const char* archive;
    void (*spoil)(const TempDir&, const std::string&);
    unsigned long openResult;
    unsigned long extractResult;  // of data.bin, when the archive opens
};

class BrokenArchiveTest : public ::testing::TestWithParam<SBroken> {};

TEST_P(BrokenArchiveTest, EndsInItsError) {
    const SBroken& c = GetParam();
    TempDir dir;
    dir.Write("data.bin", NoiseBytes(100000, 7));
    ASSERT_TRUE(dir.Run(c.make));
    if (c.spoil != nullptr) {
        c.spoil(dir, c.archive);
    }
    std::unique_ptr<HostSyncFile> file;
    std::unique_ptr<IVolume> volume;
    ScriptedPasswords passwords;
    ASSERT_EQ(c.openResult, OpenVolume(dir, c.archive, &passwords, &file, &volume));
    if (c.openResult != 0) {
        EXPECT_EQ(nullptr, volume);
        return;
    }
    SinkStream sink;
    EXPECT_EQ(c.extractResult, volume->ExtractFile(&sink, L"data.bin"));
    EXPECT_EQ(std::vector<unsigned long>{c.extractResult}, sink.results);
    EXPECT_LE(sink.bytes.size(), 100000u);
    EXPECT_EQ(0, passwords.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenArchiveTest,
    ::testing::Values(
        SBroken{"ZipWithoutSignature", "cp data.bin x.zip", "x.zip", nullptr, RES_CORRUPT_FILE, 0},
        SBroken{"UnknownExtension", "7z a -tzip x.zpi data.bin", "x.zpi", nullptr, RES_CORRUPT_FILE, 0},
        SBroken{"TarOfNoise", "cp data.bin x.tar", "x.tar", nullptr, RES_CORRUPT_FILE, 0},
        SBroken{"Truncated7z", "7z a -t7z x.7z data.bin", "x.7z",
                [](const TempDir& d, const std::string& n) { Truncate(d, n, 0.5); }, RES_CORRUPT_FILE, 0},
        SBroken{"TruncatedZip", "7z a -tzip x.zip data.bin", "x.zip",
                [](const TempDir& d, const std::string& n) { Truncate(d, n, 0.5); }, RES_CORRUPT_FILE, 0},
        SBroken{"TruncatedGz", "gzip -k data.bin", "data.bin.gz",
                [](const TempDir& d, const std::string& n) { Truncate(d, n, 0.5); }, 0, RES_CORRUPT_FILE},
        SBroken{"BitFlipped7z", "7z a -t7z x.7z data.bin", "x.7z",
                [](const TempDir& d, const std::string& n) { FlipBit(d, n, 0.4); }, 0, RES_CORRUPT_FILE},
        SBroken{"BitFlippedZip", "7z a -tzip x.zip data.bin", "x.zip",
                [](const TempDir& d, const std::string& n) { FlipBit(d, n, 0.4); }, 0, RES_CORRUPT_FILE},
        SBroken{"BitFlippedBz2", "bzip2 -k data.bin", "data.bin.bz2",
                [](const TempDir& d, const std::string& n) { FlipBit(d, n, 0.4); }, 0, RES_CORRUPT_FILE}),
    [](const ::testing::TestParamInfo<SBroken>& info) { return info.param.label; });

TEST(HostileArchiveTest, TraversalNamesStayInsideTheArchive) {
    TempDir dir;
    dir.Write("stored.zip", host::MakeStoredZip({{"../../evil.txt", "e"},
                                                 {"/abs.txt", "a"},
                                                 {"C:\\win.txt", "w"},
                                                 {"ok/../../up.txt", "u"},
                                                 {"./", ""},
                                                 {"a/", ""},
                                                 {"a/x.txt", "x"},
                                                 {"A/", ""}}));
    std::unique_ptr<HostSyncFile> file;
    std::unique_ptr<IVolume> volume;
    ASSERT_EQ(0u, OpenVolume(dir, "stored.zip", nullptr, &file, &volume));
    EXPECT_EQ("a/ abs.txt evil.txt ok/ win.txt", ListFolder(volume.get(), L"", false));
    SinkStream sink;
    EXPECT_EQ(0u, volume->ExtractFile(&sink, L"evil.txt"));
    EXPECT_EQ("e", sink.bytes);
    SinkStream inFolder;
    EXPECT_EQ(0u, volume->ExtractFile(&inFolder, L"A/X.TXT"));
    EXPECT_EQ("x", inFolder.bytes);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("../evil.txt")));
}

TEST(HostileArchiveTest, LinksListAsPlainFilesAndAreNeverFollowed) {
    TempDir dir;
    dir.Write("t/data.txt", "data");
    ASSERT_TRUE(dir.Run(
        "cd t && ln -s /etc/passwd sym && ln data.txt hard && tar cf ../links.tar data.txt sym hard"));
    std::unique_ptr<HostSyncFile> file;
    std::unique_ptr<IVolume> volume;
    ASSERT_EQ(0u, OpenVolume(dir, "links.tar", nullptr, &file, &volume));
    EXPECT_EQ("data.txt hard sym", ListFolder(volume.get(), L"", false));
    SinkStream sink;
    volume->ExtractFile(&sink, L"sym");
    ASSERT_EQ(1u, sink.results.size());
    EXPECT_EQ(std::string::npos, sink.bytes.find("root:")) << "the link was followed";
}

TEST(HostileArchiveTest, FoldersAndMissingItemsAreRefusedBeforeTheLibrary) {
    TempDir dir;
    dir.Write("s/d/f.txt", "f");
    ASSERT_TRUE(dir.Run("cd s && 7z a -tzip ../x.zip d"));
    std::unique_ptr<HostSyncFile> file;
    std::unique_ptr<IVolume> volume;
    ASSERT_EQ(0u, OpenVolume(dir, "x.zip", nullptr, &file, &volume));
    for (const wchar_t* path : {L"d", L"d/", L"", L"nothing.txt", L"d/f.txt/more"}) {
        SinkStream sink;
        EXPECT_EQ(RES_NOT_FOUND, volume->ExtractFile(&sink, path));
        EXPECT_TRUE(sink.results.empty());
    }
}

TEST(HostileArchiveTest, ARefusedBlockEndsTheExtractionOnce) {
    TempDir dir;
    dir.Write("data.bin", NoiseBytes(3000000, 9));
    ASSERT_TRUE(dir.Run("7z a -t7z x.7z data.bin"));
    std::unique_ptr<HostSyncFile> file;
    std::unique_ptr<IVolume> volume;
    ASSERT_EQ(0u, OpenVolume(dir, "x.7z", nullptr, &file, &volume));
    SinkStream sink;
    sink.refuseAfter = 0;
    EXPECT_EQ(0xA0000BA0u, volume->ExtractFile(&sink, L"data.bin"));
    EXPECT_EQ(std::vector<unsigned long>{0xA0000BA0u}, sink.results);
}

struct SEncrypted {
    const char* label;
    const char* make;  // inside the folder, with secret.txt there; the password is "right"
    const char* archive;
    bool namesHidden;  // the question comes while opening
};

class PasswordTest : public ::testing::TestWithParam<SEncrypted> {};

TEST_P(PasswordTest, WrongOrCancelledIsAskedAgainAndRightOpens) {
    const SEncrypted& c = GetParam();
    TempDir dir;
    dir.Write("secret.txt", NoiseBytes(40000, 11));
    ASSERT_TRUE(dir.Run(c.make));
    for (const wchar_t* first : {L"wrong", L""}) {
        ScriptedPasswords passwords({first, L"right"});
        std::unique_ptr<HostSyncFile> file;
        std::unique_ptr<IVolume> volume;
        unsigned long opened = OpenVolume(dir, c.archive, &passwords, &file, &volume);
        if (c.namesHidden) {
            EXPECT_EQ(RES_INVALID_PASSWORD, opened);
            EXPECT_EQ(1, passwords.asked);
            ASSERT_EQ(0u, OpenVolume(dir, c.archive, &passwords, &file, &volume));
        } else {
            ASSERT_EQ(0u, opened);
            SinkStream wrong;
            EXPECT_EQ(RES_INVALID_PASSWORD, volume->ExtractFile(&wrong, L"secret.txt"));
            EXPECT_EQ(std::vector<unsigned long>{RES_INVALID_PASSWORD}, wrong.results);
        }
        SinkStream right;
        EXPECT_EQ(0u, volume->ExtractFile(&right, L"secret.txt"));
        EXPECT_TRUE(right.bytes == dir.Read("secret.txt"));
        EXPECT_EQ(2, passwords.asked);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PasswordTest,
    ::testing::Values(SEncrypted{"ZipCrypto", "7z a -tzip -pright x.zip secret.txt", "x.zip", false},
                      SEncrypted{"ZipAes", "7z a -tzip -mem=AES256 -pright x.zip secret.txt", "x.zip", false},
                      SEncrypted{"SevenZip", "7z a -t7z -pright x.7z secret.txt", "x.7z", false},
                      SEncrypted{"SevenZipNames", "7z a -t7z -mhe=on -pright x.7z secret.txt", "x.7z", true}),
    [](const ::testing::TestParamInfo<SEncrypted>& info) { return info.param.label; });

}  // namespace
