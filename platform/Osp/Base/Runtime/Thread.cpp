#include "Osp/Base/Runtime/Thread.h"

#include <chrono>

namespace Osp::Base::Runtime {

Thread::Thread() = default;

Thread::~Thread() {
    if (thread_.joinable()) {
        Stop();
        thread_.join();
    }
    for (Event& e : queue_) {
        if (auto* list = const_cast<Collection::IList*>(e.args)) {
            if (auto* array = dynamic_cast<Collection::ArrayList*>(list)) {
                array->RemoveAll(true);
            }
            delete list;
        }
    }
}

result Thread::Construct(ThreadType type) {
    type_ = type;
    constructed_ = true;
    return E_SUCCESS;
}

result Thread::Start() {
    if (!constructed_ || thread_.joinable()) {
        return E_INVALID_STATE;
    }
    thread_ = std::thread([this] { Main(); });
    return E_SUCCESS;
}

result Thread::Stop() {
    std::lock_guard<std::mutex> guard(lock_);
    stopping_ = true;
    cv_.notify_all();
    return E_SUCCESS;
}

result Thread::Join() {
    if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) {
        return E_INVALID_STATE;
    }
    thread_.join();
    return E_SUCCESS;
}

result Thread::SendUserEvent(RequestId requestId, const Collection::IList* args) {
    std::lock_guard<std::mutex> guard(lock_);
    if (type_ != THREAD_TYPE_EVENT_DRIVEN || ended_ || stopping_) {
        return E_INVALID_STATE;
    }
    queue_.push_back({requestId, const_cast<Collection::IList*>(args)});
    cv_.notify_all();
    return E_SUCCESS;
}

result Thread::Sleep(long milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return E_SUCCESS;
}

void Thread::OnUserEventReceivedN(RequestId, Collection::IList* args) {
    if (auto* array = dynamic_cast<Collection::ArrayList*>(args)) {
        array->RemoveAll(true);
    }
    delete args;
}

void Thread::Main() {
    if (type_ == THREAD_TYPE_WORKER) {
        delete Run();
    } else if (OnStart()) {
        EventLoop();
        OnStop();
    }
    std::lock_guard<std::mutex> guard(lock_);
    ended_ = true;
}

void Thread::EventLoop() {
    for (;;) {
        Event e;
        {
            std::unique_lock<std::mutex> held(lock_);
            cv_.wait(held, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            e = queue_.front();
            queue_.pop_front();
        }
        OnUserEventReceivedN(e.id, e.args);
    }
}

}  // namespace Osp::Base::Runtime
