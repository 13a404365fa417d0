// Moving between folders: opening a sub-folder, Back with the remembered scroll position, and the path
// menu of the left soft key.

#include "FolderFormHarness.h"
#include "app/MainForm.h"
#include "testsupport/AppControlRecorder.h"

namespace {

using Osp::Ui::Controls::SOFTKEY_0;
using Osp::Ui::Controls::SOFTKEY_1;

std::string TwoDigits(int n) {
    return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10);
}

TEST_F(FolderFormTest, BackRestoresTheScrollPositionOfTheFolderLeft) {
    for (int i = 0; i < 40; ++i) {
        root.MakeDir("Media/d" + TwoDigits(i));
    }
    root.Write("Media/d25/inside.txt", "x");
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_MEDIA);
        List(ui).ScrollToTop(20);
        ui.Pump(0);
        ASSERT_EQ(List(ui).GetTopDrawnItemIndex(), 20);
        OpenItem(ui, L"d25");
        EXPECT_EQ(Title(ui), L"/Media/d25");
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"inside.txt"}));
        EXPECT_EQ(List(ui).GetTopDrawnItemIndex(), 0);  // a new folder starts at its top

        ui.PressSoftkey(SOFTKEY_1);
        ui.Pump(0);
        EXPECT_EQ(Title(ui), L"/Media");
        EXPECT_EQ(List(ui).GetTopDrawnItemIndex(), 20);
        EXPECT_EQ(Names(ui).size(), 41u);
    });
}

TEST_F(FolderFormTest, BackLeavesTheFilterBehindAndReturnsToTheParent) {
    root.Write("Home/Docs/Letters/a.txt", "x");
    root.Write("Home/Docs/b.txt", "x");
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"Docs");
        Filter(ui, L"Let");
        OpenItem(ui, L"Letters");
        EXPECT_EQ(Title(ui), L"/Home/Docs/Letters");  // a new folder starts unfiltered
        ui.PressSoftkey(SOFTKEY_1);
        ui.Pump(0);
        EXPECT_EQ(Title(ui), L"/Home/Docs");
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"Letters", L"b.txt"}));
    });
}

TEST_F(FolderFormTest, PathMenuListsTheFoldersAboveAndReturnsToOne) {
    root.Write("Home/a/b/c/file.txt", "x");
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        for (const wchar_t* name : {L"a", L"b", L"c"}) {
            OpenItem(ui, name);
        }
        ASSERT_EQ(Title(ui), L"/Home/a/b/c");
        ui.PressSoftkey(SOFTKEY_0);
        ui.Pump(0);
        EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Home", L"/Home/", L"a", L"b"}));
        ASSERT_TRUE(ui.ChooseMenuItem(L"a"));
        ui.Pump(0);
        EXPECT_EQ(Title(ui), L"/Home/a");
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"b"}));

        // The stack was cut to the folder chosen: Back goes on to its parent.
        ui.PressSoftkey(SOFTKEY_1);
        ui.Pump(0);
        EXPECT_EQ(Title(ui), L"/Home");
    });
}

TEST_F(FolderFormTest, PathMenuOfADeepFolderShowsItsNearestParents) {
    root.Write("Home/1/2/3/4/5/6/7/8/file.txt", "x");
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        for (const wchar_t* name : {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"}) {
            OpenItem(ui, name);
        }
        ui.PressSoftkey(SOFTKEY_0);
        ui.Pump(0);
        EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Home", L"3", L"4", L"5", L"6", L"7"}));
        ASSERT_TRUE(ui.ChooseMenuItem(L"4"));
        ui.Pump(0);
        EXPECT_EQ(Title(ui), L"/Home/1/2/3/4");
        ui.PressSoftkey(SOFTKEY_0);
        ui.Pump(0);
        EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Home", L"/Home/", L"1", L"2", L"3"}));
    });
}

TEST_F(FolderFormTest, BackAtTheRootAndHomeInThePathMenuLeadToTheMainForm) {
    root.Write("Home/a/f.txt", "x");
    Run([&](testsupport::UiDriver& ui) {
        Corvane& app = *Corvane::GetMyInstance();
        Osp::Ui::Controls::Form* mainForm = app.GetMainForm();
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ui.PressSoftkey(SOFTKEY_1);
        ui.Pump(0);
        EXPECT_EQ(ui.GetFrame().GetCurrentForm(), mainForm);

        app.SwitchToForm(&Form());
        OpenItem(ui, L"a");
        ui.PressSoftkey(SOFTKEY_0);
        ui.Pump(0);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Home"));
        ui.Pump(0);
        EXPECT_EQ(ui.GetFrame().GetCurrentForm(), mainForm);
        // The folder form let go of its folders: switched back to, it has nothing to list.
        app.SwitchToForm(&Form());
        ui.Pump(0);
        EXPECT_TRUE(Names(ui).empty());
    });
}

TEST_F(FolderFormTest, HelpOpensThePageOfTheFolderList) {
    Run([&](testsupport::UiDriver& ui) {
        testsupport::AppControlRecorder recorder;
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ChooseOption(ui, {L"Help"});
        ASSERT_EQ(recorder.Launches().size(), 1u);
        EXPECT_EQ(recorder.Launches()[0].args,
                  (std::vector<std::wstring>{L"url:file:///Res/Help/folder_form.html"}));
    });
}

}  // namespace
