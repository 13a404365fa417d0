#pragma once
// The application object: starts the system, owns what lives for the whole run (the local browsers, the
// network folders, the media-database connection, the settings), reads and writes the settings file, and
// carries posted user events to the user-interface thread. Everything here runs on the user-interface
// thread except PostUserEvent and PostUserEventEx, which any thread may call.

#include <map>
#include <memory>
#include <string>
#include <thread>

#include "Osp/App/Application.h"
#include "Osp/Base/DateTime.h"
#include "Osp/Content/ContentManager.h"
#include "app/IUserEventHandler.h"
#include "app/PrivatePassword.h"
#include "app/UserEvent.h"
#include "fs/FsLocalBrowser.h"

class Cache;
class Clipboard;
class DamagedSettings;
class FolderSecrets;
class FolderForm;
class IFsBrowser;
class LocalPlaces;
class MainForm;
class PasswordForm;
class RemoteFolder;
class RemoteFolderForm;
class SettingsForm;
class TextForm;
class TrashForm;

namespace Osp::Ui::Controls {
class Form;
}

class Corvane : public Osp::App::Application {
public:
    static Osp::App::Application* CreateInstance();
    static Corvane* GetMyInstance();

    Corvane();
    ~Corvane() override;

    bool OnAppInitializing(Osp::App::AppRegistry& registry) override;
    bool OnAppTerminating(Osp::App::AppRegistry& registry, bool urgentTermination = false) override;
    void OnUserEventReceivedN(Osp::App::RequestId requestId, Osp::Base::Collection::IList* args) override;

    // Queue a call of handler->OnUserEvent(code), or of handler->OnUserEventEx(event), on the
    // user-interface thread, in the order of posting. PostUserEventEx owns event from then on. A handler
    // destroyed before its turn is not called; its event is deleted unread.
    unsigned long PostUserEvent(IUserEventHandler* handler, int code);
    unsigned long PostUserEventEx(IUserEventHandler* handler, UserEvent* event);
    // Any thread: true on the user-interface thread, the one that made the application.
    bool IsUiThread() const { return std::this_thread::get_id() == uiThread_; }

    // Makes the form the frame's current form, draws and shows it.
    void SwitchToForm(Osp::Ui::Controls::Form* form);
    // The list of places, made and added to the frame on the first call; the frame owns it.
    MainForm* GetMainForm();
    // A new folder form over the browser, added to the frame in place of the previous one (which the
    // frame deletes); it is not made current here.
    FolderForm* CreateFolderForm(IFsBrowser* browser);
    // The folder form in the frame, or null.
    FolderForm* GetFolderForm() const { return folderForm_; }
    // A new folder form over the local browser of the root kind (LocalBrowser::TRoot), made current.
    void OnOpenLocalFolder(int root);
    // A new folder form over the network folder's browser, in the frame but not made current: the form
    // shows itself once the share is listed.
    void OnOpenFolder(int id);
    // The screen for a new network folder, or for editing the folder with the identifier; made current.
    void OnAddFolder();
    void OnEditFolder(int id);
    // The settings screen in place of an earlier one, made current.
    void ShowSettingsForm();
    // The trash screen, made afresh in place of an earlier one, made current.
    void ShowTrashForm();
    // Opens the text viewer on the file at path in place of any viewer before it; displayName, size and
    // modified are what its details show. Nothing opens when the file is empty or cannot be read.
    void OpenTextForm(const std::wstring& path, const std::wstring& displayName, unsigned long long size,
                      const Osp::Base::DateTime& modified);
    // Returns to the folder form (or the main form when there is none) and discards the text viewer.
    void CloseTextForm();

    // The browser of the private files ("/Home/"), or of any root kind; made on first use.
    LocalBrowser* GetLocalBrowser();
    LocalBrowser* GetLocalBrowser(LocalBrowser::TRoot root);
    // The cache of local copies in "/Home/Cache/", made on first use (which empties its folder); emptied
    // when the run ends normally.
    Cache* GetCache();
    // What was copied or cut, or null. ResetClipboard takes the new one (null empties it).
    Clipboard* GetClipboard() const { return clipboard_.get(); }
    void ResetClipboard(Clipboard* clipboard);
    // The media-database connection, made and constructed on first use.
    Osp::Content::ContentManager* GetContentMan();
    // The main list's last local item: 2 while a memory card is there, else 1.
    int GetLastLocalItem() const { return lastLocalItem_; }
    // Where the phone memory and the card lie, as chosen, and whether the card is there.
    LocalPlaces& GetPlaces() { return *places_; }
    // The card came or went while the program runs: the main list follows, and a folder list on the screen
    // that shows the card goes back to it with a message.
    void OnCardPresenceChanged(bool present);
    // The place of the root kind lies elsewhere now: its folder list and a clipboard filled there go.
    void OnPlaceMoved(LocalBrowser::TRoot root);

