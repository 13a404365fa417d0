#include "app/MainForm.h"

#include "Osp/Media/Image.h"
#include "Osp/System/RuntimeInfo.h"
#include "Osp/Ui/Controls/Frame.h"
#include "app/AboutPopup.h"
#include "app/Corvane.h"
#include "app/DiskDetailsPopup.h"
#include "app/Format.h"
#include "app/ModalMessage.h"
#include "app/PasswordPopup.h"
#include "app/Results.h"
#include "app/ShareSizeQuery.h"
#include "app/UiUtils.h"
#include "fs/TrashPlaces.h"
#include "host/Storage.h"
#include "net/RemoteFolder.h"
#include "net/RemoteFolderForm.h"

namespace {

using Osp::Base::String;
using Osp::Graphics::Bitmap;
using Osp::Ui::Controls::ContextMenu;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using Osp::Ui::Controls::MSGBOX_STYLE_NONE;
using Osp::Ui::Controls::MSGBOX_STYLE_YESNO;

enum TAction {
    ACTION_ADD_FOLDER = 101,
    ACTION_EXIT = 102,
    ACTION_OPTIONS = 103,
    ACTION_SETTINGS = 104,
    ACTION_HELP = 105,
    ACTION_REMOVE_FOLDER = 106,
    ACTION_EDIT_FOLDER = 107,
    ACTION_DISCONNECT = 109,
    ACTION_DETAILS = 110,
    ACTION_ABOUT = 111,
    ACTION_SET_PASSWORD = 112,
    ACTION_CHANGE_PASSWORD = 113,
    ACTION_REMOVE_PASSWORD = 114,
    ACTION_PASSWORD_OPEN = 115,
    ACTION_PASSWORD_REMOVE = 116,
    ACTION_PASSWORD_CANCEL = 117,
    ACTION_SUPPORT = 118,
    ACTION_NETWORK = 119,
};

// Where the folder's remembered password is kept, as its details say.
std::wstring PasswordPlaceOf(const RemoteFolder& folder) {
    if (folder.IsPasswordUnread()) {
        return L"Password in the desktop keyring, not readable now";
    }
    if (folder.GetPasswordPlace() == PASSWORD_IN_KEYRING) {
        return L"Password in the desktop keyring";
    }
    return folder.GetSavedPassword().IsEmpty() ? L"No password remembered" : L"Password in the settings file";
}

// How many items the list shows without scrolling; beyond that it gets the blank last item.
constexpr int kPortraitRows = 7;
constexpr int kLandscapeRows = 4;
// The width of the name column: the row less the icon column and room for the trash's size.
constexpr int kPortraitNameWidth = 300;
constexpr int kLandscapeNameWidth = 600;
constexpr unsigned long kPasswordRemovedMs = 2500;
constexpr wchar_t kSupportPage[] = L"https://corvane.example.org/support/";

std::unique_ptr<Bitmap> DecodeIcon(const wchar_t* path) {
    Osp::Media::Image decoder;
    decoder.Construct();
    return std::unique_ptr<Bitmap>(
        decoder.DecodeN(String(path), Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888));
}

// Free bytes of a storage as the platform reports them; 0 when it cannot tell.
unsigned long long AvailableStorage(const wchar_t* key) {
    long long bytes = 0;
    if (Osp::System::RuntimeInfo::GetValue(String(key), bytes) != Osp::Base::E_SUCCESS || bytes < 0) {
        return 0;
    }
    return static_cast<unsigned long long>(bytes);
}

}  // namespace

MainForm::MainForm()
    : trashSizer_([this](unsigned long long bytes, size_t items) { ShowTrashSize(bytes, items); }) {}

MainForm::~MainForm() = default;

bool MainForm::Initialize() {
    return Construct(String(L"IDF_MAINFORM")) == Osp::Base::E_SUCCESS;
}

