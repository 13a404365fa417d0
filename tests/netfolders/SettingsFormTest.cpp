// The settings screen and the about popup, reached from the main list's option menu: showing hidden
// entries follows the check button in the next listing and is stored at once, and the popup opens and
// closes as often as asked.

#include <gtest/gtest.h>

#include <filesystem>

#include "NetFolderHarness.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "app/SettingsForm.h"
#include "host/AppControlOpener.h"

namespace netfolders {
namespace {

using namespace Osp::Ui::Controls;
using mainform::ItemTexts;
using mainform::MainList;
using mainform::OnMainForm;
using mainform::RunOnPhone;

void OpenSettings(const UiDriver& ui) {
    ui.PressOptionKey();
    ASSERT_TRUE(ui.ChooseMenuItem(L"Settings"));
    ASSERT_NE(dynamic_cast<SettingsForm*>(ui.GetFrame().GetCurrentForm()), nullptr);
}

// The names the phone memory lists when opened from the main list.
std::vector<std::wstring> PhoneMemoryNames(const UiDriver& ui) {
    ui.TapListItem(MainList(ui), 1);
    auto* list = ui.Find<List>(L"IDC_FOLDERS_LIST");
    std::vector<std::wstring> names = list != nullptr ? ItemTexts(*list) : std::vector<std::wstring>{};
    ui.PressSoftkey(SOFTKEY_1);
    return names;
}

int StoredShowHidden() {
    Osp::Io::Registry reg;
    int value = -1;
    if (reg.Construct(String(L"/Home/RF.reg"), false) == Osp::Base::E_SUCCESS) {
        reg.GetValue(String(L"General"), String(L"ShowHidden"), value);
    }
    return value;
}

TEST(SettingsFormTest, ShowHiddenFollowsTheCheckButtonAndIsStored) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    root.Write("Media/.secret.txt", "s");
    root.Write("Media/plain.txt", "p");
    std::vector<host::AppControlLaunch> launches;
    host::SetAppControlOpener([&](const host::AppControlLaunch& launch) { launches.push_back(launch); });
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        EXPECT_EQ(PhoneMemoryNames(ui), std::vector<std::wstring>{L"plain.txt"});
        OpenSettings(ui);
        auto* check = ui.Find<CheckButton>(L"IDC_HIDDEN_CHECK");
        ASSERT_NE(check, nullptr);
        EXPECT_FALSE(check->IsSelected());
        Screenshot(ui, "settings");
        ui.Tap(*check);
        EXPECT_TRUE(app.GetShowHidden());
        EXPECT_EQ(StoredShowHidden(), 1);
        ui.PressSoftkey(SOFTKEY_0);  // Help
        ui.PressSoftkey(SOFTKEY_1);  // Back
        ASSERT_TRUE(OnMainForm(ui));
        EXPECT_EQ(PhoneMemoryNames(ui), (std::vector<std::wstring>{L".secret.txt", L"plain.txt"}));
    });
    host::SetAppControlOpener(nullptr);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].args, std::vector<std::wstring>{L"url:file:///Res/Help/settings_form.html"});
    // The next run starts with the stored setting, and turning it off is stored too.
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        OpenSettings(ui);
        auto* check = ui.Find<CheckButton>(L"IDC_HIDDEN_CHECK");
        ASSERT_NE(check, nullptr);
        EXPECT_TRUE(check->IsSelected());
        ui.Tap(*check);
        EXPECT_FALSE(app.GetShowHidden());
        ui.PressSoftkey(SOFTKEY_1);
        EXPECT_EQ(PhoneMemoryNames(ui), std::vector<std::wstring>{L"plain.txt"});
    });
    EXPECT_EQ(StoredShowHidden(), 0);
}

// Clearing tells what it really freed: the regular files of the cache folder, not a sub-folder's files
// nor what a link points to, which stay where they are.
TEST(SettingsFormTest, ClearCacheTellsWhatItFreed) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        app.GetCache();  // made on first use, which empties the folder
        root.Write("Home/Cache/a_1.txt", std::string(2000, 'a'));
        root.Write("Home/Cache/b_2.txt", std::string(48, 'b'));
        root.Write("Home/Cache/sub/c.txt", std::string(5000, 'c'));
        root.Write("Home/keep.txt", std::string(7000, 'k'));
        std::filesystem::create_symlink(root.Host("Home/keep.txt"), root.Host("Home/Cache/link.txt"));
        OpenSettings(ui);
        for (const wchar_t* expected :
             {L"The local cache is cleared.\n2.00 KB was freed.", L"The local cache is cleared."}) {
            ui.AnswerNextMessageBox(MSGBOX_RESULT_CLOSE);
            ui.Tap(L"IDC_CLEAR_CACHE");
            ASSERT_FALSE(ui.MessageBoxes().empty());
            const testsupport::ShownMessageBox box = ui.MessageBoxes().back();
            EXPECT_EQ(box.text, expected);
            EXPECT_EQ(box.title, L"");
            EXPECT_EQ(box.style, MSGBOX_STYLE_NONE);
            EXPECT_EQ(box.timeout, 3500u);
        }
        EXPECT_EQ(ui.MessageBoxes().size(), 2u);
    });
    EXPECT_FALSE(root.Exists("Home/Cache/a_1.txt"));
    EXPECT_FALSE(root.Exists("Home/Cache/b_2.txt"));
    EXPECT_TRUE(root.Exists("Home/Cache/sub/c.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(root.Host("Home/Cache/link.txt")));
    EXPECT_EQ(root.Read("Home/keep.txt").size(), 7000u);
}

TEST(SettingsFormTest, AboutOpensAndClosesAgainAndAgain) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    RunOnPhone([](UiDriver& ui, Corvane&) {
        for (int round = 0; round < 2; ++round) {
            ui.PressOptionKey();
            ASSERT_TRUE(ui.ChooseMenuItem(L"About"));
            ASSERT_NE(ui.Find(L"IDC_CLOSE"), nullptr) << "round " << round;
            EXPECT_EQ(ui.TextOf(L"IDC_LABEL1"), L"Corvane");
            if (round == 0) {
                Screenshot(ui, "about");
            }
            ui.Tap(L"IDC_CLOSE");
            EXPECT_EQ(ui.Find(L"IDC_CLOSE"), nullptr);
            EXPECT_TRUE(OnMainForm(ui));
        }
    });
}

}  // namespace
}  // namespace netfolders