    // The network folders by identifier; owned.
    const std::map<int, RemoteFolder*>& GetFolders() const { return folders_; }
    RemoteFolder* GetFolderById(int id) const;
    // Takes the new folder and stores it in the settings file.
    void OnNewFolderAdded(RemoteFolder* folder);
    void OnFolderChanged(RemoteFolder* folder, bool save);
    // Removes the folder form that browses the folder's share, the folder's section of the settings file,
    // and then the folder.
    void OnFolderDeleted(RemoteFolder* folder);
    // Drops the folder's browser and session (after its server, share, account or protocol changed), with
    // the folder form that browses them, a job over them and a clipboard of them.
    void ResetFolderConnection(RemoteFolder* folder);
    void SaveToRegistry(RemoteFolder* folder, bool isNew);
    void DeleteFromRegistry(RemoteFolder* folder);

    // Opens a help page of "/Res/Help/", or a web address, in the phone's browser; nothing shows when the
    // browser cannot be started.
    void ShowHelp(const wchar_t* page);
    void ShowWebPage(const wchar_t* url);

    bool GetShowHidden() const { return showHidden_; }
    void SetShowHidden(bool show);
    // Whether deleting in the phone memory, on the card and in the private files moves to their trash.
    bool GetUseTrash() const { return useTrash_; }
    void SetUseTrash(bool use);
    // Whether the private files have a password (also one whose stored form cannot be read).
    bool HasPassword() const { return password_.IsSet(); }
    // Compares the typed text with the password. The plain password of an older settings file is
    // replaced there by its hash at the first match.
    PrivatePassword::TCheck CheckPassword(const std::wstring& typed);
    // Stores a new password, or removes it when empty.
    void SetPassword(const std::wstring& password);
    // True when no password is set or it was entered during this run.
    bool IsPasswordEntered() const { return !password_.IsSet() || passwordEntered_; }
    void SetPasswordEntered(bool entered) { passwordEntered_ = entered; }
    // Asks whether the user really wants a password, then shows the screen that sets it.
    void OnSetPassword();
    // Shows the screen that changes the password.
    void OnChangePassword();

private:
    void ProbeMemoryCard();
    void SetNetworkPreference();
    // Tells the user, once, what the keyring did not do.
    void PostKeyringNotice();
    // Reads the network folders and "General" from the settings file, and the folders' passwords kept in
    // the keyring. A file that is there but cannot be read is kept aside and the user told
    // (DamagedSettings); the run then starts empty as without one.
    void LoadFolders();
    void StartBrowser(const Osp::Base::String& argument);
    // Writes one value of "General" into the settings file, made when missing; failures are ignored.
    template <typename T>
    void WriteGeneral(const wchar_t* key, const T& value);
    // Writes the password's keys of "General" into the settings file; failures are ignored.
    void SavePassword();

    // Puts the form into the frame in place of slot's (which the frame deletes) and makes it current.
    template <typename T>
    void ReplaceForm(T*& slot, T* form);
    // Lets go of the folder's browser, which is about to go: its clipboard, a job over it and the folder
    // form that browses it.
    void ReleaseBrowserOf(RemoteFolder* folder);
    void RemoveFolderFormOf(const RemoteFolder* folder);

    const std::thread::id uiThread_ = std::this_thread::get_id();
    std::map<int, RemoteFolder*> folders_;
    MainForm* mainForm_ = nullptr;          // the frame's
    PasswordForm* passwordForm_ = nullptr;  // the frame's
    FolderForm* folderForm_ = nullptr;      // the frame's
    TextForm* textForm_ = nullptr;          // the frame's
    // The network-folder and settings screens; the frame's.
    RemoteFolderForm* remoteFolderForm_ = nullptr;
    SettingsForm* settingsForm_ = nullptr;
    TrashForm* trashForm_ = nullptr;  // the frame's
    // Declared before the browsers, which use it, so that it is destroyed after them.
    std::unique_ptr<Osp::Content::ContentManager> contentManager_;
    std::unique_ptr<LocalBrowser> localBrowsers_[3];
    // After the browsers: it reads through the private files' browser.
    std::unique_ptr<Cache> cache_;
    // Holds a reference to its browser: emptied before the network folders go.
    std::unique_ptr<Clipboard> clipboard_;
    // The settings file that could not be read at start, kept aside; null when it was read or missing.
    std::unique_ptr<DamagedSettings> damagedSettings_;
    // Where the network folders' passwords are kept.
    std::unique_ptr<FolderSecrets> secrets_;
    std::unique_ptr<LocalPlaces> places_;
    int lastLocalItem_ = 1;
    bool showHidden_ = false;
    bool useTrash_ = true;
    PrivatePassword password_;
    bool passwordEntered_ = false;
};
