// Deleting into the trash: the phone memory, the card and the private files move what the user deletes
// into their trash, by a rename. What cannot go there is offered for the permanent delete, as everywhere
// else.

#include "app/Corvane.h"
#include "app/ModalMessage.h"
#include "app/Results.h"
#include "fs/FsLocalBrowser.h"
#include "fs/Trash.h"
#include "fs/TrashPlaces.h"
#include "transfer/DeleteDetailsPopup.h"
#include "ui/FolderForm.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using Osp::Ui::Controls::MSGBOX_STYLE_YESNO;

constexpr int kMaxMessage = 300;

bool IsRealFolder(const FolderForm::FileInfo& info) {
    return info.IsDirectory() && (info.attributes & ENTRY_LINK) == 0;
}

bool AskYesNo(const std::wstring& title, const std::wstring& text) {
    return ShowModalMessage(title, text, MSGBOX_STYLE_YESNO) == MSGBOX_RESULT_YES;
}

}  // namespace

std::wstring FolderForm::TrashFolder() const {
    auto* local = dynamic_cast<LocalBrowser*>(m_pBrowser);
    std::wstring folder;
    if (local == nullptr || !Corvane::GetMyInstance()->GetUseTrash() || GetDir() == nullptr ||
        !TrashOfRoot(local->GetRoot(), &folder)) {
        return std::wstring();
    }
    // What is deleted inside a trash is deleted for good.
    const std::wstring shown = GetDir()->GetName(false) + L"/";
    return shown.compare(0, folder.size(), folder) == 0 ? std::wstring() : folder;
}

bool FolderForm::DeleteToTrash(const std::vector<int>& indices) {
    const std::wstring folder = TrashFolder();
    if (folder.empty()) {
        return false;
    }
    std::vector<const FileInfo*> entries;
    for (int index : indices) {
        if (const FileInfo* info = EntryAt(index)) {
            entries.push_back(info);
        }
    }
    if (entries.empty()) {
        return true;
    }
    String question;
    if (entries.size() == 1) {
        question = String(L"Move '" + entries[0]->name + L"' to the trash?");
    } else {
        question.Format(kMaxMessage, L"Move these %d items to the trash?", static_cast<int>(entries.size()));
    }
    if (!AskYesNo(L"Delete", question.Units())) {
        return true;
    }
    Trash trash(folder);
    std::vector<const FileInfo*> refused;
    unsigned long reason = RES_OK;
    for (const FileInfo* info : entries) {
        const unsigned long r = trash.Put(GetItemFullName(*info));
        if (r != RES_OK) {
            refused.push_back(info);
            reason = reason == RES_OK ? r : reason;
        }
    }
    if (refused.empty()) {
        Refresh();
    } else {
        DeleteForGood(refused, reason);
    }
    return true;
}

void FolderForm::DeleteForGood(const std::vector<const FileInfo*>& entries, unsigned long reason) {
    // A rename into the trash fails when the item lies on another file system than the trash, or the
    // storage refuses it (a full disk cannot take the info file): the user may still delete it for good.
    std::wstring why = BadaResultToString(reason);
    if (reason == Osp::Base::E_INVALID_ARG) {
        why = L"It lies on another disk";
    } else if (reason == Osp::Base::E_STORAGE_FULL) {
        why = L"Not enough free space";
    }
    const std::wstring question =
        entries.size() == 1
            ? L"'" + entries[0]->name + L"' cannot go to the trash: " + why + L"\n\nDelete it permanently?"
            : L"Some items cannot go to the trash: " + why + L"\n\nDelete them permanently?";
    DeleteDetailsPopup* popup = AskYesNo(L"Delete", question) ? NewDeletePopup() : nullptr;
    if (popup == nullptr) {
        Refresh();
        return;
    }
    m_nMode = MODE_DELETE_PROGRESS;
    for (const FileInfo* info : entries) {
        if (IsRealFolder(*info)) {
            popup->AddFolder(info->name);
        } else {
            popup->AddFile(info->name);
        }
    }
    popup->ShowPopup();
}
