// The details of the entry under the context menu, or of the checked entries.

#include <cwctype>

#include "app/PathUtils.h"
#include "app/StringUtils.h"
#include "ui/FileDetailsPopup.h"
#include "ui/FolderForm.h"
#include "ui/SelDetailsPopup.h"

namespace {

using Osp::Base::String;

constexpr int kMaxTypeText = 64;

bool IsRealFolder(const FolderForm::FileInfo& info) {
    return info.IsDirectory() && (info.attributes & ENTRY_LINK) == 0;
}

// The type's description; for a type without one, "%ls file" with the upper-cased extension, or "File".
std::wstring TypeText(const FolderForm::FileInfo& info) {
    if (info.fileType >= FT_FOLDER && info.fileType < FT_COUNT) {
        return FileTypeDescription(info.fileType);
    }
    std::wstring ext;
    GetFileExt(info.name, &ext);
    if (ext.empty()) {
        return L"File";
    }
    MakeUpper(&ext);
    String text;
    text.Format(kMaxTypeText, L"%ls file", ext.c_str());
    return text.Units();
}

}  // namespace

void FolderForm::OnDetails() {
    if (EntryAt(m_nCtxIndex) == nullptr) {
        return;
    }
    std::vector<int> indices;
    if (m_pList->IsItemChecked(m_nCtxIndex) && GetSelectedItems(&indices) >= 2) {
        OnSelectionDetails(indices);
    } else {
        OnFileDetails(m_nCtxIndex);
    }
}

void FolderForm::OnFileDetails(int index) {
    const FileInfo* info = EntryAt(index);
    if (info == nullptr || GetDir() == nullptr) {
        return;
    }
    if (m_pFileDetails == nullptr) {
        auto popup = std::make_unique<FileDetailsPopup>();
        if (!popup->Construct(this)) {
            return;
        }
        m_pFileDetails = std::move(popup);
    }
    const int iconType = info->fileType >= 0 && info->fileType < FT_COUNT ? info->fileType : FT_UNKNOWN;
    // A link to a folder is shown as such and never walked into.
    const bool linkedFolder = info->IsDirectory() && !IsRealFolder(*info);
    const std::wstring type = linkedFolder ? L"Link to a folder" : TypeText(*info);
    const std::wstring walkPath = IsRealFolder(*info) ? GetItemFullName(*info) : L"";
    m_pFileDetails->ShowPopup(info->name, type, m_sPath, info->IsDirectory() ? 0 : info->size, info->modified,
                              (info->attributes & ENTRY_READONLY) != 0, (info->attributes & ENTRY_HIDDEN) != 0,
                              IconFromFileType(iconType), walkPath, GetDir()->GetBrowser());
}

void FolderForm::OnSelectionDetails(const std::vector<int>& indices) {
    if (GetDir() == nullptr) {
        return;
    }
    if (m_pSelDetails == nullptr) {
        auto popup = std::make_unique<SelDetailsPopup>();
        if (!popup->Construct(this)) {
            return;
        }
        m_pSelDetails = std::move(popup);
    }
    unsigned int files = 0;
    unsigned int folders = 0;
    unsigned long long size = 0;
    int commonType = -1;
    bool sameType = true;
    for (int index : indices) {
        const FileInfo* info = EntryAt(index);
        if (info == nullptr) {
            continue;
        }
        if (IsRealFolder(*info)) {
            ++folders;
            m_pSelDetails->AddFolder(GetItemFullName(*info));
        } else {
            ++files;
            size += info->size;
        }
        if (commonType < 0) {
            commonType = info->fileType;
        } else if (commonType != info->fileType) {
            sameType = false;
        }
    }
    const std::wstring typeText = sameType && commonType > 0 ? TypeText(*EntryAt(indices.front())) : L"";
    m_pSelDetails->ShowPopup(files, folders, typeText, m_sPath, size, GetDir()->GetBrowser());
}
