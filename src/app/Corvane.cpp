#include "app/Corvane.h"

#include <algorithm>

#include "Osp/App/AppControl.h"
#include "Osp/App/AppManager.h"
#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Io/Registry.h"
#include "Osp/Net/NetAccountManager.h"
#include "Osp/System/RuntimeInfo.h"
#include "Osp/Ui/Controls/Frame.h"
#include "app/DamagedSettings.h"
#include "app/FolderTies.h"
#include "app/LiveTarget.h"
#include "app/LocalPlaces.h"
#include "app/MainForm.h"
#include "app/ModalMessage.h"
#include "app/PasswordForm.h"
#include "app/RegValue.h"
#include "app/Results.h"
#include "app/SettingsForm.h"
#include "app/TrashForm.h"
#include "fs/Cache.h"
#include "fs/FileSyncProxy.h"
#include "net/FolderSecrets.h"
#include "net/NetBrowser.h"
#include "net/RemoteFolder.h"
#include "net/RemoteFolderForm.h"
#include "net/smb2/Smb2Worker.h"
#include "text/TextForm.h"
#include "transfer/Clipboard.h"
#include "transfer/FsThread.h"
#include "ui/FolderForm.h"

namespace {

using Osp::Base::String;
using Osp::Base::Collection::ArrayList;

constexpr wchar_t kSettingsFile[] = L"/Home/RF.reg";
constexpr wchar_t kGeneral[] = L"General";
constexpr wchar_t kShowHidden[] = L"ShowHidden";
constexpr wchar_t kKeyringAbsenceTold[] = L"KeyringAbsenceTold";
constexpr wchar_t kUseTrash[] = L"UseTrash";
constexpr wchar_t kFolderSectionPrefix[] = L"RF";
// Browser arguments are cut to this many characters.
constexpr int kMaxBrowserArgument = 300;
constexpr unsigned long kCardRemovedMs = 5000;
constexpr wchar_t kCacheFolder[] = L"/Home/Cache/";
// The cache takes at most this much of the free internal storage, and leaves a margin of it free.
constexpr long long kCacheStorageCap = 1115684864;
constexpr long long kCacheSmallStorage = 209715200;
constexpr long long kCacheMargin = 41943040;

// The cache limit for the free internal storage: 80 % of a small amount, else all but a margin.
unsigned int CacheLimit() {
    long long free = 0;
    if (Osp::System::RuntimeInfo::GetValue(String(L"AvailableInternalStorage"), free) != RES_OK || free < 0) {
        free = 0;
    }
    free = std::min(free, kCacheStorageCap);
    return static_cast<unsigned int>(free < kCacheSmallStorage ? free * 8 / 10 : free - kCacheMargin);
}

// The first element of every posted list: the handler, remembered with its liveness token so that an
// event reaches only the handler it was posted to, and only while that handler exists.
class PostedHandler : public Osp::Base::Object {
public:
    explicit PostedHandler(IUserEventHandler* handler) : handler(handler) {}
    LiveRef<IUserEventHandler> handler;
};

}  // namespace

Osp::App::Application* Corvane::CreateInstance() {
    return new Corvane;
}

Corvane* Corvane::GetMyInstance() {
    return static_cast<Corvane*>(Osp::App::Application::GetInstance());
}

Corvane::Corvane() : secrets_(std::make_unique<FolderSecrets>()), places_(std::make_unique<LocalPlaces>()) {}

Corvane::~Corvane() {
    clipboard_.reset();
    for (auto& [id, folder] : folders_) {
        delete folder;
    }
    // The workers of shares that were closed say goodbye to their servers; one that still waits on a
    // silent server is not waited for long.
    Smb2Worker::JoinRetired(2000);
    // A whole-file copy of a job that went is not waited for long either.
    FsThread::JoinRetired(2000);
}

bool Corvane::OnAppInitializing(Osp::App::AppRegistry&) {
    ProbeMemoryCard();
    SetNetworkPreference();
    LoadFolders();
    SwitchToForm(GetMainForm());
    places_->StartWatching();
    return true;
}

bool Corvane::OnAppTerminating(Osp::App::AppRegistry&, bool urgentTermination) {
    places_->StopWatching();
    // Workers waiting for this thread would wait for ever now that its loop has ended.
    FileSyncProxy::AbortAll();
    if (!urgentTermination && cache_ != nullptr) {
        cache_->PurgeCache();
    }
    // What the application owns goes in the destructor: the content-database connection after the
    // browsers that use it.
    return true;
}

