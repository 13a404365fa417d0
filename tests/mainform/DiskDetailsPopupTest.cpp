// The disk details popup: what it shows for the sizes it is given, including a storage that tells only
// its free space and a server that reports more free space than capacity, and its close action.

#include <gtest/gtest.h>

#include "Osp/Ui/Controls/Progress.h"
#include "app/DiskDetailsPopup.h"
#include "testsupport/UiDriver.h"

namespace {

using testsupport::UiDriver;

class CloseRecorder : public Osp::Ui::IActionEventListener {
public:
    void OnActionPerformed(const Osp::Ui::Control&, int actionId) override { actions.push_back(actionId); }
    std::vector<int> actions;
};

TEST(DiskDetailsPopupTest, ShowsTheSizesItIsGiven) {
    struct Case {
        unsigned long long capacity, free, used;
        const wchar_t *freeText, *usedText, *capacityText, *percentText;
        int bar;
    };
    const unsigned long long mb = 1024 * 1024;
    const Case cases[] = {
        {400 * mb, 100 * mb, 0, L"100.00 MB", L"300.00 MB", L"400.00 MB", L"25% free", 75},
        {400 * mb, 100 * mb, 200 * mb, L"100.00 MB", L"200.00 MB", L"400.00 MB", L"25% free", 75},
        // Only the free space is known.
        {0, 2048, 0, L"2.00 KB", L"", L"", L"", 100},
        {0, 0, 0, L"", L"", L"", L"", 100},
        // More free than capacity is taken as all free.
        {mb, 2 * mb, 0, L"1.00 MB", L"", L"1.00 MB", L"100% free", 0},
    };
    UiDriver ui;
    CloseRecorder recorder;
    DiskDetailsPopup popup;
    ASSERT_TRUE(popup.Construct(&recorder));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.capacity << " " << c.free << " " << c.used);
        popup.ShowPopup(L"Storage", c.capacity, c.free, c.used);
        EXPECT_EQ(ui.TextOf(L"IDC_FREE"), c.freeText);
        EXPECT_EQ(ui.TextOf(L"IDC_USED"), c.usedText);
        EXPECT_EQ(ui.TextOf(L"IDC_CAPACITY"), c.capacityText);
        EXPECT_EQ(ui.TextOf(L"IDC_PERCENT"), c.percentText);
        EXPECT_EQ(ui.Find<Osp::Ui::Controls::Progress>(L"IDC_PROGRESS1")->GetValue(), c.bar);
        ui.Tap(L"IDC_CLOSE");
        EXPECT_FALSE(popup.GetShowState());
    }
    EXPECT_EQ(recorder.actions, std::vector<int>(std::size(cases), DiskDetailsPopup::kActionClose));
}

}  // namespace