Osp::Base::result MainForm::OnInitializing() {
    list_ = dynamic_cast<Osp::Ui::Controls::List*>(GetControl(String(L"IDC_MAIN_FOLDERS_LIST")));
    if (list_ == nullptr) {
        return Osp::Base::E_INVALID_STATE;
    }
    LoadIcons();
    list_->AddItemEventListener(*this);
    list_->AddTouchEventListener(*this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_ADD_FOLDER);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_EXIT);
    SetOptionkeyActionId(ACTION_OPTIONS);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    AddOptionkeyActionListener(*this);
    AddOrientationEventListener(*this);
    BuildOptionMenu();
    localMenu_ = std::make_unique<ContextMenu>();
    localMenu_->Construct(Osp::Graphics::Point(0, 0));
    localMenu_->AddActionEventListener(*this);
    SetColumnWidth(GetOrientationStatus());
    AddLocalItems();
    UpdatePadItem();
    return Osp::Base::E_SUCCESS;
}

void MainForm::LoadIcons() {
    offIcon_ = DecodeIcon(L"/Res/OffIcon.png");
    onIcon_ = DecodeIcon(L"/Res/OnIcon.png");
    privateIcon_ = DecodeIcon(L"/Res/PrivateIc.png");
    phoneIcon_ = DecodeIcon(L"/Res/PhoneMem.png");
    cardIcon_ = DecodeIcon(L"/Res/MemCard.png");
    trashIcon_ = DecodeIcon(L"/Res/Trash.png");
}

void MainForm::AddLocalItems() {
    const String privateFiles(L"My Private Files");
    const String phone(L"Phone Memory");
    const String card(L"Memory Card");
    list_->AddItem(&privateFiles, nullptr, privateIcon_.get(), nullptr);
    list_->AddItem(&phone, nullptr, phoneIcon_.get(), nullptr);
    if (Corvane::GetMyInstance()->GetLastLocalItem() == ITEM_CARD) {
        list_->AddItem(&card, nullptr, cardIcon_.get(), nullptr);
        hasCardItem_ = true;
    }
    const String trash(L"Trash");
    list_->AddItem(&trash, nullptr, trashIcon_.get(), nullptr, kTrashItemId);
    UpdateTrashItem();
}

int MainForm::TrashIndex() const {
    return list_->GetItemIndexFromItemId(kTrashItemId);
}

void MainForm::UpdateTrashItem() {
    // The item keeps the size it shows until the new count comes.
    trashSizer_.Start(ShownTrashes(Corvane::GetMyInstance()->IsPasswordEntered()));
}

void MainForm::ShowTrashSize(unsigned long long bytes, size_t items) {
    const String name(L"Trash");
    const String size = items == 0 ? String(L"Empty") : FormatSize64(bytes);
    list_->SetItemAt(TrashIndex(), &name, &size, trashIcon_.get(), nullptr, kTrashItemId);
    UpdateView();
}

void MainForm::ShowCardItem(bool present) {
    if (present == hasCardItem_) {
        return;
    }
    if (present) {
        const String card(L"Memory Card");
        list_->InsertItemAt(ITEM_CARD, &card, nullptr, cardIcon_.get(), nullptr);
    } else {
        list_->RemoveItemAt(ITEM_CARD);
    }
    hasCardItem_ = present;
    // The items below moved: a menu still open acts on nothing rather than on the wrong place.
    longPressIndex_ = -1;
    UpdatePadItem();
    UpdateView();
}

void MainForm::BuildOptionMenu() {
    optionMenu_ = std::make_unique<Osp::Ui::Controls::OptionMenu>();
    optionMenu_->Construct();
    optionMenu_->AddItem(String(L"Network"), ACTION_NETWORK);
    optionMenu_->AddItem(String(L"Settings"), ACTION_SETTINGS);
    optionMenu_->AddItem(String(L"About"), ACTION_ABOUT);
    optionMenu_->AddItem(String(L"Help"), ACTION_HELP);
    optionMenu_->AddItem(String(L"Support (Web)"), ACTION_SUPPORT);
    optionMenu_->AddActionEventListener(*this);
}

void MainForm::SetColumnWidth(Osp::Ui::OrientationStatus status) {
    list_->SetColumn2Width(Osp::Ui::IsLandscape(status) ? kLandscapeNameWidth : kPortraitNameWidth);
}

bool MainForm::IsFolderItem(int index) const {
    return index > Corvane::GetMyInstance()->GetLastLocalItem() && index != TrashIndex();
}

const Bitmap* MainForm::FolderIcon(const RemoteFolder* folder) const {
    return folder->IsConnected() ? onIcon_.get() : offIcon_.get();
}