void Corvane::ProbeMemoryCard() {
    // The places are chosen in the settings file, which lies in the private folder: that one never moves.
    places_->Load();
    lastLocalItem_ = places_->IsCardPresent() ? 2 : 1;
}

void Corvane::OnCardPresenceChanged(bool present) {
    lastLocalItem_ = present ? 2 : 1;
    GetMainForm()->ShowCardItem(present);
    if (present || folderForm_ == nullptr || GetAppFrame()->GetCurrentForm() != folderForm_ ||
        !RestsOnBrowser(folderForm_->GetBrowser(), GetLocalBrowser(LocalBrowser::ROOT_CARD))) {
        return;
    }
    // The folder form stays in the frame, unseen: a question of its own may still be open on the screen,
    // and the next folder opened replaces it.
    SwitchToForm(GetMainForm());
    ShowModalMessage(L"", L"The memory card was removed.", Osp::Ui::Controls::MSGBOX_STYLE_OK,
                     kCardRemovedMs);
}

void Corvane::OnPlaceMoved(LocalBrowser::TRoot root) {
    const IFsBrowser* place = GetLocalBrowser(root);
    if (clipboard_ != nullptr && RestsOnBrowser(clipboard_->GetBrowser(), place)) {
        clipboard_.reset();
    }
    if (folderForm_ != nullptr && RestsOnBrowser(folderForm_->GetBrowser(), place)) {
        FolderForm* form = folderForm_;
        folderForm_ = nullptr;
        GetAppFrame()->RemoveControl(*form);
    }
}

void Corvane::SetNetworkPreference() {
    Osp::Net::NetAccountManager accounts;
    if (accounts.Construct() == RES_OK) {
        accounts.SetNetPreference(Osp::Net::NET_WIFI_FIRST);
    }
}

void Corvane::LoadFolders() {
    Osp::Io::Registry reg;
    const unsigned long r = reg.Construct(String(kSettingsFile), false);
    if (r == RES_NOT_FOUND) {
        return;
    }
    if (r != RES_OK) {
        damagedSettings_ = std::make_unique<DamagedSettings>();
        damagedSettings_->KeepAside(kSettingsFile);
        PostUserEvent(damagedSettings_.get(), 0);
        return;
    }
    std::unique_ptr<ArrayList> sections(reg.GetAllSectionNamesN());
    for (int i = 0; sections != nullptr && i < sections->GetCount(); ++i) {
        const auto* name = dynamic_cast<const String*>(sections->GetAt(i));
        if (name == nullptr || !name->StartsWith(String(kFolderSectionPrefix), 0)) {
            continue;
        }
        auto folder = std::make_unique<RemoteFolder>();
        folder->LoadFromReg(reg, *name);
        // Two sections claiming one identifier: the first one read wins, the other stays in the file.
        int id = static_cast<int>(folder->GetId());
        if (folders_.count(id) == 0) {
            folders_[id] = folder.release();
        }
    }
    if (sections != nullptr) {
        sections->RemoveAll(true);
    }
    secrets_->Load(folders_);
    PostKeyringNotice();
    for (const auto& [id, folder] : folders_) {
        GetMainForm()->AddFolderToList(folder);
    }
    GetMainForm()->UpdatePadItem();
    RemoteFolder::LoadGeneralSettings(reg);
    for (const auto& [id, folder] : folders_) {
        RemoteFolder::ReserveId(folder->GetId());
    }
    int showHidden = 0;
    if (reg.GetValue(String(kGeneral), String(kShowHidden), showHidden) == RES_OK) {
        showHidden_ = showHidden != 0;
    }
    int useTrash = 1;
    if (reg.GetValue(String(kGeneral), String(kUseTrash), useTrash) == RES_OK) {
        useTrash_ = useTrash != 0;
    }
    password_.Load(reg, String(kGeneral));
    int absenceTold = 0;
    secrets_->SetAbsenceTold(reg.GetValue(String(kGeneral), String(kKeyringAbsenceTold), absenceTold) ==
                                 RES_OK &&
                             absenceTold != 0);
}

