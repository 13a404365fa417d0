// Network folders on the phone's screen against a real Samba: a folder added through its form opens
// its share and turns connected, shows its disk and is disconnected and removed; a folder without a
// share offers the server's shares; a refused logon asks for the account, which is stored only when
// "Remember" is set and the server took it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "../smb/LoopbackAcceptor.h"
#include "../smb/SambaFixture.h"
#include "NetFolderHarness.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "app/Format.h"
#include "app/Results.h"
#include "net/LoginPopup.h"
#include "net/RemoteFolderForm.h"
#include "net/SharesPopup.h"

namespace netfolders {
namespace {

using namespace Osp::Ui::Controls;
using mainform::ItemTexts;
using mainform::MainList;
using mainform::OnMainForm;
using mainform::RunOnPhone;

// A folder of the test server stored before the start, as identifier 1.
void StoreFolder(const std::wstring& share, const std::wstring& password) {
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), true), Osp::Base::E_SUCCESS);
    const String section(L"RF1");
    reg.AddSection(section);
    reg.AddValue(section, String(L"Id"), 1);
    reg.AddValue(section, String(L"NodeName"), String(L"CORVTEST"));
    reg.AddValue(section, String(L"IpAddress"), String(L"127.0.0.1"));
    reg.AddValue(section, String(L"UserName"), String(L"corvtest"));
    if (!share.empty()) {
        reg.AddValue(section, String(L"ShareName"), String(share));
    }
    if (!password.empty()) {
        reg.AddValue(section, String(L"Password"), String(password));
    }
    ASSERT_EQ(reg.Flush(), Osp::Base::E_SUCCESS);
}

// The folder form on the screen, or null.
FolderForm* ShownFolderForm(const UiDriver& ui, Corvane& app) {
    FolderForm* form = app.GetFolderForm();
    return form != nullptr && ui.GetFrame().GetCurrentForm() == form ? form : nullptr;
}

// The names the shown folder form lists.
std::vector<std::wstring> ListedNames(const UiDriver& ui) {
    auto* list = ui.Find<List>(L"IDC_FOLDERS_LIST");
    return list != nullptr ? ItemTexts(*list) : std::vector<std::wstring>{L"(no list)"};
}

bool LoginShown(const UiDriver& ui) {
    return ui.Find(L"IDC_REMEMBER_CHECK") != nullptr;
}

// Types the account into the login popup, sets "Remember" as asked and presses OK.
void LogIn(const UiDriver& ui, const std::wstring& password, bool remember) {
    ASSERT_TRUE(LoginShown(ui));
    // The popup's fields take the typing in place, without a keypad.
    ui.Tap(L"IDC_PWD");
    ASSERT_TRUE(ui.TypeText(password));
    auto* check = ui.Find<CheckButton>(L"IDC_REMEMBER_CHECK");
    if (check->IsSelected() != remember) {
        ui.Tap(*check);
    }
    ASSERT_EQ(check->IsSelected(), remember);
    ui.Tap(L"IDC_OK");
}

class NetworkFolderTest : public SambaFixture {};

