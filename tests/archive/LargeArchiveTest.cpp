// Archives larger than 2 GiB (sparse files: the first member is a hole) whose last member lies past
// 2 GiB (a ZIP, whose offsets are 32 bits without sign) or past 4 GiB (a tar): they list with their true
// sizes and the last member's bytes come out right, over a file whose seeks take 32-bit offsets (reached
// in steps) and over the phone's own synchronous file.

#include <gtest/gtest.h>

#include <memory>

#include "../fs/PhoneRoot.h"
#include "ArchiveFixture.h"
#include "SparseArchives.h"
#include "archive/VolumeDb.h"
#include "fs/FsLocalBrowser.h"

namespace {

TEST(LargeArchiveTest, AMemberPastTwoOrFourGiBListsAndExtractsOverEitherFile) {
    PhoneRoot phone;
    const std::string text = "found behind the hole\n";
    const unsigned long long tarHole = (4ull << 30) + (300ull << 20) + 7;
    const std::uint32_t zipHole = (2u << 30) + (300u << 20) + 7;
    ASSERT_GT(sparse::WriteTar(phone.Host("Home/big.tar"), tarHole, "after.txt", text), 4ull << 30);
    ASSERT_GT(sparse::WriteZip(phone.Host("Home/big.zip"), zipHole, "after.txt", text), 2ull << 30);

    LocalBrowser home(LocalBrowser::ROOT_HOME);
    for (const auto& [name, hole] : {std::pair<std::string, unsigned long long>{"big.tar", tarHole},
                                     std::pair<std::string, unsigned long long>{"big.zip", zipHole}}) {
        IFileSync* local = nullptr;
        const std::wstring wideName(name.begin(), name.end());
        ASSERT_EQ(0u, home.CreateSyncFileN(&local, L"/Home/" + wideName, FILE_MODE_READ, FILE_DISP_OPEN_EXISTING));
        std::unique_ptr<IFileSync> files[] = {std::make_unique<HostSyncFile>(phone.Host("Home/" + name)),
                                              std::unique_ptr<IFileSync>(local)};
        for (std::unique_ptr<IFileSync>& file : files) {
            IVolume* raw = nullptr;
            ASSERT_EQ(0u, VolumeDb::CreateVolumeN(wideName, file.get(), nullptr, &raw)) << name;
            std::unique_ptr<IVolume> volume(raw);
            EXPECT_EQ("after.txt:" + std::to_string(text.size()) + " hole.bin:" + std::to_string(hole),
                      ListFolder(volume.get(), L"", true));
            SinkStream sink;
            EXPECT_EQ(0u, volume->ExtractFile(&sink, L"after.txt")) << name;
            EXPECT_EQ(std::vector<unsigned long>{0}, sink.results);
            EXPECT_EQ(sink.bytes, text) << name;
        }
    }
}

}  // namespace
