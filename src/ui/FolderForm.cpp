#include "ui/FolderForm.h"

#include "Osp/Media/Image.h"
#include "Osp/Ui/Controls/MessageBox.h"
#include "app/Corvane.h"
#include "app/MainForm.h"
#include "app/PasswordPopup.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "app/Wipe.h"
#include "net/LoginPopup.h"
#include "net/SharesPopup.h"
#include "transfer/DeleteDetailsPopup.h"
#include "transfer/OverwritePopup.h"
#include "ui/FileDetailsPopup.h"
#include "ui/SelDetailsPopup.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::MessageBox;

constexpr wchar_t kFormId[] = L"IDF_FOLDER_FORM";
constexpr wchar_t kListId[] = L"IDC_FOLDERS_LIST";
constexpr wchar_t kOpening[] = L"Opening...";
constexpr wchar_t kHelpPage[] = L"folder_form.html";
constexpr int kOpenDelayMs = 1200;
constexpr unsigned long kErrorTimeoutMs = 5000;
constexpr int kKeypadLimit = 100;

}  // namespace

std::array<std::unique_ptr<Osp::Graphics::Bitmap>, FT_COUNT> FolderForm::sm_oIcons;

FolderForm::FileInfo::FileInfo(const IFsDirEntry& entry)
    : size(entry.GetSize()),
      attributes(static_cast<unsigned int>(entry.GetType())),
      modified(entry.GetTimeModified()),
      fileType(FT_FOLDER) {
    SetName(entry.GetName());
}

void FolderForm::FileInfo::SetName(const std::wstring& newName) {
    name = newName;
    lowerName = newName;
    MakeLower(&lowerName);
    fileType = IsDirectory() ? FT_FOLDER : GetFileType(name);
}

FolderForm::FolderForm() = default;

FolderForm::~FolderForm() {
    m_pOptionMenu.reset();
    m_pBigPopup.reset();
    m_pSmallPopup.reset();
    FreeEntries();
    m_pPendingDir.reset();
    m_pEnum.reset();
    m_oDirs.clear();
    if (m_pBrowser != nullptr) {
        m_pBrowser->RemoveListener(this);
    }
    m_pFileDetails.reset();
    m_pSelDetails.reset();
    m_pDeleteDetails.reset();
    m_pKeypad.reset();
    m_oTimer.Cancel();
}

void FolderForm::LoadIcons() {
    if (sm_oIcons[0] != nullptr) {
        return;
    }
    Osp::Media::Image image;
    image.Construct();
    for (int type = 0; type < FT_COUNT; ++type) {
        const String path = String(L"/Res/") + String(FileTypeIconName(type));
        sm_oIcons[static_cast<size_t>(type)].reset(
            image.DecodeN(path, Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888));
    }
}

const Osp::Graphics::Bitmap* FolderForm::IconFromFileType(int type) {
    if (type < 0 || type >= FT_COUNT) {
        type = FT_UNKNOWN;
    }
    return sm_oIcons[static_cast<size_t>(type)].get();
}

bool FolderForm::Initialize(IFsBrowser* browser, Osp::Ui::OrientationStatus orientation) {
    LoadIcons();
    m_pBrowser = browser;
    m_pBrowser->SetListener(this);
    m_eOrientation = orientation;
    m_bCanCreate = m_pBrowser->CapableOf(CAP_WRITE | CAP_CREATE_FOLDER);
    Construct(String(kFormId));
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_PATH_MENU);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_BACK);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    SetOptionkeyActionId(ACTION_OPTIONS);
    AddOptionkeyActionListener(*this);
    m_oTimer.Construct(*this);
    return true;
}

Osp::Base::result FolderForm::OnInitializing() {
    m_pList = dynamic_cast<Osp::Ui::Controls::List*>(GetControl(String(kListId), true));
    if (m_pList == nullptr) {
        return Osp::Base::E_FAILURE;
    }
    m_pList->AddTouchEventListener(*this);
    m_pList->AddItemEventListener(*this);
    AddOrientationEventListener(*this);
    BuildMenus();
    UpdateOrientation(GetOrientationStatus());
    OpenSubFolder(L"");
    return Osp::Base::E_SUCCESS;
}

