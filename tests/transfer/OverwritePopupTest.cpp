// The overwrite question: it shows with what it could learn of both files, and also when a browser
// cannot start telling.

#include <gtest/gtest.h>

#include "../fs/PhoneRoot.h"
#include "FaultyBrowser.h"
#include "JobHarness.h"
#include "app/Corvane.h"
#include "fs/FsLocalBrowser.h"
#include "testsupport/UiDriver.h"
#include "transfer/OverwritePopup.h"

namespace {

// Regression: a file information request that could not start never answered, and the question waited
// for it for ever.
TEST(OverwritePopupTest, ShowsAlsoWhenAFileInformationRequestCannotStart) {
    PhoneRoot root;
    root.Write("Home/a.txt", "new");
    root.Write("Home/b/a.txt", "old!");
    struct Case {
        const char* name;
        bool refuseSource;
        bool refuseDestination;
        const wchar_t* dstSize;
    };
    const Case cases[] = {
        {"both answer", false, false, L"4 bytes"},
        {"the source cannot", true, false, L"4 bytes"},
        {"the destination cannot", false, true, L""},
    };
    InRunningApp([&] {
        LocalBrowser* home = Corvane::GetMyInstance()->GetLocalBrowser();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            testsupport::UiDriver ui;
            FaultyBrowser src(home);
            FaultyBrowser dst(home);
            src.refuseInfo = c.refuseSource;
            dst.refuseInfo = c.refuseDestination;
            OverwritePopup popup;
            ASSERT_TRUE(popup.Construct());
            popup.ShowPopup(nullptr, &src, L"/Home/a.txt", &dst, L"/Home/b/a.txt");
            EXPECT_TRUE(LoopUntil([&] { return popup.GetShowState(); }, 2000));
            EXPECT_EQ(ui.TextOf(L"IDC_DST_SIZE"), c.dstSize);
            popup.HidePopup();
        }
    });
}

}  // namespace
