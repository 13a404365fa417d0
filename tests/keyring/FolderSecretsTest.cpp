// Network folders' remembered passwords in a running program: kept in the keyring where one runs and is
// unlocked (moved there from an older settings file at the next save, removed with their folder), kept in
// the settings file otherwise, and never lost, whatever the keyring does: locked, silent or absent.

#include <gtest/gtest.h>

#include <chrono>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "../mainform/MainFormHarness.h"
#include "Osp/Io/Registry.h"
#include "SharedKeyring.h"
#include "host/ui/MessageBoxHooks.h"
#include "net/RemoteFolder.h"

namespace {

using mainform::RunOnPhone;
using Osp::Base::String;
using testsupport::UiDriver;

const std::wstring kLockedNotice =
    L"The desktop keyring is locked. Remembered network passwords are kept in the settings file instead.";
const std::wstring kSilentNotice =
    L"The desktop keyring does not answer. Remembered network passwords are kept in the settings file "
    L"instead.";
const std::wstring kNoKeyringNotice =
    L"No desktop keyring is running. Remembered network passwords are kept in the settings file.";
const std::wstring kUnreadNotice =
    L"The desktop keyring is locked. Remembered network passwords cannot be read now; you will be asked "
    L"for them.";

// A folder as an older version left it: its password in the section, in clear.
void WriteOlderFolder(int id, const std::wstring& node, const std::wstring& password) {
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), true), Osp::Base::E_SUCCESS);
    String section;
    section.Format(16, L"RF%x", id);
    reg.AddSection(section);
    reg.AddValue(section, String(L"Id"), id);
    reg.AddValue(section, String(L"NodeName"), String(node));
    reg.AddValue(section, String(L"ShareName"), String(L"Share"));
    reg.AddValue(section, String(L"UserName"), String(L"bob"));
    reg.AddValue(section, String(L"Password"), String(password));
    ASSERT_EQ(reg.Flush(), Osp::Base::E_SUCCESS);
}

RemoteFolder* AddFolder(Corvane& app, const std::wstring& node, const std::wstring& password) {
    auto* folder = new RemoteFolder;
    folder->SetNodeName(String(node));
    folder->SetShareName(String(L"Share"));
    folder->SetUserName(String(L"bob"));
    folder->SetPassword(String(password));
    folder->SetNewId();
    app.OnNewFolderAdded(folder);
    return folder;
}

// The boxes shown since the log had `from` entries, by their text.
std::vector<std::wstring> TextsSince(size_t from) {
    std::vector<std::wstring> texts;
    const auto& log = host::MessageBoxLog();
    for (size_t i = from; i < log.size(); ++i) {
        texts.push_back(log[i].text);
    }
    return texts;
}

// Lets posted events (the keyring's notice among them) run.
void Settle(const UiDriver& ui) {
    ui.Pump(300);
}

class FolderSecretsTest : public testing::Test {
protected:
    void SetUp() override {
        shown_ = host::MessageBoxLog().size();
        host::PlannedMessageBoxAnswers().clear();
    }
    void TearDown() override { host::PlannedMessageBoxAnswers().clear(); }
    std::string Settings() const { return root_.Read("Home/RF.reg"); }

    PhoneRoot root_;
    size_t shown_ = 0;
};

TEST_F(FolderSecretsTest, PasswordsMoveToTheKeyringAndGoWithTheirFolder) {
    PrivateKeyring& keyring = SharedKeyring();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    WriteOlderFolder(1, L"NAS", L"older secret");
    int newer = 0;
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        RemoteFolder* older = app.GetFolderById(1);
        ASSERT_NE(older, nullptr);
        EXPECT_EQ(older->GetPasswordPlace(), PASSWORD_IN_FILE);
        // Reading alone moves nothing; the next save does.
        EXPECT_NE(Settings().find("older secret"), std::string::npos);
        app.OnFolderChanged(older, true);
        EXPECT_EQ(older->GetPasswordPlace(), PASSWORD_IN_KEYRING);
        newer = static_cast<int>(AddFolder(app, L"PC", L"newer secret")->GetId());
        Settle(ui);
    });
    EXPECT_EQ(keyring.Entries(),
              (std::vector<std::wstring>{L"NAS/Share/bob=older secret", L"PC/Share/bob=newer secret"}));
    for (const char* password : {"older secret", "newer secret"}) {
        EXPECT_EQ(Settings().find(password), std::string::npos) << password;
    }
    EXPECT_NE(Settings().find("PasswordInKeyring=i:1"), std::string::npos) << Settings();

    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        RemoteFolder* older = app.GetFolderById(1);
        ASSERT_NE(older, nullptr);
        EXPECT_EQ(older->GetPassword(), String(L"older secret"));
        EXPECT_EQ(older->GetPasswordPlace(), PASSWORD_IN_KEYRING);
        // A folder whose password is emptied, and a removed folder, leave nothing in the keyring.
        older->SetPassword(String());
        app.OnFolderChanged(older, true);
        app.OnFolderDeleted(app.GetFolderById(newer));
        Settle(ui);
    });
    EXPECT_TRUE(keyring.Entries().empty());
    EXPECT_EQ(Settings().find("PasswordInKeyring"), std::string::npos) << Settings();
    EXPECT_TRUE(TextsSince(shown_).empty());
}

