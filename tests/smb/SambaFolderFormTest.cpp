// The folder list over a real Samba share, driven as a user does: rename, new folder, delete of a file, a
// tree and a selection with the progress popup, and the details of a folder counted on the server.

#include <algorithm>
#include <filesystem>

#include "../folderform/FolderListUi.h"
#include "SambaFixture.h"
#include "app/Corvane.h"
#include "testsupport/UiDriver.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using testsupport::UiDriver;

class SambaFolderFormTest : public SambaFixture, protected FolderListUi {
protected:
    // Runs the loop until the condition holds, at most for ten seconds.
    template <typename Condition>
    static bool WaitFor(UiDriver& ui, Condition condition) {
        for (int waited = 0; !condition() && waited < 10000; waited += 20) {
            ui.Pump(20);
        }
        return condition();
    }
    static bool Exists(const std::string& relative) { return std::filesystem::exists(HostPath(relative)); }
};

TEST_F(SambaFolderFormTest, RenamesMakesFoldersDeletesAndCountsOnTheShare) {
    PutFile("docs/a.txt", "a");
    PutFile("docs/tree/x/one.bin", std::string(1000, '1'));
    PutFile("docs/tree/two.bin", std::string(2000, '2'));
    PutFile("docs/s1.txt", "s");
    PutFile("docs/s2.txt", "s");
    PutFile("docs/sel/inner.txt", "i");
    PutFile("docs/keep.txt", "k");
    ASSERT_TRUE(RunInApp([&] {
        UiDriver ui;
        Corvane& app = *Corvane::GetMyInstance();
        app.SwitchToForm(app.CreateFolderForm(Smb1Browser(folder_)));
        ASSERT_TRUE(WaitForTitle(ui, L"\\\\CORVTEST\\corvshare", 20000)) << Narrow(Title(ui));
        OpenItem(ui, L"docs");
        ASSERT_TRUE(WaitForTitle(ui, L"\\\\CORVTEST\\corvshare\\docs", 10000));

        ItemMenu(ui, L"a.txt", L"Rename");
        Type(ui, L"b.txt");
        EXPECT_TRUE(WaitFor(ui, [] { return Exists("docs/b.txt") && !Exists("docs/a.txt"); }));
        auto listed = [&](const wchar_t* name) {
            const std::vector<std::wstring> names = Names(ui);
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        EXPECT_TRUE(WaitFor(ui, [&] { return listed(L"b.txt"); }));

        for (int i = 0; i < 2; ++i) {
            if (i == 1) {
                ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
            }
            ChooseOption(ui, {L"New Folder"});
            Type(ui, L"Fresh");
            WaitFor(ui, [&] { return Exists("docs/Fresh") && (i == 0 || !ui.MessageBoxes().empty()); });
            // The list is filled anew after the folder is made; the menu waits for that.
            WaitFor(ui, [&] { return listed(L"Fresh"); });
        }
        EXPECT_TRUE(std::filesystem::is_directory(HostPath("docs/Fresh")));
        // The list is filled anew after a folder is made; the next steps need its items.
        EXPECT_TRUE(WaitFor(ui, [&] { return listed(L"Fresh") && listed(L"tree"); }));
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(ui.MessageBoxes()[0].text.rfind(L"Unable to create the folder 'Fresh'\n\n", 0), 0u);

        ItemMenu(ui, L"tree", L"Details");
        EXPECT_TRUE(WaitFor(ui, [&] { return ui.TextOf(L"IDC_SIZE") == L"2.93 KB (2 files, 1 folders)"; }))
            << Narrow(ui.TextOf(L"IDC_SIZE"));
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);

        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"b.txt", L"Delete");
        EXPECT_TRUE(WaitFor(ui, [&] { return !Exists("docs/b.txt") && !listed(L"b.txt"); }));

        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"tree", L"Delete");
        WaitWhileShown(ui, L"IDC_NOTE", 10000);
        EXPECT_FALSE(Exists("docs/tree"));
        EXPECT_TRUE(WaitFor(ui, [&] { return !listed(L"tree") && listed(L"sel"); }));

        for (const wchar_t* name : {L"sel", L"s1.txt", L"s2.txt"}) {
            ui.ToggleListItem(List(ui), IndexOf(ui, name));
        }
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"s2.txt", L"Delete");
        WaitWhileShown(ui, L"IDC_NOTE", 10000);
        EXPECT_FALSE(Exists("docs/sel"));
        EXPECT_FALSE(Exists("docs/s1.txt"));
        EXPECT_FALSE(Exists("docs/s2.txt"));
        EXPECT_TRUE(Exists("docs/keep.txt"));
        EXPECT_TRUE(WaitFor(ui, [&] {
            return Names(ui) == std::vector<std::wstring>{L"Fresh", L"keep.txt"};
        }));
        EXPECT_EQ(ui.MessageBoxes().size(), 4u);  // the taken name, then three questions; no error
    }));
}

TEST_F(SambaFolderFormTest, AShareOpenedAgainAfterItsServerRestartedIsListedOrSaysWhyNot) {
    // The SMB 2/3 client still took itself for connected: the root was listed into an empty, untitled list
    // that read "Empty folder", and nothing told the user that the listing had failed.
    PutFile("docs/a.txt", "a");
    ASSERT_TRUE(RunInApp([&] {
        UiDriver ui;
        Corvane& app = *Corvane::GetMyInstance();
        NetBrowser* browser = Smb2TestBrowser(folder_);
        app.SwitchToForm(app.CreateFolderForm(browser));
        ASSERT_TRUE(WaitForTitle(ui, L"\\\\CORVTEST\\corvshare", 20000)) << Narrow(Title(ui));
        std::string error;
        ASSERT_TRUE(Server().Restart(&error)) << error;
        const size_t boxes = ui.MessageBoxes().size();
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        app.SwitchToForm(app.CreateFolderForm(browser));
        auto answered = [&] { return !Title(ui).empty() || ui.MessageBoxes().size() > boxes; };
        WaitFor(ui, answered);
        EXPECT_TRUE(answered()) << "the share's root shows neither its listing nor an error";
    }));
}

}  // namespace
