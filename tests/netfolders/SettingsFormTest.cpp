// The settings screen and the about popup, reached from the main list's option menu: showing hidden
// entries follows the check button in the next listing and is stored at once, and the popup opens and
// closes as often as asked.

#include <gtest/gtest.h>

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
