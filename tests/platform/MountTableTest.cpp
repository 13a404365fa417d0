// The mount table as the kernel writes it, and which of its file systems count as the user's media.

#include "host/MountTable.h"

#include <gtest/gtest.h>

#include "host/RemovableMedia.h"

namespace {

using host::MountEntry;

TEST(MountTableTest, LinesAreReadWithTheirEscapesAndMalformedOnesAreLeftOut) {
    const std::string text =
        "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "40 22 8:17 / /run/media/ann/MY\\040CARD rw,nosuid master:3 - vfat /dev/sdb1 rw,fmask=0022\n"
        "41 22 0:50 / /run/media/ann/backup ro,relatime - tmpfs backup rw\n"
        "42 22 0:51 / /media/ann/old rw - ext2 /dev/sdc1 ro,errors=continue\n"
        "garbage without fields\n"
        "43 22 x:1 / /bad rw - ext4 /dev/x rw\n"
        "44 22 0:52 / relative rw - tmpfs t rw\n"
        "45 22 0:53 / /no-dash rw ext4 /dev/y rw\n"
        "46 22 0:54 / /cut rw -\n"
        "47 22 0:55 / /last\\134slash rw - tmpfs t rw";
    const std::vector<MountEntry> entries = host::ParseMountInfo(text);
    struct Expected {
        std::string mountPoint;
        unsigned int major, minor;
        std::string fsType;
        bool readOnly;
    } expected[] = {
        {"/", 8, 2, "ext4", false},
        {"/run/media/ann/MY CARD", 8, 17, "vfat", false},
        {"/run/media/ann/backup", 0, 50, "tmpfs", true},  // this mount alone is read-only
        {"/media/ann/old", 0, 51, "ext2", true},          // the whole file system is
        {"/last\\slash", 0, 55, "tmpfs", false},
    };
    ASSERT_EQ(entries.size(), std::size(expected));
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].mountPoint, expected[i].mountPoint);
        EXPECT_EQ(entries[i].major, expected[i].major) << expected[i].mountPoint;
        EXPECT_EQ(entries[i].minor, expected[i].minor) << expected[i].mountPoint;
        EXPECT_EQ(entries[i].fsType, expected[i].fsType) << expected[i].mountPoint;
        EXPECT_EQ(entries[i].readOnly, expected[i].readOnly) << expected[i].mountPoint;
    }
    EXPECT_EQ(entries[1].source, "/dev/sdb1");
}

TEST(MountTableTest, MediaAreTheMountsBelowTheMediaFoldersAndTheLastMountOfAFolderCounts) {
    const std::vector<MountEntry> table = host::ParseMountInfo(
        "22 1 8:2 / / rw - ext4 /dev/sda2 rw\n"
        "30 22 0:40 / /run/media/ann rw - tmpfs t rw\n"               // the media folder itself
        "31 22 0:41 / /run/media/ann/STICK rw - vfat /dev/sdb1 rw\n"  // mounted, then covered by:
        "32 22 0:42 / /run/media/ann/CARD ro - exfat /dev/sdc1 rw\n"
        "33 22 0:43 / /run/media/ann/STICK rw - ext4 /dev/sdd1 rw\n"
        "34 22 0:44 / /run/media/annie/OTHER rw - vfat /dev/sde1 rw\n"  // another user's
        "35 22 0:45 / /mnt/data rw - ext4 /dev/sdf1 rw\n");
    const std::vector<host::Medium> media =
        host::FindMedia(table, {"/run/media/ann", "/media/ann"}, host::RemovableMarks::kIgnored);
    ASSERT_EQ(media.size(), 2u);
    EXPECT_EQ(media[0].mountPoint, "/run/media/ann/CARD");
    EXPECT_EQ(media[0].label, "CARD");
    EXPECT_TRUE(media[0].readOnly);
    EXPECT_EQ(media[1].mountPoint, "/run/media/ann/STICK");
    EXPECT_EQ(media[1].fsType, "ext4");
    EXPECT_EQ(media[1].minor, 43u);
}

}  // namespace
