// The screen that adds and edits network folders: the address check, the checks of its fields and of
// Save with their messages, what a new folder stores and where it is listed, and an edit that is saved
// or cancelled.

#include <gtest/gtest.h>

#include "NetFolderHarness.h"
#include "host/AppControlOpener.h"
#include "net/RemoteFolder.h"
#include "net/RemoteFolderForm.h"

namespace netfolders {
namespace {

using namespace Osp::Ui::Controls;
using mainform::MainList;
using mainform::OnMainForm;
using mainform::RunOnPhone;

TEST(RemoteFolderFormTest, ValidateIpAddress) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"10.0.0.1", true},
        {L"192.0.2.7", true},
        {L"255.255.255.255", true},
        {L"192.168.1", false},
        {L"192.168.1.5.", false},
        {L".192.168.1.5", false},
        {L"1.2.3.4.5", false},
        {L"256.1.1.1", false},
        {L"a.b.c.d", false},
        {L"10..0.1", false},
        {L"", false},
        {L"10.0.0.1 ", false},
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(ValidateIpAddress(String(text)), valid) << testing::PrintToString(std::wstring(text));
    }
}

RemoteFolderForm* OnFolderForm(const UiDriver& ui) {
    return dynamic_cast<RemoteFolderForm*>(ui.GetFrame().GetCurrentForm());
}

// Types the text into the field, which refuses it with the message; the keypad stays open for a
// correction and its Cancel leaves the field empty.
void ExpectRefused(const UiDriver& ui, const wchar_t* id, const std::wstring& text,
                   const std::wstring& message) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(id)) + " " + testing::PrintToString(text));
    const size_t boxes = ui.MessageBoxes().size();
    ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
    ui.Tap(id);
    ASSERT_TRUE(ui.TypeText(text));
    ASSERT_TRUE(ui.ConfirmKeypad());
    ASSERT_EQ(ui.MessageBoxes().size(), boxes + 1);
    const testsupport::ShownMessageBox box = ui.MessageBoxes().back();
    EXPECT_EQ(box.text, message);
    EXPECT_EQ(box.title, L"");
    EXPECT_EQ(box.style, MSGBOX_STYLE_OK);
    EXPECT_EQ(box.timeout, 5000u);
    EXPECT_TRUE(ui.IsKeypadOpen());
    ASSERT_TRUE(ui.CancelKeypad());
    EXPECT_EQ(ui.TextOf(id), L"");
}

TEST(RemoteFolderFormTest, NewFolderIsCheckedThenStoredAndListed) {
    netfolders::NetPhone root;
    {
        Osp::Io::Registry reg;
        ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), true), Osp::Base::E_SUCCESS);
        reg.AddSection(String(L"General"));
        reg.AddValue(String(L"General"), String(L"FreeFolderId"), 9);
        ASSERT_EQ(reg.Flush(), Osp::Base::E_SUCCESS);
    }
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        ui.PressSoftkey(SOFTKEY_0);
        ASSERT_NE(OnFolderForm(ui), nullptr);
        EXPECT_EQ(ui.TitleOf(*OnFolderForm(ui)), L"New network folder");

        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ui.PressSoftkey(SOFTKEY_0);
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(ui.MessageBoxes()[0].text, L"You must specify computer name or IP address");
        EXPECT_EQ(ui.MessageBoxes()[0].title, L"");
        EXPECT_EQ(ui.MessageBoxes()[0].style, MSGBOX_STYLE_OK);
        EXPECT_EQ(ui.MessageBoxes()[0].timeout, 10000u);
        ASSERT_NE(OnFolderForm(ui), nullptr);

        ExpectRefused(ui, L"IDC_IP_ADDRESS", L"192.168.1", L"Invalid IP address");
        ExpectRefused(ui, L"IDC_WINS_ADDRESS", L"10.0.0.1.", L"Invalid IP address");
        // NetBIOS carries 15 characters; a longer name would reach another computer.
        ExpectRefused(ui, L"IDC_NBT_NAME", L"SIXTEEN-LETTERS1",
                      L"The computer name can have at most 15 characters");

        Fill(ui, L"IDC_NBT_NAME", L"FIFTEEN-LETTERS");
        Fill(ui, L"IDC_SHARE_NAME", L"Music");
        Fill(ui, L"IDC_IP_ADDRESS", L"192.0.2.7");
        Fill(ui, L"IDC_USER_NAME", L"me");
        Fill(ui, L"IDC_PASSWORD", L"p@ss word!");
        const size_t boxes = ui.MessageBoxes().size();
        Screenshot(ui, "new-network-folder");
        ui.PressSoftkey(SOFTKEY_0);
        EXPECT_EQ(ui.MessageBoxes().size(), boxes);
        EXPECT_TRUE(OnMainForm(ui));
        const RemoteFolder* folder = app.GetFolderById(9);
        ASSERT_NE(folder, nullptr);
        EXPECT_EQ(MainList(ui).GetItemText(2).Units(), L"\\\\FIFTEEN-LETTERS\\Music");
        EXPECT_EQ(MainList(ui).GetItemIdAt(2), 9);
        EXPECT_TRUE(ItemIconIs(MainList(ui), 2, L"/Res/OffIcon.png"));
    });
    EXPECT_EQ(StoredValue(L"RF9", L"NodeName"), L"FIFTEEN-LETTERS");
    EXPECT_EQ(StoredValue(L"RF9", L"ShareName"), L"Music");
    EXPECT_EQ(StoredValue(L"RF9", L"IpAddress"), L"192.0.2.7");
    EXPECT_EQ(StoredValue(L"RF9", L"WinsServer"), L"(absent)");
    EXPECT_EQ(StoredValue(L"RF9", L"UserName"), L"me");
    EXPECT_EQ(StoredValue(L"RF9", L"Password"), L"p@ss word!");
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
    int id = 0;
    int next = 0;
    EXPECT_EQ(reg.GetValue(String(L"RF9"), String(L"Id"), id), Osp::Base::E_SUCCESS);
    EXPECT_EQ(id, 9);
    EXPECT_EQ(reg.GetValue(String(L"General"), String(L"FreeFolderId"), next), Osp::Base::E_SUCCESS);
    EXPECT_EQ(next, 10);
}

