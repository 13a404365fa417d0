#pragma once
// A monitor: a lock with one condition. Enter and Exit take and release the lock; Wait, called with the
// lock held, releases it until a later Notify or NotifyAll and takes it again before it returns. Wait
// never returns without such a notification (no spurious wake-ups). Notify may be called with or
// without the lock held.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Base::Runtime {

class Monitor : public Object {
public:
    result Construct() { return E_SUCCESS; }
    result Enter();
    result Exit();
    result Wait();
    result Notify();
    result NotifyAll();

private:
    std::mutex lock_;
    std::condition_variable cv_;
    std::atomic<std::thread::id> owner_{};
    unsigned long long generation_ = 0;  // guarded by lock_
};

}  // namespace Osp::Base::Runtime
