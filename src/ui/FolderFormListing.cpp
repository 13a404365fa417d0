// Opening, enumerating, sorting, filtering and leaving folders.

#include <algorithm>

#include "app/Corvane.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "app/Wildcard.h"
#include "ui/FolderForm.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kLoading[] = L"Loading...";
constexpr wchar_t kEmptyFolder[] = L"Empty folder";
constexpr wchar_t kNoMatches[] = L"No matching files or folders";
constexpr wchar_t kListFailed[] = L"This folder could not be listed";
constexpr wchar_t kTooManyTitle[] = L"Too many items (%d)";
constexpr wchar_t kTooManyText[] =
    L"Only the first 1000 items in this folder are shown.\n\n"
    L"Please use the Filter/Search menu to see specific items.";
constexpr int kMaxTitleLength = 300;
// Beyond this many items a list gets a blank item at its end, so that its last real item can be
// scrolled clear of the bottom edge where the soft keys are.
constexpr int kPadThresholdPortrait = 7;
constexpr int kPadThresholdLandscape = 3;
constexpr int kColumn2Portrait = 400;
constexpr int kColumn2Landscape = 720;

bool IsPortrait(Osp::Ui::OrientationStatus status) {
    return status == Osp::Ui::ORIENTATION_STATUS_NONE || status == Osp::Ui::ORIENTATION_STATUS_PORTRAIT ||
           status == Osp::Ui::ORIENTATION_STATUS_PORTRAIT_REVERSE;
}

// The path as the title shows it: without its trailing separator, unless it is a root of one character.
std::wstring DisplayPath(std::wstring path) {
    if (path.size() > 1) {
        RemoveTrailingSymbol(&path, L'/', false);
        RemoveTrailingSymbol(&path, L'\\', false);
    }
    return path;
}

}  // namespace

bool FolderForm::IsSmbBrowser() const {
    return m_pBrowser->GetType() == BROWSER_SMB;
}

bool FolderForm::IsBusy() const {
    return IsListing() || m_nOpenOp != 0 || m_pOpeningArchive != nullptr || m_nRenameIdx >= 0 ||
           m_nDeleteIdx >= 0 || m_nMode == MODE_DELETE_PROGRESS || m_pTransferPopup != nullptr;
}

bool FolderForm::IsListing() const {
    return m_bOpeningDir || m_pEnum != nullptr || m_pPendingDir != nullptr || m_nTargetDepth >= 0;
}

void FolderForm::OpenSubFolder(const std::wstring& name) {
    // One listing at a time: a second one would leave the first one's entries under the second's folder.
    if ((m_nOpenOp != 0 && IsSmbBrowser()) || IsListing()) {
        return;
    }
    // Set before asking, so that an answer given inside the call also clears it.
    m_bOpeningDir = true;
    if (m_oDirs.empty()) {
        if (m_pBrowser->OpenRootDirA() != RES_OK) {
            m_bOpeningDir = false;
        }
        return;
    }
    m_oDirs.back().topItem = m_pList->GetTopDrawnItemIndex();
    if (IsSmbBrowser()) {
        StartOpenOp(1);
    }
    if (GetDir()->OpenSubDirA(name) != RES_OK) {
        m_bOpeningDir = false;
        EndOpenOp();
    }
}

void FolderForm::OnOpenSubDir(unsigned long result, IFsDir* dir) {
    OnOpenDir(result, dir);
}

void FolderForm::OnOpenDir(unsigned long result, IFsDir* dir) {
    m_bOpeningDir = false;
    KeepAcceptedLogon();
    // An archive's root has answered: from now on its root folder, if there is one, keeps the archive.
    struct ReleaseOnExit {
        IFsBrowser* browser;
        ~ReleaseOnExit() {
            if (browser != nullptr) {
                browser->Release();
            }
        }
    } opening{m_pOpeningArchive};
    m_pOpeningArchive = nullptr;
    if (result != RES_OK || dir == nullptr) {
        delete dir;
        EndOpenOp();
        if (AskForLogon(result)) {
            return;
        }
        if (result != RES_CANCELLED) {
            ShowError(result);
        }
        if (m_oDirs.empty()) {
            ReturnToMainForm();
        }
        return;
    }
    m_pPendingDir.reset(dir);
    m_pList->SetTextOfEmptyList(String(kLoading));
    m_pList->RequestRedraw();
    dir->SetListener(this);
    // The answers may come inside this call, and may end with this folder pushed or destroyed.
    dir->OpenEnumeratorA();
}

