// Renaming entries, making folders and deleting one entry or a selection.

#include "app/ModalMessage.h"
#include "app/PathUtils.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "app/Wildcard.h"
#include "transfer/DeleteDetailsPopup.h"
#include "ui/FolderForm.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using Osp::Ui::Controls::MSGBOX_STYLE_OK;
using Osp::Ui::Controls::MSGBOX_STYLE_YESNO;

constexpr wchar_t kRenameFailed[] = L"Rename failed";
constexpr wchar_t kCreateFailed[] = L"Create new folder failed";
constexpr wchar_t kInvalidName[] =
    L"Invalid file or folder name was specified. The name cannot contain any of the following characters: "
    L"<, >, :, \", /, \\, |, ? and *.";
constexpr wchar_t kReadOnlyTitle[] = L"Read-only access";
constexpr wchar_t kNewFolderName[] = L"New Folder";
constexpr unsigned long kLongTimeoutMs = 15000;
constexpr unsigned long kErrorTimeoutMs = 10000;
constexpr int kMaxMessage = 300;

// A name that every storage can hold as one path component: not empty, not "." or anything with "..", no
// separator of either kind, none of the characters a share refuses, and no control character (the zero
// unit included).
bool IsValidName(const std::wstring& name) {
    if (name.empty() || name == L"." || name.find(L"..") != std::wstring::npos) {
        return false;
    }
    for (wchar_t c : name) {
        if (c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) {
            return false;
        }
    }
    return true;
}

bool IsRealFolder(const FolderForm::FileInfo& info) {
    return info.IsDirectory() && (info.attributes & ENTRY_LINK) == 0;
}

// "read-only file 'a.txt'", "hidden folder 'x'", "file 'b'".
std::wstring GetDescriptiveFileName(const FolderForm::FileInfo& info) {
    std::wstring text;
    if ((info.attributes & ENTRY_READONLY) != 0) {
        text = L"read-only ";
    } else if ((info.attributes & ENTRY_HIDDEN) != 0) {
        text = L"hidden ";
    }
    text += IsRealFolder(info) ? L"folder '" : L"file '";
    return text + info.name + L"'";
}

bool AskYesNo(const std::wstring& title, const std::wstring& text) {
    return ShowModalMessage(title, text, MSGBOX_STYLE_YESNO) == MSGBOX_RESULT_YES;
}

}  // namespace

const FolderForm::FileInfo* FolderForm::EntryAt(int index) const {
    if (index < 0 || index >= m_pList->GetItemCount()) {
        return nullptr;
    }
    const int id = m_pList->GetItemIdAt(index);
    return id >= 0 && id < static_cast<int>(m_oFiles.size()) ? m_oFiles[static_cast<size_t>(id)].get() : nullptr;
}

void FolderForm::OnRename() {
    const FileInfo* info = EntryAt(m_nCtxIndex);
    if (info == nullptr || m_nMode != MODE_NONE) {
        return;
    }
    m_nMode = MODE_RENAME;
    ShowKeypad(info->name);
}

void FolderForm::OnRenameTyped(const std::wstring& text) {
    const FileInfo* info = EntryAt(m_nCtxIndex);
    if (info == nullptr || text == info->name || GetDir() == nullptr || !ValidateNewName(*info, text)) {
        return;
    }
    const int id = m_pList->GetItemIdAt(m_nCtxIndex);
    m_nRenameIdx = id;
    m_sNewName = text;
    IFsDir* dir = GetDir();
    const unsigned long r = IsRealFolder(*info) ? dir->RenameSubDirA(OP_RENAME, this, info->name, text)
                                                : dir->RenameFileA(OP_RENAME, this, info->name, text);
    // A request that could not start has no answer coming.
    if (r != RES_OK && m_nRenameIdx == id) {
        OnFileRenamed(r);
    }
}

