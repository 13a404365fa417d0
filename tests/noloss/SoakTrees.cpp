#include "SoakTrees.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "SoakRandom.h"

namespace soak {

namespace fs = std::filesystem;

namespace {

// Names a user gives: spaces, case twins, letters beyond ASCII, several extensions.
const std::vector<std::string> kFolderNames = {"docs", "My Files", "photos", "Photos", "Été 2024",
                                               "日記", "backup",   "empty",  "notes",  "Музыка"};
const std::vector<std::string> kFileNames = {"a.txt",           "Report.txt",  "report.txt", "photo 1.jpg",
                                             "Überweisung.pdf", "данные.bin",  "zero.dat",   "song.mp3",
                                             "list.csv",        "read me.txt", "写真.png",   "b.TXT"};

fs::path FromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

constexpr uint64_t kLongFileSize = 24ULL << 20;

class TreeMaker {
public:
    TreeMaker(uint64_t seed, TreeFacts* facts) : seed_(seed), random_(seed), facts_(facts) {}

    // Bytes that only this file of the seed holds (when it has room for its header).
    std::string Content(uint64_t size) {
        const std::string header = "soak " + std::to_string(seed_) + " " + std::to_string(++made_) + "\n";
        std::string bytes = header.substr(0, size);
        Random fill(seed_ * 1000003 + made_);
        while (bytes.size() < size) {
            const uint64_t word = fill.Next();
            bytes.append(reinterpret_cast<const char*>(&word), std::min<size_t>(8, size - bytes.size()));
        }
        return bytes;
    }

    uint64_t PickSize() {
        const uint64_t roll = random_.Below(100);
        if (roll < 10) {
            return 0;
        }
        if (roll < 40) {
            return random_.Between(1, 100);
        }
        if (roll < 75) {
            return random_.Between(100, 20000);
        }
        if (roll < 96 || largeFiles_ >= 2) {
            return random_.Between(20000, 300000);
        }
        ++largeFiles_;
        return random_.Between(1000000, 3000000);
    }

    void WriteFile(const fs::path& path, uint64_t size) {
        const std::string bytes = Content(size);
        std::ofstream(path, std::ios::binary) << bytes;
        facts_->contents.insert(HashBytes(bytes));
        ++facts_->files;
    }

    // A folder with files and, above the last level, folders of its own.
    void Fill(const fs::path& dir, int depth) {
        fs::create_directories(dir);
        const size_t files = random_.Below(5);
        for (size_t i = 0; i < files; ++i) {
            const fs::path file = dir / FromUtf8(random_.Pick(kFileNames));
            if (!fs::exists(file)) {
                WriteFile(file, PickSize());
            }
        }
        if (depth >= 3) {
            return;
        }
        const size_t folders = depth == 0 ? 2 + random_.Below(3) : random_.Below(3);
        for (size_t i = 0; i < folders; ++i) {
            const std::string name = random_.Pick(kFolderNames);
            if (name == "empty") {
                fs::create_directories(dir / name);
            } else {
                Fill(dir / FromUtf8(name), depth + 1);
            }
        }
    }

    // Links to a file and a folder of the tree, and to the sentinel outside it.
    void AddLinks(const fs::path& root, const std::string& sentinelDir) {
        const fs::path links = root / "links";
        fs::create_directories(links);
        WriteFile(links / "target.txt", random_.Between(1, 5000));
        fs::create_symlink("target.txt", links / "file link.txt");
        fs::create_symlink("..", links / "up link");
        fs::create_symlink(sentinelDir, links / "outside");
    }

    Random& Rng() { return random_; }

private:
    uint64_t seed_;
    Random random_;
    TreeFacts* facts_;
    uint64_t made_ = 0;
    int largeFiles_ = 0;
};

// The archive's source tree in a folder of its own, packed by 7z into the phone memory's tree.
bool MakeArchive(TreeMaker& maker, const HostPlaces& places, TreeFacts* facts, std::string* error) {
    const fs::path source = fs::path(places.Root(Storage::kMedia)).parent_path() / ".soak-archive";
    fs::remove_all(source);
    const std::vector<std::pair<std::string, uint64_t>> files = {
        {"top.txt", maker.Rng().Between(1, 3000)},
        {"inside/a.txt", maker.Rng().Between(0, 100)},
        {"inside/deep/b.bin", maker.Rng().Between(1000, 200000)},
        {"Ünïcode name.txt", maker.Rng().Between(10, 1000)},
    };
    for (const auto& [name, size] : files) {
        const fs::path path = source / FromUtf8(name);
        fs::create_directories(path.parent_path());
        const std::string bytes = maker.Content(size);
        std::ofstream(path, std::ios::binary) << bytes;
        facts->contents.insert(HashBytes(bytes));
        facts->archiveFiles[name] = HashBytes(bytes);
    }
    fs::create_directories(source / "empty dir");
    facts->archiveFolders = {"inside", "inside/deep", "empty dir"};
    const std::string archive = places.Root(Storage::kMedia) + "/" + kArchiveName;
    const std::string command =
        "cd '" + source.string() + "' && 7z a -tzip '" + archive + "' . >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    fs::remove_all(source);
    uint64_t size = 0;
    if (status != 0 || !HashFile(archive, &facts->archiveHash, &size)) {
        *error = "7z could not make the archive: " + command;
        return false;
    }
    facts->contents.insert(facts->archiveHash);
    ++facts->files;
    return true;
}

}  // namespace

bool MakeTrees(uint64_t seed, const HostPlaces& places, const std::string& sentinelDir, TreeFacts* facts,
               std::string* error) {
    TreeMaker maker(seed, facts);
    fs::create_directories(FromUtf8(sentinelDir) / "deep");
    std::ofstream(FromUtf8(sentinelDir) / "keep.txt") << "the sentinel of seed " << seed << "\n";
    std::ofstream(FromUtf8(sentinelDir) / "deep" / "keep.bin") << maker.Content(4096);
    for (Storage storage : kStorages) {
        const fs::path root = FromUtf8(places.Root(storage));
        maker.Fill(root, 0);
        if (storage != Storage::kShare) {
            maker.AddLinks(root, sentinelDir);
        }
    }
    // One file on the share takes the clients long enough to copy that Cancel and the server's faults
    // meet it under way.
    const fs::path longFile = FromUtf8(places.Root(Storage::kShare)) / "movie.mp4";
    maker.WriteFile(longFile, kLongFileSize);
    uint64_t size = 0;
    HashFile(longFile.string(), &facts->longHash, &size);
    return MakeArchive(maker, places, facts, error);
}

}  // namespace soak
