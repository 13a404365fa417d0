#include "app/TrashSizer.h"

#include <atomic>

#include "Osp/Base/Runtime/Thread.h"
#include "app/Corvane.h"
#include "app/UserEvent.h"
#include "fs/Trash.h"

namespace {

constexpr int kEventSized = 1;

class SizedEvent : public UserEvent {
public:
    SizedEvent(unsigned int count, unsigned long long bytes, size_t items)
        : UserEvent(kEventSized), count(count), bytes(bytes), items(items) {}
    unsigned int count;
    unsigned long long bytes;
    size_t items;
};

}  // namespace

class TrashSizer::Worker : public Osp::Base::Runtime::Thread {
public:
    Worker(IUserEventHandler* handler, unsigned int count, std::vector<std::wstring> folders)
        : handler_(handler), count_(count), folders_(std::move(folders)) {}

    ~Worker() override {
        stop_ = true;
        Join();
    }

    Osp::Base::Object* Run() override {
        unsigned long long bytes = 0;
        size_t items = 0;
        for (const std::wstring& folder : folders_) {
            bytes += Trash::HeldBytes(folder, &items, stop_);
        }
        Corvane* app = Corvane::GetMyInstance();
        if (!stop_ && app != nullptr) {
            app->PostUserEventEx(handler_, new SizedEvent(count_, bytes, items));
        }
        return nullptr;
    }

private:
    IUserEventHandler* handler_;
    unsigned int count_;
    std::vector<std::wstring> folders_;
    std::atomic<bool> stop_{false};
};

TrashSizer::TrashSizer(Callback callback) : callback_(std::move(callback)) {}

TrashSizer::~TrashSizer() = default;

bool TrashSizer::Start(std::vector<std::wstring> folders) {
    worker_.reset();
    IUserEventHandler* self = this;
    worker_ = std::make_unique<Worker>(self, ++count_, std::move(folders));
    if (worker_->Construct() != Osp::Base::E_SUCCESS || worker_->Start() != Osp::Base::E_SUCCESS) {
        worker_.reset();
        return false;
    }
    return true;
}

void TrashSizer::OnUserEventEx(UserEvent* event) {
    auto* sized = dynamic_cast<SizedEvent*>(event);
    if (sized != nullptr && sized->count == count_) {
        callback_(sized->bytes, sized->items);
    }
}