void FolderForm::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    switch (actionId) {
        case ACTION_BACK:
            GoBack();
            break;
        case ACTION_OPTIONS:
            ShowOptionMenu();
            break;
        case ACTION_HELP:
            Corvane::GetMyInstance()->ShowHelp(kHelpPage);
            break;
        case ACTION_SELECT_ALL:
        case ACTION_DESELECT_ALL:
            SetAllChecked(actionId == ACTION_SELECT_ALL);
            break;
        case ACTION_INVERT_SELECTION:
            InvertChecks();
            break;
        case ACTION_REFRESH:
            Refresh();
            break;
        case ACTION_PATH_MENU:
            ShowPathMenu();
            break;
        case ACTION_GO_HOME:
            GoHome();
            break;
        case ACTION_DETAILS:
            OnDetails();
            break;
        case ACTION_DELETE:
            OnDelete();
            break;
        case ACTION_NEW_FOLDER:
            OnNewFolder();
            break;
        case ACTION_RENAME:
            OnRename();
            break;
        case ACTION_FILE_DETAILS_CLOSED:
        case ACTION_SEL_DETAILS_CLOSED:
            RequestRedraw();
            break;
        case ACTION_DELETE_FINISHED:
            OnMulDeleteFinished();
            break;
        case ACTION_COPY_CHECKED:
        case ACTION_COPY_ITEM:
            OnCopyOrMove(Clipboard::MODE_COPY, actionId == ACTION_COPY_ITEM);
            break;
        case ACTION_CUT_CHECKED:
        case ACTION_CUT_ITEM:
            OnCopyOrMove(Clipboard::MODE_CUT, actionId == ACTION_CUT_ITEM);
            break;
        case ACTION_PASTE:
            OnPaste();
            break;
        case ACTION_CANCEL_OPEN:
            CancelConnecting();
            break;
        case ACTION_LOGIN_DONE:
        case ACTION_LOGIN_CANCEL:
        case ACTION_SHARE_CHOSEN:
        case ACTION_SHARE_CANCEL:
            OnNetworkAction(actionId);
            break;
        case ACTION_PASSWORD_OK:
        case ACTION_PASSWORD_CANCEL:
            SetPassword(actionId == ACTION_PASSWORD_OK);
            break;
        case ACTION_FILTER:
            if (m_nMode == MODE_NONE) {
                m_nMode = MODE_FILTER;
                ShowKeypad(m_sFilter);
            }
            break;
        default:
            if (actionId >= ACTION_GO_TO_DIR_FIRST && actionId <= ACTION_GO_TO_DIR_LAST) {
                OnGoToDir(actionId - ACTION_GO_HOME);
            }
            break;
    }
}

void FolderForm::OnTouchDoublePressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                                      const Osp::Ui::TouchEventInfo&) {}

void FolderForm::OnTouchFocusIn(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                                const Osp::Ui::TouchEventInfo&) {}

void FolderForm::OnTouchFocusOut(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                                 const Osp::Ui::TouchEventInfo&) {}

void FolderForm::OnTouchMoved(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                              const Osp::Ui::TouchEventInfo&) {}

void FolderForm::OnTouchPressed(const Osp::Ui::Control&, const Osp::Graphics::Point&,
                                const Osp::Ui::TouchEventInfo&) {
    m_bLongPress = false;
}

void FolderForm::OnTouchLongPressed(const Osp::Ui::Control& source, const Osp::Graphics::Point& point,
                                    const Osp::Ui::TouchEventInfo&) {
    // A band at the bottom of the list lies under the thumb that holds the phone; a long press there is
    // more often a resting finger than a request for a menu.
    constexpr int kBottomBand = 46;
    if (point.y < source.GetHeight() - kBottomBand) {
        m_bLongPress = true;
        ShowContextMenu(point);
    }
}

void FolderForm::OnTouchReleased(const Osp::Ui::Control&, const Osp::Graphics::Point& point,
                                 const Osp::Ui::TouchEventInfo& info) {
    if (m_bLongPress || info.IsFlicked()) {
        return;
    }
    const int index = m_pList->GetItemIndexFromPosition(point);
    if (index < 0 || IsPadItem(index)) {
        ShowContextMenu(point);
    }
}

void FolderForm::OnOrientationChanged(const Osp::Ui::Control&, Osp::Ui::OrientationStatus status) {
    UpdateOrientation(status);
}

void FolderForm::OnItemStateChanged(const Osp::Ui::Control&, int index, int itemId,
                                    Osp::Ui::ItemStatus status) {
    if (status != Osp::Ui::ITEM_SELECTED || itemId < 0 || itemId >= static_cast<int>(m_oFiles.size())) {
        return;
    }
    if (m_bLongPress) {
        m_bLongPress = false;
        return;
    }
    const FileInfo& info = *m_oFiles[static_cast<size_t>(itemId)];
    if (info.IsDirectory()) {
        OpenSubFolder(info.name);
    } else {
        OpenFile(itemId);
    }
}

void FolderForm::OnTextValueChangeCanceled(const Osp::Ui::Control&) {
    if (m_nMode == MODE_RENAME || m_nMode == MODE_FILTER || m_nMode == MODE_NEW_FOLDER) {
        m_nMode = MODE_NONE;
    }
}

