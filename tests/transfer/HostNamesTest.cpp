// Names of old media that are not valid UTF-8 on the host: each lists under a name of its own and is
// copied, renamed and deleted under its own bytes, never under a look-alike.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "../fs/Recorders.h"
#include "JobHarness.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "host/HostPaths.h"

namespace {

namespace fs = std::filesystem;

// Latin-1, a cut sequence, an encoded surrogate, an overlong slash and stray continuation bytes, beside the
// valid UTF-8 name that one of them resembles.
const std::string kNames[] = {"caf\xe9.txt",  "caf\xc3\xa9.txt", "\xff\xfe", "half\xe2\x82",
                              "\xed\xa0\x80", "\xc0\xaf",        "\x80",     "\x81"};

std::set<std::string> HostNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(HostNamesTest, NamesThatAreNotUtf8SurviveListCopyRenameAndDelete) {
    PhoneRoot root;
    for (const std::string& name : kNames) {
        root.Write("Home/src/" + name, "bytes of " + name);
    }
    root.MakeDir("Media/dst");
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        EnumRecorder listed = ListFolder(*home, {L"src"});
        std::set<std::wstring> seen;
        for (const SeenEntry& entry : listed.entries) {
            seen.insert(entry.name);
        }
        ASSERT_EQ(seen.size(), std::size(kNames)) << "two names listed as one";

        Clipboard clipboard(Clipboard::MODE_COPY, home, L"/Home/src/");
        for (const std::wstring& name : seen) {
            clipboard.AddFile(name, 0, Osp::Base::DateTime(), name);
        }
        JobRecorder job;
        LocalBrowser* media = Corvane::GetMyInstance()->GetLocalBrowser(LocalBrowser::ROOT_MEDIA);
        RunJob(job, clipboard, media, L"/Media/dst/");
        EXPECT_EQ(job.result, RES_OK) << std::string(job.message.begin(), job.message.end());

        for (const std::wstring& name : seen) {
            EXPECT_EQ(media->RenameFileA(0, nullptr, L"/Media/dst/" + name, L"/Media/dst/" + name + L".2"),
                      RES_OK);
        }
    });
    std::set<std::string> renamed;
    for (const std::string& name : kNames) {
        EXPECT_EQ(root.Read("Media/dst/" + name + ".2"), "bytes of " + name);
        renamed.insert(name + ".2");
    }
    EXPECT_EQ(HostNames(root.Host("Media/dst")), renamed);

    InRunningApp([&] {
        LocalBrowser* media = Corvane::GetMyInstance()->GetLocalBrowser(LocalBrowser::ROOT_MEDIA);
        for (const std::string& name : kNames) {
            EXPECT_EQ(media->DeleteFileA(0, nullptr, L"/Media/dst/" + host::FromHostBytes(name) + L".2"),
                      RES_OK);
        }
    });
    EXPECT_TRUE(fs::is_empty(root.Host("Media/dst")));
    EXPECT_EQ(HostNames(root.Host("Home/src")).size(), std::size(kNames));
}

}  // namespace