void MainForm::AddFolderToList(const RemoteFolder* folder) {
    if (hasPadItem_) {
        list_->RemoveItemAt(list_->GetItemCount() - 1);
        hasPadItem_ = false;
    }
    const String name = folder->GetUncName();
    // The trash stays the last place.
    list_->InsertItemAt(TrashIndex(), &name, nullptr, FolderIcon(folder), nullptr,
                        static_cast<int>(folder->GetId()));
}

void MainForm::UpdatePadItem() {
    const int items = list_->GetItemCount() - (hasPadItem_ ? 1 : 0);
    const int rows = Osp::Ui::IsLandscape(GetOrientationStatus()) ? kLandscapeRows : kPortraitRows;
    const bool needed = items > rows;
    if (needed == hasPadItem_) {
        return;
    }
    if (needed) {
        list_->AddItem(nullptr, nullptr, nullptr, nullptr, kPadItemId);
        list_->SetItemEnabled(items, false);
    } else {
        list_->RemoveItemAt(items);
    }
    hasPadItem_ = needed;
}

void MainForm::UpdateFolder(const RemoteFolder* folder) {
    const int id = static_cast<int>(folder->GetId());
    const int index = list_->GetItemIndexFromItemId(id);
    if (index < 0) {
        return;
    }
    const String name = folder->GetUncName();
    list_->SetItemAt(index, &name, nullptr, FolderIcon(folder), nullptr, id);
    UpdateView();
}

void MainForm::UpdateView() {
    if (list_->IsVisible()) {
        list_->RequestRedraw();
    }
}

void MainForm::OnItemStateChanged(const Osp::Ui::Control& source, int index, int,
                                  Osp::Ui::ItemStatus status) {
    if (&source != list_ || status != Osp::Ui::ITEM_SELECTED) {
        return;
    }
    if (longPressed_) {
        longPressed_ = false;
        return;
    }
    OpenItem(index);
}

void MainForm::OpenItem(int index) {
    Corvane* app = Corvane::GetMyInstance();
    if (index == ITEM_PRIVATE) {
        OpenPrivateFiles();
    } else if (index == ITEM_PHONE) {
        app->OnOpenLocalFolder(LocalBrowser::ROOT_MEDIA);
    } else if (index == TrashIndex()) {
        app->ShowTrashForm();
    } else if (index == ITEM_CARD && !IsFolderItem(index)) {
        app->OnOpenLocalFolder(LocalBrowser::ROOT_CARD);
    } else if (const int id = list_->GetItemIdAt(index); id != kPadItemId) {
        app->OnOpenFolder(id);
    }
}

void MainForm::OpenPrivateFiles() {
    Corvane* app = Corvane::GetMyInstance();
    if (app->IsPasswordEntered()) {
        app->OnOpenLocalFolder(LocalBrowser::ROOT_HOME);
    } else {
        AskPassword(ACTION_PASSWORD_OPEN);
    }
}

void MainForm::AskPassword(int doneAction) {
    passwordPopup_ =
        std::make_unique<PasswordPopup>(this, doneAction, ACTION_PASSWORD_CANCEL, PasswordPopup::CHECK);
    if (passwordPopup_->Construct()) {
        passwordPopup_->ShowPopup();
    }
}

void MainForm::OnTouchPressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                              const Osp::Ui::TouchEventInfo&) {
    // Only the touch that became a long press is kept from opening its item. The list reports no tap
    // for such a touch, and a flag left over from it must not swallow the next real tap.
    longPressed_ = false;
}

void MainForm::OnTouchLongPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& currentPosition,
                                  const Osp::Ui::TouchEventInfo&) {
    if (&source != list_) {
        return;
    }
    const int index = list_->GetItemIndexFromPosition(currentPosition);
    longPressIndex_ = index;
    if (index < 0) {
        return;
    }
    longPressed_ = true;
    ContextMenu* menu = MenuFor(index);
    if (menu == nullptr) {
        return;
    }
    menu->SetPosition(ControlToScreen(this, *list_, currentPosition));
    menu->SetShowState(true);
    menu->Show();
}

ContextMenu* MainForm::MenuFor(int index) {
    if (IsFolderItem(index)) {
        const RemoteFolder* folder = LongPressedFolder();
        if (folder == nullptr) {
            return nullptr;  // the blank last item
        }
        folderMenu_.reset(CreateCtxMenuN(folder->IsConnected()));
        return folderMenu_.get();
    }
    return index == TrashIndex() ? nullptr : BuildLocalMenu(index);
}

