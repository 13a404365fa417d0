#pragma once
// The thread of one SMB 2/3 folder: it owns the folder's client of the library and runs the tasks given
// to it one at a time, in order. A task answers by posting a function to the user-interface thread with
// Answer; the worker itself delivers it there, so the answers of a worker that has stopped are dropped
// with it (a later connection never sees the handles or entries of an earlier one).
//
// Stopping (the destructor) drops the tasks not yet begun and waits only for the one running, which the
// library ends by its deadline at the latest. Enqueue and the destructor belong to the user-interface
// thread; tasks run on the worker.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "Osp/Base/Runtime/Thread.h"
#include "app/IUserEventHandler.h"
#include "app/UserEvent.h"
#include "host/SmbClient.h"

class Smb2Worker : private IUserEventHandler {
public:
    // The client slot is the worker's: a task may make, use or drop the client in it.
    using Task = std::function<void(std::unique_ptr<host::SmbClient>& client)>;

    Smb2Worker();
    ~Smb2Worker();
    Smb2Worker(const Smb2Worker&) = delete;
    Smb2Worker& operator=(const Smb2Worker&) = delete;

    // Starts the thread; false when it cannot run.
    bool Start();
    void Enqueue(Task task);
    // Any thread: runs deliver on the user-interface thread, unless the worker has stopped by then.
    void Answer(std::function<void()> deliver);

private:
    class WorkerThread;
    void Run();
    void OnUserEvent(int) override {}
    void OnUserEventEx(UserEvent* event) override;

    std::unique_ptr<WorkerThread> thread_;
    // Guarded by lock_.
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Task> tasks_;
    bool stopping_ = false;
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
