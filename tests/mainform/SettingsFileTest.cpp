// A settings file that cannot be read, met at the program's start: it is kept aside under a new name, the
// user is told once, the run starts with empty settings, and later saves make a new file beside it.

#include <gtest/gtest.h>

#include "MainFormHarness.h"
#include "host/ui/MessageBoxHooks.h"

namespace {

using mainform::RunOnPhone;
using Osp::Ui::Controls::MSGBOX_RESULT_OK;

// The boxes shown since the log had `from` entries.
std::vector<host::MessageBoxRecord> BoxesSince(size_t from) {
    const auto& log = host::MessageBoxLog();
    return std::vector<host::MessageBoxRecord>(log.begin() + static_cast<long>(std::min(from, log.size())),
                                               log.end());
}

// Regression: any error reading the settings file emptied the settings, and the next save wrote the empty
// set over the file: every network folder, stored password and the private-files password were gone.
TEST(SettingsFileTest, ADamagedFileIsKeptAsideAndTheUserToldOnce) {
    PhoneRoot root(PhoneRoot::NO_CARD);
    mainform::WriteSettings(2, L"old secret");
    const std::string good = root.Read("Home/RF.reg");
    const std::string damaged = good.substr(0, good.size() / 2);  // cut short, as by a full disk
    root.Write("Home/RF.reg", damaged);

    size_t shown = host::MessageBoxLog().size();
    host::PlannedMessageBoxAnswers().push_back(MSGBOX_RESULT_OK);
    RunOnPhone([&](testsupport::UiDriver&, Corvane& app) {
        EXPECT_TRUE(app.GetFolders().empty());
        EXPECT_FALSE(app.HasPassword());
        // Saves during the run make a new file and leave the kept one alone.
        app.SetShowHidden(true);
        app.SetPassword(L"new secret");
    });
    std::vector<host::MessageBoxRecord> boxes = BoxesSince(shown);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Unable to read the settings");
    EXPECT_NE(boxes[0].text.find(L"'RF-damaged-1.reg' in My Private Files"), std::wstring::npos);
    EXPECT_EQ(root.Read("Home/RF-damaged-1.reg"), damaged);

    // The next start reads the new file and says nothing.
    shown = host::MessageBoxLog().size();
    RunOnPhone([&](testsupport::UiDriver&, Corvane& app) {
        EXPECT_TRUE(app.GetShowHidden());
        EXPECT_EQ(app.CheckPassword(L"new secret"), PrivatePassword::MATCH);
    });
    EXPECT_TRUE(BoxesSince(shown).empty());

    // Damaged once more: the copy kept before stays as it is, and this one takes the next name.
    root.Write("Home/RF.reg", "not settings");
    host::PlannedMessageBoxAnswers().push_back(MSGBOX_RESULT_OK);
    RunOnPhone([&](testsupport::UiDriver&, Corvane& app) { EXPECT_FALSE(app.GetShowHidden()); });
    EXPECT_EQ(root.Read("Home/RF-damaged-1.reg"), damaged);
    EXPECT_EQ(root.Read("Home/RF-damaged-2.reg"), "not settings");
    EXPECT_FALSE(root.Exists("Home/RF.reg"));
}

}  // namespace
