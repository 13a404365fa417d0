#pragma once
// A thread of the platform. A worker thread runs Run() once. An event-driven thread runs OnStart(), then
// delivers the user events sent to it with SendUserEvent, one at a time and in order of sending, to
// OnUserEventReceivedN on itself, until Stop(); then OnStop(). The receiver owns the argument list and
// its elements; events still queued when the thread stops are deleted with their lists.

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Base::Runtime {

using RequestId = int;

enum ThreadType { THREAD_TYPE_WORKER = 0, THREAD_TYPE_EVENT_DRIVEN = 1 };

class Thread : public Object {
public:
    Thread();
    ~Thread() override;  // stops and joins a thread still running

    result Construct(ThreadType type = THREAD_TYPE_WORKER);
    result Start();
    result Stop();  // any thread; an event-driven thread ends after the event it is handling
    result Join();
    // Any thread. Takes ownership of args (may be null). E_INVALID_STATE unless event-driven and not ended.
    result SendUserEvent(RequestId requestId, const Collection::IList* args);

    static result Sleep(long milliseconds);

    virtual bool OnStart() { return true; }
    virtual void OnStop() {}
    virtual Object* Run() { return nullptr; }
    virtual void OnUserEventReceivedN(RequestId requestId, Collection::IList* args);

private:
    struct Event {
        RequestId id;
        Collection::IList* args;
    };
    void Main();
    void EventLoop();

    ThreadType type_ = THREAD_TYPE_WORKER;
    bool constructed_ = false;
    std::thread thread_;
    std::mutex lock_;
    std::condition_variable cv_;
    std::deque<Event> queue_;  // guarded by lock_
    bool stopping_ = false;    // guarded by lock_
    bool ended_ = false;       // guarded by lock_
};

}  // namespace Osp::Base::Runtime
