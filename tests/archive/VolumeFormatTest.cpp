// Archives made by the system's archivers from a known folder open as that folder: the same names,
// sizes, dates and folders, folders listed in lower-case name order, and every file extracts to its
// original bytes. One-file formats show their one file under the archive's name.

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "ArchiveFixture.h"
#include "archive/ArcDirEntry.h"
#include "archive/IVolDir.h"
#include "archive/IVolume.h"
#include "archive/VolumeDb.h"

namespace {

struct SItem {
    std::wstring name;
    unsigned long long size;
    bool folder;
    long long mtime;
};

// Path inside the archive ('/' separated, no leading one) to what it should show.
using Tree = std::map<std::wstring, SItem>;

constexpr long long kStamp = 1614834368;  // 2021-03-04 05:06:08 UTC
constexpr char kStampText[] = "@1614834368";

void MakeSource(const TempDir& dir) {
    dir.Write("src/Docs/Readme.txt", "hello docs\n");
    dir.Write("src/Docs/Notes/n1.txt", NoiseBytes(5000, 1));
    dir.Write("src/zeta.bin", NoiseBytes(200000, 2));
    dir.Write("src/alpha.txt", "a");
    std::filesystem::create_directories(dir.Path("src/Empty"));
    ASSERT_TRUE(dir.Run(std::string("cd src && find . -exec touch -h -d ") + kStampText + " {} +"));
}

Tree SourceTree(const TempDir& dir) {
    Tree tree;
    std::filesystem::path root(dir.Path("src"));
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        std::string rel = std::filesystem::relative(e.path(), root).string();
        std::wstring path(rel.begin(), rel.end());
        std::string leaf = e.path().filename().string();
        bool folder = e.is_directory();
        tree[path] = {std::wstring(leaf.begin(), leaf.end()), folder ? 0 : e.file_size(), folder, kStamp};
    }
    return tree;
}

// Walks the volume from its root; also checks that each folder lists in lower-case name order.
void ListVolume(IVolume* volume, const std::wstring& path, Tree* out) {
    IVolDir* raw = nullptr;
    ASSERT_EQ(0u, volume->OpenDirN(path, &raw)) << std::string(path.begin(), path.end());
    std::unique_ptr<IVolDir> dir(raw);
    std::unique_ptr<IVolDirEnum> walk(dir->OpenEnumeratorN());
    std::wstring previous;
    for (;;) {
        IFsDirEntry* entry = nullptr;
        ASSERT_EQ(0u, walk->GetEntryN(&entry));
        if (entry == nullptr) {
            break;
        }
        std::unique_ptr<IFsDirEntry> owned(entry);
        std::wstring lower = entry->GetName();
        for (wchar_t& c : lower) {
            c = static_cast<wchar_t>(std::towlower(c));
        }
        EXPECT_LT(previous, lower);
        previous = lower;
        std::wstring child = path.empty() ? entry->GetName() : path + L"/" + entry->GetName();
        bool folder = (entry->GetType() & 0x01) != 0;
        (*out)[child] = {entry->GetName(), entry->GetSize(), folder,
                         entry->GetTimeModified().ToUnixSeconds()};
        if (folder) {
            ListVolume(volume, child, out);
        }
    }
}

struct SFormat {
    const char* file;
    const char* command;  // run inside src/
    long long dateSlack;  // seconds: ZIP keeps local DOS times of 2-second steps
};

class VolumeFormatTest : public ::testing::TestWithParam<SFormat> {};

