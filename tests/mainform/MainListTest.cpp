// The list of places: its items with and without a card and network folders, the blank last item in
// both orientations, taps and long presses, removing a network folder, the option menu and the exit
// question.

#include <gtest/gtest.h>

#include <cstdlib>

#include "MainFormHarness.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/Controls/Progress.h"
#include "net/RemoteFolder.h"
#include "testsupport/AppControlRecorder.h"

namespace mainform {
namespace {

using namespace Osp::Ui::Controls;
using testsupport::PhoneKey;
using testsupport::UiDriver;
using Texts = std::vector<std::wstring>;

TEST(MainListTest, WithoutSettingsOnlyLocalPlacesAndPrivateFilesOpenAtOnce) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        ASSERT_TRUE(OnMainForm(ui));
        List& list = MainList(ui);
        EXPECT_EQ(ItemTexts(list), (Texts{L"My Private Files", L"Phone Memory", L"Memory Card", L"Trash"}));
        ui.TapListItem(list, 0);
        EXPECT_EQ(OpenedRoot(ui, app), LocalBrowser::ROOT_HOME);
        EXPECT_TRUE(ui.MessageBoxes().empty());
    });
}

TEST(MainListTest, EachLocalItemOpensItsRoot) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        for (int index : {1, 2}) {
            app.SwitchToForm(app.GetMainForm());
            ui.TapListItem(MainList(ui), index);
            EXPECT_EQ(OpenedRoot(ui, app), index + 1) << "item " << index;
        }
    });
}

TEST(MainListTest, NetworkFoldersFollowTheLocalPlacesWithTheirIdentifiers) {
    PhoneRoot root;
    WriteSettings(3);
    RunOnPhone([](UiDriver& ui, Corvane&) {
        List& list = MainList(ui);
        EXPECT_EQ(ItemTexts(list), (Texts{L"My Private Files", L"Phone Memory", L"Memory Card",
                                          L"\\\\NAS1\\Share", L"\\\\NAS2\\Share", L"\\\\NAS3\\Share",
                                          L"Trash"}));
        EXPECT_EQ(list.GetItemIdAt(3), 1);
        EXPECT_EQ(list.GetItemIdAt(5), 3);
        if (const char* dir = std::getenv("CORVANE_SCREENSHOT_DIR")) {
            EXPECT_TRUE(ui.SaveScreenshot(std::string(dir) + "/main-list.png"));
            ui.PressKey(PhoneKey::kRotate);
            EXPECT_TRUE(ui.SaveScreenshot(std::string(dir) + "/main-list-landscape.png"));
        }
    });
}

TEST(MainListTest, FoldersAddedAndChangedDuringTheRunShowAtOnce) {
    PhoneRoot root;
    WriteSettings(3);
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        ASSERT_EQ(list.GetItemCount(), 7);
        auto* added = new RemoteFolder;
        added->SetNodeName(String(L"NEW"));
        added->SetShareName(String(L"Docs"));
        added->SetNewId();
        app.OnNewFolderAdded(added);
        // The eighth place goes before the trash and the blank item that comes with it.
        ASSERT_EQ(list.GetItemCount(), 9);
        EXPECT_EQ(list.GetItemText(6).Units(), L"\\\\NEW\\Docs");
        EXPECT_EQ(list.GetItemIdAt(6), static_cast<int>(added->GetId()));
        EXPECT_EQ(list.GetItemIdAt(7), MainForm::kTrashItemId);
        EXPECT_EQ(list.GetItemIdAt(8), MainForm::kPadItemId);

        RemoteFolder* changed = app.GetFolderById(2);
        changed->SetNodeName(String(L"RENAMED"));
        app.OnFolderChanged(changed, false);
        EXPECT_EQ(list.GetItemText(4).Units(), L"\\\\RENAMED\\Share");
        EXPECT_EQ(list.GetItemIdAt(4), 2);
    });
}

