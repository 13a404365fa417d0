#include "app/TrashForm.h"

#include <algorithm>

#include "app/Corvane.h"
#include "app/Format.h"
#include "app/LocalPlaces.h"
#include "app/MainForm.h"
#include "app/ModalMessage.h"
#include "app/Results.h"
#include "app/UiUtils.h"
#include "fs/TrashPlaces.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::ContextMenu;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using Osp::Ui::Controls::MSGBOX_STYLE_OK;
using Osp::Ui::Controls::MSGBOX_STYLE_YESNO;

constexpr unsigned long kErrorTimeoutMs = 10000;
// The name column; the rest of the row tells where the item was and the day it was deleted.
constexpr int kPortraitNameWidth = 170;
constexpr int kLandscapeNameWidth = 420;
constexpr size_t kDayLength = 10;  // "YYYY-MM-DD"
constexpr int kMaxMessage = 300;

struct SPlace {
    const wchar_t* root;
    const wchar_t* name;
};
constexpr SPlace kPlaces[] = {
    {L"/Media/", L"Phone Memory"},
    {L"/Storagecard/Media/", L"Memory Card"},
    {L"/Home/", L"My Private Files"},
};

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "/Media/Music/song.mp3" as "Phone Memory/Music".
std::wstring ShownFolder(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    for (const SPlace& place : kPlaces) {
        if (StartsWith(folder, place.root)) {
            std::wstring rest = folder.substr(std::wstring(place.root).size());
            if (!rest.empty()) {
                rest.pop_back();
            }
            return rest.empty() ? std::wstring(place.name) : std::wstring(place.name) + L"/" + rest;
        }
    }
    return L"Unknown place";
}

std::wstring LastComponent(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool AskYesNo(const std::wstring& title, const std::wstring& text) {
    return ShowModalMessage(title, text, MSGBOX_STYLE_YESNO) == MSGBOX_RESULT_YES;
}

// "Unable to restore 'a.txt': <why>", and what became of the item.
void ShowFailure(const std::wstring& lead, unsigned long result, const std::wstring& after) {
    ShowModalMessage(L"Trash", lead + L": " + BadaResultToString(result) + after, MSGBOX_STYLE_OK,
                     kErrorTimeoutMs);
}

}  // namespace

TrashForm::TrashForm() = default;

TrashForm::~TrashForm() = default;

bool TrashForm::Construct() {
    if (Form::Construct(String(L"IDF_TRASH")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    list_ = dynamic_cast<Osp::Ui::Controls::List*>(GetControl(String(L"IDC_TRASH_LIST")));
    if (list_ == nullptr) {
        return false;
    }
    list_->AddItemEventListener(*this);
    list_->AddTouchEventListener(*this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_EMPTY);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_BACK);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    AddOrientationEventListener(*this);
    SetColumnWidth(GetOrientationStatus());
    itemMenu_ = std::make_unique<ContextMenu>();
    itemMenu_->Construct(Osp::Graphics::Point(0, 0));
    itemMenu_->AddActionEventListener(*this);
    Fill();
    return true;
}

void TrashForm::SetColumnWidth(Osp::Ui::OrientationStatus status) {
    list_->SetColumn1Width(Osp::Ui::IsLandscape(status) ? kLandscapeNameWidth : kPortraitNameWidth);
}

void TrashForm::Fill() {
    // The private files' trash shows only to whoever may open the private files.
    trashes_.clear();
    for (const std::wstring& folder : ShownTrashes(Corvane::GetMyInstance()->IsPasswordEntered())) {
        trashes_.emplace_back(folder);
    }
    entries_.clear();
    for (size_t t = 0; t < trashes_.size(); ++t) {
        for (STrashItem& item : trashes_[t].List()) {
            entries_.push_back(SEntry{t, std::move(item)});
        }
    }
    // The latest deletion first; items of unknown date last.
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const SEntry& a, const SEntry& b) { return a.item.deletedAt > b.item.deletedAt; });
    list_->RemoveAllItems();
    for (size_t i = 0; i < entries_.size(); ++i) {
        const STrashItem& item = entries_[i].item;
        const String name(item.name);
        std::wstring about = item.originalPath.empty() ? L"Unknown place" : ShownFolder(item.originalPath);
        if (!item.deletedAt.empty()) {
            about += L", " + item.deletedAt.substr(0, kDayLength);
        }
        const String text2(about);
        list_->AddItem(&name, &text2, nullptr, nullptr, static_cast<int>(i));
    }
    chosen_ = -1;
    RequestRedraw();
}

