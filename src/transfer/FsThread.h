#pragma once
// A short-lived worker that copies or moves one file into the media folders, or makes what was written
// to a storage durable, with the platform's one blocking call, and posts the result to its handler on the
// user-interface thread as an FsTransferEvent.
//
// Contract: the owner holds the worker through a Ptr and calls Start... once, on the user-interface
// thread. When the event has come, the owner ends the worker with EndDelivered, which joins a thread that
// has already finished its work. An owner that goes before its event came drops its Ptr, which retires the
// worker without waiting for it: the worker finishes its call alone, posts nothing, and undoes what it
// did, so that nothing half-done remains of a job that went (a copy is removed, a moved file goes back to
// its source name; a file placed from the cache and a sync stay). Retired workers are deleted once their
// threads have ended; JoinRetired waits for them as the application quits.

#include <memory>
#include <mutex>
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
    struct Retirer {
        void operator()(FsThread* worker) const { Retire(worker); }
    };
    using Ptr = std::unique_ptr<FsThread, Retirer>;

    static Ptr Create(const std::wstring& srcPath, const std::wstring& dstPath, IUserEventHandler* handler);
    // The owner's event has come: the worker's thread has ended or is about to, and is joined.
    static void EndDelivered(Ptr worker);
    // Waits at most limitMs for the retired workers' threads and deletes those that have ended.
    static void JoinRetired(int limitMs);

    ~FsThread() override;

    // Start the copy, the move, or the move of a finished file from the cache to its place; eventId comes
    // back as the event's kind.
    unsigned long StartCopyFile(int eventId);
    unsigned long StartMoveFile(int eventId);
    unsigned long StartPlaceFile(int eventId);
    // Syncs the storage that holds dstPath (srcPath is not used).
    unsigned long StartSyncStorage(int eventId);

    Osp::Base::Object* Run() override;

private:
    enum TWork { WORK_COPY, WORK_MOVE, WORK_PLACE, WORK_SYNC };

    FsThread(const std::wstring& srcPath, const std::wstring& dstPath, IUserEventHandler* handler);
    static void Retire(FsThread* worker);
    // Deletes the retired workers whose threads have ended.
    static void ReapEnded();
    unsigned long StartWith(int eventId, TWork work);
    // Takes back what a successful call did, for a worker whose owner has gone.
    void Undo() const;

    std::wstring srcPath_;
    std::wstring dstPath_;
    IUserEventHandler* handler_;
    int eventId_ = 0;
    TWork work_ = WORK_COPY;
    bool started_ = false;  // the owner's
    // Guarded by lock_.
    std::mutex lock_;
    bool retired_ = false;
    bool ended_ = false;
    unsigned long result_ = 0;
};