TEST_F(NetworkFolderTest, AddedFolderOpensItsShareShowsItsDiskAndIsRemoved) {
    PutFile("hello.txt", "hi");
    PutFile("docs/a.txt", "a");
    netfolders::NetPhone root;
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        ui.PressSoftkey(SOFTKEY_0);
        Fill(ui, L"IDC_NBT_NAME", L"CORVTEST");
        Fill(ui, L"IDC_SHARE_NAME", L"corvshare");
        Fill(ui, L"IDC_IP_ADDRESS", L"127.0.0.1");
        Fill(ui, L"IDC_USER_NAME", L"corvtest");
        Fill(ui, L"IDC_PASSWORD", L"Corv-pass1");
        ui.PressSoftkey(SOFTKEY_0);
        ASSERT_TRUE(OnMainForm(ui));
        List& list = MainList(ui);
        ASSERT_EQ(list.GetItemCount(), 4);  // the trash stays last
        EXPECT_TRUE(ItemIconIs(list, 2, L"/Res/OffIcon.png"));

        ui.TapListItem(list, 2);
        ASSERT_TRUE(WaitFor([&] { return ShownFolderForm(ui, app) != nullptr; }));
        EXPECT_EQ(ui.TitleOf(*ShownFolderForm(ui, app)), L"\\\\CORVTEST\\corvshare");
        EXPECT_EQ(ListedNames(ui), (std::vector<std::wstring>{L"docs", L"hello.txt"}));
        Screenshot(ui, "share-listing");
        EXPECT_TRUE(ItemIconIs(list, 2, L"/Res/OnIcon.png"));
        EXPECT_TRUE(ui.MessageBoxes().empty());

        ui.PressSoftkey(SOFTKEY_1);
        ASSERT_TRUE(OnMainForm(ui));
        ui.LongPressListItem(list, 2);
        EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Details", L"Disconnect"}));
        ASSERT_TRUE(ui.ChooseMenuItem(L"Details"));
        ASSERT_TRUE(WaitFor([&] { return ui.Find(L"IDC_CAPACITY") != nullptr; }));
        struct statvfs disk {};
        ASSERT_EQ(statvfs(Server().ShareDir().c_str(), &disk), 0);
        EXPECT_EQ(ui.TextOf(L"IDC_CAPACITY"),
                  FormatSize64(static_cast<unsigned long long>(disk.f_blocks) * disk.f_frsize).Units());
        EXPECT_NE(ui.TextOf(L"IDC_FREE"), L"");
        EXPECT_EQ(ui.TextOf(L"IDC_CONNECTION"), L"SMB 3.1.1, file data encrypted");
        // The tests run without a desktop keyring.
        EXPECT_EQ(ui.TextOf(L"IDC_PASSWORD_PLACE"), L"Password in the settings file");
        Screenshot(ui, "share-details");
        ui.Tap(L"IDC_CLOSE");
        EXPECT_EQ(ui.Find(L"IDC_CAPACITY"), nullptr);

        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Disconnect"));
        EXPECT_FALSE(app.GetFolderById(1)->IsConnected());
        EXPECT_TRUE(ItemIconIs(list, 2, L"/Res/OffIcon.png"));
        ui.LongPressListItem(list, 2);
        EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Remove", L"Edit"}));
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Remove"));
        // The folder form that browsed the share goes with the folder.
        EXPECT_EQ(app.GetFolderForm(), nullptr);
        EXPECT_TRUE(app.GetFolders().empty());
        EXPECT_EQ(list.GetItemCount(), 3);
    });
    EXPECT_EQ(StoredValue(L"RF1", L"NodeName"), L"(absent)");
}

