#include "transfer/FsThread.h"

#include "Osp/Content/ContentManagerUtil.h"
#include "app/Corvane.h"

FsThread::FsThread(const std::wstring& srcPath, const std::wstring& dstPath, IUserEventHandler* handler)
    : srcPath_(srcPath), dstPath_(dstPath), handler_(handler) {}

FsThread::~FsThread() {
    Join();
}

unsigned long FsThread::StartCopyFile(int eventId) {
    return StartWith(eventId, true);
}

unsigned long FsThread::StartMoveFile(int eventId) {
    return StartWith(eventId, false);
}

unsigned long FsThread::StartWith(int eventId, bool copy) {
    eventId_ = eventId;
    isCopy_ = copy;
    unsigned long r = Construct(Osp::Base::Runtime::THREAD_TYPE_WORKER);
    return r != 0 ? r : Start();
}

Osp::Base::Object* FsThread::Run() {
    const Osp::Base::String from(srcPath_);
    const Osp::Base::String to(dstPath_);
    unsigned long r = isCopy_ ? Osp::Content::ContentManagerUtil::CopyToMediaDirectory(from, to)
                              : Osp::Content::ContentManagerUtil::MoveToMediaDirectory(from, to);
    // The handler is dropped unseen when it has gone meanwhile.
    Corvane::GetMyInstance()->PostUserEventEx(handler_, new FsTransferEvent(eventId_, r));
    return nullptr;
}
