// The application's start-up and its settings file "/Home/RF.reg": defaults without a file, what a file
// holds, the memory-card probe, and network-folder sections that round-trip. A file that cannot be read
// goes through the whole start with its message, in tests/mainform/SettingsFileTest.cpp.

#include <gtest/gtest.h>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "Osp/Io/Registry.h"
#include "app/Results.h"
#include "net/RemoteFolder.h"

namespace {

using Osp::Base::String;

// What a run of the application saw at start.
struct StartState {
    bool showHidden = true;
    bool useTrash = false;
    bool hasPassword = true;
    bool passwordEntered = false;
    int lastLocalItem = 0;
    std::map<int, std::wstring> folders;  // identifier to UNC name
};

StartState StartAndLook(const std::function<void(Corvane&)>& also = nullptr) {
    StartState seen;
    EXPECT_TRUE(CorvaneLoop::Run([&] {
        Corvane& app = *Corvane::GetMyInstance();
        seen.showHidden = app.GetShowHidden();
        seen.useTrash = app.GetUseTrash();
        seen.hasPassword = app.HasPassword();
        seen.passwordEntered = app.IsPasswordEntered();
        seen.lastLocalItem = app.GetLastLocalItem();
        for (const auto& [id, folder] : app.GetFolders()) {
            seen.folders[id] = folder->GetUncName().Units();
        }
        if (also) {
            also(app);
        }
        CorvaneLoop::Quit();
    }));
    return seen;
}

Osp::Io::Registry OpenSettings() {
    Osp::Io::Registry reg;
    EXPECT_EQ(reg.Construct(String(L"/Home/RF.reg"), true), RES_OK);
    return reg;
}

TEST(SettingsTest, NoFileMeansDefaults) {
    PhoneRoot root;
    StartState seen = StartAndLook();
    EXPECT_FALSE(seen.showHidden);
    EXPECT_TRUE(seen.useTrash);
    EXPECT_FALSE(seen.hasPassword);
    EXPECT_TRUE(seen.passwordEntered);
    EXPECT_TRUE(seen.folders.empty());
    EXPECT_EQ(seen.lastLocalItem, 2);
    EXPECT_FALSE(root.Exists("Home/RF.reg"));  // reading never makes the file
}

TEST(SettingsTest, FileIsRead) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    {
        Osp::Io::Registry reg = OpenSettings();
        reg.AddSection(String(L"General"));
        reg.AddValue(String(L"General"), String(L"ShowHidden"), 1);
        reg.AddValue(String(L"General"), String(L"UseTrash"), 0);
        reg.AddValue(String(L"General"), String(L"Pwd"), String(L"Secret 1"));
        reg.AddSection(String(L"RF1a"));
        reg.AddValue(String(L"RF1a"), String(L"Id"), 26);
        reg.AddValue(String(L"RF1a"), String(L"NodeName"), String(L"NAS"));
        reg.AddValue(String(L"RF1a"), String(L"ShareName"), String(L"Music"));
        // Not a folder section: ignored.
        reg.AddSection(String(L"Other"));
        reg.AddValue(String(L"Other"), String(L"Id"), 5);
        ASSERT_EQ(reg.Flush(), RES_OK);
    }
    StartState seen =
        StartAndLook([](Corvane& app) { EXPECT_EQ(app.CheckPassword(L"Secret 1"), PrivatePassword::MATCH); });
    EXPECT_TRUE(seen.showHidden);
    EXPECT_FALSE(seen.useTrash);
    EXPECT_TRUE(seen.hasPassword);
    EXPECT_FALSE(seen.passwordEntered);
    EXPECT_EQ(seen.lastLocalItem, 1);
    EXPECT_EQ(seen.folders, (std::map<int, std::wstring>{{26, L"\\\\NAS\\Music"}}));
}

TEST(SettingsTest, ShowHiddenTrashAndPasswordAreWritten) {
    PhoneRoot root;
    StartAndLook([](Corvane& app) {
        app.SetShowHidden(true);
        app.SetUseTrash(false);
        app.SetPassword(L"p@ss word");
    });
    StartState seen = StartAndLook([](Corvane& app) {
        EXPECT_EQ(app.CheckPassword(L"p@ss word"), PrivatePassword::MATCH);
        app.SetPassword(L"");
    });
    EXPECT_TRUE(seen.showHidden);
    EXPECT_FALSE(seen.useTrash);
    EXPECT_TRUE(seen.hasPassword);
    Osp::Io::Registry reg = OpenSettings();
    String password;
    for (const wchar_t* key : {L"Pwd", L"PwdHash"}) {
        EXPECT_EQ(reg.GetValue(String(L"General"), String(key), password), RES_KEY_NOT_FOUND);
    }
    EXPECT_FALSE(StartAndLook().hasPassword);
}

