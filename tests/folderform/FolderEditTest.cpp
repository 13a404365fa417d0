// Acting on files where they are, through the list as a user does: opening text files and pictures,
// renaming with its questions, new folders, deleting a file, a tree and a selection with the progress
// popup, Cancel, and the details popups counting folders live.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "FolderFormHarness.h"
#include "testsupport/AppControlRecorder.h"
#include "text/TextForm.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_NO;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using testsupport::UiDriver;

class FolderEditTest : public FolderFormTest {};

TEST_F(FolderEditTest, TextFilesOpenInTheViewerAndPicturesInThePhonesApplication) {
    root.Write("Home/notes.txt", "First line\nsecond line\n");
    root.Write("Home/pic.jpg", "\xff\xd8\xff");
    root.Write("Home/README", "plain words");
    Run([&](UiDriver& ui) {
        testsupport::AppControlRecorder recorder;
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"notes.txt");
        auto* viewer = dynamic_cast<TextForm*>(ui.GetFrame().GetCurrentForm());
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->GetText().substr(0, 10), u"First line");
        Corvane::GetMyInstance()->CloseTextForm();
        ui.Pump(0);

        OpenItem(ui, L"pic.jpg");
        ASSERT_EQ(recorder.Launches().size(), 1u);
        const host::AppControlLaunch& launch = recorder.Launches()[0];
        EXPECT_EQ(launch.appControlId, L"osp.appcontrol.IMAGE");
        EXPECT_EQ(launch.args, (std::vector<std::wstring>{L"path:/Home/pic.jpg", L"type:image"}));
        EXPECT_EQ(launch.url, "file://" + root.Host("Home/pic.jpg"));

        // A file of no known type is offered as text; No leaves the list.
        ui.AnswerNextMessageBox(MSGBOX_RESULT_NO);
        OpenItem(ui, L"README");
        EXPECT_EQ(LastBox(ui), L"Unknown file type|Open 'README' as a text file?");
        EXPECT_EQ(dynamic_cast<TextForm*>(ui.GetFrame().GetCurrentForm()), nullptr);
    });
}

TEST_F(FolderEditTest, PipesAreNeverOpened) {
    ASSERT_EQ(::mkfifo(root.Host("Home/pipe.txt").c_str(), 0600), 0);
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ui.AnswerNextMessageBox(Osp::Ui::Controls::MSGBOX_RESULT_CLOSE);
        OpenItem(ui, L"pipe.txt");
        EXPECT_EQ(LastBox(ui), L"|Unsupported file type");
        EXPECT_EQ(dynamic_cast<TextForm*>(ui.GetFrame().GetCurrentForm()), nullptr);
    });
}

TEST_F(FolderEditTest, RenameAsksAboutExtensionsAndRefusesInvalidNames) {
    root.Write("Home/a.txt", "x");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        // Extensions compare without case: no question.
        ItemMenu(ui, L"a.txt", L"Rename");
        Type(ui, L"a.TXT");
        EXPECT_TRUE(ui.MessageBoxes().empty());
        EXPECT_TRUE(root.Exists("Home/a.TXT"));
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"a.TXT"}));

        ui.AnswerNextMessageBox(MSGBOX_RESULT_NO);
        ItemMenu(ui, L"a.TXT", L"Rename");
        Type(ui, L"a.doc");
        EXPECT_EQ(LastBox(ui),
                  L"Rename|If you change the file name extension, the file may become unusable.\n\n"
                  L"Do you want to change it?");
        EXPECT_TRUE(root.Exists("Home/a.TXT"));

        const std::wstring invalid =
            L"Rename failed|Invalid file or folder name was specified. The name cannot contain any of the "
            L"following characters: <, >, :, \", /, \\, |, ? and *.";
        for (const wchar_t* name : {L"../a.TXT", L"a..b.TXT", L"x\\y.TXT", L".", L"b/c.TXT", L"tab\t.TXT"}) {
            const size_t before = ui.MessageBoxes().size();
            ui.AnswerNextMessageBox(Osp::Ui::Controls::MSGBOX_RESULT_OK);
            ItemMenu(ui, L"a.TXT", L"Rename");
            Type(ui, name);
            ASSERT_EQ(ui.MessageBoxes().size(), before + 1) << Narrow(name);
            EXPECT_EQ(LastBox(ui), invalid) << Narrow(name);
        }
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"a.TXT"}));
    });
}