TEST_P(VolumeFormatTest, ListsTheTreeItWasMadeFromAndExtractsEveryFile) {
    TempDir dir;
    MakeSource(dir);
    const SFormat& format = GetParam();
    ASSERT_TRUE(dir.Run(std::string("cd src && ") + format.command));
    HostSyncFile file(dir.Path(format.file));
    ASSERT_TRUE(file.IsOpen());
    IVolume* raw = nullptr;
    std::string name(format.file);
    ASSERT_EQ(0u, VolumeDb::CreateVolumeN(std::wstring(name.begin(), name.end()), &file, nullptr, &raw));
    std::unique_ptr<IVolume> volume(raw);

    Tree listed;
    ListVolume(volume.get(), L"", &listed);
    Tree expected = SourceTree(dir);
    ASSERT_EQ(expected.size(), listed.size());
    for (const auto& [path, item] : expected) {
        auto found = listed.find(path);
        ASSERT_NE(found, listed.end()) << std::string(path.begin(), path.end());
        EXPECT_EQ(item.name, found->second.name);
        EXPECT_EQ(item.folder, found->second.folder);
        EXPECT_LE(std::llabs(item.mtime - found->second.mtime), format.dateSlack)
            << std::string(path.begin(), path.end());
        if (!item.folder) {
            EXPECT_EQ(item.size, found->second.size);
            SinkStream sink;
            EXPECT_EQ(0u, volume->ExtractFile(&sink, path));
            EXPECT_EQ(std::vector<unsigned long>{0}, sink.results);
            std::string original = dir.Read("src/" + std::string(path.begin(), path.end()));
            EXPECT_TRUE(sink.bytes == original) << std::string(path.begin(), path.end());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, VolumeFormatTest,
    ::testing::Values(SFormat{"t.zip", "7z a -tzip ../t.zip Docs Empty zeta.bin alpha.txt", 2},
                      SFormat{"t.7z", "7z a -t7z ../t.7z Docs Empty zeta.bin alpha.txt", 0},
                      SFormat{"t.tar", "tar cf ../t.tar Docs Empty zeta.bin alpha.txt", 0}),
    [](const ::testing::TestParamInfo<SFormat>& info) {
        std::string name = info.param.file;
        return name.substr(name.find('.') + 1);
    });

struct SSingle {
    const char* archive;
    const char* command;  // run inside the folder, with data.bin there
    const wchar_t* shown;
    const char* packed;  // the file whose bytes the one entry holds
};

class SingleFileFormatTest : public ::testing::TestWithParam<SSingle> {};

TEST_P(SingleFileFormatTest, ShowsOneFileNamedAfterTheArchive) {
    TempDir dir;
    dir.Write("data.bin", NoiseBytes(70000, 3));
    ASSERT_TRUE(dir.Run("tar cf data.tar data.bin"));
    const SSingle& format = GetParam();
    ASSERT_TRUE(dir.Run(format.command));
    HostSyncFile file(dir.Path(format.archive));
    std::string name(format.archive);
    IVolume* raw = nullptr;
    ASSERT_EQ(0u, VolumeDb::CreateVolumeN(std::wstring(name.begin(), name.end()), &file, nullptr, &raw));
    std::unique_ptr<IVolume> volume(raw);
    Tree listed;
    ListVolume(volume.get(), L"", &listed);
    ASSERT_EQ(1u, listed.size());
    EXPECT_EQ(format.shown, listed.begin()->second.name);
    SinkStream sink;
    EXPECT_EQ(0u, volume->ExtractFile(&sink, format.shown));
    EXPECT_TRUE(sink.bytes == dir.Read(format.packed));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SingleFileFormatTest,
    ::testing::Values(SSingle{"data.bin.gz", "gzip -k data.bin", L"data.bin", "data.bin"},
                      SSingle{"notes.gz", "gzip -c data.bin > notes.gz", L"data.bin", "data.bin"},
                      SSingle{"piped.gz", "gzip < data.bin > piped.gz", L"piped", "data.bin"},
                      SSingle{"data.bin.bz2", "bzip2 -k data.bin", L"data.bin", "data.bin"},
                      SSingle{"backup.tgz", "gzip < data.tar > backup.tgz", L"backup.tar", "data.tar"},
                      SSingle{"backup.tbz2", "bzip2 < data.tar > backup.tbz2", L"backup.tar", "data.tar"},
                      SSingle{"b.tar.gz", "tar czf b.tar.gz data.bin", L"b.tar", "data.tar"}),
    [](const ::testing::TestParamInfo<SSingle>& info) { return "case" + std::to_string(info.index); });

}  // namespace