TEST_F(NetworkFolderTest, FolderWithoutShareOffersTheServersDiskShares) {
    PutFile("hello.txt", "hi");
    netfolders::NetPhone root;
    StoreFolder(L"", L"Corv-pass1");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        EXPECT_EQ(list.GetItemText(2).Units(), L"\\\\CORVTEST\\");
        for (bool choose : {false, true}) {
            ui.TapListItem(list, 2);
            ASSERT_TRUE(WaitFor([&] { return ui.Find(L"IDC_LIST") != nullptr; }));
            EXPECT_EQ(ItemTexts(*ui.Find<List>(L"IDC_LIST")),
                      (std::vector<std::wstring>{L"corvdocs", L"corvshare"}));
            if (!choose) {
                // Cancel gives up the connection and shows nothing.
                ui.Tap(L"IDC_CANCEL");
                EXPECT_TRUE(OnMainForm(ui));
                EXPECT_FALSE(app.GetFolderById(1)->IsConnected());
                continue;
            }
            Screenshot(ui, "share-choice");
            ui.TapListItem(*ui.Find<List>(L"IDC_LIST"), 1);
        }
        ASSERT_TRUE(WaitFor([&] { return ShownFolderForm(ui, app) != nullptr; }));
        EXPECT_EQ(ui.TitleOf(*ShownFolderForm(ui, app)), L"\\\\CORVTEST\\corvshare");
        EXPECT_THAT(ListedNames(ui), testing::Contains(L"hello.txt"));
        EXPECT_TRUE(ui.MessageBoxes().empty());

        // The disk details name the share the user picked.
        ui.PressSoftkey(SOFTKEY_1);
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Details"));
        ASSERT_TRUE(WaitFor([&] { return ui.Find(L"IDC_CAPACITY") != nullptr; }));
        auto* popup = dynamic_cast<Popup*>(ui.Find(L"IDC_CAPACITY")->GetParent());
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->GetTitleText().Units(), L"\\\\CORVTEST\\corvshare");
        ui.Tap(L"IDC_CLOSE");

        // Another server keeps nothing of this one: not its connection, nor the share picked on it, nor the
        // folder form that browsed it.
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Disconnect"));
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Edit"));
        Fill(ui, L"IDC_IP_ADDRESS", L"127.0.0.2");
        ASSERT_NE(app.GetFolderById(1)->GetBrowser(), nullptr);
        ASSERT_NE(app.GetFolderForm(), nullptr);
        ui.PressSoftkey(SOFTKEY_0);
        EXPECT_EQ(app.GetFolderById(1)->GetBrowser(), nullptr);
        EXPECT_EQ(app.GetFolderForm(), nullptr);
    });
    // Picking a share does not make it the folder's.
    EXPECT_EQ(StoredValue(L"RF1", L"ShareName"), L"(absent)");
}

// Everything tied to a folder's old share goes when the share, the account or the server changes, or
// when the folder is removed: its connection and what the clipboard holds of it, also a file of an archive
// lying on the share. A new password alone keeps them. Regression: an edited share kept the old one, which
// the next operation connected again, and a clipboard of an archive on the share outlived the share's
// browser, so that a later paste or the clipboard's end read freed memory.
TEST_F(NetworkFolderTest, AnEditedOrRemovedFolderLetsGoOfEverythingOfItsOldShare) {
    PutFile("hello.txt", "hi");
    PutFile("zipped/alpha.txt", "a");
    const std::string make =
        "cd '" + HostPath("zipped") + "' && 7z a -tzip '" + HostPath("m.zip") + "' alpha.txt >/dev/null 2>&1";
    ASSERT_EQ(0, std::system(make.c_str()));
    struct SCase {
        const char* name;
        bool inArchive;        // the clipboard holds a file of m.zip instead of hello.txt
        const wchar_t* field;  // the field edited; null removes the folder
        const wchar_t* value;
        bool kept;
    };
    const SCase cases[] = {
        {"share edited", false, L"IDC_SHARE_NAME", L"corvdocs", false},
        {"account edited", false, L"IDC_USER_NAME", L"someone", false},
        {"server edited", false, L"IDC_IP_ADDRESS", L"127.0.0.2", false},
        {"password edited", false, L"IDC_PASSWORD", L"Other-pass2", true},
        {"archive, share edited", true, L"IDC_SHARE_NAME", L"corvdocs", false},
        {"archive, folder removed", true, nullptr, nullptr, false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.name);
        netfolders::NetPhone root;
        StoreFolder(L"corvshare", L"Corv-pass1");
        RunOnPhone([&](UiDriver& ui, Corvane& app) {
            List& list = MainList(ui);
            ui.TapListItem(list, 2);
            // Other files of the share may come before these.
            auto indexOf = [&](const std::wstring& name) {
                const std::vector<std::wstring> names =
                    ShownFolderForm(ui, app) != nullptr ? ListedNames(ui) : std::vector<std::wstring>{};
                const auto it = std::find(names.begin(), names.end(), name);
                return it != names.end() ? static_cast<int>(it - names.begin()) : -1;
            };
            ASSERT_TRUE(WaitFor([&] { return indexOf(L"hello.txt") >= 0 && indexOf(L"m.zip") >= 0; }));
            auto* files = ui.Find<List>(L"IDC_FOLDERS_LIST");
            if (c.inArchive) {
                ui.TapListItem(*files, indexOf(L"m.zip"));
                ASSERT_TRUE(
                    WaitFor([&] { return ListedNames(ui) == std::vector<std::wstring>{L"alpha.txt"}; }));
            }
            ui.LongPressListItem(*files, indexOf(c.inArchive ? L"alpha.txt" : L"hello.txt"));
            ASSERT_TRUE(ui.ChooseMenuItem(L"Copy"));
            ASSERT_NE(app.GetClipboard(), nullptr);
            if (c.inArchive) {
                ui.PressSoftkey(SOFTKEY_1);
                ASSERT_TRUE(WaitFor([&] { return indexOf(L"m.zip") >= 0; }));
            }
            ui.PressSoftkey(SOFTKEY_1);
            ASSERT_TRUE(OnMainForm(ui));
            ui.LongPressListItem(list, 2);
            ASSERT_TRUE(ui.ChooseMenuItem(L"Disconnect"));
            ui.LongPressListItem(list, 2);
            if (c.field == nullptr) {
                ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
                ASSERT_TRUE(ui.ChooseMenuItem(L"Remove"));
                EXPECT_TRUE(app.GetFolders().empty());
            } else {
                ASSERT_TRUE(ui.ChooseMenuItem(L"Edit"));
                Fill(ui, c.field, c.value);
                ui.PressSoftkey(SOFTKEY_0);
                ASSERT_TRUE(OnMainForm(ui));
                EXPECT_EQ(app.GetFolderById(1)->GetBrowser() != nullptr, c.kept);
            }
            EXPECT_EQ(app.GetClipboard() != nullptr, c.kept);
            EXPECT_EQ(app.GetFolderForm() != nullptr, c.kept);
        });
    }
}

