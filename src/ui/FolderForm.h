#pragma once
// The folder list: the screen that shows one folder of one storage (phone memory, memory card, private
// files, archive or network share) as a checkable list, and from which the file operations start. The
// form keeps a stack of the folders opened on the way down from the root, so that Back and the path menu
// return to a parent without asking the storage again.
//
// Contract:
// - Everything runs on the user-interface thread. The browser's answers may come inside the calls that
//   ask for them (the local storage answers at once) or later; the form copes with both.
// - The browser is the application's (an archive browser is reference counted by whoever opened it); the
//   form is its listener from Initialize to its destruction and never deletes it. The form owns the
//   folders of its stack, the folder being opened, the running enumeration, the entries and the menus.
// - List item identifiers are indices into the sorted entries, so they survive filtering; the blank
//   padding item at the end of a long list has the identifier -1 and is never opened, counted or operated
//   on.

#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Graphics/Bitmap.h"
#include "Osp/Ui/Controls/ContextMenu.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Keypad.h"
#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/OptionMenu.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IItemEventListener.h"
#include "Osp/Ui/IOrientationEventListener.h"
#include "Osp/Ui/ITextEventListener.h"
#include "Osp/Ui/ITouchEventListener.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsDirEnum.h"
#include "fs/IFsDirEnumListener.h"
#include "fs/IFsDirListener.h"
#include "fs/IFsOpListener.h"
#include "transfer/TransferPopup.h"
#include "ui/FileTypes.h"
#include "ui/ProgressPopup.h"

class DeleteDetailsPopup;
class PasswordPopup;
class FileDetailsPopup;
class LoginPopup;
class OverwritePopup;
class RemoteFolder;
class SelDetailsPopup;
class SharesPopup;