const TrashForm::SEntry* TrashForm::Chosen() const {
    return chosen_ >= 0 && static_cast<size_t>(chosen_) < entries_.size()
               ? &entries_[static_cast<size_t>(chosen_)]
               : nullptr;
}

void TrashForm::OnItemStateChanged(const Osp::Ui::Control& source, int index, int,
                                   Osp::Ui::ItemStatus status) {
    if (&source != list_ || status != Osp::Ui::ITEM_SELECTED) {
        return;
    }
    if (longPressed_) {
        longPressed_ = false;
        return;
    }
    ShowItemMenu(index);
}

void TrashForm::OnTouchPressed(const Osp::Ui::Control&, const Osp::Graphics::Point& point,
                               const Osp::Ui::TouchEventInfo&) {
    longPressed_ = false;
    menuPoint_ = point;
}

void TrashForm::OnTouchLongPressed(const Osp::Ui::Control& source,
                                   const Osp::Graphics::Point& currentPosition,
                                   const Osp::Ui::TouchEventInfo&) {
    if (&source != list_) {
        return;
    }
    const int index = list_->GetItemIndexFromPosition(currentPosition);
    if (index < 0) {
        return;
    }
    longPressed_ = true;
    menuPoint_ = currentPosition;
    ShowItemMenu(index);
}

void TrashForm::ShowItemMenu(int index) {
    const int id = list_->GetItemIdAt(index);
    if (id < 0 || static_cast<size_t>(id) >= entries_.size()) {
        return;
    }
    chosen_ = id;
    itemMenu_->RemoveAllItems();
    if (entries_[static_cast<size_t>(id)].item.originalPath.empty()) {
        itemMenu_->AddItem(String(L"Restore to..."), ACTION_RESTORE_TO);
    } else {
        itemMenu_->AddItem(String(L"Restore"), ACTION_RESTORE);
    }
    itemMenu_->AddItem(String(L"Delete permanently"), ACTION_ERASE);
    itemMenu_->AddItem(String(L"Details"), ACTION_DETAILS);
    itemMenu_->SetPosition(ControlToScreen(this, *list_, menuPoint_));
    itemMenu_->SetShowState(true);
    itemMenu_->Show();
}

void TrashForm::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    Corvane* app = Corvane::GetMyInstance();
    switch (actionId) {
        case ACTION_EMPTY:
            Empty();
            break;
        case ACTION_BACK:
            app->SwitchToForm(app->GetMainForm());
            break;
        case ACTION_RESTORE:
            Restore();
            break;
        case ACTION_RESTORE_TO:
            ShowPlaceMenu();
            break;
        case ACTION_ERASE:
            Erase();
            break;
        case ACTION_DETAILS:
            ShowDetails();
            break;
        default:
            if (actionId >= ACTION_PLACE &&
                static_cast<size_t>(actionId - ACTION_PLACE) < placeRoots_.size()) {
                RestoreTo(static_cast<size_t>(actionId - ACTION_PLACE));
            }
            break;
    }
}

