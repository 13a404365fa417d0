#include "transfer/FileWalker.h"

#include "app/Results.h"
#include "app/StringUtils.h"
#include "fs/FsTypes.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsDirEnum.h"
#include "transfer/IWalkerListener.h"

namespace {

bool IsDotName(const std::wstring& name) {
    return !name.empty() && name[0] == L'.' && (name == L"." || name == L"..");
}

}  // namespace

FileWalker::FileWalker(IFsBrowser* browser, IWalkerListener* listener, const std::wstring& root)
    : browser_(browser), listener_(listener), root_(root), slash_(browser->GetSlash()) {
    if (root_.empty() || root_.back() != slash_) {
        root_ += slash_;
    }
}

FileWalker::~FileWalker() {
    *alive_ = false;
    CloseFolder();
}

void FileWalker::StartA(bool details) {
    if (started_) {
        return;
    }
    started_ = true;
    details_ = details;
    enterPath_ = root_;
    Run(STEP_ENTER);
}

void FileWalker::StopA() {
    stopped_ = true;
    if (enumerator_ != nullptr) {
        enumerator_->StopEnumA();
    }
}

void FileWalker::ContinueA() {
    const TPending pending = pending_;
    pending_ = PENDING_NONE;
    if (pending == PENDING_AFTER_EXIT) {
        Run(STEP_LEAVE);
    } else if (pending == PENDING_BEFORE_OPEN) {
        Run(STEP_OPEN_DIR);
    }
}

void FileWalker::OnFsOperationDone(int id, std::intptr_t object, unsigned long result) {
    std::unique_ptr<IFsDir> dir(reinterpret_cast<IFsDir*>(object));
    if (id != 0 || !awaiting_) {
        return;
    }
    awaiting_ = false;
    if (result == RES_OK && dir == nullptr) {
        result = RES_FAILURE;
    }
    if (result != RES_OK || stopped_) {
        FinishWith(result != RES_OK ? result : RES_CANCELLED);
        return;
    }
    dir_ = std::move(dir);
    dir_->SetListener(this);
    Run(STEP_OPEN_ENUM);
}

void FileWalker::OnOpenEnumerator(unsigned long result, IFsDirEnum* enumerator) {
    std::unique_ptr<IFsDirEnum> owned(enumerator);
    if (!awaiting_) {
        return;
    }
    awaiting_ = false;
    if (result == RES_OK && owned == nullptr) {
        result = RES_FAILURE;
    }
    if (result != RES_OK || stopped_) {
        FinishWith(result != RES_OK ? result : RES_CANCELLED);
        return;
    }
    enumerator_ = std::move(owned);
    enumerator_->SetListener(this);
    Run(STEP_START_ENUM);
}

void FileWalker::OnOpenSubDir(unsigned long, IFsDir* dir) {
    delete dir;
}

void FileWalker::OnGetEntry(unsigned long result, const IFsDirEntry* entry) {
    awaiting_ = false;
    if (entry == nullptr) {
        if (result != RES_OK) {
            FinishWith(result);
        } else if (stopped_) {
            FinishWith(RES_CANCELLED);
        } else {
            Run(STEP_LEAVE);
        }
        return;
    }
    const std::wstring name = entry->GetName();
    if (result != RES_OK || IsDotName(name) || dirs_.empty()) {
        delete entry;
        return;
    }
    // A link is an item like a file: whatever it points to lies outside this walk.
    const int type = entry->GetType();
    if ((type & ENTRY_DIRECTORY) != 0 && (type & ENTRY_LINK) == 0) {
        dirs_.back().subdirs.push_back(name);
    }
    listener_->OnItemFound(entry);
}

void FileWalker::Run(TStep step) {
    next_ = step;
    if (running_) {
        return;
    }
    running_ = true;
    const std::shared_ptr<bool> alive = alive_;
    while (next_ != STEP_NONE) {
        const TStep current = next_;
        next_ = STEP_NONE;
        Do(current);
        if (!*alive) {
            return;
        }
    }
    running_ = false;
}

void FileWalker::Do(TStep step) {
    switch (step) {
        case STEP_ENTER:
            Enter();
            break;
        case STEP_OPEN_DIR:
            Ask([this] { return browser_->OpenDirA(0, this, dirs_.back().path); });
            break;
        case STEP_OPEN_ENUM:
            Ask([this] { return dir_->OpenEnumeratorA(); });
            break;
        case STEP_START_ENUM:
            Ask([this] { return enumerator_->StartEnumA(details_); });
            break;
        case STEP_LEAVE:
            Leave();
            break;
        case STEP_FINISH:
            Finish();
            break;
        case STEP_NONE:
            break;
    }
}

template <typename Call>
void FileWalker::Ask(Call call) {
    const std::shared_ptr<bool> alive = alive_;
    awaiting_ = true;
    const unsigned long r = call();
    // A request that could not start may never be answered.
    if (*alive && r != RES_OK && awaiting_) {
        awaiting_ = false;
        FinishWith(r);
    }
}

void FileWalker::Enter() {
    CloseFolder();
    dirs_.push_back(SDir{enterPath_, {}, 0});
    if (dirs_.size() > kMaxDepth + 1 || enterPath_.size() > kMaxPathLength) {
        FinishWith(RES_TREE_TOO_DEEP);
        return;
    }
    const std::shared_ptr<bool> alive = alive_;
    // Held from before the call, so that a listener that resumes from inside it is heard.
    pending_ = PENDING_BEFORE_OPEN;
    const bool go = listener_->OnEnterFolder(enterPath_);
    if (!*alive) {
        return;
    }
    if (go) {
        pending_ = PENDING_NONE;
        next_ = STEP_OPEN_DIR;
    }
}

void FileWalker::Leave() {
    CloseFolder();
    const std::shared_ptr<bool> alive = alive_;
    while (!dirs_.empty()) {
        SDir& last = dirs_.back();
        if (last.next < last.subdirs.size()) {
            enterPath_ = last.path + last.subdirs[last.next++] + slash_;
            next_ = STEP_ENTER;
            return;
        }
        const std::wstring path = last.path;
        pending_ = PENDING_AFTER_EXIT;
        const bool go = listener_->OnExitFolder(path);
        if (!*alive) {
            return;
        }
        dirs_.pop_back();
        if (!go) {
            // Held, or already resumed from inside the call, which queued the next step.
            return;
        }
        pending_ = PENDING_NONE;
    }
    FinishWith(RES_OK);
}

void FileWalker::FinishWith(unsigned long result) {
    if (finished_) {
        return;
    }
    result_ = result;
    Run(STEP_FINISH);
}

void FileWalker::Finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    CloseFolder();
    // Last thing: the listener may delete this walker.
    listener_->OnFsWalkFinished(result_);
}

void FileWalker::CloseFolder() {
    enumerator_.reset();
    dir_.reset();
}
