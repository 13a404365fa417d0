// RAR 4 and RAR 5 archives of libarchive's test suite: their trees, their bytes, links listed as plain
// files, and encryption, which the reader cannot do, refused without a password question.

#include <gtest/gtest.h>

#include <memory>

#include "ArchiveFixture.h"
#include "app/Results.h"
#include "archive/IVolDir.h"
#include "archive/IVolume.h"
#include "archive/VolumeDb.h"
#include "fs/IFsDirEntry.h"

namespace {

std::string Fixture(const std::string& name) {
    return std::string(CORVANE_SOURCE_DIR) + "/tests/archive/fixtures/rar/" + name;
}

struct SRarCase {
    const char* file;
    const wchar_t* folder;
    const char* listing;
    const wchar_t* item;  // extracted
    unsigned long result;
    unsigned long long bytes;
};

class RarVolumeTest : public ::testing::TestWithParam<SRarCase> {};

TEST_P(RarVolumeTest, ListsAndExtracts) {
    const SRarCase& c = GetParam();
    HostSyncFile file(Fixture(c.file));
    ASSERT_TRUE(file.IsOpen());
    ScriptedPasswords passwords({L"password"});
    IVolume* raw = nullptr;
    std::string name(c.file);
    ASSERT_EQ(0u, VolumeDb::CreateVolumeN(std::wstring(name.begin(), name.end()), &file, &passwords, &raw));
    std::unique_ptr<IVolume> volume(raw);
    EXPECT_EQ(c.listing, ListFolder(volume.get(), c.folder, true));
    SinkStream sink;
    EXPECT_EQ(c.result, volume->ExtractFile(&sink, c.item));
    EXPECT_EQ(std::vector<unsigned long>{c.result}, sink.results);
    EXPECT_EQ(c.result == 0 ? c.bytes : 0, sink.bytes.size());
    EXPECT_EQ(0, passwords.asked);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, RarVolumeTest,
    ::testing::Values(SRarCase{"rar4_basic.rar", L"", "test.txt:20 testdir/ testemptydir/ testlink:0",
                               L"testdir/test.txt", 0, 20},
                      SRarCase{"rar4_basic.rar", L"TESTDIR", "test.txt:20", L"testlink", 0, 0},
                      SRarCase{"rar4_compressed.rar", L"testdir",
                               "LibarchiveAddingTest.html:20111 test.txt:20",
                               L"testdir/LibarchiveAddingTest.html", 0, 20111},
                      SRarCase{"rar5_stored.rar", L"", "helloworld.txt:29", L"helloworld.txt", 0, 29},
                      SRarCase{"rar5_compressed.rar", L"", "test.bin:1200", L"test.bin", 0, 1200},
                      SRarCase{"rar5_multiple_files.rar", L"",
                               "test1.bin:4096 test2.bin:4096 test3.bin:4096 test4.bin:4096", L"test3.bin", 0,
                               4096},
                      SRarCase{"rar4_encrypted_data.rar", L"", "bar.txt:16 foo.txt:16", L"foo.txt",
                               RES_UNSUPPORTED_METHOD, 0},
                      SRarCase{"rar5_encrypted_data.rar", L"", "a.txt:18 b.txt:18 c.txt:18 d.txt:18",
                               L"d.txt", RES_UNSUPPORTED_METHOD, 0}),
    [](const ::testing::TestParamInfo<SRarCase>& info) { return "case" + std::to_string(info.index); });

TEST(RarVolumeTest, EncryptedHeadersAreUnsupportedWithoutAQuestion) {
    HostSyncFile file(Fixture("rar4_encrypted_headers.rar"));
    ScriptedPasswords passwords({L"password"});
    IVolume* raw = nullptr;
    EXPECT_EQ(RES_UNSUPPORTED_METHOD, VolumeDb::CreateVolumeN(L"x.rar", &file, &passwords, &raw));
    EXPECT_EQ(nullptr, raw);
    EXPECT_EQ(0, passwords.asked);
}

TEST(RarVolumeTest, RarSignaturesDecideNotTheExtension) {
    TempDir dir;
    dir.Write("fake.rar", "Rar!\x1A\x07\x02 not a rar archive");
    HostSyncFile fake(dir.Path("fake.rar"));
    IVolume* raw = nullptr;
    EXPECT_EQ(RES_CORRUPT_FILE, VolumeDb::CreateVolumeN(L"fake.rar", &fake, nullptr, &raw));
    // A RAR 5 archive named .r00 is still found by its own signature.
    HostSyncFile real(Fixture("rar5_stored.rar"));
    ASSERT_EQ(0u, VolumeDb::CreateVolumeN(L"part.R00", &real, nullptr, &raw));
    delete raw;
}

}  // namespace