TEST_F(NetworkFolderTest, RememberedAccountIsStoredOnceTheServerTakesIt) {
    netfolders::NetPhone root;
    StoreFolder(L"corvshare", L"wrong-one");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        ui.TapListItem(list, 2);
        ASSERT_TRUE(WaitFor([&] { return LoginShown(ui); }));
        auto* popup = dynamic_cast<Popup*>(ui.Find(L"IDC_REMEMBER_CHECK")->GetParent());
        ASSERT_NE(popup, nullptr);
        EXPECT_EQ(popup->GetTitleText().Units(), L"\\\\CORVTEST\\corvshare");
        EXPECT_EQ(ui.TextOf(L"IDC_NAME"), L"corvtest");
        // A stored password means the user asked to keep one.
        EXPECT_TRUE(ui.Find<CheckButton>(L"IDC_REMEMBER_CHECK")->IsSelected());
        Screenshot(ui, "login");
        EXPECT_TRUE(ui.MessageBoxes().empty());

        // A typo is refused again and replaces nothing.
        LogIn(ui, L"still-wrong", true);
        ASSERT_TRUE(WaitFor([&] { return LoginShown(ui); }));
        EXPECT_EQ(StoredValue(L"RF1", L"Password"), L"wrong-one");

        LogIn(ui, L"Corv-pass1", true);
        ASSERT_TRUE(WaitFor([&] { return ShownFolderForm(ui, app) != nullptr; }));
        EXPECT_EQ(StoredValue(L"RF1", L"Password"), L"Corv-pass1");
        EXPECT_TRUE(ui.MessageBoxes().empty());
    });
}