unsigned long Corvane::PostUserEvent(IUserEventHandler* handler, int code) {
    auto* list = new ArrayList;
    list->Construct(1);
    list->Add(new PostedHandler(handler));
    return SendUserEvent(code, list);
}

unsigned long Corvane::PostUserEventEx(IUserEventHandler* handler, UserEvent* event) {
    if (event == nullptr) {
        return RES_FAILURE;
    }
    auto* list = new ArrayList;
    list->Construct(2);
    list->Add(new PostedHandler(handler));
    list->Add(event);
    return SendUserEvent(event->GetKind(), list);
}

void Corvane::OnUserEventReceivedN(Osp::App::RequestId requestId, Osp::Base::Collection::IList* args) {
    if (args == nullptr) {
        return;
    }
    const auto* posted = args->GetCount() >= 1 ? dynamic_cast<PostedHandler*>(args->GetAt(0)) : nullptr;
    IUserEventHandler* handler = posted != nullptr ? posted->handler.Get() : nullptr;
    if (handler != nullptr && args->GetCount() == 1) {
        handler->OnUserEvent(requestId);
    } else if (handler != nullptr) {
        if (auto* event = dynamic_cast<UserEvent*>(args->GetAt(1))) {
            handler->OnUserEventEx(event);
        }
    }
    // Deletes the list with its elements: the handler's wrapper and the event.
    Osp::App::Application::OnUserEventReceivedN(requestId, args);
}

void Corvane::SwitchToForm(Osp::Ui::Controls::Form* form) {
    // Whatever was deleted or restored meanwhile shows in the trash's size.
    if (form == mainForm_) {
        mainForm_->UpdateTrashItem();
    }
    GetAppFrame()->SetCurrentForm(*form);
    form->Draw();
    form->Show();
}

FolderForm* Corvane::CreateFolderForm(IFsBrowser* browser) {
    Osp::Ui::Controls::Frame* frame = GetAppFrame();
    if (folderForm_ != nullptr) {
        frame->RemoveControl(*folderForm_);
        folderForm_ = nullptr;
    }
    auto* form = new FolderForm;
    form->Initialize(browser, frame->GetOrientationStatus());
    folderForm_ = form;
    frame->AddControl(*form);
    return form;
}

MainForm* Corvane::GetMainForm() {
    if (mainForm_ == nullptr) {
        auto* form = new MainForm;
        form->Initialize();
        mainForm_ = form;
        GetAppFrame()->AddControl(*form);
    }
    return mainForm_;
}

void Corvane::OnOpenLocalFolder(int root) {
    SwitchToForm(CreateFolderForm(GetLocalBrowser(static_cast<LocalBrowser::TRoot>(root))));
}

template <typename T>
void Corvane::ReplaceForm(T*& slot, T* form) {
    Osp::Ui::Controls::Frame* frame = GetAppFrame();
    if (slot != nullptr) {
        frame->RemoveControl(*slot);
    }
    slot = form;
    frame->AddControl(*form);
    SwitchToForm(form);
}

void Corvane::OnOpenFolder(int id) {
    RemoteFolder* folder = GetFolderById(id);
    if (folder != nullptr) {
        CreateFolderForm(folder->CreateBrowser());
    }
}

void Corvane::OnAddFolder() {
    auto form = std::make_unique<RemoteFolderForm>();
    if (form->Initialize(nullptr)) {
        ReplaceForm(remoteFolderForm_, form.release());
    }
}

void Corvane::OnEditFolder(int id) {
    RemoteFolder* folder = GetFolderById(id);
    auto form = std::make_unique<RemoteFolderForm>();
    if (folder != nullptr && form->Initialize(folder)) {
        ReplaceForm(remoteFolderForm_, form.release());
    }
}

void Corvane::ShowTrashForm() {
    auto form = std::make_unique<TrashForm>();
    if (form->Construct()) {
        ReplaceForm(trashForm_, form.release());
    }
}

void Corvane::ShowSettingsForm() {
    auto form = std::make_unique<SettingsForm>();
    if (form->Construct()) {
        ReplaceForm(settingsForm_, form.release());
    }
}

