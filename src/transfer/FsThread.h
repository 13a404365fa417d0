#pragma once
// A short-lived worker that copies or moves one file into the media folders, or makes what was written
// to a storage durable, with the platform's one blocking call, and posts the result to its handler on the
// user-interface thread as an FsTransferEvent. Its owner joins it (Join, or deleting it) before the owner
// goes.

#include <string>

#include "Osp/Base/Runtime/Thread.h"
#include "app/UserEvent.h"

class IUserEventHandler;

class FsTransferEvent : public UserEvent {
public:
    FsTransferEvent(int eventId, unsigned long result) : UserEvent(eventId), result(result) {}
    unsigned long result;
};

class FsThread : public Osp::Base::Runtime::Thread {
public:
    FsThread(const std::wstring& srcPath, const std::wstring& dstPath, IUserEventHandler* handler);
    ~FsThread() override;

    // Start the copy or the move; eventId comes back as the event's kind.
    unsigned long StartCopyFile(int eventId);
    unsigned long StartMoveFile(int eventId);
    // Syncs the storage that holds dstPath (srcPath is not used).
    unsigned long StartSyncStorage(int eventId);

    Osp::Base::Object* Run() override;

private:
    enum TWork { WORK_COPY, WORK_MOVE, WORK_SYNC };

    unsigned long StartWith(int eventId, TWork work);

    std::wstring srcPath_;
    std::wstring dstPath_;
    IUserEventHandler* handler_;
    int eventId_ = 0;
    TWork work_ = WORK_COPY;
};