// The protocol chosen in the folder's form is stored and used: on "SMB1 only" the classic client asks for
// the account the server refused, as the SMB 2/3 client does above.
TEST_F(NetworkFolderTest, ProtocolChosenInTheFormIsStoredAndUsed) {
    netfolders::NetPhone root;
    StoreFolder(L"corvshare", L"wrong-one");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Edit"));
        EXPECT_EQ(ui.TextOf(L"IDC_PROTOCOL"), L"Automatic");
        ui.Tap(L"IDC_PROTOCOL");
        EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Automatic", L"SMB 2/3 only", L"SMB1 only"}));
        ASSERT_TRUE(ui.ChooseMenuItem(L"SMB1 only"));
        EXPECT_EQ(ui.TextOf(L"IDC_PROTOCOL"), L"SMB1 only");
        Screenshot(ui, "folder-protocol");
        ui.PressSoftkey(SOFTKEY_0);
        ASSERT_TRUE(OnMainForm(ui));
        Osp::Io::Registry reg;
        int stored = -1;
        ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
        EXPECT_EQ(reg.GetValue(String(L"RF1"), String(L"Protocol"), stored), Osp::Base::E_SUCCESS);
        EXPECT_EQ(stored, SMB_PROTOCOL_SMB1);

        ui.TapListItem(list, 2);
        ASSERT_TRUE(WaitFor([&] { return LoginShown(ui); }));
        LogIn(ui, L"Corv-pass1", false);
        ASSERT_TRUE(WaitFor([&] { return ShownFolderForm(ui, app) != nullptr; }));
        ui.PressSoftkey(SOFTKEY_1);
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Details"));
        ASSERT_TRUE(WaitFor([&] { return ui.Find(L"IDC_CONNECTION") != nullptr; }));
        EXPECT_EQ(ui.TextOf(L"IDC_CONNECTION"), L"SMB1 (NT LM 0.12)");
        ui.Tap(L"IDC_CLOSE");
    });
}

// A folder stored by a version that had no encryption choice encrypts whenever the server offers it; the
// choice made in the form is stored, and Details tells what the session does after it.
TEST_F(NetworkFolderTest, EncryptionChosenInTheFormIsStoredAndDetailsTellWhatTheSessionDoes) {
    netfolders::NetPhone root;
    StoreFolder(L"corvshare", L"Corv-pass1");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        auto details = [&] {
            ui.TapListItem(list, 2);
            EXPECT_TRUE(WaitFor([&] { return ShownFolderForm(ui, app) != nullptr; }));
            EXPECT_TRUE(WaitFor([&] { return app.GetFolderById(1)->IsConnected(); }));
            ui.PressSoftkey(SOFTKEY_1);
            ui.LongPressListItem(list, 2);
            EXPECT_TRUE(ui.ChooseMenuItem(L"Details"));
            EXPECT_TRUE(WaitFor([&] { return ui.Find(L"IDC_CONNECTION") != nullptr; }));
            const std::wstring connection = ui.TextOf(L"IDC_CONNECTION");
            ui.Tap(L"IDC_CLOSE");
            return connection;
        };
        EXPECT_EQ(details(), L"SMB 3.1.1, file data encrypted");

        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Disconnect"));
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Edit"));
        EXPECT_EQ(ui.TextOf(L"IDC_ENCRYPTION"), L"When the server offers it");
        // The choice lies below the fold of the portrait screen: the panel is scrolled to it first, by its
        // margin, where no field takes the finger.
        ui.Drag(*ui.Find(L"IDN_SCROLLPANEL"), Osp::Graphics::Point(8, 600), Osp::Graphics::Point(8, 300), 300,
                200);
        ui.Tap(L"IDC_ENCRYPTION");
        EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"When the server offers it",
                                                             L"Only when the server requires it"}));
        ASSERT_TRUE(ui.ChooseMenuItem(L"Only when the server requires it"));
        Screenshot(ui, "folder-encryption");
        ui.PressSoftkey(SOFTKEY_0);
        ASSERT_TRUE(OnMainForm(ui));
        Osp::Io::Registry reg;
        int stored = -1;
        ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
        EXPECT_EQ(reg.GetValue(String(L"RF1"), String(L"Encryption"), stored), Osp::Base::E_SUCCESS);
        EXPECT_EQ(stored, ENCRYPTION_WHEN_REQUIRED);
        EXPECT_EQ(details(), L"SMB 3.1.1, file data not encrypted");
    });
}

