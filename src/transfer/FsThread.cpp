#include "transfer/FsThread.h"

#include <algorithm>
#include <vector>

#include "Osp/Content/ContentManagerUtil.h"
#include "Osp/Io/File.h"
#include "app/Corvane.h"
#include "app/Results.h"

namespace {

// The retired workers; user-interface thread only.
std::vector<FsThread*>& Retired() {
    static auto* retired = new std::vector<FsThread*>;
    return *retired;
}

}  // namespace

FsThread::Ptr FsThread::Create(const std::wstring& srcPath, const std::wstring& dstPath,
                               IUserEventHandler* handler) {
    ReapEnded();
    return Ptr(new FsThread(srcPath, dstPath, handler));
}

FsThread::FsThread(const std::wstring& srcPath, const std::wstring& dstPath, IUserEventHandler* handler)
    : srcPath_(srcPath), dstPath_(dstPath), handler_(handler) {}

FsThread::~FsThread() {
    Join();
}

void FsThread::EndDelivered(Ptr worker) {
    delete worker.release();
}

void FsThread::Retire(FsThread* worker) {
    if (worker == nullptr) {
        return;
    }
    bool undo = false;
    {
        std::lock_guard<std::mutex> guard(worker->lock_);
        worker->retired_ = true;
        // Its event was posted and will be dropped with its owner: what it did is taken back here.
        undo = worker->ended_ && worker->result_ == RES_OK;
        if (!worker->started_) {
            worker->ended_ = true;
        }
    }
    if (undo) {
        worker->Undo();
    }
    Retired().push_back(worker);
    ReapEnded();
}

void FsThread::ReapEnded() {
    std::vector<FsThread*>& retired = Retired();
    auto ended = [](FsThread* worker) {
        {
            std::lock_guard<std::mutex> guard(worker->lock_);
            if (!worker->ended_) {
                return false;
            }
        }
        delete worker;
        return true;
    };
    retired.erase(std::remove_if(retired.begin(), retired.end(), ended), retired.end());
}

void FsThread::JoinRetired(int limitMs) {
    constexpr int kPollMs = 20;
    for (int waited = 0;; waited += kPollMs) {
        ReapEnded();
        if (Retired().empty() || waited >= limitMs) {
            return;
        }
        Osp::Base::Runtime::Thread::Sleep(kPollMs);
    }
}

unsigned long FsThread::StartCopyFile(int eventId) {
    return StartWith(eventId, WORK_COPY);
}

unsigned long FsThread::StartMoveFile(int eventId) {
    return StartWith(eventId, WORK_MOVE);
}

unsigned long FsThread::StartPlaceFile(int eventId) {
    return StartWith(eventId, WORK_PLACE);
}

unsigned long FsThread::StartSyncStorage(int eventId) {
    return StartWith(eventId, WORK_SYNC);
}

unsigned long FsThread::StartWith(int eventId, TWork work) {
    eventId_ = eventId;
    work_ = work;
    unsigned long r = Construct(Osp::Base::Runtime::THREAD_TYPE_WORKER);
    if (r == RES_OK) {
        r = Start();
    }
    started_ = r == RES_OK;
    return r;
}

Osp::Base::Object* FsThread::Run() {
    const Osp::Base::String from(srcPath_);
    const Osp::Base::String to(dstPath_);
    unsigned long r = 0;
    switch (work_) {
        case WORK_COPY:
            r = Osp::Content::ContentManagerUtil::CopyToMediaDirectory(from, to);
            break;
        case WORK_MOVE:
        case WORK_PLACE:
            r = Osp::Content::ContentManagerUtil::MoveToMediaDirectory(from, to);
            break;
        case WORK_SYNC:
            r = Osp::Io::File::SyncStorage(to);
            break;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (retired_) {
        if (r == RES_OK) {
            Undo();
        }
    } else {
        Corvane::GetMyInstance()->PostUserEventEx(handler_, new FsTransferEvent(eventId_, r));
    }
    result_ = r;
    ended_ = true;
    return nullptr;
}

void FsThread::Undo() const {
    const Osp::Base::String from(srcPath_);
    const Osp::Base::String to(dstPath_);
    switch (work_) {
        case WORK_COPY:
            Osp::Io::File::Remove(to);
            break;
        case WORK_MOVE:
            Osp::Io::File::Move(to, from);
            break;
        case WORK_PLACE:
        case WORK_SYNC:
            break;
    }
}
