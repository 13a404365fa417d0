// The sample phone laid out on a new data root: its folders and files, pictures that decode, archives
// that the real tools accept, and a root with anything in it left alone.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QImage>
#include <filesystem>
#include <fstream>

#include "host/HostPaths.h"
#include "host/SamplePhone.h"

namespace {

class SamplePhoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/corvane-sample-XXXXXX";
        root = ::mkdtemp(pattern);
        host::SetDataRoot(root);
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    bool Exists(const std::string& relative) const { return std::filesystem::exists(root + "/" + relative); }
    int Run(const std::string& command) const { return std::system((command + " > /dev/null 2>&1").c_str()); }

    std::string root;
};

TEST_F(SamplePhoneTest, NewRootGetsTheSamplePhone) {
    host::PrepareDataRoot(host::SampleOptions{});
    for (const char* path : {"Home/Private notes.txt", "Media/Sounds/Tone 440 Hz.wav", "Media/Videos",
                             "Media/Others/server.log", "Media/Others/Poem (Cyrillic, UTF-8).txt",
                             "Storagecard/Media/Videos", "Storagecard/Media/Others/On the card.txt"}) {
        EXPECT_TRUE(Exists(path)) << path;
    }
    EXPECT_FALSE(QImage(QString::fromStdString(root + "/Media/Pictures/Sunset.png")).isNull());
    EXPECT_FALSE(QImage(QString::fromStdString(root + "/Media/Pictures/Lake.jpg")).isNull());
    EXPECT_EQ(Run("unzip -t '" + root + "/Media/Others/Sample.zip'"), 0);
    EXPECT_EQ(Run("tar -tzf '" + root + "/Media/Others/Sample.tar.gz' docs/hello.txt notes.txt"), 0);
    EXPECT_EQ(Run("gzip -t '" + root + "/Media/Others/Sample.tar.gz'"), 0);
}

TEST_F(SamplePhoneTest, NoCardLeavesTheCardOut) {
    host::PrepareDataRoot(host::SampleOptions{false});
    EXPECT_TRUE(Exists("Media/Pictures"));
    EXPECT_FALSE(Exists("Storagecard"));
}

TEST_F(SamplePhoneTest, RootInUseIsLeftAlone) {
    std::filesystem::create_directories(root + "/Home");
    std::ofstream(root + "/Home/mine.txt") << "mine";
    host::PrepareDataRoot(host::SampleOptions{});
    EXPECT_FALSE(Exists("Media"));
    EXPECT_FALSE(Exists("Storagecard"));
}

}  // namespace