TEST_F(FolderEditTest, NewFolderTwiceTellsThatTheNameIsTaken) {
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        for (int i = 0; i < 2; ++i) {
            if (i == 1) {
                ui.AnswerNextMessageBox(Osp::Ui::Controls::MSGBOX_RESULT_OK);
            }
            ChooseOption(ui, {L"New Folder"});
            Type(ui, L"New Folder");
            ui.Pump(0);
        }
        EXPECT_TRUE(std::filesystem::is_directory(root.Host("Home/New Folder")));
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"New Folder"}));
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(
            LastBox(ui),
            L"Create new folder failed|Unable to create the folder 'New Folder'\n\nDuplicated file name");
    });
}

TEST_F(FolderEditTest, DeletesAFileATreeAndAMixedSelectionWithProgress) {
    root.Write("Home/one.txt", "1");
    root.Write("Home/tree/a/b/c.txt", "c");
    root.Write("Home/tree/d.txt", "d");
    root.Write("Home/sel/x.txt", "x");
    root.Write("Home/s1.txt", "s");
    root.Write("Home/s2.txt", "s");
    root.Write("Home/keep.txt", "k");
    Run([&](UiDriver& ui) {
        // The permanent delete, as without the trash.
        Corvane::GetMyInstance()->SetUseTrash(false);
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"one.txt", L"Delete");
        EXPECT_EQ(LastBox(ui), L"Delete|Delete the file 'one.txt'?");
        ui.Pump(0);
        EXPECT_FALSE(root.Exists("Home/one.txt"));

        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"tree", L"Delete");
        EXPECT_EQ(LastBox(ui), L"Delete|Delete the folder 'tree' and all its contents?");
        WaitWhileShown(ui, L"IDC_NOTE", 5000);
        EXPECT_FALSE(root.Exists("Home/tree"));

        for (const wchar_t* name : {L"sel", L"s1.txt", L"s2.txt"}) {
            ui.ToggleListItem(List(ui), IndexOf(ui, name));
        }
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"s1.txt", L"Delete");
        EXPECT_EQ(LastBox(ui), L"Delete multiple files|Delete these 3 items?");
        WaitWhileShown(ui, L"IDC_NOTE", 5000);
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"keep.txt"}));
        EXPECT_EQ(ui.MessageBoxes().size(), 3u);  // the three questions, no error
    });
}

TEST_F(FolderEditTest, CancelStopsTheDeleteQuietlyAndLeavesTheRest) {
    // Enough files that deleting them outlasts several refreshes of the progress (2,000 could go within the
    // first one, before the test saw a count to cancel at).
    for (int d = 0; d < 100; ++d) {
        for (int f = 0; f < 100; ++f) {
            root.Write("Home/big/d" + std::to_string(d) + "/f" + std::to_string(f), "x");
        }
    }
    Run([&](UiDriver& ui) {
        // The permanent delete, as without the trash.
        Corvane::GetMyInstance()->SetUseTrash(false);
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"big", L"Delete");
        // Waits until deleting has begun, then cancels.
        for (int i = 0; i < 500 && ui.TextOf(L"IDC_NOTE").find(L"deleted") == std::wstring::npos; ++i) {
            ui.Pump(5);
        }
        Shot(ui, "delete-progress");
        ASSERT_NE(ui.Find(L"IDC_CANCEL"), nullptr);
        ui.Tap(L"IDC_CANCEL");
        WaitWhileShown(ui, L"IDC_NOTE", 5000);
        EXPECT_EQ(ui.MessageBoxes().size(), 1u);  // the question only: a cancel is no error
        size_t left = 0;
        for (auto it = std::filesystem::recursive_directory_iterator(root.Host("Home/big"));
             it != std::filesystem::recursive_directory_iterator(); ++it) {
            left += it->is_regular_file() ? 1 : 0;
        }
        EXPECT_GT(left, 0u);
        EXPECT_LT(left, 10000u);
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"big"}));
    });
}