// Two folders on one share with one account share the entry: removing one keeps it for the other.
TEST_F(FolderSecretsTest, AnEntryTwoFoldersUseStaysWhileOneIsLeft) {
    PrivateKeyring& keyring = SharedKeyring();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    RunOnPhone([&](UiDriver&, Corvane& app) {
        RemoteFolder* first = AddFolder(app, L"NAS", L"shared");
        RemoteFolder* second = AddFolder(app, L"NAS", L"shared");
        app.OnFolderDeleted(first);
        EXPECT_EQ(keyring.Entries(), (std::vector<std::wstring>{L"NAS/Share/bob=shared"}));
        // Another server for the second one moves its entry.
        second->SetNodeName(String(L"NAS2"));
        app.OnFolderChanged(second, true);
        EXPECT_EQ(keyring.Entries(), (std::vector<std::wstring>{L"NAS2/Share/bob=shared"}));
        app.OnFolderDeleted(second);
    });
    EXPECT_TRUE(keyring.Entries().empty());
}

TEST_F(FolderSecretsTest, ALockedKeyringKeepsPasswordsInTheFileAndSaysSoOnce) {
    PrivateKeyring& keyring = SharedKeyring();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::LOCKED));
    host::PlannedMessageBoxAnswers().push_back(Osp::Ui::Controls::MSGBOX_RESULT_OK);
    int id = 0;
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        RemoteFolder* folder = AddFolder(app, L"NAS", L"first secret");
        id = static_cast<int>(folder->GetId());
        EXPECT_EQ(folder->GetPasswordPlace(), PASSWORD_IN_FILE);
        Settle(ui);
        AddFolder(app, L"PC", L"second secret");
        Settle(ui);
    });
    EXPECT_EQ(TextsSince(shown_), std::vector<std::wstring>{kLockedNotice});
    for (const char* password : {"first secret", "second secret"}) {
        EXPECT_NE(Settings().find(password), std::string::npos) << password;
    }
    // Unlocked again, the next save moves a password where it belongs.
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    RunOnPhone([&](UiDriver&, Corvane& app) { app.OnFolderChanged(app.GetFolderById(id), true); });
    EXPECT_EQ(Settings().find("first secret"), std::string::npos);
    EXPECT_EQ(keyring.Entries(), std::vector<std::wstring>{L"NAS/Share/bob=first secret"});
    RunOnPhone([&](UiDriver&, Corvane& app) { app.OnFolderDeleted(app.GetFolderById(id)); });
}

TEST_F(FolderSecretsTest, ASilentKeyringCostsOneDeadlineAndIsToldOnce) {
    PrivateKeyring& keyring = SharedKeyring();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    keyring.Pause();
    host::PlannedMessageBoxAnswers().push_back(Osp::Ui::Controls::MSGBOX_RESULT_OK);
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        for (const wchar_t* node : {L"NAS", L"PC"}) {
            const auto start = std::chrono::steady_clock::now();
            AddFolder(app, node, L"secret");
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            // The first save waits for the deadline; the keyring is not asked again during the run.
            EXPECT_LT(took.count(), node == std::wstring(L"NAS") ? 2500 : 300)
                << testing::PrintToString(node);
        }
        Settle(ui);
    });
    keyring.Resume();
    EXPECT_EQ(TextsSince(shown_), std::vector<std::wstring>{kSilentNotice});
    EXPECT_NE(Settings().find("NodeName=s:PC"), std::string::npos);
    EXPECT_EQ(Settings().find("PasswordInKeyring"), std::string::npos) << Settings();
}

// Without any keyring the file serves; the first password remembered says so, once for the settings file:
// neither a second folder nor a later run tells it again.
TEST_F(FolderSecretsTest, WithoutAnyKeyringTheFileServesAndSaysSoOnce) {
    SharedKeyring().StopKeyring();
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    host::PlannedMessageBoxAnswers().push_back(Osp::Ui::Controls::MSGBOX_RESULT_OK);
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        AddFolder(app, L"NAS", L"file secret");
        Settle(ui);
        AddFolder(app, L"PC", L"second secret");
        Settle(ui);
    });
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        AddFolder(app, L"LAPTOP", L"third secret");
        Settle(ui);
    });
    SharedKeyring().UseBus();
    EXPECT_NE(Settings().find("file secret"), std::string::npos);
    EXPECT_NE(Settings().find("third secret"), std::string::npos);
    EXPECT_EQ(TextsSince(shown_), std::vector<std::wstring>{kNoKeyringNotice});
}

// A password the keyring holds but cannot hand out this run stays there: saving the folder (as the edit
// screen does, with an empty password field) neither removes it nor writes an empty one.
TEST_F(FolderSecretsTest, APasswordThatCannotBeReadIsNeverLost) {
    PrivateKeyring& keyring = SharedKeyring();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    int id = 0;
    RunOnPhone([&](UiDriver&, Corvane& app) {
        id = static_cast<int>(AddFolder(app, L"NAS", L"kept secret")->GetId());
    });
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::LOCKED));
    host::PlannedMessageBoxAnswers().push_back(Osp::Ui::Controls::MSGBOX_RESULT_OK);
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        RemoteFolder* folder = app.GetFolderById(id);
        ASSERT_NE(folder, nullptr);
        EXPECT_TRUE(folder->IsPasswordUnread());
        EXPECT_TRUE(folder->GetPassword().IsEmpty());
        folder->SetPassword(String());
        folder->SetProtocol(SMB_PROTOCOL_SMB2);
        app.OnFolderChanged(folder, true);
        Settle(ui);
    });
    EXPECT_EQ(TextsSince(shown_), std::vector<std::wstring>{kUnreadNotice});
    EXPECT_NE(Settings().find("PasswordInKeyring=i:1"), std::string::npos) << Settings();
    ASSERT_TRUE(keyring.StartKeyring(PrivateKeyring::UNLOCKED));
    RunOnPhone([&](UiDriver&, Corvane& app) {
        EXPECT_EQ(app.GetFolderById(id)->GetPassword(), String(L"kept secret"));
        app.OnFolderDeleted(app.GetFolderById(id));
    });
    EXPECT_TRUE(keyring.Entries().empty());
}

}  // namespace
