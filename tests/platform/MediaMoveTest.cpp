// Moving a file into a media folder that lies on another file system, as a memory card does: the file
// arrives whole with its time, and its source goes only then. Used to fail for every download into a
// card of its own (the file reached the cache, and the rename from there was refused across file systems).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "Osp/Base/Result.h"
#include "Osp/Content/ContentManagerUtil.h"
#include "TempRoot.h"

namespace {

namespace fs = std::filesystem;
using Osp::Base::String;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A memory card on a file system of its own: the root's card folder links to a folder in /dev/shm.
class CardElsewhere {
public:
    explicit CardElsewhere(const TempRoot& root) {
        char pattern[] = "/dev/shm/corvane-card-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            return;
        }
        card_ = pattern;
        fs::create_directories(root.Host("Storagecard"));
        fs::create_symlink(card_, root.Host("Storagecard/Media"));
        struct stat cardStat {};
        struct stat rootStat {};
        separate_ = ::stat(card_.c_str(), &cardStat) == 0 && ::stat(root.Path().c_str(), &rootStat) == 0 &&
                    cardStat.st_dev != rootStat.st_dev;
    }
    ~CardElsewhere() {
        if (!card_.empty()) {
            fs::remove_all(card_);
        }
    }
    bool IsSeparate() const { return separate_; }
    std::string Host(const std::string& name) const { return card_ + "/" + name; }

private:
    std::string card_;
    bool separate_ = false;
};

TEST(MediaMoveTest, AMoveOntoACardOfItsOwnCopiesTheFileWithItsTimeThenRemovesTheSource) {
    TempRoot root;
    CardElsewhere card(root);
    if (!card.IsSeparate()) {
        GTEST_SKIP() << "/dev/shm is not a file system of its own here";
    }
    const std::string bytes(300000, 'm');
    std::ofstream(root.Host("Home/song.mp3"), std::ios::binary) << bytes;
    const auto time = fs::last_write_time(root.Host("Home/song.mp3")) - std::chrono::hours(24);
    fs::last_write_time(root.Host("Home/song.mp3"), time);
    std::ofstream(root.Host("Home/kept.mp3"), std::ios::binary) << "new";
    std::ofstream(card.Host("kept.mp3"), std::ios::binary) << "old";

    EXPECT_EQ(Osp::Content::ContentManagerUtil::MoveToMediaDirectory(String(L"/Home/song.mp3"),
                                                                     String(L"/Storagecard/Media/song.mp3")),
              Osp::Base::E_SUCCESS);
    EXPECT_TRUE(Read(card.Host("song.mp3")) == bytes)
        << "the card holds " << Read(card.Host("song.mp3")).size() << " bytes";
    std::error_code error;
    const auto moved = fs::last_write_time(card.Host("song.mp3"), error);
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(moved - time).count(), 0);
    EXPECT_FALSE(fs::exists(root.Host("Home/song.mp3")));

    // A file already there is never replaced, and the source stays.
    EXPECT_EQ(Osp::Content::ContentManagerUtil::MoveToMediaDirectory(String(L"/Home/kept.mp3"),
                                                                     String(L"/Storagecard/Media/kept.mp3")),
              Osp::Base::E_FILE_ALREADY_EXIST);
    EXPECT_EQ(Read(card.Host("kept.mp3")), "old");
    EXPECT_EQ(Read(root.Host("Home/kept.mp3")), "new");
}

}  // namespace
