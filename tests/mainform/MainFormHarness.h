#pragma once
// The main list's tests run inside a started Corvane over a fresh data root, with the phone's screen
// driven through the test driver. Network folders are written into the settings file before the start,
// as a user's earlier runs would have left them.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "Osp/Io/Registry.h"
#include "Osp/Ui/Controls/List.h"
#include "app/MainForm.h"
#include "testsupport/UiDriver.h"
#include "ui/FolderForm.h"

namespace mainform {

using Osp::Base::String;

// Sections "RF1" to "RF<count>" for the servers NAS1, NAS2, ... with the share "Share"; a password
// when one is given.
inline void WriteSettings(int folders, const std::wstring& password = std::wstring()) {
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), true), Osp::Base::E_SUCCESS);
    if (!password.empty()) {
        reg.AddSection(String(L"General"));
        reg.AddValue(String(L"General"), String(L"Pwd"), String(password));
    }
    for (int id = 1; id <= folders; ++id) {
        String section;
        section.Format(16, L"RF%x", id);
        String node;
        node.Format(16, L"NAS%d", id);
        reg.AddSection(section);
        reg.AddValue(section, String(L"Id"), id);
        reg.AddValue(section, String(L"NodeName"), node);
        reg.AddValue(section, String(L"ShareName"), String(L"Share"));
    }
    ASSERT_EQ(reg.Flush(), Osp::Base::E_SUCCESS);
}

// Runs the body in a started Corvane with a driver over its screen, then ends the run; a run still going
// after timeoutMs fails.
inline void RunOnPhone(const std::function<void(testsupport::UiDriver&, Corvane&)>& body,
                       int timeoutMs = 10000) {
    EXPECT_TRUE(CorvaneLoop::Run(
        [&] {
            {
                testsupport::UiDriver ui;
                body(ui, *Corvane::GetMyInstance());
            }
            CorvaneLoop::Quit();
        },
        timeoutMs));
}

inline Osp::Ui::Controls::List& MainList(const testsupport::UiDriver& ui) {
    auto* list = ui.Find<Osp::Ui::Controls::List>(L"IDC_MAIN_FOLDERS_LIST");
    EXPECT_NE(list, nullptr);
    return *list;
}

inline std::vector<std::wstring> ItemTexts(const Osp::Ui::Controls::List& list) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        texts.push_back(list.GetItemText(i).Units());
    }
    return texts;
}

inline bool OnMainForm(const testsupport::UiDriver& ui) {
    return dynamic_cast<MainForm*>(ui.GetFrame().GetCurrentForm()) != nullptr;
}

// The local root whose folder list is on the screen, or 0 when none is.
inline int OpenedRoot(const testsupport::UiDriver& ui, Corvane& app) {
    FolderForm* form = app.GetFolderForm();
    if (form == nullptr || ui.GetFrame().GetCurrentForm() != form) {
        return 0;
    }
    for (LocalBrowser::TRoot root :
         {LocalBrowser::ROOT_HOME, LocalBrowser::ROOT_MEDIA, LocalBrowser::ROOT_CARD}) {
        if (form->GetBrowser() == app.GetLocalBrowser(root)) {
            return root;
        }
    }
    return 0;
}

}  // namespace mainform
