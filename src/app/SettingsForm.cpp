#include "app/SettingsForm.h"

#include <memory>

#include "Osp/Io/Directory.h"
#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "app/Corvane.h"
#include "app/Format.h"
#include "app/LocalPlaces.h"
#include "app/MainForm.h"
#include "app/ModalMessage.h"
#include "app/Results.h"
#include "app/UiUtils.h"
#include "fs/Cache.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kHelpPage[] = L"settings_form.html";
constexpr unsigned long kClearedMs = 3500;
constexpr unsigned long kFolderMessageMs = 5000;
constexpr const wchar_t* kStorageControls[] = {L"IDC_LABEL4",       L"IDC_LABEL5",      L"IDC_LABEL6",
                                               L"IDC_PHONE_FOLDER", L"IDC_PHONE_APPLY", L"IDC_CARD_CHOICE"};

std::wstring LastComponent(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// How a medium is named in the card choice: by its label, and where it is mounted when the label alone
// could be taken for another.
std::wstring MediumName(const host::MediumInfo& medium) {
    return medium.label == LastComponent(medium.mountPoint) ? medium.mountPoint
                                                            : medium.label + L" (" + medium.mountPoint + L")";
}

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
    auto* trash = dynamic_cast<Osp::Ui::Controls::CheckButton*>(GetControl(String(L"IDC_TRASH_CHECK"), true));
    auto* clear = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CLEAR_CACHE"), true));
    if (hidden == nullptr || trash == nullptr || clear == nullptr) {
        return false;
    }
    trash->SetActionId(ACTION_USE_TRASH, ACTION_SKIP_TRASH);
    trash->SetSelected(Corvane::GetMyInstance()->GetUseTrash());
    trash->AddActionEventListener(*this);
    hidden->SetActionId(ACTION_SHOW_HIDDEN, ACTION_HIDE_HIDDEN);
    hidden->SetSelected(Corvane::GetMyInstance()->GetShowHidden());
    hidden->AddActionEventListener(*this);
    clear->SetActionId(ACTION_CLEAR_CACHE);
    clear->AddActionEventListener(*this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_HELP);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_BACK);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    return ConstructStorage();
}

bool SettingsForm::ConstructStorage() {
    phoneFolder_ = dynamic_cast<Osp::Ui::Controls::EditField*>(GetControl(String(L"IDC_PHONE_FOLDER"), true));
    auto* apply = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_PHONE_APPLY"), true));
    cardChoice_ = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CARD_CHOICE"), true));
    if (phoneFolder_ == nullptr || apply == nullptr || cardChoice_ == nullptr) {
        return false;
    }
    // Below a data root the places are its folders: there is nothing to choose.
    const bool canChoose = Corvane::GetMyInstance()->GetPlaces().CanChoose();
    for (const wchar_t* id : kStorageControls) {
        if (Osp::Ui::Control* control = GetControl(String(id), true)) {
            control->SetShowState(canChoose);
        }
    }
    phoneFolder_->SetText(String(Corvane::GetMyInstance()->GetPlaces().GetPhoneMemoryFolder()));
    apply->SetActionId(ACTION_USE_FOLDER);
    apply->AddActionEventListener(*this);
    cardChoice_->SetActionId(ACTION_CHOOSE_CARD);
    cardChoice_->AddActionEventListener(*this);
    ShowCardChoice();
    return true;
}

void SettingsForm::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    Corvane* app = Corvane::GetMyInstance();
    switch (actionId) {
        case ACTION_SHOW_HIDDEN:
        case ACTION_HIDE_HIDDEN:
            app->SetShowHidden(actionId == ACTION_SHOW_HIDDEN);
            break;
        case ACTION_USE_TRASH:
        case ACTION_SKIP_TRASH:
            app->SetUseTrash(actionId == ACTION_USE_TRASH);
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
        case ACTION_USE_FOLDER:
            UseFolder();
            break;
        case ACTION_CHOOSE_CARD:
            ShowCardMenu();
            break;
        default:
            if (actionId >= ACTION_CARD_CHOICE &&
                static_cast<size_t>(actionId - ACTION_CARD_CHOICE) < cardChoices_.size()) {
                ChooseCard(static_cast<size_t>(actionId - ACTION_CARD_CHOICE));
            }
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

void SettingsForm::UseFolder() {
    LocalPlaces& places = Corvane::GetMyInstance()->GetPlaces();
    const std::wstring folder = phoneFolder_->GetText().Units();
    const unsigned long result = places.SetPhoneMemoryFolder(folder);
    if (result != RES_OK) {
        ShowModalMessage(L"Error",
                         L"\"" + folder + L"\" cannot be the phone memory: it is not an existing folder.",
                         Osp::Ui::Controls::MSGBOX_STYLE_OK, kFolderMessageMs);
        phoneFolder_->SetText(String(places.GetPhoneMemoryFolder()));
    } else {
        phoneFolder_->SetText(String(places.GetPhoneMemoryFolder()));
        ShowModalMessage(L"", L"Phone Memory shows " + places.GetPhoneMemoryFolder() + L" now.",
                         Osp::Ui::Controls::MSGBOX_STYLE_NONE, kClearedMs);
    }
    RequestRedraw();
}

void SettingsForm::ShowCardMenu() {
    cardChoices_ = {host::kFirstMedium, host::kNoCard};
    cardMenu_ = std::make_unique<Osp::Ui::Controls::ContextMenu>();
    cardMenu_->Construct(Osp::Graphics::Point(0, 0));
    cardMenu_->AddItem(String(L"The first one mounted"), ACTION_CARD_CHOICE);
    cardMenu_->AddItem(String(L"No memory card"), ACTION_CARD_CHOICE + 1);
    for (const host::MediumInfo& medium : Corvane::GetMyInstance()->GetPlaces().GetMedia()) {
        cardMenu_->AddItem(String(MediumName(medium)),
                           ACTION_CARD_CHOICE + static_cast<int>(cardChoices_.size()));
        cardChoices_.push_back(medium.mountPoint);
    }
    cardMenu_->AddActionEventListener(*this);
    const Osp::Graphics::Rectangle bounds = cardChoice_->GetBounds();
    cardMenu_->SetPosition(ControlToScreen(this, *cardChoice_, Osp::Graphics::Point(bounds.width / 2, 0)));
    cardMenu_->SetShowState(true);
    cardMenu_->Show();
}

void SettingsForm::ChooseCard(size_t index) {
    Corvane::GetMyInstance()->GetPlaces().SetCardChoice(cardChoices_[index]);
    ShowCardChoice();
    RequestRedraw();
}

void SettingsForm::ShowCardChoice() {
    const std::wstring choice = Corvane::GetMyInstance()->GetPlaces().GetCardChoice();
    std::wstring text;
    if (choice == host::kFirstMedium) {
        text = L"The first one mounted";
    } else if (choice == host::kNoCard) {
        text = L"No memory card";
    } else {
        text = choice + L" (not mounted)";
        for (const host::MediumInfo& medium : Corvane::GetMyInstance()->GetPlaces().GetMedia()) {
            if (medium.mountPoint == choice) {
                text = MediumName(medium);
            }
        }
    }
    cardChoice_->SetText(String(text));
}
