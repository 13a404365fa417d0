#include "transfer/DeleteDetailsPopup.h"

#include "Osp/Ui/Controls/Button.h"
#include "app/Corvane.h"
#include "app/PTimer.h"
#include "app/Results.h"
#include "fs/FsTypes.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsDirEntry.h"
#include "transfer/FileWalker.h"

namespace {

using Osp::Base::String;
using Osp::Ui::Controls::Label;

constexpr unsigned int kRefreshMs = 50;
constexpr int kMaxNoteText = 32;
constexpr int kMaxPercentText = 32;

// What a deletion removes as a file: anything that is not a real folder, links to folders included.
bool IsDeletedAsFile(int type) {
    return (type & ENTRY_DIRECTORY) == 0 || (type & ENTRY_LINK) != 0;
}

std::wstring WithoutSeparator(std::wstring path, wchar_t slash) {
    if (path.size() > 1 && path.back() == slash) {
        path.pop_back();
    }
    return path;
}

}  // namespace

DeleteDetailsPopup::DeleteDetailsPopup() = default;

DeleteDetailsPopup::~DeleteDetailsPopup() = default;

Label* DeleteDetailsPopup::FindLabel(const wchar_t* name) const {
    auto* label = dynamic_cast<Label*>(GetControl(String(name), true));
    if (label != nullptr) {
        label->SetBackgroundColor(Osp::Ui::Controls::SYSTEM_COLOR_POPUP_BACKGROUND);
    }
    return label;
}