TEST(RemoteFolderFormTest, CancelledNewFolderLeavesNothing) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        ui.PressSoftkey(SOFTKEY_0);
        Fill(ui, L"IDC_NBT_NAME", L"NAS");
        ui.PressSoftkey(SOFTKEY_1);
        EXPECT_TRUE(OnMainForm(ui));
        EXPECT_TRUE(app.GetFolders().empty());
        EXPECT_EQ(MainList(ui).GetItemCount(), 3);  // the two local places and the trash
        // The next new folder starts empty.
        ui.PressSoftkey(SOFTKEY_0);
        EXPECT_EQ(ui.TextOf(L"IDC_NBT_NAME"), L"");
    });
    EXPECT_FALSE(root.Exists("Home/RF.reg"));
}

TEST(RemoteFolderFormTest, EditShowsTheSavedFolderAndOnlySaveWrites) {
    netfolders::NetPhone root;
    mainform::WriteSettings(1);
    {
        Osp::Io::Registry reg;
        ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
        reg.AddValue(String(L"RF1"), String(L"IpAddress"), String(L"192.0.2.7"));
        reg.AddValue(String(L"RF1"), String(L"UserName"), String(L"me"));
        reg.AddValue(String(L"RF1"), String(L"Password"), String(L"secret"));
        ASSERT_EQ(reg.Flush(), Osp::Base::E_SUCCESS);
    }
    std::vector<host::AppControlLaunch> launches;
    host::SetAppControlOpener([&](const host::AppControlLaunch& launch) { launches.push_back(launch); });
    const std::string before = root.Read("Home/RF.reg");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        const std::pair<const wchar_t*, const wchar_t*> saved[] = {
            {L"IDC_NBT_NAME", L"NAS1"}, {L"IDC_SHARE_NAME", L"Share"}, {L"IDC_IP_ADDRESS", L"192.0.2.7"},
            {L"IDC_WINS_ADDRESS", L""}, {L"IDC_USER_NAME", L"me"},     {L"IDC_PASSWORD", L"secret"},
        };
        for (int round = 0; round < 2; ++round) {
            ui.LongPressListItem(MainList(ui), 2);
            ASSERT_TRUE(ui.ChooseMenuItem(L"Edit"));
            ASSERT_NE(OnFolderForm(ui), nullptr);
            EXPECT_EQ(ui.TitleOf(*OnFolderForm(ui)), L"Edit network folder");
            for (const auto& [id, text] : saved) {
                EXPECT_EQ(ui.TextOf(id), text)
                    << "round " << round << " " << testing::PrintToString(std::wstring(id));
            }
            Fill(ui, L"IDC_SHARE_NAME", L"Other");
            ui.PressSoftkey(SOFTKEY_1);  // Cancel: the folder keeps its share
            EXPECT_TRUE(OnMainForm(ui));
            EXPECT_EQ(app.GetFolderById(1)->GetShareName(), String(L"Share"));
            EXPECT_EQ(root.Read("Home/RF.reg"), before);
        }

        ui.LongPressListItem(MainList(ui), 2);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Edit"));
        ui.PressOptionKey();
        EXPECT_EQ(ui.MenuItems(), std::vector<std::wstring>{L"Help"});
        ASSERT_TRUE(ui.ChooseMenuItem(L"Help"));
        Fill(ui, L"IDC_SHARE_NAME", L"Other");
        ui.PressSoftkey(SOFTKEY_0);
        EXPECT_TRUE(OnMainForm(ui));
        EXPECT_EQ(MainList(ui).GetItemText(2).Units(), L"\\\\NAS1\\Other");
        EXPECT_EQ(app.GetFolders().size(), 1u);
    });
    host::SetAppControlOpener(nullptr);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].args, std::vector<std::wstring>{L"url:file:///Res/Help/remote_folder_form.html"});
    EXPECT_EQ(StoredValue(L"RF1", L"ShareName"), L"Other");
    EXPECT_EQ(StoredValue(L"RF1", L"Password"), L"secret");
}

}  // namespace
}  // namespace netfolders