void Corvane::OpenTextForm(const std::wstring& path, const std::wstring& displayName, unsigned long long size,
                           const Osp::Base::DateTime& modified) {
    Osp::Ui::Controls::Frame* frame = GetAppFrame();
    const Osp::Ui::OrientationStatus orientation =
        folderForm_ != nullptr ? folderForm_->GetOrientationStatus() : frame->GetOrientationStatus();
    auto form = std::make_unique<TextForm>();
    if (!form->Initialize(path, orientation, displayName, size, modified)) {
        return;
    }
    if (textForm_ != nullptr) {
        frame->RemoveControl(*textForm_);
    }
    textForm_ = form.release();
    frame->AddControl(*textForm_);
    SwitchToForm(textForm_);
}

void Corvane::CloseTextForm() {
    if (textForm_ == nullptr) {
        return;
    }
    if (folderForm_ != nullptr) {
        SwitchToForm(folderForm_);
    } else {
        SwitchToForm(GetMainForm());
    }
    // The viewer is deleted here, inside its own action call, which returns at once.
    TextForm* form = textForm_;
    textForm_ = nullptr;
    GetAppFrame()->RemoveControl(*form);
}

LocalBrowser* Corvane::GetLocalBrowser() {
    return GetLocalBrowser(LocalBrowser::ROOT_HOME);
}

LocalBrowser* Corvane::GetLocalBrowser(LocalBrowser::TRoot root) {
    std::unique_ptr<LocalBrowser>& browser = localBrowsers_[root - LocalBrowser::ROOT_HOME];
    if (browser == nullptr) {
        browser = std::make_unique<LocalBrowser>(root, GetContentMan());
    }
    return browser.get();
}

void Corvane::ResetClipboard(Clipboard* clipboard) {
    clipboard_.reset(clipboard);
}

Cache* Corvane::GetCache() {
    if (cache_ == nullptr) {
        cache_ = std::make_unique<Cache>(GetLocalBrowser());
        cache_->Construct(kCacheFolder, CacheLimit());
    }
    return cache_.get();
}

Osp::Content::ContentManager* Corvane::GetContentMan() {
    if (contentManager_ == nullptr) {
        contentManager_ = std::make_unique<Osp::Content::ContentManager>();
        contentManager_->Construct();
    }
    return contentManager_.get();
}

RemoteFolder* Corvane::GetFolderById(int id) const {
    auto it = folders_.find(id);
    return it != folders_.end() ? it->second : nullptr;
}

void Corvane::ReleaseBrowserOf(RemoteFolder* folder) {
    // Nothing may go on using the folder's browser, whichever object of the folder (or archive on it)
    // serves: a job over it ends, then the clipboard that job reads is emptied.
    if (folderForm_ != nullptr) {
        folderForm_->OnFolderReleased(folder);
    }
    if (clipboard_ != nullptr && RestsOnFolder(clipboard_->GetBrowser(), folder)) {
        clipboard_.reset();
    }
    RemoveFolderFormOf(folder);
}

void Corvane::RemoveFolderFormOf(const RemoteFolder* folder) {
    const auto* share =
        folderForm_ != nullptr ? dynamic_cast<const NetBrowser*>(folderForm_->GetBrowser()) : nullptr;
    if (share == nullptr || share->GetFolder() != folder) {
        return;
    }
    FolderForm* form = folderForm_;
    folderForm_ = nullptr;
    GetAppFrame()->RemoveControl(*form);
}

void Corvane::ResetFolderConnection(RemoteFolder* folder) {
    ReleaseBrowserOf(folder);
    folder->DropConnection();
}

void Corvane::OnNewFolderAdded(RemoteFolder* folder) {
    int id = static_cast<int>(folder->GetId());
    RemoteFolder*& slot = folders_[id];
    if (slot != folder) {
        if (slot != nullptr) {
            ReleaseBrowserOf(slot);
        }
        delete slot;
        slot = folder;
    }
    GetMainForm()->AddFolderToList(folder);
    GetMainForm()->UpdatePadItem();
    SaveToRegistry(folder, true);
}

void Corvane::OnFolderChanged(RemoteFolder* folder, bool save) {
    GetMainForm()->UpdateFolder(folder);
    if (save) {
        SaveToRegistry(folder, false);
    }
}

void Corvane::OnFolderDeleted(RemoteFolder* folder) {
    ReleaseBrowserOf(folder);
    DeleteFromRegistry(folder);
    secrets_->Forget(folder, folders_);
    PostKeyringNotice();
    auto it = folders_.find(static_cast<int>(folder->GetId()));
    if (it != folders_.end() && it->second == folder) {
        folders_.erase(it);
    }
    delete folder;
}

