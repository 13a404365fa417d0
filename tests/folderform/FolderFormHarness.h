#pragma once
// Runs a folder-form test inside a running Corvane over a fresh data root, with the UI driver, and reads
// what the folder list shows.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "FolderListUi.h"
#include "Osp/Ui/Controls/List.h"
#include "app/Corvane.h"
#include "fs/FsLocalBrowser.h"
#include "testsupport/UiDriver.h"
#include "ui/FolderForm.h"

class FolderFormTest : public ::testing::Test, protected FolderListUi {
protected:
    // Runs body on the user-interface thread of a running application; the driver lives for the body.
    void Run(const std::function<void(testsupport::UiDriver&)>& body) {
        ASSERT_TRUE(CorvaneLoop::Run(
            [&] {
                {
                    testsupport::UiDriver ui;
                    body(ui);
                }
                CorvaneLoop::Quit();
            },
            60000));
    }

    // Opens the root as the main list does.
    static void OpenRoot(testsupport::UiDriver& ui, LocalBrowser::TRoot rootKind) {
        Corvane::GetMyInstance()->OnOpenLocalFolder(rootKind);
        ui.Pump(0);
    }

    PhoneRoot root;
};