// Every string of a folder, including a password with spaces and symbols, comes back as it was saved.
TEST(SettingsTest, FolderSectionsRoundTrip) {
    PhoneRoot root;
    const wchar_t* password = L" p@ss w=rd [x] \\ \"q\" \x00e9\x0416 ";
    {
        Osp::Io::Registry reg = OpenSettings();
        reg.AddSection(String(L"General"));
        reg.AddValue(String(L"General"), String(L"FreeFolderId"), 9);
        reg.Flush();
    }
    StartAndLook([&](Corvane& app) {
        auto* folder = new RemoteFolder;
        folder->SetNodeName(String(L"NAS"));
        folder->SetShareName(String(L"Music"));
        folder->SetIpAddress(String(L"192.0.2.7"));
        folder->SetWinsServer(String(L"192.0.2.1"));
        folder->SetUserName(String(L"DOMAIN\\user"));
        folder->SetPassword(String(password));
        folder->SetNewId();
        app.OnNewFolderAdded(folder);
    });
    Osp::Io::Registry reg = OpenSettings();
    int id = 0;
    int next = 0;
    EXPECT_EQ(reg.GetValue(String(L"RF9"), String(L"Id"), id), RES_OK);
    EXPECT_EQ(id, 9);
    EXPECT_EQ(reg.GetValue(String(L"General"), String(L"FreeFolderId"), next), RES_OK);
    EXPECT_EQ(next, 10);

    StartAndLook([&](Corvane& app) {
        RemoteFolder* folder = app.GetFolderById(9);
        ASSERT_NE(folder, nullptr);
        EXPECT_EQ(folder->GetNodeName(), String(L"NAS"));
        EXPECT_EQ(folder->GetShareName(), String(L"Music"));
        EXPECT_EQ(folder->GetIpAddress(), String(L"192.0.2.7"));
        EXPECT_EQ(folder->GetWinsServer(), String(L"192.0.2.1"));
        EXPECT_EQ(folder->GetUserName(), String(L"DOMAIN\\user"));
        EXPECT_EQ(folder->GetPassword(), String(password));
        // Clearing a string removes its key; deleting the folder removes its section.
        folder->SetWinsServer(String());
        app.OnFolderChanged(folder, true);
    });
    StartAndLook([&](Corvane& app) {
        RemoteFolder* folder = app.GetFolderById(9);
        ASSERT_NE(folder, nullptr);
        EXPECT_TRUE(folder->GetWinsServer().IsEmpty());
        EXPECT_EQ(folder->GetPassword(), String(password));
        app.OnFolderDeleted(folder);
        EXPECT_EQ(app.GetFolderById(9), nullptr);
    });
    EXPECT_TRUE(StartAndLook().folders.empty());
}

// "FreeFolderId" below a stored folder's identifier (or missing) must not make a new folder take that
// folder's section.
TEST(SettingsTest, NewFolderNeverReusesAStoredIdentifier) {
    PhoneRoot root;
    {
        Osp::Io::Registry reg = OpenSettings();
        reg.AddSection(String(L"General"));
        reg.AddValue(String(L"General"), String(L"FreeFolderId"), 3);
        reg.AddSection(String(L"RF1a"));
        reg.AddValue(String(L"RF1a"), String(L"Id"), 26);
        reg.AddValue(String(L"RF1a"), String(L"NodeName"), String(L"OLD"));
        reg.Flush();
    }
    StartAndLook([](Corvane& app) {
        auto* folder = new RemoteFolder;
        folder->SetNodeName(String(L"NEW"));
        folder->SetNewId();
        EXPECT_EQ(folder->GetId(), 27u);
        app.OnNewFolderAdded(folder);
    });
    StartState seen = StartAndLook();
    EXPECT_EQ(seen.folders, (std::map<int, std::wstring>{{26, L"\\\\OLD\\"}, {27, L"\\\\NEW\\"}}));
}

TEST(RemoteFolderTest, NamesOfAFolder) {
    struct Case {
        const wchar_t* node;
        const wchar_t* ip;
        const wchar_t* share;
        unsigned int id;
        const wchar_t* unc;
        const wchar_t* section;
    };
    const Case cases[] = {
        {L"NAS", L"192.0.2.7", L"Music", 26, L"\\\\NAS\\Music", L"RF1a"},
        {L"", L"192.0.2.7", L"Music", 9, L"\\\\192.0.2.7\\Music", L"RF9"},
        {L"PC", L"", L"", 0xABCDEF01, L"\\\\PC\\", L"RFabcdef01"},
    };
    for (const Case& c : cases) {
        Osp::Io::Registry reg;
        reg.AddSection(String(L"General"));
        reg.AddValue(String(L"General"), String(L"FreeFolderId"), static_cast<int>(c.id));
        RemoteFolder::LoadGeneralSettings(reg);
        RemoteFolder folder;
        folder.SetNodeName(String(c.node));
        folder.SetIpAddress(String(c.ip));
        folder.SetShareName(String(c.share));
        folder.SetNewId();
        EXPECT_EQ(folder.GetUncName(), String(c.unc));
        EXPECT_EQ(folder.GetRegSectionName(), String(c.section));
    }
}

}  // namespace
