// An archive larger than 4 GiB (a sparse file: the first member is a hole) whose last member lies past
// both 2 GiB and 4 GiB: it lists with its true sizes and its bytes come out right, over a file whose
// seeks take 32-bit offsets (reached in steps) and over the phone's own synchronous file.

#include <gtest/gtest.h>

#include <memory>

#include "../fs/PhoneRoot.h"
#include "ArchiveFixture.h"
#include "SparseTar.h"
#include "archive/VolumeDb.h"
#include "fs/FsLocalBrowser.h"

namespace {

constexpr unsigned long long kHole = (4ull << 30) + (300ull << 20) + 7;

TEST(LargeArchiveTest, AMemberPastFourGiBListsAndExtractsOverEitherFile) {
    PhoneRoot phone;
    const std::string text = "found behind the hole\n";
    const unsigned long long at = sparsetar::Write(phone.Host("Home/big.tar"), kHole, "after.txt", text);
    ASSERT_GT(at, 4ull << 30);

    LocalBrowser home(LocalBrowser::ROOT_HOME);
    IFileSync* local = nullptr;
    ASSERT_EQ(0u, home.CreateSyncFileN(&local, L"/Home/big.tar", FILE_MODE_READ, FILE_DISP_OPEN_EXISTING));
    std::unique_ptr<IFileSync> files[] = {std::make_unique<HostSyncFile>(phone.Host("Home/big.tar")),
                                          std::unique_ptr<IFileSync>(local)};
    for (std::unique_ptr<IFileSync>& file : files) {
        IVolume* raw = nullptr;
        ASSERT_EQ(0u, VolumeDb::CreateVolumeN(L"big.tar", file.get(), nullptr, &raw));
        std::unique_ptr<IVolume> volume(raw);
        EXPECT_EQ("after.txt:" + std::to_string(text.size()) + " hole.bin:" + std::to_string(kHole),
                  ListFolder(volume.get(), L"", true));
        SinkStream sink;
        EXPECT_EQ(0u, volume->ExtractFile(&sink, L"after.txt"));
        EXPECT_EQ(std::vector<unsigned long>{0}, sink.results);
        EXPECT_EQ(sink.bytes, text);
    }
}

}  // namespace