ContextMenu* MainForm::BuildLocalMenu(int index) {
    localMenu_->RemoveAllItems();
    localMenu_->AddItem(String(L"Details"), ACTION_DETAILS);
    if (index == ITEM_PRIVATE) {
        if (!Corvane::GetMyInstance()->HasPassword()) {
            localMenu_->AddItem(String(L"Set password"), ACTION_SET_PASSWORD);
        } else {
            localMenu_->AddItem(String(L"Change password"), ACTION_CHANGE_PASSWORD);
            localMenu_->AddItem(String(L"Remove password"), ACTION_REMOVE_PASSWORD);
        }
    }
    return localMenu_.get();
}

ContextMenu* MainForm::CreateCtxMenuN(bool connected) {
    auto* menu = new ContextMenu;
    menu->Construct(Osp::Graphics::Point(0, 0));
    if (connected) {
        menu->AddItem(String(L"Details"), ACTION_DETAILS);
        menu->AddItem(String(L"Disconnect"), ACTION_DISCONNECT);
    } else {
        menu->AddItem(String(L"Remove"), ACTION_REMOVE_FOLDER);
        menu->AddItem(String(L"Edit"), ACTION_EDIT_FOLDER);
    }
    menu->AddActionEventListener(*this);
    return menu;
}

RemoteFolder* MainForm::LongPressedFolder() const {
    if (longPressIndex_ < 0 || !IsFolderItem(longPressIndex_)) {
        return nullptr;
    }
    const int id = list_->GetItemIdAt(longPressIndex_);
    return id < 0 ? nullptr : Corvane::GetMyInstance()->GetFolderById(id);
}

void MainForm::SearchNetwork() {
    // The servers found fill a new folder's form, which the search opens over.
    Corvane* app = Corvane::GetMyInstance();
    app->OnAddFolder();
    if (auto* form = dynamic_cast<RemoteFolderForm*>(app->GetAppFrame()->GetCurrentForm())) {
        form->SearchNetwork();
    }
}

void MainForm::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    Corvane* app = Corvane::GetMyInstance();
    switch (actionId) {
        case ACTION_ADD_FOLDER:
            app->OnAddFolder();
            break;
        case ACTION_NETWORK:
            SearchNetwork();
            break;
        case ACTION_EDIT_FOLDER:
            if (const RemoteFolder* folder = LongPressedFolder()) {
                app->OnEditFolder(static_cast<int>(folder->GetId()));
            }
            break;
        case ACTION_SETTINGS:
            app->ShowSettingsForm();
            break;
        case ACTION_ABOUT:
            ShowAbout();
            break;
        case ACTION_EXIT:
            ConfirmExit();
            break;
        case ACTION_OPTIONS:
            optionMenu_->SetShowState(true);
            optionMenu_->Show();
            break;
        case ACTION_HELP:
            app->ShowHelp(L"main_form.html");
            break;
        case ACTION_SUPPORT:
            app->ShowWebPage(kSupportPage);
            break;
        case ACTION_REMOVE_FOLDER:
            RemoveFolder();
            break;
        case ACTION_DISCONNECT:
            DisconnectFolder();
            break;
        case ACTION_DETAILS:
            ShowDiskDetails();
            break;
        case ACTION_SET_PASSWORD:
            app->OnSetPassword();
            break;
        case ACTION_CHANGE_PASSWORD:
            app->OnChangePassword();
            break;
        case ACTION_REMOVE_PASSWORD:
            AskPassword(ACTION_PASSWORD_REMOVE);
            break;
        case ACTION_PASSWORD_OPEN:
            app->SetPasswordEntered(true);
            app->OnOpenLocalFolder(LocalBrowser::ROOT_HOME);
            break;
        case ACTION_PASSWORD_REMOVE:
            OnPasswordRemoved();
            break;
        case ACTION_PASSWORD_CANCEL:
            RequestRedraw();
            break;
        case DiskDetailsPopup::kActionClose:
            RequestRedraw();
            break;
        default:
            break;
    }
}

