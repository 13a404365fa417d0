#include "transfer/FsThread.h"

#include "Osp/Content/ContentManagerUtil.h"
#include "Osp/Io/File.h"
#include "app/Corvane.h"

FsThread::FsThread(const std::wstring& srcPath, const std::wstring& dstPath, IUserEventHandler* handler)
    : srcPath_(srcPath), dstPath_(dstPath), handler_(handler) {}

FsThread::~FsThread() {
    Join();
}

unsigned long FsThread::StartCopyFile(int eventId) {
    return StartWith(eventId, WORK_COPY);
}

unsigned long FsThread::StartMoveFile(int eventId) {
    return StartWith(eventId, WORK_MOVE);
}

unsigned long FsThread::StartSyncStorage(int eventId) {
    return StartWith(eventId, WORK_SYNC);
}

unsigned long FsThread::StartWith(int eventId, TWork work) {
    eventId_ = eventId;
    work_ = work;
    unsigned long r = Construct(Osp::Base::Runtime::THREAD_TYPE_WORKER);
    return r != 0 ? r : Start();
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
            r = Osp::Content::ContentManagerUtil::MoveToMediaDirectory(from, to);
            break;
        case WORK_SYNC:
            r = Osp::Io::File::SyncStorage(to);
            break;
    }
    // The handler is dropped unseen when it has gone meanwhile.
    Corvane::GetMyInstance()->PostUserEventEx(handler_, new FsTransferEvent(eventId_, r));
    return nullptr;
}
