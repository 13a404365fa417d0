#include "app/SettingsForm.h"

#include <memory>

#include "Osp/Io/Directory.h"
#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "app/Corvane.h"
#include "app/Format.h"
#include "app/MainForm.h"
#include "app/ModalMessage.h"
#include "fs/Cache.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kHelpPage[] = L"settings_form.html";
constexpr unsigned long kClearedMs = 3500;

// The bytes of the regular files directly in the folder: what purging the cache may delete.
unsigned long long BytesOfFiles(const std::wstring& folder) {
    Osp::Io::Directory directory;
    if (directory.Construct(String(folder)) != Osp::Base::E_SUCCESS) {
        return 0;
    }
    std::unique_ptr<Osp::Io::DirEnumerator> entries(directory.ReadN());
    unsigned long long bytes = 0;
    while (entries != nullptr && entries->MoveNext() == Osp::Base::E_SUCCESS) {
        const Osp::Io::DirEntry& entry = entries->GetCurrentDirEntry();
        if (!entry.IsDirectory() && !entry.IsLink() && !entry.IsSpecial() && entry.GetFileSize() > 0) {
            bytes += static_cast<unsigned long long>(entry.GetFileSize());
        }
    }
    return bytes;
}

}  // namespace

bool SettingsForm::Construct() {
    if (Form::Construct(String(L"IDF_SETTINGS")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    auto* hidden =
        dynamic_cast<Osp::Ui::Controls::CheckButton*>(GetControl(String(L"IDC_HIDDEN_CHECK"), true));
    auto* clear = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CLEAR_CACHE"), true));
    if (hidden == nullptr || clear == nullptr) {
        return false;
    }
    hidden->SetActionId(ACTION_SHOW_HIDDEN, ACTION_HIDE_HIDDEN);
    hidden->SetSelected(Corvane::GetMyInstance()->GetShowHidden());
    hidden->AddActionEventListener(*this);
    clear->SetActionId(ACTION_CLEAR_CACHE);
    clear->AddActionEventListener(*this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_HELP);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_BACK);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    return true;
}

void SettingsForm::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    Corvane* app = Corvane::GetMyInstance();
    switch (actionId) {
        case ACTION_SHOW_HIDDEN:
        case ACTION_HIDE_HIDDEN:
            app->SetShowHidden(actionId == ACTION_SHOW_HIDDEN);
            break;
        case ACTION_CLEAR_CACHE:
            ClearCache();
            break;
        case ACTION_BACK:
            app->SwitchToForm(app->GetMainForm());
            break;
        case ACTION_HELP:
            app->ShowHelp(kHelpPage);
            break;
        default:
            break;
    }
}

void SettingsForm::ClearCache() {
    Cache* cache = Corvane::GetMyInstance()->GetCache();
    // What the purge really deleted: a file it could not delete was not freed, whatever the cache counted.
    const unsigned long long before = BytesOfFiles(cache->GetFolder());
    cache->PurgeCache();
    const unsigned long long after = BytesOfFiles(cache->GetFolder());
    std::wstring text = L"The local cache is cleared.";
    if (before > after) {
        text += L"\n" + FormatSize64(before - after).Units() + L" was freed.";
    }
    ShowModalMessage(L"", text, Osp::Ui::Controls::MSGBOX_STYLE_NONE, kClearedMs);
}