// Links to a folder outside the phone's folders, to an ancestor and to nothing, inside a tree that is counted
// and deleted: the details finish, the delete removes the links themselves, and nothing outside changes.
TEST_F(FolderEditTest, LinksInATreeAreCountedAndDeletedAsLinksOnly) {
    // "Outside" lies beside the phone's folders, where the program cannot reach.
    root.Write("Outside/keep/precious.txt", "precious");
    root.Write("Home/tree/sub/f.txt", "f");
    std::filesystem::create_directory_symlink(root.Host("Outside/keep"), root.Host("Home/tree/out"));
    std::filesystem::create_directory_symlink("..", root.Host("Home/tree/sub/up"));
    std::filesystem::create_symlink("nowhere", root.Host("Home/tree/dangling"));
    Run([&](UiDriver& ui) {
        // The permanent delete, as without the trash.
        Corvane::GetMyInstance()->SetUseTrash(false);
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ItemMenu(ui, L"tree", L"Details");
        ui.Pump(200);
        EXPECT_NE(ui.TextOf(L"IDC_SIZE").find(L"(4 files, 1 folders)"), std::wstring::npos)
            << Narrow(ui.TextOf(L"IDC_SIZE"));
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);

        OpenItem(ui, L"tree");
        ItemMenu(ui, L"out", L"Details");
        ui.Pump(100);
        EXPECT_EQ(ui.TextOf(L"IDC_TYPE"), L"Link to a folder");
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);

        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ItemMenu(ui, L"tree", L"Delete");
        WaitWhileShown(ui, L"IDC_NOTE", 5000);
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(root.Host("Home/tree"))));
        EXPECT_EQ(root.Read("Outside/keep/precious.txt"), "precious");
        EXPECT_EQ(ui.MessageBoxes().size(), 1u);
    });
}

TEST_F(FolderEditTest, DetailsCountFoldersLiveAndSelectionsSumTheirSizes) {
    root.Write("Home/pics/a.jpg", std::string(2000, 'a'));
    root.Write("Home/pics/b.jpg", std::string(2000, 'b'));
    root.Write("Home/pics/sub/c.jpg", std::string(2000, 'c'));
    root.Write("Home/x.jpg", std::string(1000, 'x'));
    root.Write("Home/y.jpg", std::string(25, 'y'));
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ItemMenu(ui, L"pics", L"Details");
        ui.Pump(100);
        EXPECT_EQ(ui.TextOf(L"IDC_TYPE"), L"Folder");
        EXPECT_EQ(ui.TextOf(L"IDC_SIZE"), L"5.86 KB (3 files, 1 folders)");
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);

        // Two pictures of 1025 bytes together: the same type and the exact count.
        ui.ToggleListItem(List(ui), IndexOf(ui, L"x.jpg"));
        ui.ToggleListItem(List(ui), IndexOf(ui, L"y.jpg"));
        ItemMenu(ui, L"x.jpg", L"Details");
        ui.Pump(100);
        EXPECT_EQ(ui.TextOf(L"IDC_TYPE"), L"All of type Image");
        EXPECT_EQ(ui.TextOf(L"IDC_NAME"), L"2 files");
        EXPECT_EQ(ui.TextOf(L"IDC_SIZE"), L"1.00 KB (1025 bytes)");
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);

        ui.ToggleListItem(List(ui), IndexOf(ui, L"pics"));
        ItemMenu(ui, L"pics", L"Details");
        ui.Pump(100);
        Shot(ui, "selection-details");
        EXPECT_EQ(ui.TextOf(L"IDC_NAME"), L"5 files, 2 folders");
        EXPECT_EQ(ui.TextOf(L"IDC_TYPE"), L"Various file types");
        EXPECT_EQ(ui.TextOf(L"IDC_SIZE"), L"6.86 KB (7025 bytes)");
        ui.Tap(L"IDC_CLOSE");
        ui.Pump(0);
    });
}

}  // namespace