// The blank last item is there exactly when the places do not fit: more than seven upright, more than
// four on its side, and it follows the phone when it turns.
TEST(MainListTest, BlankLastItemWhenThePlacesDoNotFit) {
    struct Case {
        PhoneRoot::TCard card;
        int folders;
        bool turned;
        bool blank;
    };
    const Case cases[] = {
        {PhoneRoot::WITH_CARD, 5, false, true},   // 9 places upright, the trash among them
        {PhoneRoot::WITH_CARD, 4, false, true},   // 8
        {PhoneRoot::WITH_CARD, 3, false, false},  // 7
        {PhoneRoot::NO_CARD, 2, true, true},      // 5 on its side
        {PhoneRoot::NO_CARD, 1, true, false},     // 4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.folders << " folders, turned " << c.turned);
        PhoneRoot root(c.card);
        WriteSettings(c.folders);
        RunOnPhone([&](UiDriver& ui, Corvane& app) {
            if (c.turned) {
                ui.PressKey(PhoneKey::kRotate);
            }
            List& list = MainList(ui);
            const int places = app.GetLastLocalItem() + 2 + c.folders;
            ASSERT_EQ(list.GetItemCount(), places + (c.blank ? 1 : 0));
            if (c.blank) {
                EXPECT_EQ(list.GetItemIdAt(places), MainForm::kPadItemId);
                EXPECT_EQ(list.GetItemText(places).Units(), L"");
                EXPECT_FALSE(list.IsItemEnabled(places));
            }
            // Turning back takes it away again, or brings it.
            ui.PressKey(PhoneKey::kRotate);
            const bool blankTurned = places > (c.turned ? 7 : 4);
            EXPECT_EQ(list.GetItemCount(), places + (blankTurned ? 1 : 0));
        });
    }
}

TEST(MainListTest, LongPressOpensTheMenuOfThePlace) {
    PhoneRoot root;
    WriteSettings(6);
    RunOnPhone([](UiDriver& ui, Corvane&) {
        List& list = MainList(ui);
        const std::pair<int, Texts> cases[] = {
            {0, {L"Details", L"Set password"}},
            {1, {L"Details"}},
            {2, {L"Details"}},
            {3, {L"Remove", L"Edit"}},  // a network folder that is not connected
            {9, {}},                    // the trash
            {10, {}},                   // the blank last item
        };
        for (const auto& [index, menu] : cases) {
            ui.LongPressListItem(list, index);
            EXPECT_EQ(ui.MenuItems(), menu) << "item " << index;
            if (ui.IsMenuOpen()) {
                ui.PressKey(PhoneKey::kEscape);
            }
            EXPECT_TRUE(OnMainForm(ui)) << "item " << index;
        }
    });
}

// A long press opens nothing when the finger lifts, and the tap after it is not lost.
TEST(MainListTest, AnItemLongPressedOpensOnTheNextTap) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        ui.LongPressListItem(list, 1);
        ui.PressKey(PhoneKey::kEscape);
        EXPECT_TRUE(OnMainForm(ui));
        ui.TapListItem(list, 1);
        EXPECT_EQ(OpenedRoot(ui, app), LocalBrowser::ROOT_MEDIA);
    });
}

TEST(MainListTest, RemovingANetworkFolderAsksFirst) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    WriteSettings(5);
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        List& list = MainList(ui);
        ASSERT_EQ(list.GetItemCount(), 9);  // two local places, five folders, the trash, the blank item

        ui.LongPressListItem(list, 2);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_NO);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Remove"));
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(ui.MessageBoxes()[0].text, L"Remove \\\\NAS1\\Share?");
        EXPECT_EQ(ui.MessageBoxes()[0].style, MSGBOX_STYLE_YESNO);
        EXPECT_NE(app.GetFolderById(1), nullptr);

        ui.LongPressListItem(list, 2);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Remove"));
        EXPECT_EQ(app.GetFolderById(1), nullptr);
        EXPECT_EQ(list.GetItemText(2).Units(), L"\\\\NAS2\\Share");
        // Seven places fit: the blank item has gone.
        EXPECT_EQ(list.GetItemCount(), 7);
    });
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
    int id = 0;
    EXPECT_NE(reg.GetValue(String(L"RF1"), String(L"Id"), id), Osp::Base::E_SUCCESS);
    EXPECT_EQ(reg.GetValue(String(L"RF2"), String(L"Id"), id), Osp::Base::E_SUCCESS);
}