bool FolderForm::ValidateNewName(const FileInfo& info, const std::wstring& newName) {
    if (!IsValidName(newName)) {
        ShowModalMessage(kRenameFailed, kInvalidName, MSGBOX_STYLE_OK, kLongTimeoutMs);
        return false;
    }
    if (!info.IsDirectory()) {
        std::wstring oldExt;
        std::wstring newExt;
        GetFileExt(info.name, &oldExt);
        GetFileExt(newName, &newExt);
        MakeLower(&oldExt);
        MakeLower(&newExt);
        if (oldExt != newExt &&
            !AskYesNo(L"Rename", L"If you change the file name extension, the file may become unusable.\n\n"
                                 L"Do you want to change it?")) {
            return false;
        }
    }
    if ((info.attributes & (ENTRY_HIDDEN | ENTRY_READONLY)) != 0 &&
        !AskYesNo(L"Rename",
                  L"You are going to rename the " + GetDescriptiveFileName(info) + L"\n\nDo you want to rename it?")) {
        return false;
    }
    return true;
}

void FolderForm::OnFileRenamed(unsigned long result) {
    if (m_nRenameIdx < 0 || m_nRenameIdx >= static_cast<int>(m_oFiles.size())) {
        return;
    }
    const int id = m_nRenameIdx;
    m_nRenameIdx = -1;
    const std::wstring newName = m_sNewName;
    m_sNewName.clear();
    if (result != RES_OK) {
        const std::wstring text =
            result == RES_FAILURE ? L"Unable to rename file or folder." : BadaResultToString(result);
        ShowModalMessage(kRenameFailed, text, MSGBOX_STYLE_OK, kErrorTimeoutMs);
        return;
    }
    FileInfo& info = *m_oFiles[static_cast<size_t>(id)];
    info.SetName(newName);
    const int index = m_pList->GetItemIndexFromItemId(id);
    if (index < 0) {
        return;
    }
    const std::wstring pattern = FilterPattern();
    if (pattern != L"*" && !MatchWildcard(info.GetLowerName().c_str(), pattern.c_str())) {
        m_pList->RemoveItemAt(index);
        UpdatePadItem();
    } else {
        const String text(info.name);
        m_pList->SetItemAt(index, &text, nullptr, IconFromFileType(info.fileType), nullptr, id);
    }
    RequestRedraw();
}

void FolderForm::OnNewFolder() {
    IFsDir* dir = GetDir();
    if (dir == nullptr) {
        return;
    }
    if (!dir->GetBrowser()->CapableOf(CAP_WRITE)) {
        ShowModalMessage(kReadOnlyTitle, L"You can not create a new folder here", MSGBOX_STYLE_OK);
        return;
    }
    if (m_nMode == MODE_NONE) {
        m_nMode = MODE_NEW_FOLDER;
        ShowKeypad(kNewFolderName);
    }
}

void FolderForm::OnNewFolderTyped(const std::wstring& text) {
    if (GetDir() == nullptr) {
        return;
    }
    m_sNewName = text;
    if (!IsValidName(text)) {
        ShowModalMessage(kCreateFailed, kInvalidName, MSGBOX_STYLE_OK, kLongTimeoutMs);
        return;
    }
    std::wstring dirName = GetDir()->GetName(false);
    AddTrailingSymbol(&dirName, m_pBrowser->GetSlash());
    const unsigned long r = m_pBrowser->CreateFolderA(OP_CREATE_FOLDER, this, dirName + text, true);
    if (r != RES_OK) {
        OnFolderCreated(r);
    }
}

void FolderForm::OnFolderCreated(unsigned long result) {
    if (result == RES_OK) {
        Refresh();
        return;
    }
    String text;
    text.Format(kMaxMessage, L"Unable to create the folder '%ls'\n\n", m_sNewName.c_str());
    ShowModalMessage(kCreateFailed, text.Units() + BadaResultToString(result), MSGBOX_STYLE_OK, kLongTimeoutMs);
}

void FolderForm::OnDelete() {
    if (EntryAt(m_nCtxIndex) == nullptr || m_nMode != MODE_NONE) {
        return;
    }
    if (m_pList->IsItemChecked(m_nCtxIndex)) {
        OnSelectionDelete(m_nCtxIndex);
    } else {
        OnFileDelete(m_nCtxIndex);
    }
}