TEST_F(NetworkFolderTest, AccountWithoutRememberServesThisRunOnly) {
    netfolders::NetPhone root;
    StoreFolder(L"corvshare", L"");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        // Cancel returns to the list without a message.
        ui.TapListItem(list, 2);
        ASSERT_TRUE(WaitFor([&] { return LoginShown(ui); }));
        EXPECT_FALSE(ui.Find<CheckButton>(L"IDC_REMEMBER_CHECK")->IsSelected());
        ui.Tap(L"IDC_CANCEL");
        EXPECT_FALSE(LoginShown(ui));
        EXPECT_TRUE(OnMainForm(ui));

        ui.TapListItem(list, 2);
        ASSERT_TRUE(WaitFor([&] { return LoginShown(ui); }));
        LogIn(ui, L"Corv-pass1", false);
        ASSERT_TRUE(WaitFor([&] { return ShownFolderForm(ui, app) != nullptr; }));
        EXPECT_EQ(StoredValue(L"RF1", L"Password"), L"(absent)");

        // An edit shows and saves the stored account, not the one of this run.
        ui.PressSoftkey(SOFTKEY_1);
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Disconnect"));
        ui.LongPressListItem(list, 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Edit"));
        EXPECT_EQ(ui.TextOf(L"IDC_PASSWORD"), L"");
        ui.PressSoftkey(SOFTKEY_0);
        ASSERT_TRUE(OnMainForm(ui));
        EXPECT_EQ(StoredValue(L"RF1", L"Password"), L"(absent)");

        // The run's account still logs on.
        ui.TapListItem(list, 2);
        ASSERT_TRUE(WaitFor([&] { return ShownFolderForm(ui, app) != nullptr || LoginShown(ui); }));
        EXPECT_FALSE(LoginShown(ui));
        EXPECT_TRUE(ui.MessageBoxes().empty());
    });
    EXPECT_EQ(StoredValue(L"RF1", L"Password"), L"(absent)");
}

// Only a refused account asks for another one; any other failure is told and the list stays.
TEST_F(NetworkFolderTest, OtherFailuresShowTheirMessage) {
    netfolders::NetPhone root;
    StoreFolder(L"no-such-share", L"Corv-pass1");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ui.TapListItem(MainList(ui), 2);
        ASSERT_TRUE(WaitFor([&] { return !ui.MessageBoxes().empty(); }));
        EXPECT_EQ(ui.MessageBoxes()[0].title, L"Error");
        EXPECT_EQ(ui.MessageBoxes()[0].text, BadaResultToString(RES_BAD_SHARE));
        EXPECT_FALSE(LoginShown(ui));
        EXPECT_TRUE(OnMainForm(ui));
        EXPECT_FALSE(app.GetFolderById(1)->IsConnected());
    });
}

TEST_F(NetworkFolderTest, CancelOnTheConnectingPopupEndsTheAttemptAtOnce) {
    netfolders::NetPhone root;
    StoreFolder(L"corvshare", L"Corv-pass1");
    // A server that takes the connection and never answers.
    std::atomic<bool> done{false};
    LoopbackAcceptor silent([&](int fd, int) {
        while (!done) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        close(fd);
    });
    SmbSession::SetServerPort(silent.Port());
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        ui.TapListItem(MainList(ui), 2);
        ASSERT_TRUE(WaitFor([&] { return ui.Find(L"IDC_PROGRESS_CANCEL") != nullptr; }));
        const auto start = std::chrono::steady_clock::now();
        ui.Tap(L"IDC_PROGRESS_CANCEL");
        ASSERT_TRUE(WaitFor([&] { return ui.Find(L"IDC_PROGRESS_CANCEL") == nullptr; }, 3000));
        EXPECT_TRUE(OnMainForm(ui));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ui.Pump(100);
        EXPECT_TRUE(ui.MessageBoxes().empty()) << "a cancel shows no error";
        EXPECT_FALSE(app.GetFolderById(1)->IsConnected());
    });
    done = true;
}

}  // namespace
}  // namespace netfolders
