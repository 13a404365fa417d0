#include "Osp/Base/Runtime/Monitor.h"

namespace Osp::Base::Runtime {

result Monitor::Enter() {
    lock_.lock();
    owner_.store(std::this_thread::get_id());
    return E_SUCCESS;
}

result Monitor::Exit() {
    if (owner_.load() != std::this_thread::get_id()) {
        return E_INVALID_STATE;
    }
    owner_.store(std::thread::id());
    lock_.unlock();
    return E_SUCCESS;
}

result Monitor::Wait() {
    if (owner_.load() != std::this_thread::get_id()) {
        return E_INVALID_STATE;
    }
    const unsigned long long seen = generation_;
    owner_.store(std::thread::id());
    std::unique_lock<std::mutex> held(lock_, std::adopt_lock);
    cv_.wait(held, [&] { return generation_ != seen; });
    held.release();
    owner_.store(std::this_thread::get_id());
    return E_SUCCESS;
}

result Monitor::Notify() {
    if (owner_.load() == std::this_thread::get_id()) {
        ++generation_;
        cv_.notify_one();
    } else {
        std::lock_guard<std::mutex> guard(lock_);
        ++generation_;
        cv_.notify_one();
    }
    return E_SUCCESS;
}

result Monitor::NotifyAll() {
    if (owner_.load() == std::this_thread::get_id()) {
        ++generation_;
        cv_.notify_all();
    } else {
        std::lock_guard<std::mutex> guard(lock_);
        ++generation_;
        cv_.notify_all();
    }
    return E_SUCCESS;
}

}  // namespace Osp::Base::Runtime