void FolderForm::OnFileDelete(int index) {
    const FileInfo* info = EntryAt(index);
    if (info == nullptr || GetDir() == nullptr || DeleteToTrash({index})) {
        return;
    }
    const std::wstring question =
        L"Delete the " + GetDescriptiveFileName(*info) + (IsRealFolder(*info) ? L" and all its contents" : L"") + L"?";
    if (!AskYesNo(L"Delete", question)) {
        return;
    }
    if (IsRealFolder(*info)) {
        OnDirDelete(index);
        return;
    }
    const int id = m_pList->GetItemIdAt(index);
    m_nMode = MODE_DELETE_ONE;
    m_nDeleteIdx = id;
    const unsigned long r = GetDir()->DeleteFileA(OP_DELETE_FILE, this, info->name);
    if (r != RES_OK && m_nDeleteIdx == id) {
        OnFileDeleted(r);
    }
}

DeleteDetailsPopup* FolderForm::NewDeletePopup() {
    m_pDeleteDetails = std::make_unique<DeleteDetailsPopup>();
    if (!m_pDeleteDetails->Construct(this, GetDir()->GetBrowser(), GetDir()->GetName(false))) {
        m_pDeleteDetails.reset();
    }
    return m_pDeleteDetails.get();
}

void FolderForm::OnDirDelete(int index) {
    const FileInfo* info = EntryAt(index);
    DeleteDetailsPopup* popup = info != nullptr ? NewDeletePopup() : nullptr;
    if (popup == nullptr) {
        return;
    }
    m_nMode = MODE_DELETE_PROGRESS;
    m_nDeleteIdx = m_pList->GetItemIdAt(index);
    popup->AddFolder(info->name);
    popup->ShowPopup();
}

void FolderForm::OnSelectionDelete(int index) {
    std::vector<int> indices;
    const int count = GetSelectedItems(&indices);
    if (count < 2) {
        OnFileDelete(index);
        return;
    }
    if (DeleteToTrash(indices)) {
        return;
    }
    String question;
    question.Format(kMaxMessage, L"Delete these %d items?", count);
    if (!AskYesNo(L"Delete multiple files", question.Units())) {
        return;
    }
    DeleteDetailsPopup* popup = NewDeletePopup();
    if (popup == nullptr) {
        return;
    }
    m_nMode = MODE_DELETE_PROGRESS;
    for (int checked : indices) {
        const FileInfo* info = EntryAt(checked);
        if (info == nullptr) {
            continue;
        }
        if (IsRealFolder(*info)) {
            popup->AddFolder(info->name);
        } else {
            popup->AddFile(info->name);
        }
    }
    popup->ShowPopup();
}

void FolderForm::OnFileDeleted(unsigned long result) {
    if (m_nDeleteIdx < 0) {
        return;
    }
    const int id = m_nDeleteIdx;
    m_nDeleteIdx = -1;
    m_nMode = MODE_NONE;
    if (result != RES_OK) {
        ShowDeleteError(result, L"");
        return;
    }
    const int index = m_pList->GetItemIndexFromItemId(id);
    if (index >= 0) {
        m_pList->RemoveItemAt(index);
        UpdatePadItem();
        RequestRedraw();
    }
}

void FolderForm::OnMulDeleteFinished() {
    if (m_pDeleteDetails == nullptr) {
        return;
    }
    bool wasFolder = false;
    std::wstring path;
    const unsigned long result = m_pDeleteDetails->GetResult(&wasFolder, &path);
    // Called from the popup's own posted event, as its last act: it may go now.
    m_pDeleteDetails.reset();
    m_nMode = MODE_NONE;
    m_nDeleteIdx = -1;
    if (result != RES_OK && result != RES_CANCELLED) {
        ShowDeleteError(result, path);
    }
    Refresh();
}

void FolderForm::ShowDeleteError(unsigned long result, const std::wstring& name) const {
    std::wstring text = name.empty() ? L"" : L"Unable to delete '" + name + L"': ";
    text += result == RES_OK ? L"Unknown error." : BadaResultToString(result);
    ShowModalMessage(L"Delete failed", text, MSGBOX_STYLE_OK, kErrorTimeoutMs);
}
