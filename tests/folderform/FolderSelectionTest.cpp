// Selection commands, what happens to check marks when the list is filled again, and which menu a long
// press or a tap on the empty area opens.

#include "FolderFormHarness.h"

namespace {

using testsupport::PhoneKey;
using testsupport::UiDriver;

std::vector<std::wstring> SelectedNames(const UiDriver& ui, FolderForm& form) {
    std::vector<int> indices;
    const int count = form.GetSelectedItems(&indices);
    EXPECT_EQ(count, static_cast<int>(indices.size()));
    std::vector<std::wstring> names;
    for (int index : indices) {
        names.push_back(ui.Find<Osp::Ui::Controls::List>(L"IDC_FOLDERS_LIST")->GetItemText(index).Units());
    }
    return names;
}

TEST_F(FolderFormTest, SelectionCommandsAndCheckMarksThroughRefills) {
    for (const char* name : {"a1", "a2", "a3", "b1", "b2", "b3", "c1", "c2", "c3"}) {
        root.Write(std::string("Home/") + name + ".txt", "x");
    }
    const std::vector<std::wstring> all = {L"a1.txt", L"a2.txt", L"a3.txt", L"b1.txt", L"b2.txt",
                                           L"b3.txt", L"c1.txt", L"c2.txt", L"c3.txt"};
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ASSERT_EQ(Names(ui).back(), L"<pad>");

        ChooseOption(ui, {L"Select", L"Select All"});
        EXPECT_EQ(SelectedNames(ui, Form()), all);  // the padding item is never counted
        ChooseOption(ui, {L"Select", L"Deselect All"});
        EXPECT_TRUE(SelectedNames(ui, Form()).empty());

        ui.ToggleListItem(List(ui), 1);
        ui.ToggleListItem(List(ui), 3);
        ChooseOption(ui, {L"Select", L"Invert Selection"});
        const std::vector<std::wstring> inverted = {L"a1.txt", L"a3.txt", L"b2.txt", L"b3.txt",
                                                    L"c1.txt", L"c2.txt", L"c3.txt"};
        EXPECT_EQ(SelectedNames(ui, Form()), inverted);

        // Listing the folder again keeps what was checked.
        ChooseOption(ui, {L"Refresh"});
        EXPECT_EQ(SelectedNames(ui, Form()), inverted);

        // A filter keeps the marks of what it still shows and drops the rest, so that nothing out of
        // sight stays selected.
        Filter(ui, L"b");
        EXPECT_EQ(SelectedNames(ui, Form()), (std::vector<std::wstring>{L"b2.txt", L"b3.txt"}));
        Filter(ui, L"");
        EXPECT_EQ(SelectedNames(ui, Form()), (std::vector<std::wstring>{L"b2.txt", L"b3.txt"}));

        // A folder entered and left again starts without marks.
        root.MakeDir("Home/sub");
        ChooseOption(ui, {L"Refresh"});
        OpenItem(ui, L"sub");
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        EXPECT_TRUE(SelectedNames(ui, Form()).empty());
    });
}

TEST_F(FolderFormTest, LongPressAndEmptyAreaOpenTheMenuOfWhatIsUnderTheFinger) {
    root.MakeDir("Home/Sub");
    root.Write("Home/a.txt", "x");
    root.Write("Home/b.txt", "x");
    root.Write("Media/m.txt", "x");
    const std::vector<std::wstring> itemMenu = {L"Details", L"Rename", L"Delete", L"Copy", L"Cut"};
    const std::vector<std::wstring> selMenu = {L"Details", L"Copy", L"Cut", L"Delete"};
    const Osp::Graphics::Point emptyArea(100, 600);
    Run([&](UiDriver& ui) {
        auto menuAfter = [&](const std::function<void()>& touch) {
            touch();
            ui.Pump(0);
            std::vector<std::wstring> items = ui.MenuItems();
            if (ui.IsMenuOpen()) {
                ui.PressKey(PhoneKey::kEscape);
                ui.Pump(0);
            }
            return items;
        };
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        EXPECT_EQ(menuAfter([&] { ui.LongPressListItem(List(ui), IndexOf(ui, L"a.txt")); }), itemMenu);
        // A long press on a folder opens its menu, not the folder.
        EXPECT_EQ(menuAfter([&] { ui.LongPressListItem(List(ui), IndexOf(ui, L"Sub")); }), itemMenu);
        EXPECT_EQ(Title(ui), L"/Home");
        ui.ToggleListItem(List(ui), IndexOf(ui, L"b.txt"));
        EXPECT_EQ(menuAfter([&] { ui.LongPressListItem(List(ui), IndexOf(ui, L"b.txt")); }), selMenu);
        // The empty area of a folder where new folders can be made.
        EXPECT_EQ(menuAfter([&] { ui.Tap(List(ui), emptyArea); }), std::vector<std::wstring>{L"New Folder"});
        // The next tap on a folder opens it: the long presses left nothing behind.
        OpenItem(ui, L"Sub");
        EXPECT_EQ(Title(ui), L"/Home/Sub");

        // The phone memory takes no new folders: its empty area has no menu, its items have theirs.
        OpenRoot(ui, LocalBrowser::ROOT_MEDIA);
        EXPECT_TRUE(menuAfter([&] { ui.Tap(List(ui), emptyArea); }).empty());
        EXPECT_EQ(menuAfter([&] { ui.LongPressListItem(List(ui), 0); }), itemMenu);
    });
}

TEST_F(FolderFormTest, LongPressInTheBottomBandOpensNoMenu) {
    for (int i = 0; i < 12; ++i) {
        root.Write("Media/f" + std::to_string(10 + i) + ".txt", "x");
    }
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_MEDIA);
        const Osp::Ui::Controls::List& list = List(ui);
        ui.LongPress(list, Osp::Graphics::Point(100, list.GetHeight() - 20));
        ui.Pump(0);
        EXPECT_FALSE(ui.IsMenuOpen());
        ui.LongPress(list, Osp::Graphics::Point(100, list.GetHeight() - 60));
        ui.Pump(0);
        EXPECT_TRUE(ui.IsMenuOpen());
    });
}

// A folder of several kinds of files with some checked, saved as folder-list-checked.png into
// $CORVANE_SCREENSHOT_DIR when that is set, for a person to look at.
TEST_F(FolderFormTest, CheckedItemsShowInAListOfManyKinds) {
    root.MakeDir("Home/Photos");
    root.MakeDir("Home/Music");
    for (const char* name : {"Holiday 2011.jpg", "notes.txt", "Backup.zip", "Report final.pdf", "theme.smt",
                             "song.mp3", "Budget.xlsx", "clip.mp4", "readme"}) {
        root.Write(std::string("Home/") + name, "x");
    }
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        ui.ToggleListItem(List(ui), IndexOf(ui, L"Backup.zip"));
        ui.ToggleListItem(List(ui), IndexOf(ui, L"Holiday 2011.jpg"));
        ui.ToggleListItem(List(ui), IndexOf(ui, L"notes.txt"));
        ui.Pump(50);
        EXPECT_EQ(SelectedNames(ui, Form()),
                  (std::vector<std::wstring>{L"Backup.zip", L"Holiday 2011.jpg", L"notes.txt"}));
        EXPECT_EQ(List(ui).GetTopDrawnItemIndex(), 0);
        if (const char* dir = std::getenv("CORVANE_SCREENSHOT_DIR")) {
            EXPECT_TRUE(ui.SaveScreenshot(std::string(dir) + "/folder-list-checked.png"));
        }
    });
}

}  // namespace
