#pragma once
// Reads and drives the main list's local places and the folder lists they open, for the tests of the
// places on the user's own storage.

#include <functional>
#include <string>
#include <vector>

#include "../folderform/FolderListUi.h"
#include "MainFormHarness.h"

namespace mainform {

class PlacesUi : protected FolderListUi {
protected:
    using Texts = std::vector<std::wstring>;

    // Runs the loop until done() holds, at most for the time given.
    static bool WaitFor(testsupport::UiDriver& ui, const std::function<bool()>& done, int ms = 5000) {
        for (int waited = 0; !done(); waited += 20) {
            if (waited > ms) {
                return false;
            }
            ui.Pump(20);
        }
        return true;
    }

    // Runs the loop until the folder list shows the names.
    static bool WaitForNames(testsupport::UiDriver& ui, const Texts& names) {
        const bool shown = WaitFor(
            ui, [&] { return Corvane::GetMyInstance()->GetFolderForm() != nullptr && Names(ui) == names; });
        if (!shown) {
            std::wstring text;
            for (const std::wstring& name : Names(ui)) {
                text += name + L"|";
            }
            ADD_FAILURE() << "the list shows " << Narrow(text);
        }
        return shown;
    }

    // Opens the local place at the index of the main list, from wherever the screen is.
    static void OpenPlace(testsupport::UiDriver& ui, int index) {
        Corvane* app = Corvane::GetMyInstance();
        app->SwitchToForm(app->GetMainForm());
        ui.TapListItem(MainList(ui), index);
        ui.Pump(0);
    }

    static void Shot(testsupport::UiDriver& ui, const std::string& name) {
        if (const char* dir = std::getenv("CORVANE_SCREENSHOT_DIR")) {
            ui.Pump(50);
            EXPECT_TRUE(ui.SaveScreenshot(std::string(dir) + "/" + name + ".png"));
        }
    }
};

}  // namespace mainform
