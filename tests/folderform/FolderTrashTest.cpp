// Deleting in the phone's own places moves to their trash, as a user does it through the lists: the
// question names the trash, what was deleted shows on the trash screen with where it came from, and
// comes back from there (the clash asked about), or goes for good. The private files' trash shows only
// after their password.

#include <filesystem>

#include "../platform/LoopUntil.h"
#include "FolderFormHarness.h"
#include "app/MainForm.h"
#include "app/Results.h"
#include "app/TrashForm.h"
#include "fs/Trash.h"
#include "fs/TrashPlaces.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using testsupport::UiDriver;

class FolderTrashTest : public FolderFormTest {
protected:
    static Osp::Ui::Controls::List& MainList() {
        return *dynamic_cast<Osp::Ui::Controls::List*>(
            Corvane::GetMyInstance()->GetMainForm()->GetControl(Osp::Base::String(L"IDC_MAIN_FOLDERS_LIST")));
    }
    static Osp::Ui::Controls::List* TrashList(const UiDriver& ui) {
        return ui.Find<Osp::Ui::Controls::List>(L"IDC_TRASH_LIST");
    }
    // The names and places the trash screen lists.
    static std::vector<std::wstring> TrashRows(const UiDriver& ui) {
        std::vector<std::wstring> rows;
        Osp::Ui::Controls::List* list = TrashList(ui);
        for (int i = 0; list != nullptr && i < list->GetItemCount(); ++i) {
            const std::wstring about = list->GetItemText(i, 1).Units();
            rows.push_back(list->GetItemText(i).Units() + L" | " + about.substr(0, about.find(L", ")));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    static int TrashIndexOf(const UiDriver& ui, const std::wstring& name) {
        Osp::Ui::Controls::List* list = TrashList(ui);
        for (int i = 0; list != nullptr && i < list->GetItemCount(); ++i) {
            if (list->GetItemText(i).Units() == name) {
                return i;
            }
        }
        ADD_FAILURE() << "not in the trash: " << Narrow(name);
        return 0;
    }
    static void TrashMenu(UiDriver& ui, const std::wstring& name, const wchar_t* entry) {
        ui.TapListItem(*TrashList(ui), TrashIndexOf(ui, name));
        ui.Pump(0);
        ASSERT_TRUE(ui.ChooseMenuItem(entry)) << Narrow(entry);
        ui.Pump(0);
    }
    // Back on the main list, then into the trash through its item, as a user goes.
    static void OpenTrash(UiDriver& ui) {
        Corvane* app = Corvane::GetMyInstance();
        app->SwitchToForm(app->GetMainForm());
        ui.Pump(0);
        const int index = MainList().GetItemIndexFromItemId(MainForm::kTrashItemId);
        ASSERT_EQ(MainList().GetItemText(index).Units(), L"Trash");
        ui.TapListItem(MainList(), index);
        ui.Pump(0);
        ASSERT_NE(dynamic_cast<TrashForm*>(ui.GetFrame().GetCurrentForm()), nullptr);
    }
    std::string HomeTrash(const std::string& rest) const {
        return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/" + rest;
    }
    static std::string ReadHost(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(HomeTrash(""), ignored);
    }
};

TEST_F(FolderTrashTest, DeletedItemsGoToTheTrashAndComeBackFromItsScreen) {
    root.Write("Media/one.txt", "1");
    root.Write("Media/tree/a/b.txt", "b");
    root.Write("Media/s1.txt", "s");
    root.Write("Media/s2.txt", "s");
    root.Write("Media/keep.txt", "k");
    root.Write("Home/secret.txt", "private");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_MEDIA);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"one.txt", L"Delete");
        EXPECT_EQ(LastBox(ui), L"Delete|Move 'one.txt' to the trash?");
        EXPECT_FALSE(root.Exists("Media/one.txt"));
        EXPECT_EQ(ReadHost(HomeTrash("files/one.txt")), "1");

