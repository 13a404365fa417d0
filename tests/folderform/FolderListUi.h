#pragma once
// Drives and reads the folder list the way a user does, for the folder-list tests over any storage: its
// items, opening them, the menus, the keypad, the message boxes shown and the popups that come and go.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/Popup.h"
#include "app/Corvane.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/FrameWindow.h"
#include "host/ui/Overlay.h"
#include "testsupport/UiDriver.h"
#include "text/TextForm.h"
#include "ui/FolderForm.h"

class FolderListUi {
protected:
    static FolderForm& Form() { return *Corvane::GetMyInstance()->GetFolderForm(); }

    // The form's own list, also while a popup shows over it.
    static Osp::Ui::Controls::List& List(const testsupport::UiDriver&) {
        return *dynamic_cast<Osp::Ui::Controls::List*>(
            Form().GetControl(Osp::Base::String(L"IDC_FOLDERS_LIST"), true));
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
        ADD_FAILURE() << "no item named " << Narrow(name);
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
            ASSERT_TRUE(ui.ChooseMenuItem(text)) << Narrow(text);
            ui.Pump(0);
        }
    }

    // Long-presses the item and chooses the context menu's entry.
    static void ItemMenu(testsupport::UiDriver& ui, const std::wstring& name, const wchar_t* entry) {
        ui.LongPressListItem(List(ui), IndexOf(ui, name));
        ui.Pump(0);
        ASSERT_TRUE(ui.ChooseMenuItem(entry)) << Narrow(entry);
        ui.Pump(0);
    }

    // Types into the open keypad and confirms.
    static void Type(testsupport::UiDriver& ui, const std::wstring& text) {
        ASSERT_TRUE(ui.TypeText(text));
        ASSERT_TRUE(ui.ConfirmKeypad());
        ui.Pump(0);
    }

    static void Filter(testsupport::UiDriver& ui, const std::wstring& text) {
        ChooseOption(ui, {L"Filter / Search"});
        Type(ui, text);
    }

    static std::wstring Title(const testsupport::UiDriver& ui) { return ui.TitleOf(Form()); }

    // The last message box shown, as "title|text".
    static std::wstring LastBox(const testsupport::UiDriver& ui) {
        const auto boxes = ui.MessageBoxes();
        return boxes.empty() ? L"" : boxes.back().title + L"|" + boxes.back().text;
    }

    // The titles of the popups that show over the form, bottom first.
    static std::vector<std::wstring> ShownPopupTitles() {
        std::vector<std::wstring> titles;
        for (host::Overlay* overlay : host::AppWindow().Overlays()) {
            for (QObject* child : overlay->children()) {
                auto* widget = dynamic_cast<host::ControlWidget*>(child);
                auto* popup =
                    widget != nullptr ? dynamic_cast<Osp::Ui::Controls::Popup*>(widget->Owner()) : nullptr;
                if (popup != nullptr && popup->GetShowState()) {
                    titles.push_back(popup->GetTitleText().Units());
                }
            }
        }
        return titles;
    }

    // Runs the loop while the control (of a popup) can be found, at most for the time given.
    static void WaitWhileShown(testsupport::UiDriver& ui, const wchar_t* controlId, int ms) {
        for (int waited = 0; ui.Find(controlId) != nullptr && waited < ms; waited += 20) {
            ui.Pump(20);
        }
        ui.Pump(0);
    }

    // Runs the loop until the form's title reads title, at most for the time given.
    static bool WaitForTitle(testsupport::UiDriver& ui, const std::wstring& title, int ms) {
        for (int waited = 0; Title(ui) != title && waited < ms; waited += 20) {
            ui.Pump(20);
        }
        return Title(ui) == title;
    }

    // Runs the loop until the text viewer is the current form, at most for the time given; null if not.
    static TextForm* WaitForViewer(testsupport::UiDriver& ui, int ms) {
        TextForm* viewer = nullptr;
        for (int waited = 0; viewer == nullptr && waited < ms; waited += 20) {
            ui.Pump(20);
            viewer = dynamic_cast<TextForm*>(ui.GetFrame().GetCurrentForm());
        }
        return viewer;
    }

    // Saves a screenshot into the folder named by CORVANE_SHOTS, when set.
    static void Shot(testsupport::UiDriver& ui, const char* name) {
        if (const char* dir = std::getenv("CORVANE_SHOTS")) {
            ui.Pump(50);
            ui.SaveScreenshot(std::string(dir) + "/" + name + ".png");
        }
    }

    static std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
};