void Corvane::PostKeyringNotice() {
    if (secrets_->HasNotice()) {
        PostUserEvent(secrets_.get(), 0);
    }
}

void Corvane::SaveToRegistry(RemoteFolder* folder, bool isNew) {
    const bool absenceToldBefore = secrets_->IsAbsenceTold();
    secrets_->Place(folder, folders_);
    if (!absenceToldBefore && secrets_->IsAbsenceTold()) {
        WriteGeneral(kKeyringAbsenceTold, 1);
    }
    PostKeyringNotice();
    Osp::Io::Registry reg;
    if (reg.Construct(String(kSettingsFile), true) == RES_OK) {
        folder->SaveToReg(reg, isNew);
        reg.Flush();
    }
}

void Corvane::DeleteFromRegistry(RemoteFolder* folder) {
    Osp::Io::Registry reg;
    if (reg.Construct(String(kSettingsFile), false) == RES_OK) {
        folder->DeleteFromReg(reg);
        reg.Flush();
    }
}

void Corvane::ShowHelp(const wchar_t* page) {
    String argument;
    argument.Format(kMaxBrowserArgument, L"url:file:///Res/Help/%ls", page);
    StartBrowser(argument);
}

void Corvane::ShowWebPage(const wchar_t* url) {
    String argument;
    argument.Format(kMaxBrowserArgument, L"url:%ls", url);
    StartBrowser(argument);
}

void Corvane::StartBrowser(const String& argument) {
    std::unique_ptr<Osp::App::AppControl> browser(Osp::App::AppManager::FindAppControlN(
        String(Osp::App::APPCONTROL_BROWSER), String(Osp::App::OPERATION_DEFAULT)));
    if (browser == nullptr) {
        return;
    }
    String text(argument);
    ArrayList args;
    args.Construct(1);
    args.Add(&text);
    browser->Start(&args);
}

template <typename T>
void Corvane::WriteGeneral(const wchar_t* key, const T& value) {
    Osp::Io::Registry reg;
    if (reg.Construct(String(kSettingsFile), true) != RES_OK) {
        return;
    }
    reg.AddSection(String(kGeneral));
    SetRegValue(reg, String(kGeneral), String(key), value);
    reg.Flush();
}

void Corvane::SetShowHidden(bool show) {
    if (show != showHidden_) {
        showHidden_ = show;
        WriteGeneral(kShowHidden, show ? 1 : 0);
    }
}

void Corvane::SetUseTrash(bool use) {
    if (use != useTrash_) {
        useTrash_ = use;
        WriteGeneral(kUseTrash, use ? 1 : 0);
    }
}

void Corvane::SavePassword() {
    Osp::Io::Registry reg;
    if (reg.Construct(String(kSettingsFile), true) != RES_OK) {
        return;
    }
    reg.AddSection(String(kGeneral));
    password_.Save(reg, String(kGeneral));
    reg.Flush();
}

PrivatePassword::TCheck Corvane::CheckPassword(const std::wstring& typed) {
    const bool plain = password_.IsPlain();
    const PrivatePassword::TCheck check = password_.Check(typed);
    if (plain && check == PrivatePassword::MATCH) {
        SavePassword();
    }
    return check;
}

void Corvane::SetPassword(const std::wstring& password) {
    password_.Set(password);
    SavePassword();
}

void Corvane::OnSetPassword() {
    const int answer =
        ShowModalMessage(L"",
                         L"Do you really want to set a password?\n\nWARNING: If you forget the "
                         L"password, you will lose all access to 'My Private Files'",
                         Osp::Ui::Controls::MSGBOX_STYLE_YESNO);
    if (answer != Osp::Ui::Controls::MSGBOX_RESULT_YES) {
        return;
    }
    auto form = std::make_unique<PasswordForm>();
    if (form->Initialize(PasswordForm::SET)) {
        ReplaceForm(passwordForm_, form.release());
    }
}

void Corvane::OnChangePassword() {
    auto form = std::make_unique<PasswordForm>();
    if (form->Initialize(PasswordForm::CHANGE)) {
        ReplaceForm(passwordForm_, form.release());
    }
}