        for (const wchar_t* name : {L"tree", L"s1.txt", L"s2.txt"}) {
            ui.ToggleListItem(List(ui), IndexOf(ui, name));
        }
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"s1.txt", L"Delete");
        EXPECT_EQ(LastBox(ui), L"Delete|Move these 3 items to the trash?");
        ui.Pump(0);
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"keep.txt"}));
        EXPECT_EQ(ReadHost(HomeTrash("files/tree/a/b.txt")), "b");

        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"secret.txt", L"Delete");
        EXPECT_EQ(root.Read("Home/.Trash/files/secret.txt"), "private");
        EXPECT_EQ(ui.MessageBoxes().size(), 3u);  // the questions, no error

        OpenTrash(ui);
        EXPECT_EQ(TrashRows(ui),
                  (std::vector<std::wstring>{L"one.txt | Phone Memory", L"s1.txt | Phone Memory",
                                             L"s2.txt | Phone Memory", L"secret.txt | My Private Files",
                                             L"tree | Phone Memory"}));
        Shot(ui, "trash-list");

        TrashMenu(ui, L"one.txt", L"Restore");
        EXPECT_EQ(root.Read("Media/one.txt"), "1");
        // The name is taken again: the question, and the occupant goes to the trash in its place.
        root.Write("Media/s1.txt", "newer");
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        TrashMenu(ui, L"s1.txt", L"Restore");
        EXPECT_EQ(
            LastBox(ui),
            L"Restore|'s1.txt' exists already in Phone Memory. Replace it? The one there goes to the trash.");
        EXPECT_EQ(root.Read("Media/s1.txt"), "s");
        EXPECT_EQ(TrashRows(ui),
                  (std::vector<std::wstring>{L"s1.2.txt | Phone Memory", L"s2.txt | Phone Memory",
                                             L"secret.txt | My Private Files", L"tree | Phone Memory"}));
        EXPECT_EQ(ReadHost(HomeTrash("files/s1.2.txt")), "newer");

        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        TrashMenu(ui, L"tree", L"Delete permanently");
        EXPECT_EQ(LastBox(ui), L"Delete|Delete 'tree' permanently?");
        EXPECT_FALSE(std::filesystem::exists(HomeTrash("files/tree")));
        EXPECT_FALSE(std::filesystem::exists(HomeTrash("info/tree.trashinfo")));

        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_0);
        ui.Pump(0);
        EXPECT_EQ(LastBox(ui), L"Empty trash|Delete the 3 items in the trash permanently?");
        EXPECT_TRUE(TrashRows(ui).empty());
        EXPECT_TRUE(std::filesystem::is_empty(HomeTrash("files")));
        EXPECT_EQ(root.Read("Media/s1.txt"), "s");

        // Back on the main list, the trash's size is counted away from the screen and shown when known.
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        const auto size = [] {
            return MainList()
                .GetItemText(MainList().GetItemIndexFromItemId(MainForm::kTrashItemId), 1)
                .Units();
        };
        EXPECT_TRUE(LoopUntil([&] { return size() == L"Empty"; })) << Narrow(size());
    });
}

TEST_F(FolderTrashTest, ThePrivateTrashShowsOnlyAfterThePasswordAndDeletingInATrashIsForGood) {
    root.Write("Home/secret.txt", "private");
    root.Write("Media/open.txt", "open");
    Run([&](UiDriver& ui) {
        Corvane* app = Corvane::GetMyInstance();
        for (const auto& [place, path] : {std::pair{LocalBrowser::ROOT_HOME, L"/Home/secret.txt"},
                                          std::pair{LocalBrowser::ROOT_MEDIA, L"/Media/open.txt"}}) {
            std::wstring folder;
            ASSERT_TRUE(TrashOfRoot(place, &folder));
            ASSERT_EQ(Trash(folder).Put(path), RES_OK);
        }
        app->SetPassword(L"pass");
        app->SetPasswordEntered(false);
        OpenTrash(ui);
        EXPECT_EQ(TrashRows(ui), (std::vector<std::wstring>{L"open.txt | Phone Memory"}));
        app->SetPasswordEntered(true);
        OpenTrash(ui);
        EXPECT_EQ(TrashRows(ui),
                  (std::vector<std::wstring>{L"open.txt | Phone Memory", L"secret.txt | My Private Files"}));

        // The private trash is a hidden folder of the private files; what is deleted there is gone.
        app->SetShowHidden(true);
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L".Trash");
        OpenItem(ui, L"files");
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"secret.txt", L"Delete");
        EXPECT_EQ(LastBox(ui), L"Delete|Delete the file 'secret.txt'?");
        ui.Pump(0);
        EXPECT_FALSE(root.Exists("Home/.Trash/files/secret.txt"));
    });
}

}  // namespace