void FolderForm::OnOpenEnumerator(unsigned long result, IFsDirEnum* enumerator) {
    if (result != RES_OK || enumerator == nullptr) {
        delete enumerator;
        EndOpenOp();
        m_pPendingDir.reset();
        // Back or the path menu went nowhere: the list, the title and the stack stay on this folder.
        m_nTargetDepth = -1;
        // A root that cannot be listed leaves nothing to show: the user is told why, as when it cannot be
        // opened, instead of an untitled list that reads as an empty folder.
        if (m_oDirs.empty()) {
            if (result != RES_CANCELLED) {
                ShowError(result != RES_OK ? result : RES_FAILURE);
            }
            ReturnToMainForm();
            return;
        }
        // The list still shows the folder it showed; it must not go on saying that it is loading.
        SetTitleAndEmptyText(m_sFilter != L"*");
        return;
    }
    m_pList->RemoveAllItems();
    m_pList->ScrollToTop();
    m_bPadItem = false;
    FreeEntries();
    m_pEnum.reset(enumerator);
    enumerator->SetListener(this);
    enumerator->StartEnumA(true);
}

void FolderForm::OnGetEntry(unsigned long result, const IFsDirEntry* entry) {
    if (entry == nullptr) {
        FinishListing(result);
        return;
    }
    const std::wstring name = entry->GetName();
    if (name != L"." && name != L"..") {
        m_oFiles.push_back(std::make_unique<FileInfo>(*entry));
    }
    delete entry;
}

void FolderForm::FinishListing(unsigned long result) {
    EndOpenOp();
    if (result != RES_OK) {
        OnListingFailed(result);
        return;
    }
    IFsDir* dir = m_pPendingDir != nullptr ? m_pPendingDir.get() : GetDir();
    if (m_pPendingDir == nullptr && m_nTargetDepth >= 0) {
        // Back or the path menu: the stack is cut only now that the folder returned to is listed.
        m_oDirs.resize(static_cast<size_t>(m_nTargetDepth) + 1);
        m_nTargetDepth = -1;
        dir = GetDir();
    }
    if (dir == nullptr) {
        return;
    }
    SortFiles();
    m_sPath = DisplayPath(dir->GetName(true));
    // The enumerator is inside the call that brought this end mark; it does nothing after it.
    m_pEnum.reset();
    std::wstring filter = m_sFilter;
    if (m_pPendingDir != nullptr) {
        m_oDirs.push_back(DirCtx{std::move(m_pPendingDir), 0});
        filter = L"*";
        m_oKeepChecked.clear();
    }
    ApplyFilter(filter);
    m_nMode = MODE_NONE;
    ShowWhenRootListed();
}

void FolderForm::OnListingFailed(unsigned long result) {
    ShowError(result);
    m_pEnum.reset();
    // A folder that was being opened, or returned to, failed: the folder the stack still ends in is listed
    // again, so that the list, the title and the stack show one folder. A refresh that failed is not
    // retried.
    const bool reopenCurrent = (m_pPendingDir != nullptr || m_nTargetDepth >= 0) && !m_oDirs.empty();
    m_nTargetDepth = -1;
    // The folder that failed goes first: the current folder may answer inside the call below, and its
    // listing must not mistake the failed folder for the one being opened.
    m_pPendingDir.reset();
    m_oKeepChecked.clear();
    // The list was emptied for this listing; what came of it is incomplete and, when a new folder was
    // being opened, not even the listed folder's, so nothing may be shown of it later (by a filter).
    FreeEntries();
    if (reopenCurrent) {
        GetDir()->OpenEnumeratorA();
    } else if (m_oDirs.empty()) {
        ReturnToMainForm();
    } else {
        SetTitleAndEmptyText(false);
        m_pList->SetTextOfEmptyList(String(kListFailed));
        RequestRedraw();
    }
}

void FolderForm::SortFiles() {
    std::sort(m_oFiles.begin(), m_oFiles.end(),
              [](const std::unique_ptr<FileInfo>& a, const std::unique_ptr<FileInfo>& b) {
                  return a->GetLowerName() < b->GetLowerName();
              });
}

std::wstring FolderForm::FilterPattern() const {
    std::wstring pattern = m_sFilter;
    MakeLower(&pattern);
    if (pattern.find_first_of(L"*?") == std::wstring::npos) {
        pattern = L"*" + pattern + L"*";
    }
    return pattern;
}

void FolderForm::ApplyFilter(const std::wstring& filter) {
    m_sFilter = filter.empty() ? L"*" : filter;
    const std::wstring pattern = FilterPattern();
    // Items that stay in the list keep their check marks; those filtered out lose them, so that nothing
    // hidden from view is ever part of a selection.
    std::set<std::wstring> checked = CheckedNames();
    checked.merge(m_oKeepChecked);
    m_oKeepChecked.clear();
    m_pList->RemoveAllItems();
    m_pList->ScrollToTop();
    m_bPadItem = false;
    m_bTooMany = false;
    const bool showHidden = Corvane::GetMyInstance()->GetShowHidden();
    for (bool folders : {true, false}) {
        for (size_t i = 0; i < m_oFiles.size(); ++i) {
            AddItem(static_cast<int>(i), pattern, folders, showHidden, checked);
        }
    }
    SetTitleAndEmptyText(pattern != L"*");
    RestoreTopItem();
    UpdatePadItem();
    RequestRedraw();
    if (m_bTooMany) {
        String title;
        title.Format(kMaxTitleLength, kTooManyTitle, static_cast<int>(m_oFiles.size()));
        ShowMessage(title.Units(), kTooManyText, 0);
    }
}