void MainForm::OnPasswordRemoved() {
    Corvane::GetMyInstance()->SetPassword(std::wstring());
    RequestRedraw();
    ShowModalMessage(L"", L"Password is removed", MSGBOX_STYLE_NONE, kPasswordRemovedMs);
}

void MainForm::ShowDiskDetails() {
    if (diskDetails_ == nullptr) {
        auto popup = std::make_unique<DiskDetailsPopup>();
        if (!popup->Construct(this)) {
            return;
        }
        diskDetails_ = std::move(popup);
    }
    // Whatever was asked before is no longer wanted: its answer must not show under this item's name.
    sizeQuery_.reset();
    if (longPressIndex_ == ITEM_PRIVATE) {
        diskDetails_->ShowPopup(L"My Private Files", 0, AvailableStorage(L"AvailableInternalStorage"), 0);
    } else if (longPressIndex_ == ITEM_PHONE) {
        ShowPlaceDetails(L"Phone memory", host::Place::kPhoneMemory);
    } else if (longPressIndex_ == ITEM_CARD && !IsFolderItem(longPressIndex_)) {
        ShowPlaceDetails(L"Memory card", host::Place::kCard);
    } else if (RemoteFolder* folder = LongPressedFolder()) {
        AskShareSize(folder);
    }
}

void MainForm::ShowPlaceDetails(const wchar_t* title, host::Place place) {
    host::StorageFacts facts;
    if (host::GetStorageFacts(place, facts) != Osp::Base::E_SUCCESS) {
        // Gone or unreadable since the menu opened: the popup says nothing rather than something wrong.
        facts = host::StorageFacts();
    }
    std::wstring about = facts.label.empty() ? std::wstring() : L"\"" + facts.label + L"\"";
    for (const std::wstring& part : {facts.type, std::wstring(facts.readOnly ? L"read-only" : L"")}) {
        if (!part.empty()) {
            about += (about.empty() ? L"" : L", ") + part;
        }
    }
    diskDetails_->ShowPopup(title, facts.total, facts.free, 0, about);
}

void MainForm::AskShareSize(RemoteFolder* folder) {
    const std::wstring password = PasswordPlaceOf(*folder);
    auto query = std::make_unique<ShareSizeQuery>([this, password](const ShareSizeQuery::SAnswer& answer) {
        diskDetails_->ShowPopup(answer.title, answer.capacity, answer.free, 0, answer.connection, password);
    });
    if (query->Ask(folder)) {
        sizeQuery_ = std::move(query);
    }
}

void MainForm::ShowAbout() {
    if (aboutPopup_ == nullptr) {
        auto popup = std::make_unique<AboutPopup>();
        if (!popup->Construct()) {
            return;
        }
        aboutPopup_ = std::move(popup);
    }
    aboutPopup_->ShowPopup();
}

void MainForm::RemoveFolder() {
    RemoteFolder* folder = LongPressedFolder();
    if (folder == nullptr) {
        return;
    }
    const int id = static_cast<int>(folder->GetId());
    const std::wstring question = L"Remove " + folder->GetUncName().Units() + L"?";
    if (ShowModalMessage(L"", question, MSGBOX_STYLE_YESNO) != MSGBOX_RESULT_YES) {
        return;
    }
    Corvane::GetMyInstance()->OnFolderDeleted(folder);
    // The item is found again by identifier: the list may have changed while the question was open.
    const int index = list_->GetItemIndexFromItemId(id);
    if (index >= 0) {
        list_->RemoveItemAt(index);
    }
    longPressIndex_ = -1;
    UpdatePadItem();
    RequestRedraw();
}

void MainForm::DisconnectFolder() {
    RemoteFolder* folder = LongPressedFolder();
    if (folder != nullptr && folder->IsConnected()) {
        folder->SmbDisconnect();
    }
}

void MainForm::ConfirmExit() {
    if (ShowModalMessage(L"", L"Exit Corvane?", MSGBOX_STYLE_YESNO) == MSGBOX_RESULT_YES) {
        Corvane::GetMyInstance()->Terminate();
    }
}

void MainForm::OnOrientationChanged(const Osp::Ui::Control&, Osp::Ui::OrientationStatus orientationStatus) {
    SetColumnWidth(orientationStatus);
    UpdatePadItem();
    if (IsVisible()) {
        RequestRedraw();
    }
}