bool DeleteDetailsPopup::Construct(Osp::Ui::IActionEventListener* listener, IFsBrowser* browser,
                                   const std::wstring& dir) {
    if (Popup::Construct(String(L"IDP_DELETE_DETAILS")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    listener_ = listener;
    browser_ = browser;
    slash_ = browser->GetSlash();
    dir_ = dir;
    if (dir_.empty() || dir_.back() != slash_) {
        dir_ += slash_;
    }
    name_ = FindLabel(L"IDC_NAME");
    note_ = FindLabel(L"IDC_NOTE");
    percent_ = FindLabel(L"IDC_PERCENT");
    bar_ = dynamic_cast<Osp::Ui::Controls::Progress*>(GetControl(String(L"IDC_PROGRESS"), true));
    auto* cancel = dynamic_cast<Osp::Ui::Controls::Button*>(GetControl(String(L"IDC_CANCEL"), true));
    if (name_ == nullptr || note_ == nullptr || percent_ == nullptr || bar_ == nullptr || cancel == nullptr) {
        return false;
    }
    cancel->SetActionId(kActionFinished);
    cancel->AddActionEventListener(*this);
    return true;
}

void DeleteDetailsPopup::AddFile(const std::wstring& name) {
    files_.push_back(name);
}

void DeleteDetailsPopup::AddFolder(const std::wstring& name) {
    folders_.push_back(dir_ + name + slash_);
}

void DeleteDetailsPopup::ShowPopup() {
    percent_->SetText(String());
    note_->SetText(String());
    name_->SetText(String(L"Scanning ..."));
    bar_->SetRange(0, 100);
    bar_->SetValue(0);
    totalItems_ = static_cast<unsigned int>(files_.size() + folders_.size());
    deletedItems_ = 0;
    lastUiTicks_ = GetTickCount();
    SetShowState(true);
    Show();
    if (!folders_.empty()) {
        scanning_ = true;
        folderIndex_ = 0;
        WalkFolder();
    } else {
        StartCleaning();
    }
}

unsigned long DeleteDetailsPopup::GetResult(bool* wasFolder, std::wstring* path) const {
    if (wasFolder != nullptr) {
        *wasFolder = lastWasFolder_;
    }
    if (path != nullptr) {
        *path = lastWasFolder_ ? curDir_ : lastFile_;
    }
    return result_;
}

void DeleteDetailsPopup::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    if (actionId != kActionFinished || cancelled_ || ended_) {
        return;
    }
    cancelled_ = true;
    if (walker_ != nullptr) {
        walker_->StopA();
    }
}

void DeleteDetailsPopup::WalkFolder() {
    walker_ = std::make_unique<FileWalker>(browser_, this, folders_[folderIndex_]);
    walker_->StartA(false);
}

bool DeleteDetailsPopup::OnEnterFolder(const std::wstring& path) {
    if (!scanning_) {
        dirs_.push_back(SDir{path, innerFiles_.size()});
        curDir_ = path;
    }
    return true;
}

void DeleteDetailsPopup::OnItemFound(const IFsDirEntry* entry) {
    std::unique_ptr<const IFsDirEntry> owned(entry);
    if (scanning_) {
        ++totalItems_;
        if (TicksSince(lastUiTicks_) > kRefreshMs) {
            String text;
            text.Format(kMaxNoteText, L"%u items found", totalItems_);
            note_->SetText(text);
            note_->RequestRedraw();
            lastUiTicks_ = GetTickCount();
        }
    } else if (IsDeletedAsFile(entry->GetType())) {
        innerFiles_.push_back(entry->GetName());
    }
}

bool DeleteDetailsPopup::OnExitFolder(const std::wstring&) {
    if (scanning_) {
        return true;
    }
    // Held until this folder's files and then the folder itself are gone.
    fileIndex_ = dirs_.back().firstFile;
    DeleteNextInnerFile();
    return false;
}

void DeleteDetailsPopup::OnFsWalkFinished(unsigned long result) {
    if (result != RES_OK) {
        Fail(result);
        return;
    }
    if (++folderIndex_ < folders_.size()) {
        WalkFolder();
    } else if (scanning_) {
        StartCleaning();
    } else {
        fileIndex_ = 0;
        DeleteNextTopFile();
    }
}

void DeleteDetailsPopup::StartCleaning() {
    scanning_ = false;
    folderIndex_ = 0;
    fileIndex_ = 0;
    bar_->SetRange(0, static_cast<int>(totalItems_));
    if (!folders_.empty()) {
        WalkFolder();
    } else {
        DeleteNextTopFile();
    }
}

void DeleteDetailsPopup::DeleteNextInnerFile() {
    if (cancelled_) {
        Fail(RES_CANCELLED);
        return;
    }
    const SDir& dir = dirs_.back();
    if (fileIndex_ < innerFiles_.size()) {
        lastWasFolder_ = false;
        lastFile_ = dir.path + innerFiles_[fileIndex_];
        UpdateUi(lastFile_, false);
        const unsigned long r = browser_->DeleteFileA(REQ_INNER_FILE, this, lastFile_);
        if (r != RES_OK) {
            Fail(r);
        }
        return;
    }
    lastWasFolder_ = true;
    curDir_ = dir.path;
    UpdateUi(curDir_, false);
    const unsigned long r = browser_->DeleteFolderA(REQ_FOLDER, this, WithoutSeparator(dir.path, slash_));
    if (r != RES_OK) {
        Fail(r);
    }
}

void DeleteDetailsPopup::DeleteNextTopFile() {
    if (cancelled_) {
        Fail(RES_CANCELLED);
        return;
    }
    if (fileIndex_ >= files_.size()) {
        UpdateUi(lastFile_, true);
        End();
        return;
    }
    lastWasFolder_ = false;
    lastFile_ = dir_ + files_[fileIndex_];
    UpdateUi(lastFile_, false);
    const unsigned long r = browser_->DeleteFileA(REQ_TOP_FILE, this, lastFile_);
    if (r != RES_OK) {
        Fail(r);
    }
}

void DeleteDetailsPopup::OnFsOperationDone(int id, std::intptr_t, unsigned long result) {
    if (ended_) {
        return;
    }
    if (result != RES_OK) {
        Fail(result);
        return;
    }
    ++deletedItems_;
    switch (id) {
        case REQ_INNER_FILE:
            ++fileIndex_;
            DeleteNextInnerFile();
            break;
        case REQ_FOLDER:
            innerFiles_.resize(dirs_.back().firstFile);
            dirs_.pop_back();
            if (cancelled_) {
                Fail(RES_CANCELLED);
            } else {
                walker_->ContinueA();
            }
            break;
        case REQ_TOP_FILE:
            ++fileIndex_;
            DeleteNextTopFile();
            break;
        default:
            break;
    }
}

void DeleteDetailsPopup::Fail(unsigned long result) {
    if (result_ == RES_OK) {
        result_ = result;
    }
    End();
}

void DeleteDetailsPopup::End() {
    if (ended_) {
        return;
    }
    ended_ = true;
    SetShowState(false);
    // Told from a posted event: the listener deletes this popup, which must then be off the stack.
    Corvane::GetMyInstance()->PostUserEvent(this, kActionFinished);
}

void DeleteDetailsPopup::OnUserEvent(int) {
    // The walker goes first: it may still hold a folder of the storage open.
    walker_.reset();
    if (listener_ != nullptr) {
        listener_->OnActionPerformed(*this, kActionFinished);
    }
}

void DeleteDetailsPopup::OnUserEventEx(UserEvent*) {}

void DeleteDetailsPopup::UpdateUi(const std::wstring& path, bool force) {
    if (!force && TicksSince(lastUiTicks_) < kRefreshMs) {
        return;
    }
    lastUiTicks_ = GetTickCount();
    name_->SetText(String(path));
    String note;
    note.Format(kMaxNoteText, L"%u of %u items deleted", deletedItems_, totalItems_);
    note_->SetText(note);
    bar_->SetValue(static_cast<int>(deletedItems_));
    const int percent = totalItems_ == 0 ? 100 : static_cast<int>(100ULL * deletedItems_ / totalItems_);
    if (percent != lastPercent_) {
        lastPercent_ = percent;
        String text;
        text.Format(kMaxPercentText, L"%d %% Done", percent);
        percent_->SetText(text);
    }
    RequestRedraw();
}