class FolderForm : public Osp::Ui::Controls::Form,
                   public Osp::Ui::IActionEventListener,
                   public Osp::Ui::ITouchEventListener,
                   public Osp::Ui::IOrientationEventListener,
                   public Osp::Ui::IItemEventListener,
                   public Osp::Base::Runtime::ITimerEventListener,
                   public Osp::Ui::ITextEventListener,
                   public IFsBrowserListener,
                   public IFsDirListener,
                   public IFsDirEnumListener,
                   public IFsOpListener,
                   public ITpListener {
public:
    // One folder of the stack.
    struct DirCtx {
        std::unique_ptr<IFsDir> dir;
        // The list index that was at the top when the user left this folder; 0 when never left.
        int topItem = 0;
    };

    // One entry of the listed folder, copied out of the storage's entry.
    class FileInfo {
    public:
        explicit FileInfo(const IFsDirEntry& entry);

        bool IsDirectory() const { return (attributes & ENTRY_DIRECTORY) != 0; }
        // Replaces the name and recomputes the type (a renamed file may change its kind).
        void SetName(const std::wstring& newName);
        // The name in lower case, as sorting and filtering compare it.
        const std::wstring& GetLowerName() const { return lowerName; }

        std::wstring name;
        unsigned long long size;
        unsigned int attributes;  // TEntryType flags
        Osp::Base::DateTime modified;
        int fileType;  // FT_FOLDER for directories

    private:
        std::wstring lowerName;
    };

    // Action identifiers of the soft keys, menus and popups.
    enum TAction {
        ACTION_BACK = 101,
        ACTION_OPTIONS = 103,
        ACTION_HELP = 105,
        ACTION_SELECT_ALL = 106,
        ACTION_DESELECT_ALL = 107,
        ACTION_INVERT_SELECTION = 108,
        ACTION_REFRESH = 109,
        ACTION_CANCEL_OPEN = 110,
        ACTION_SELECT = 111,
        ACTION_PATH_MENU = 112,
        ACTION_GO_HOME = 140,
        ACTION_GO_TO_DIR_FIRST = 141,
        ACTION_GO_TO_DIR_LAST = 146,
        ACTION_DETAILS = 201,
        ACTION_DELETE = 202,
        ACTION_NEW_FOLDER = 203,
        ACTION_FILTER = 204,
        ACTION_RENAME = 205,
        ACTION_COPY_CHECKED = 206,
        ACTION_COPY_ITEM = 207,
        ACTION_CUT_CHECKED = 208,
        ACTION_CUT_ITEM = 209,
        ACTION_PASTE = 210,
        ACTION_COPY_MOVE = 211,
        ACTION_LOGIN_DONE = 341,
        ACTION_LOGIN_CANCEL = 342,
        ACTION_SHARE_CHOSEN = 351,
        ACTION_SHARE_CANCEL = 352,
        ACTION_FILE_DETAILS_CLOSED = 2515,
        ACTION_SEL_DETAILS_CLOSED = 2532,
        ACTION_PASSWORD_OK = 331,
        ACTION_PASSWORD_CANCEL = 332,
        ACTION_DELETE_FINISHED = 2549,
    };

    // Request identifiers of the single-entry operations, handed back in OnFsOperationDone.
    enum TOperation {
        OP_RENAME = 1,
        OP_DELETE_FILE = 3,
        OP_CREATE_FOLDER = 5,
    };

    // What the keypad or a running operation is for (m_nMode).
    enum TMode {
        MODE_NONE = 0,
        MODE_RENAME = 1,
        MODE_FILTER = 2,
        MODE_DELETE_ONE = 3,
        MODE_DELETE_PROGRESS = 4,
        MODE_NEW_FOLDER = 5,
    };

    // The most items a list shows; a larger folder asks the user to filter it.
    static constexpr int kMaxItems = 1000;

    FolderForm();
    ~FolderForm() override;

    // Becomes the browser's listener and builds the form from its layout. Returns true.
    bool Initialize(IFsBrowser* browser, Osp::Ui::OrientationStatus orientation);
    // Finds the list, builds the menus and starts listing the root.
    Osp::Base::result OnInitializing() override;

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnTouchDoublePressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                              const Osp::Ui::TouchEventInfo& info) override;
    void OnTouchFocusIn(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                        const Osp::Ui::TouchEventInfo& info) override;
    void OnTouchFocusOut(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                         const Osp::Ui::TouchEventInfo& info) override;
    void OnTouchLongPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                            const Osp::Ui::TouchEventInfo& info) override;
    void OnTouchMoved(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                      const Osp::Ui::TouchEventInfo& info) override;
    void OnTouchPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                        const Osp::Ui::TouchEventInfo& info) override;
    void OnTouchReleased(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                         const Osp::Ui::TouchEventInfo& info) override;
    void OnOrientationChanged(const Osp::Ui::Control& source, Osp::Ui::OrientationStatus status) override;
    void OnItemStateChanged(const Osp::Ui::Control& source, int index, int itemId,
                            Osp::Ui::ItemStatus status) override;
    void OnTextValueChangeCanceled(const Osp::Ui::Control& source) override;
    void OnTextValueChanged(const Osp::Ui::Control& source) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;

    void OnOpenDir(unsigned long result, IFsDir* dir) override;
    // The small popup without a button, or the big one with Cancel.
    void ShowPopup(const Osp::Base::String& text, bool big) override;
    void HidePopup() override;
    void OnPasswordRequestA(IFsBrowser* browser) override;
    void OnSelectShareA(const std::set<std::wstring>& shares) override;
    void OnOpenEnumerator(unsigned long result, IFsDirEnum* enumerator) override;
    void OnOpenSubDir(unsigned long result, IFsDir* dir) override;
    void OnGetEntry(unsigned long result, const IFsDirEntry* entry) override;
    void OnFsOperationDone(int id, std::intptr_t object, unsigned long result) override;

    // The end of a paste job, and its question about an existing file (FolderFormTransfer.cpp).
    void OnTransferEnded(TransferPopup* popup, unsigned long result, const std::wstring& message) override;
    void OnOverwriteFileA(TransferPopup* popup, const std::wstring& source,
                          const std::wstring& destination) override;
    // The folder's browser is going away: a job that reads or writes through it ends at once, unseen.
    void OnFolderReleased(const RemoteFolder* folder);

    IFsBrowser* GetBrowser() const { return m_pBrowser; }
    Osp::Ui::OrientationStatus GetOrientationStatusAtStart() const { return m_eOrientation; }
    // The full path of an entry of the listed folder; empty while nothing is listed.
    std::wstring GetItemFullName(const FileInfo& info) const;
    // Appends the indices of the checked list items (never the padding item) and returns their number.
    int GetSelectedItems(std::vector<int>* indices) const;
    // Whether the form is still at work on what the user asked: opening or listing a folder, a rename, a
    // delete or a paste job. A user's next touch would find the list in between.
    bool IsBusy() const;
    // The filter last applied ("*" for none).
    const std::wstring& GetFilter() const { return m_sFilter; }
    // Lists the entries again: those of the pattern, or all of them for an empty one.
    void ApplyFilter(const std::wstring& filter);
    // The filter as names are matched against it: lower case, and plain text as "*text*".
    std::wstring FilterPattern() const;

    // The icon of a file type; the icon of FT_UNKNOWN for a type outside the table.
    static const Osp::Graphics::Bitmap* IconFromFileType(int type);

