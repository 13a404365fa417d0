// What the folder list shows: the order of entries, the item limit and its warning, the filter and its
// title, hidden entries and the blank padding item.

#include <cstdio>

#include "FolderFormHarness.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using Osp::Ui::Controls::MSGBOX_STYLE_OK;

std::string Numbered(const char* prefix, int n, const char* suffix) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%04d%s", prefix, n, suffix);
    return name;
}

TEST_F(FolderFormTest, LargeFolderListsFoldersFirstUpToTheLimitAndWarnsOnce) {
    // Files named so that, sorted together, they come before the folders: only the fill puts folders first.
    for (int i = 0; i < 300; ++i) {
        root.MakeDir(Numbered("Media/Big/zdir_", i, ""));
    }
    for (int i = 0; i < 1200; ++i) {
        root.Write(Numbered("Media/Big/afile_", i, ".txt"), "x");
    }
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_MEDIA);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        OpenItem(ui, L"Big");

        const std::vector<std::wstring> names = Names(ui);
        ASSERT_EQ(names.size(), 1001u);  // the limit, then the padding item
        EXPECT_EQ(names[0], L"zdir_0000");
        EXPECT_EQ(names[299], L"zdir_0299");
        EXPECT_EQ(names[300], L"afile_0000.txt");
        EXPECT_EQ(names[999], L"afile_0699.txt");
        EXPECT_EQ(names[1000], L"<pad>");
        EXPECT_EQ(List(ui).GetItemIdAt(0), 1200);  // identifiers index the sorted entries

        const std::vector<testsupport::ShownMessageBox> boxes = ui.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, L"Too many items (1500)");
        EXPECT_EQ(boxes[0].text,
                  L"Only the first 1000 items in this folder are shown.\n\n"
                  L"Please use the Filter/Search menu to see specific items.");
        EXPECT_EQ(boxes[0].style, MSGBOX_STYLE_OK);
        EXPECT_EQ(boxes[0].timeout, 0u);

        // A filter that leaves fewer than the limit shows them all without a warning.
        Filter(ui, L"afile_00");
        EXPECT_EQ(Names(ui).size(), 101u);
        EXPECT_EQ(Title(ui), L"[afile_00] in /Media/Big");
        EXPECT_EQ(ui.MessageBoxes().size(), 1u);
    });
}

TEST_F(FolderFormTest, FilterMatchesAsTheUserMeansIt) {
    for (const char* name : {"xABCy.txt", "xabc", "abc", "AbC.doc", "a-c", "other.txt"}) {
        root.Write(std::string("Home/Docs/") + name, "x");
    }
    root.MakeDir("Home/Docs/abc folder");
    struct Case {
        const wchar_t* filter;
        std::vector<std::wstring> names;
        const wchar_t* title;
        const wchar_t* emptyText;
    };
    const Case cases[] = {
        // Plain text looks for a substring, without case.
        {L"abc", {L"abc folder", L"abc", L"AbC.doc", L"xabc", L"xABCy.txt"}, L"[abc] in /Home/Docs", nullptr},
        // A wildcard pattern is used as typed, lower-cased, and must match the whole name.
        {L"a?c", {L"a-c", L"abc"}, L"[a?c] in /Home/Docs", nullptr},
        {L"*.TXT", {L"other.txt", L"xABCy.txt"}, L"[*.TXT] in /Home/Docs", nullptr},
        {L"nothing", {}, L"[nothing] in /Home/Docs", L"No matching files or folders"},
        // An empty filter shows everything again.
        {L"",
         {L"abc folder", L"a-c", L"abc", L"AbC.doc", L"other.txt", L"xabc", L"xABCy.txt"},
         L"/Home/Docs",
         L"Empty folder"},
    };
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"Docs");
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.filter, c.filter + wcslen(c.filter)));
            Filter(ui, c.filter);
            EXPECT_EQ(Names(ui), c.names);
            EXPECT_EQ(Title(ui), c.title);
            if (c.emptyText != nullptr) {
                EXPECT_EQ(List(ui).GetTextOfEmptyList().Units(), c.emptyText);
            }
        }
        // The keypad offers the filter last applied.
        Filter(ui, L"ab");
        ChooseOption(ui, {L"Filter / Search"});
        ASSERT_TRUE(ui.IsKeypadOpen());
        ASSERT_TRUE(ui.CancelKeypad());
        ui.Pump(0);
        EXPECT_EQ(Form().GetFilter(), L"ab");
        EXPECT_EQ(Title(ui), L"[ab] in /Home/Docs");
    });
}

TEST_F(FolderFormTest, HiddenEntriesShowOnlyWhenAskedAndDotEntriesNever) {
    root.Write("Home/.profile", "x");  // a leading dot hides a name on this platform
    root.Write("Home/visible.txt", "x");
    root.MakeDir("Home/Cache");  // the cache folder of the private files is hidden by the browser
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"visible.txt"}));
        EXPECT_EQ(Title(ui), L"/Home");

        Corvane::GetMyInstance()->SetShowHidden(true);
        ChooseOption(ui, {L"Refresh"});
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"Cache", L".profile", L"visible.txt"}));
    });
}

TEST_F(FolderFormTest, PaddingItemFollowsTheCountAndTheOrientation) {
    for (int i = 0; i < 7; ++i) {
        root.Write(Numbered("Media/f", i, ".txt"), "x");
    }
    root.Write("Media/g.txt", "x");
    Run([&](testsupport::UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_MEDIA);
        Osp::Ui::Controls::List& list = List(ui);
        // Eight items in portrait bring the blank, disabled item.
        ASSERT_EQ(list.GetItemCount(), 9);
        EXPECT_EQ(list.GetItemIdAt(8), -1);
        EXPECT_FALSE(list.IsItemEnabled(8));
        EXPECT_EQ(list.GetColumn2Width(), 400);

        Filter(ui, L"f");  // seven items: no padding
        EXPECT_EQ(Names(ui).back(), L"f0006.txt");

        ui.PressKey(testsupport::PhoneKey::kRotate);
        ui.Pump(0);
        EXPECT_EQ(Names(ui).back(), L"<pad>");  // more than three in landscape
        EXPECT_EQ(list.GetColumn2Width(), 720);
        EXPECT_EQ(Names(ui).size(), 8u);
    });
}

}  // namespace
