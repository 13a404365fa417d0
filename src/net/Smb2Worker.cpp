#include "net/Smb2Worker.h"

#include "app/Corvane.h"
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

Smb2Worker::Smb2Worker() = default;

Smb2Worker::~Smb2Worker() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopping_ = true;
        tasks_.clear();
    }
    wake_.notify_all();
    if (thread_ != nullptr) {
        thread_->Join();
    }
}

bool Smb2Worker::Start() {
    auto thread = std::make_unique<WorkerThread>(this);
    if (thread->Construct() != RES_OK || thread->Start() != RES_OK) {
        return false;
    }
    thread_ = std::move(thread);
    return true;
}

void Smb2Worker::Enqueue(Task task) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_one();
}

void Smb2Worker::Answer(std::function<void()> deliver) {
    IUserEventHandler* self = this;
    Corvane::GetMyInstance()->PostUserEventEx(self, new Smb2Answer(std::move(deliver)));
}

void Smb2Worker::OnUserEventEx(UserEvent* event) {
    if (auto* answer = dynamic_cast<Smb2Answer*>(event)) {
        answer->Deliver();
    }
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
}