void FolderForm::OnTextValueChanged(const Osp::Ui::Control&) {
    const std::wstring text = m_pKeypad->GetText().Units();
    const int mode = m_nMode;
    if (mode != MODE_FILTER && mode != MODE_RENAME && mode != MODE_NEW_FOLDER) {
        return;
    }
    m_nMode = MODE_NONE;
    if (mode == MODE_FILTER) {
        ApplyFilter(text);
    } else if (mode == MODE_RENAME) {
        OnRenameTyped(text);
    } else {
        OnNewFolderTyped(text);
    }
}

void FolderForm::OnFsOperationDone(int id, std::intptr_t, unsigned long result) {
    switch (id) {
        case OP_RENAME:
            OnFileRenamed(result);
            break;
        case OP_DELETE_FILE:
            OnFileDeleted(result);
            break;
        case OP_CREATE_FOLDER:
            OnFolderCreated(result);
            break;
        default:
            break;
    }
}

void FolderForm::ShowKeypad(const std::wstring& text) {
    m_pKeypad = std::make_unique<Osp::Ui::Controls::Keypad>();
    m_pKeypad->Construct(Osp::Ui::Controls::KEYPAD_STYLE_NORMAL, Osp::Ui::Controls::KEYPAD_MODE_ALPHA,
                         kKeypadLimit);
    m_pKeypad->SetText(String(text));
    m_pKeypad->AddTextEventListener(*this);
    m_pKeypad->SetShowState(true);
    m_pKeypad->Show();
}

void FolderForm::StartOpenOp(int kind) {
    m_nOpenOp = kind;
    m_oTimer.Start(kOpenDelayMs);
}

void FolderForm::EndOpenOp() {
    m_nOpenOp = 0;
    m_oTimer.Cancel();
    HidePopup();
}

void FolderForm::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    ShowPopup(String(kOpening), false);
}

void FolderForm::ShowPopup(const String& text, bool big) {
    std::unique_ptr<ProgressPopup>& popup = big ? m_pBigPopup : m_pSmallPopup;
    if (popup == nullptr) {
        popup = std::make_unique<ProgressPopup>();
        if (big) {
            popup->Initialize(190, 160, ACTION_CANCEL_OPEN);
        } else {
            popup->Initialize(175, 110, 0);
        }
        popup->SetActionEventListener(*this);
        popup->SetupAnimation();
    }
    popup->SetTitleText(text);
    popup->StartAnimation();
    popup->Show(true);
}

void FolderForm::HidePopup() {
    for (ProgressPopup* popup : {m_pBigPopup.get(), m_pSmallPopup.get()}) {
        if (popup != nullptr && popup->GetShowState()) {
            popup->Show(false);
            popup->StopAnimation();
            break;
        }
    }
    RequestRedraw();
}

void FolderForm::OnPasswordRequestA(IFsBrowser* browser) {
    m_pPasswordBrowser = browser;
    // The question stands in for the "Opening..." popup while it is open.
    m_oTimer.Cancel();
    HidePopup();
    m_pPasswordPopup = std::make_unique<PasswordPopup>(this, ACTION_PASSWORD_OK, ACTION_PASSWORD_CANCEL,
                                                       PasswordPopup::COLLECT);
    if (!m_pPasswordPopup->Construct()) {
        SetPassword(false);
        return;
    }
    m_pPasswordPopup->ShowPopup();
}

void FolderForm::SetPassword(bool ok) {
    IFsBrowser* browser = m_pPasswordBrowser;
    m_pPasswordBrowser = nullptr;
    if (browser == nullptr) {
        return;
    }
    Wiped<std::wstring> password(ok && m_pPasswordPopup != nullptr ? m_pPasswordPopup->GetPassword() : L"");
    if (m_nOpenOp != 0) {
        m_oTimer.Start(kOpenDelayMs);
    }
    browser->SetPassword(ok ? RES_OK : RES_FAILURE, *password);
}

void FolderForm::ShowMessage(const std::wstring& title, const std::wstring& text,
                             unsigned long timeoutMs) const {
    MessageBox box;
    box.Construct(String(title), String(text), Osp::Ui::Controls::MSGBOX_STYLE_OK, timeoutMs);
    int answer = 0;
    box.ShowAndWait(answer);
}

void FolderForm::ShowError(unsigned long result) const {
    ShowMessage(L"Error", BadaResultToString(static_cast<unsigned int>(result)), kErrorTimeoutMs);
}

void FolderForm::ReturnToMainForm() {
    Corvane* app = Corvane::GetMyInstance();
    app->SwitchToForm(app->GetMainForm());
}
