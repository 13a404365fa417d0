#pragma once
// Runs a folder-form test inside a running Corvane over a fresh data root, with the UI driver, and reads
// what the folder list shows.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "Osp/Ui/Controls/List.h"
#include "app/Corvane.h"
#include "fs/FsLocalBrowser.h"
#include "testsupport/UiDriver.h"
#include "ui/FolderForm.h"

class FolderFormTest : public ::testing::Test {
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

    // Opens the root as the main list does, and finds its list.
    static void OpenRoot(testsupport::UiDriver& ui, LocalBrowser::TRoot rootKind) {
        Corvane::GetMyInstance()->OnOpenLocalFolder(rootKind);
        ui.Pump(0);
    }

    static FolderForm& Form() { return *Corvane::GetMyInstance()->GetFolderForm(); }

    static Osp::Ui::Controls::List& List(const testsupport::UiDriver& ui) {
        return *ui.Find<Osp::Ui::Controls::List>(L"IDC_FOLDERS_LIST");
    }

    // The texts of the list's items; the padding item reads as "<pad>".
    static std::vector<std::wstring> Names(const testsupport::UiDriver& ui) {
        std::vector<std::wstring> names;
        Osp::Ui::Controls::List& list = List(ui);
        for (int i = 0; i < list.GetItemCount(); ++i) {
            names.push_back(list.GetItemIdAt(i) < 0 ? L"<pad>" : list.GetItemText(i).Units());
        }
        return names;
    }

    static int IndexOf(const testsupport::UiDriver& ui, const std::wstring& name) {
        const std::vector<std::wstring> names = Names(ui);
        for (size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name) {
                return static_cast<int>(i);
            }
        }
        ADD_FAILURE() << "no item named " << std::string(name.begin(), name.end());
        return 0;
    }

    static void OpenItem(testsupport::UiDriver& ui, const std::wstring& name) {
        ui.TapListItem(List(ui), IndexOf(ui, name));
        ui.Pump(0);
    }

    // Opens the options menu and chooses the items in turn (a main item, then its sub-item).
    static void ChooseOption(testsupport::UiDriver& ui, std::initializer_list<const wchar_t*> path) {
        ui.PressOptionKey();
        ui.Pump(0);
        for (const wchar_t* text : path) {
            ASSERT_TRUE(ui.ChooseMenuItem(text)) << std::string(text, text + wcslen(text));
            ui.Pump(0);
        }
    }

    static void Filter(testsupport::UiDriver& ui, const std::wstring& text) {
        ChooseOption(ui, {L"Filter / Search"});
        ASSERT_TRUE(ui.TypeText(text));
        ASSERT_TRUE(ui.ConfirmKeypad());
        ui.Pump(0);
    }

    static std::wstring Title(const testsupport::UiDriver& ui) { return ui.TitleOf(Form()); }

    PhoneRoot root;
};