void TrashForm::ShowPlaceMenu() {
    const SEntry* entry = Chosen();
    if (entry == nullptr) {
        return;
    }
    // An item of the private trash stays private; any other goes to one of the places the user sees.
    const bool isPrivate = StartsWith(trashes_[entry->trash].GetFolder(), L"/Home/");
    placeRoots_.clear();
    placeMenu_ = std::make_unique<ContextMenu>();
    placeMenu_->Construct(Osp::Graphics::Point(0, 0));
    for (const SPlace& place : kPlaces) {
        const bool privatePlace = StartsWith(place.root, L"/Home/");
        const bool cardPlace = StartsWith(place.root, L"/Storagecard/");
        if (privatePlace != isPrivate ||
            (cardPlace && !Corvane::GetMyInstance()->GetPlaces().IsCardPresent())) {
            continue;
        }
        placeMenu_->AddItem(String(place.name), ACTION_PLACE + static_cast<int>(placeRoots_.size()));
        placeRoots_.push_back(place.root);
    }
    placeMenu_->AddActionEventListener(*this);
    placeMenu_->SetPosition(ControlToScreen(this, *list_, menuPoint_));
    placeMenu_->SetShowState(true);
    placeMenu_->Show();
}

void TrashForm::Restore() {
    if (const SEntry* entry = Chosen()) {
        RestoreItem(entry->item.originalPath);
    }
}

void TrashForm::RestoreTo(size_t place) {
    if (const SEntry* entry = Chosen()) {
        RestoreItem(placeRoots_[place] + entry->item.name);
    }
}

void TrashForm::RestoreItem(const std::wstring& target) {
    const SEntry* entry = Chosen();
    if (entry == nullptr || target.empty()) {
        return;
    }
    Trash& trash = trashes_[entry->trash];
    unsigned long r = trash.Restore(entry->item, target, Trash::KEEP_OCCUPANT);
    if (r == RES_ALREADY_EXISTS &&
        AskYesNo(L"Restore", L"'" + LastComponent(target) + L"' exists already in " + ShownFolder(target) +
                                 L". Replace it? The one there goes to the trash.")) {
        r = trash.Restore(entry->item, target, Trash::TRASH_OCCUPANT);
    }
    if (r != RES_OK && r != RES_ALREADY_EXISTS) {
        ShowFailure(L"Unable to restore '" + entry->item.name + L"'", r, L"\nIt stays in the trash.");
    }
    Fill();
}

void TrashForm::Erase() {
    const SEntry* entry = Chosen();
    if (entry == nullptr || !AskYesNo(L"Delete", L"Delete '" + entry->item.name + L"' permanently?")) {
        return;
    }
    const unsigned long r = trashes_[entry->trash].Erase(entry->item);
    if (r != RES_OK) {
        ShowFailure(L"Unable to delete '" + entry->item.name + L"'", r, L"");
    }
    Fill();
}

void TrashForm::Empty() {
    if (entries_.empty()) {
        return;
    }
    String question;
    question.Format(kMaxMessage, L"Delete the %d items in the trash permanently?",
                    static_cast<int>(entries_.size()));
    if (!AskYesNo(L"Empty trash", question.Units())) {
        return;
    }
    unsigned long first = RES_OK;
    for (Trash& trash : trashes_) {
        const unsigned long r = trash.Empty();
        if (first == RES_OK) {
            first = r;
        }
    }
    if (first != RES_OK) {
        ShowFailure(L"Some items could not be deleted", first, L"");
    }
    Fill();
}

void TrashForm::ShowDetails() {
    const SEntry* entry = Chosen();
    if (entry == nullptr) {
        return;
    }
    const STrashItem& item = entry->item;
    std::wstring text =
        L"From: " + (item.originalPath.empty() ? std::wstring(L"Unknown place") : item.originalPath);
    text += L"\nDeleted: " + (item.deletedAt.empty() ? std::wstring(L"Unknown") : item.deletedAt);
    text += L"\nSize: " + FormatSize64(item.size).Units();
    ShowModalMessage(item.name, text, MSGBOX_STYLE_OK);
}

void TrashForm::OnOrientationChanged(const Osp::Ui::Control&, Osp::Ui::OrientationStatus status) {
    SetColumnWidth(status);
    if (IsVisible()) {
        RequestRedraw();
    }
}