TEST(MainListTest, DetailsOfTheLocalPlaces) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane&) {
        List& list = MainList(ui);
        const std::pair<int, const wchar_t*> cases[] = {
            {0, L"My Private Files"}, {1, L"Phone memory"}, {2, L"Memory card"}};
        for (const auto& [index, title] : cases) {
            ui.LongPressListItem(list, index);
            ASSERT_TRUE(ui.ChooseMenuItem(L"Details"));
            auto* popup =
                dynamic_cast<Popup*>(ui.Find(L"IDC_FREE") ? ui.Find(L"IDC_FREE")->GetParent() : nullptr);
            ASSERT_NE(popup, nullptr);
            EXPECT_EQ(popup->GetTitleText().Units(), title);
            EXPECT_NE(ui.TextOf(L"IDC_FREE"), L"");
            if (index == 0) {
                // The private files tell their free space only: no capacity, no share and a full bar.
                EXPECT_EQ(ui.TextOf(L"IDC_CAPACITY"), L"");
                EXPECT_EQ(ui.TextOf(L"IDC_PERCENT"), L"");
                EXPECT_EQ(ui.Find<Progress>(L"IDC_PROGRESS1")->GetValue(), 100);
            } else {
                // The phone memory and the card tell their file system's size and type.
                EXPECT_NE(ui.TextOf(L"IDC_CAPACITY"), L"") << "item " << index;
                EXPECT_NE(ui.TextOf(L"IDC_PERCENT"), L"") << "item " << index;
                EXPECT_NE(ui.TextOf(L"IDC_CONNECTION"), L"") << "item " << index;
            }
            ui.Tap(L"IDC_CLOSE");
            EXPECT_FALSE(popup->GetShowState());
            EXPECT_TRUE(OnMainForm(ui));
        }
    });
}

TEST(MainListTest, OptionMenuOpensHelpAndSupportInTheBrowser) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane&) {
        testsupport::AppControlRecorder recorder;
        ui.PressOptionKey();
        EXPECT_EQ(ui.MenuItems(), (Texts{L"Network", L"Settings", L"About", L"Help", L"Support (Web)"}));
        ASSERT_TRUE(ui.ChooseMenuItem(L"Help"));
        ui.PressOptionKey();
        ASSERT_TRUE(ui.ChooseMenuItem(L"Support (Web)"));
        ASSERT_EQ(recorder.Launches().size(), 2u);
        EXPECT_EQ(recorder.Launches()[0].args, (Texts{L"url:file:///Res/Help/main_form.html"}));
        EXPECT_EQ(recorder.Launches()[1].args[0].rfind(L"url:https://", 0), 0u);
    });
}

TEST(MainListTest, ExitAsksFirst) {
    PhoneRoot root;
    // The run ends only through the exit question; the driver is gone before the loop stops.
    EXPECT_TRUE(CorvaneLoop::Run([] {
        UiDriver ui;
        ui.AnswerNextMessageBox(MSGBOX_RESULT_NO);
        ui.PressSoftkey(SOFTKEY_1);
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(ui.MessageBoxes()[0].text, L"Exit Corvane?");
        EXPECT_TRUE(OnMainForm(ui));
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ui.PressSoftkey(SOFTKEY_1);
    }));
}

}  // namespace
}  // namespace mainform