void FolderForm::AddItem(int index, const std::wstring& pattern, bool folders, bool showHidden,
                         const std::set<std::wstring>& checkedNames) {
    const FileInfo& info = *m_oFiles[static_cast<size_t>(index)];
    if (info.IsDirectory() != folders || (!showHidden && (info.attributes & ENTRY_HIDDEN) != 0)) {
        return;
    }
    if (pattern != L"*" && !MatchWildcard(info.GetLowerName().c_str(), pattern.c_str())) {
        return;
    }
    const int count = m_pList->GetItemCount();
    if (count >= kMaxItems) {
        m_bTooMany = true;
        return;
    }
    const String text(info.name);
    m_pList->AddItem(&text, nullptr, IconFromFileType(info.fileType), nullptr, index);
    if (checkedNames.count(info.name) != 0) {
        m_pList->SetItemChecked(count, true);
    }
}

void FolderForm::SetTitleAndEmptyText(bool filtered) {
    if (!filtered) {
        SetTitleText(String(m_sPath));
        m_pList->SetTextOfEmptyList(String(kEmptyFolder));
        return;
    }
    String title;
    title.Format(kMaxTitleLength, L"[%ls] in %ls", m_sFilter.c_str(), m_sPath.c_str());
    SetTitleText(title);
    m_pList->SetTextOfEmptyList(String(kNoMatches));
}

void FolderForm::RestoreTopItem() {
    const int count = m_pList->GetItemCount();
    if (m_oDirs.empty() || count == 0 || m_oDirs.back().topItem == 0) {
        return;
    }
    m_pList->ScrollToTop(std::min(m_oDirs.back().topItem, count - 1));
}

void FolderForm::UpdatePadItem() {
    const int threshold = IsPortrait(GetOrientationStatus()) ? kPadThresholdPortrait : kPadThresholdLandscape;
    const int count = m_pList->GetItemCount() - (m_bPadItem ? 1 : 0);
    if (count > threshold && !m_bPadItem) {
        m_pList->AddItem(nullptr, nullptr, nullptr, nullptr, -1);
        m_pList->SetItemEnabled(count, false);
        m_bPadItem = true;
    } else if (count <= threshold && m_bPadItem) {
        m_pList->RemoveItemAt(count);
        m_bPadItem = false;
    }
}

void FolderForm::UpdateOrientation(Osp::Ui::OrientationStatus status) {
    const bool portrait = status == Osp::Ui::ORIENTATION_STATUS_PORTRAIT ||
                          status == Osp::Ui::ORIENTATION_STATUS_PORTRAIT_REVERSE;
    m_pList->SetColumn2Width(portrait ? kColumn2Portrait : kColumn2Landscape);
    UpdatePadItem();
    if (IsVisible()) {
        RequestRedraw();
    }
}

void FolderForm::GoBack() {
    if (m_oDirs.size() < 2) {
        m_sFilter = L"*";
        ReturnToMainForm();
        return;
    }
    if ((m_nOpenOp != 0 && IsSmbBrowser()) || IsListing()) {
        return;
    }
    m_sFilter = L"*";
    ListStackFolder(m_oDirs.size() - 2);
}

void FolderForm::OnGoToDir(int n) {
    const size_t keep = static_cast<size_t>(m_nPathMenuBase + n);
    if (keep == 0 || keep >= m_oDirs.size() || (m_nOpenOp != 0 && IsSmbBrowser()) || IsListing()) {
        return;
    }
    // As with Back, a folder returned to shows all of its entries.
    m_sFilter = L"*";
    ListStackFolder(keep - 1);
}

void FolderForm::GoHome() {
    ReturnToMainForm();
    // A listing still under way would have no folder left to belong to.
    EndOpenOp();
    m_pEnum.reset();
    m_pPendingDir.reset();
    m_nTargetDepth = -1;
    m_bOpeningDir = false;
    m_pList->RemoveAllItems();
    m_bPadItem = false;
    FreeEntries();
    m_oDirs.clear();
}

void FolderForm::Refresh() {
    if (m_oDirs.empty() || IsListing()) {
        return;
    }
    m_oDirs.back().topItem = m_pList->GetTopDrawnItemIndex();
    m_oKeepChecked = CheckedNames();
    GetDir()->OpenEnumeratorA();
}

void FolderForm::ListStackFolder(size_t depth) {
    m_oKeepChecked.clear();
    m_nTargetDepth = static_cast<int>(depth);
    if (IsSmbBrowser()) {
        StartOpenOp(1);
    }
    m_oDirs[depth].dir->OpenEnumeratorA();
}

void FolderForm::FreeEntries() {
    m_oFiles.clear();
}

std::wstring FolderForm::GetItemFullName(const FileInfo& info) const {
    if (m_oDirs.empty() || m_sPath.empty()) {
        return L"";
    }
    std::wstring path = GetDir()->GetName(false);
    AddTrailingSymbol(&path, m_pBrowser->GetSlash());
    return path + info.name;
}