private:
    // Listing (FolderFormListing.cpp).
    void OpenSubFolder(const std::wstring& name);
    void FinishListing(unsigned long result);
    void OnListingFailed(unsigned long result);
    void SortFiles();
    void AddItem(int index, const std::wstring& pattern, bool folders, bool showHidden,
                 const std::set<std::wstring>& checkedNames);
    void UpdatePadItem();
    void UpdateOrientation(Osp::Ui::OrientationStatus status);
    void SetTitleAndEmptyText(bool filtered);
    void RestoreTopItem();
    void GoBack();
    void OnGoToDir(int n);
    void GoHome();
    void Refresh();
    // Lists the folder at that depth of the stack, which is cut back to it once the listing succeeds.
    void ListStackFolder(size_t depth);
    // A folder is being opened, listed or returned to.
    bool IsListing() const;
    void FreeEntries();
    IFsDir* GetDir() const { return m_oDirs.empty() ? nullptr : m_oDirs.back().dir.get(); }
    bool IsSmbBrowser() const;

    // Menus and selection (FolderFormMenus.cpp).
    void BuildMenus();
    void BuildOptionMenu();
    void BuildFolderMenu();
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> MakeContextMenu(
        std::initializer_list<std::pair<const wchar_t*, int>> items) const;
    void ShowContextMenu(const Osp::Graphics::Point& point);
    void ShowOptionMenu();
    void ShowPathMenu();
    void BuildPathMenu();
    void SetAllChecked(bool check);
    void InvertChecks();
    std::set<std::wstring> CheckedNames() const;
    bool IsPadItem(int index) const;

    // Opening files (FolderFormOpen.cpp).
    void OpenFile(int id);
    void DoOpenFile(IFsBrowser* browser, const std::wstring& path, int type, const std::wstring& name,
                    unsigned long long size, const Osp::Base::DateTime& modified);
    void OpenAppControl1(const std::wstring& path, const wchar_t* appControlId, const wchar_t* operation,
                         const wchar_t* type);
    void OpenHtml(const std::wstring& path);
    // A new archive browser over the file at path on browser, its folders pushed on this stack.
    void OpenArchive(IFsBrowser* browser, const std::wstring& path);
    // The answer to the archive's password question: the typed password, or a cancel.
    void SetPassword(bool ok);
    // A file of a storage other than the phone's: opened from its copy in the cache.
    void OpenThroughCache(const FileInfo& info, IFsBrowser* browser);
    // Copies the file at source into the cache and opens the copy once it is there.
    void FetchIntoCache(const FileInfo& info, IFsBrowser* browser, const std::wstring& source);

    // Rename, new folder, delete (FolderFormEdit.cpp).
    void OnRename();
    void OnNewFolder();
    void OnRenameTyped(const std::wstring& text);
    void OnNewFolderTyped(const std::wstring& text);
    bool ValidateNewName(const FileInfo& info, const std::wstring& newName);
    void OnFileRenamed(unsigned long result);
    void OnFolderCreated(unsigned long result);
    void OnDelete();
    void OnFileDelete(int index);
    void OnDirDelete(int index);
    void OnSelectionDelete(int index);
    void OnFileDeleted(unsigned long result);
    void OnMulDeleteFinished();
    void ShowDeleteError(unsigned long result, const std::wstring& name) const;
    // Deleting into the trash (FolderFormTrash.cpp). The trash that takes this folder's deletions, or
    // empty when they are permanent (another storage, the setting off, or a folder inside a trash).
    std::wstring TrashFolder() const;
    // Asks about and moves the entries to the trash; false when deletions here are permanent and nothing
    // was asked.
    bool DeleteToTrash(const std::vector<int>& indices);
    // Asks about deleting for good the entries that could not go to the trash (the first refusal's
    // result is reason), and deletes them.
    void DeleteForGood(const std::vector<const FileInfo*>& entries, unsigned long reason);
    // The entry of a list index; null for the padding item or an index out of range.
    const FileInfo* EntryAt(int index) const;
    // A new delete popup over the current folder, replacing the last one; null when it cannot be made.
    DeleteDetailsPopup* NewDeletePopup();

    // Details (FolderFormDetails.cpp).
    void OnDetails();
    void OnFileDetails(int index);
    void OnSelectionDetails(const std::vector<int>& indices);

    // Copy, cut and paste (FolderFormTransfer.cpp).
    void OnCopyOrMove(int kind, bool fromContextMenu);
    void OnPaste();
    bool CanPaste() const;
    void OnFetchEnded(TransferPopup* popup, unsigned long result, const std::wstring& message);
    void ShowTransferError(unsigned long result, const std::wstring& message) const;

    // A network folder's logon, share choice and connection (FolderFormNetwork.cpp).
    RemoteFolder* GetRemoteFolder() const;
    // Answers a refused logon of the root with the login popup; false when the failure is another one.
    bool AskForLogon(unsigned long result);
    // The Cancel of the connecting popup: the network folder's connection attempt ends.
    void CancelConnecting();
    // Stores the account of a confirmed "Remember" once the server has taken it.
    void KeepAcceptedLogon();
    void OnNetworkAction(int actionId);
    // A network folder's form shows once its root is listed: until then the main list stays.
    void ShowWhenRootListed();

    // Open operations, popups and messages (FolderForm.cpp).
    void StartOpenOp(int kind);
    void EndOpenOp();
    void ShowKeypad(const std::wstring& text);
    void ShowMessage(const std::wstring& title, const std::wstring& text, unsigned long timeoutMs) const;
    void ShowError(unsigned long result) const;
    void ReturnToMainForm();
    static void LoadIcons();

    Osp::Ui::Controls::List* m_pList = nullptr;  // a control of the form's layout
    std::unique_ptr<Osp::Ui::Controls::OptionMenu> m_pOptionMenu;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> m_pItemMenu;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> m_pItemMenuRo;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> m_pSelMenu;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> m_pSelMenuRo;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> m_pFolderMenu;
    std::unique_ptr<Osp::Ui::Controls::ContextMenu> m_pPathMenu;
    std::wstring m_sPathMenuFor;
    int m_nPathMenuBase = 0;  // the stack position of the path menu's first folder
    std::unique_ptr<Osp::Ui::Controls::Keypad> m_pKeypad;
    bool m_bLongPress = false;
    bool m_bPadItem = false;
    int m_nCtxIndex = -1;
    IFsBrowser* m_pBrowser = nullptr;  // the application's
    std::wstring m_sPath;
    std::wstring m_sFilter = L"*";
    int m_nMode = MODE_NONE;
    std::vector<DirCtx> m_oDirs;
    std::vector<std::unique_ptr<FileInfo>> m_oFiles;
    // Names checked before a refresh, checked again once the folder is listed anew.
    std::set<std::wstring> m_oKeepChecked;
    std::unique_ptr<IFsDir> m_pPendingDir;
    std::unique_ptr<IFsDirEnum> m_pEnum;
    std::unique_ptr<ProgressPopup> m_pBigPopup;
    std::unique_ptr<ProgressPopup> m_pSmallPopup;
    std::unique_ptr<PasswordPopup> m_pPasswordPopup;
    // The browser whose password question is open.
    IFsBrowser* m_pPasswordBrowser = nullptr;
    // An archive browser whose root has not answered yet; this form holds a reference on it until then.
    IFsBrowser* m_pOpeningArchive = nullptr;
    bool m_bCanCreate = false;
    Osp::Ui::OrientationStatus m_eOrientation = Osp::Ui::ORIENTATION_STATUS_PORTRAIT;
    bool m_bTooMany = false;
    int m_nOpenOp = 0;
    Osp::Base::Runtime::Timer m_oTimer;
    // The stack depth that Back or the path menu is listing, or -1.
    int m_nTargetDepth = -1;
    // A folder was asked for and has not answered yet.
    bool m_bOpeningDir = false;
    int m_nRenameIdx = -1;
    int m_nDeleteIdx = -1;
    std::wstring m_sNewName;
    std::unique_ptr<FileDetailsPopup> m_pFileDetails;
    std::unique_ptr<SelDetailsPopup> m_pSelDetails;
    std::unique_ptr<DeleteDetailsPopup> m_pDeleteDetails;
    std::unique_ptr<TransferPopup> m_pTransferPopup;
    // The file being fetched into the cache for opening: its copy, its source and its type.
    std::wstring m_sCacheName;
    std::wstring m_sCacheSource;
    int m_nCacheType = 0;
    std::unique_ptr<OverwritePopup> m_pOverwritePopup;
    std::unique_ptr<LoginPopup> m_pLoginPopup;
    std::unique_ptr<SharesPopup> m_pSharesPopup;
    // "Remember" was confirmed in the login popup; the account is stored once the server takes it.
    bool m_bRememberLogon = false;

    static std::array<std::unique_ptr<Osp::Graphics::Bitmap>, FT_COUNT> sm_oIcons;
};
