#pragma once
// The thread of one SMB 2/3 folder: it owns the folder's client of the library and runs the tasks given
// to it one at a time, in order. A task answers by posting a function to the user-interface thread with
// Answer; the worker delivers it there while it has not been stopped, so the answers of a stopped worker
// are dropped (a later connection never sees the handles or entries of an earlier one).
//
// Stopping (Retire, which the owner's pointer calls instead of delete) never waits: it drops the tasks
// not yet begun and every answer not yet delivered, and leaves the task that runs to end by the library's
// deadline at the latest, together with the client; the worker is deleted once its thread has ended.
// One call of the library may wait for several of its deadlines on a silent server (a stopped listing
// was seen to take three), and its polite goodbye another. Enqueue, Retire and JoinRetired belong to the
// user-interface thread; tasks run on the worker.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "Osp/Base/Runtime/Thread.h"
#include "app/UserEvent.h"
#include "host/SmbClient.h"

class Smb2Worker {
public:
    // The client slot is the worker's: a task may make, use or drop the client in it.
    using Task = std::function<void(std::unique_ptr<host::SmbClient>& client)>;

    // What owns a worker: its pointer retires the worker instead of deleting it.
    struct Retirer {
        void operator()(Smb2Worker* worker) const { Retire(worker); }
    };
    using Ptr = std::unique_ptr<Smb2Worker, Retirer>;
    // A worker whose thread runs, or null when none can.
    static Ptr Create();
    static void Retire(Smb2Worker* worker);
    // Waits until every retired worker's thread has ended, for at most limitMs, and deletes those that
    // ended; the application calls it as it quits and leaves what still waits on a server to its exit.
    static void JoinRetired(int limitMs);

    Smb2Worker(const Smb2Worker&) = delete;
    Smb2Worker& operator=(const Smb2Worker&) = delete;

    void Enqueue(Task task);
    // Any thread: runs deliver on the user-interface thread, unless the worker has stopped by then.
    void Answer(std::function<void()> deliver);

private:
    class WorkerThread;
    class Deliverer;
    Smb2Worker();
    ~Smb2Worker();
    void Run();
    // Deletes the retired workers whose threads have ended.
    static void ReapEnded();

    std::unique_ptr<WorkerThread> thread_;
    // Guarded by lock_.
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
    bool ended_ = false;
    // The receiver of the answers, gone when the worker stops.
    std::unique_ptr<Deliverer> deliverer_;
    // The worker's own.
    std::unique_ptr<host::SmbClient> client_;
};

// The answer event: a function the worker's handler runs on the user-interface thread.
class Smb2Answer : public UserEvent {
public:
    explicit Smb2Answer(std::function<void()> deliver) : UserEvent(0), deliver_(std::move(deliver)) {}
    void Deliver() const { deliver_(); }

private:
    std::function<void()> deliver_;
};
