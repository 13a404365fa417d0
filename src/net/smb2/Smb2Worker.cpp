#include "net/smb2/Smb2Worker.h"

#include <algorithm>
#include <vector>

#include "app/Corvane.h"
#include "app/IUserEventHandler.h"
#include "app/Results.h"

class Smb2Worker::WorkerThread : public Osp::Base::Runtime::Thread {
public:
    explicit WorkerThread(Smb2Worker* owner) : owner_(owner) {}
    Osp::Base::Object* Run() override {
        owner_->Run();
        return nullptr;
    }

private:
    Smb2Worker* owner_;
};

class Smb2Worker::Deliverer : public IUserEventHandler {
public:
    void OnUserEvent(int) override {}
    void OnUserEventEx(UserEvent* event) override {
        if (auto* answer = dynamic_cast<Smb2Answer*>(event)) {
            answer->Deliver();
        }
    }
};

namespace {

// Workers that were stopped and whose threads may still run; the user-interface thread's. It outlives
// the process's end, where a worker left waiting on a silent server may still run.
std::vector<Smb2Worker*>& Retired() {
    static auto* retired = new std::vector<Smb2Worker*>;
    return *retired;
}

}  // namespace

Smb2Worker::Smb2Worker() : deliverer_(std::make_unique<Deliverer>()) {}

Smb2Worker::~Smb2Worker() {
    if (thread_ != nullptr) {
        thread_->Join();
    }
}

Smb2Worker::Ptr Smb2Worker::Create() {
    ReapEnded();
    Ptr worker(new Smb2Worker);
    auto thread = std::make_unique<WorkerThread>(worker.get());
    if (thread->Construct() != RES_OK || thread->Start() != RES_OK) {
        return nullptr;
    }
    worker->thread_ = std::move(thread);
    return worker;
}

void Smb2Worker::Retire(Smb2Worker* worker) {
    if (worker == nullptr) {
        return;
    }
    std::unique_ptr<Deliverer> gone;
    {
        std::lock_guard<std::mutex> guard(worker->lock_);
        worker->stopping_ = true;
        worker->tasks_.clear();
        gone = std::move(worker->deliverer_);
        if (worker->thread_ == nullptr) {
            worker->ended_ = true;
        }
    }
    worker->wake_.notify_all();
    Retired().push_back(worker);
    ReapEnded();
}

void Smb2Worker::JoinRetired(int limitMs) {
    constexpr int kPollMs = 20;
    for (int waited = 0;; waited += kPollMs) {
        ReapEnded();
        if (Retired().empty() || waited >= limitMs) {
            return;
        }
        Osp::Base::Runtime::Thread::Sleep(kPollMs);
    }
}

void Smb2Worker::ReapEnded() {
    std::vector<Smb2Worker*>& retired = Retired();
    auto ended = [](Smb2Worker* worker) {
        {
            std::lock_guard<std::mutex> guard(worker->lock_);
            if (!worker->ended_) {
                return false;
            }
        }
        delete worker;
        return true;
    };
    retired.erase(std::remove_if(retired.begin(), retired.end(), ended), retired.end());
}

void Smb2Worker::Enqueue(Task task) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void Smb2Worker::Answer(std::function<void()> deliver) {
    // Under the lock the receiver cannot go while the answer is addressed to it; it may go right after,
    // and the answer is then dropped on delivery.
    std::lock_guard<std::mutex> guard(lock_);
    Corvane* app = Corvane::GetMyInstance();
    if (deliverer_ == nullptr || app == nullptr) {
        return;
    }
    app->PostUserEventEx(deliverer_.get(), new Smb2Answer(std::move(deliver)));
}

void Smb2Worker::Run() {
    for (;;) {
        Task task;
        {
            std::unique_lock<std::mutex> guard(lock_);
            wake_.wait(guard, [this] { return stopping_ || !tasks_.empty(); });
            if (stopping_) {
                break;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task(client_);
    }
    client_.reset();
    std::lock_guard<std::mutex> guard(lock_);
    ended_ = true;
}
