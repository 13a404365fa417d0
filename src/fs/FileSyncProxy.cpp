#include "fs/FileSyncProxy.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "Osp/Base/Runtime/Monitor.h"
#include "app/Corvane.h"
#include "app/IUserEventHandler.h"
#include "app/Results.h"
#include "app/UserEvent.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsFile.h"
#include "fs/IFsFileListener.h"

namespace {

// The most bytes one posted read or write carries; longer calls go in several.
constexpr unsigned int kMaxChunk = 1 << 20;

}  // namespace

// What the worker and the user-interface thread share, under the monitor.
struct FileSyncShared {
    Osp::Base::Runtime::Monitor monitor;
    unsigned long long request = 0;  // the number of the request being waited for
    bool answered = false;
    bool aborted = false;
    unsigned long result = 0;
    unsigned int count = 0;
    // Where the answer of a read goes; valid while its request is waited for.
    void* readTarget = nullptr;
    unsigned long long position = 0;

    // Under the monitor, from the user-interface thread: the answer of request, unless its wait ended.
    void Answer(unsigned long long of, unsigned long r, unsigned int n, unsigned long long pos,
                const unsigned char* data) {
        monitor.Enter();
        if (of == request && !answered && !aborted) {
            if (data != nullptr && n != 0) {
                std::memcpy(readTarget, data, n);
            }
            result = r;
            count = n;
            position = pos;
            answered = true;
        }
        monitor.Exit();
        monitor.NotifyAll();
    }

    // Any thread: ends the wait in progress and every later one.
    void Abort() {
        monitor.Enter();
        aborted = true;
        monitor.Exit();
        monitor.NotifyAll();
    }
};

namespace {

// Every live proxy's shared state, for AbortAll.
std::mutex gLiveLock;
std::set<FileSyncShared*> gLive;

}  // namespace

class FileOpEvent : public UserEvent {
public:
    enum TKind { CREATE = 1, READ = 2, WRITE = 3, SEEK = 4, CLOSE = 5 };
    explicit FileOpEvent(TKind kind) : UserEvent(kind) {}

    unsigned long long request = 0;
    IFsBrowser* browser = nullptr;
    std::wstring path;
    TFileMode mode = FILE_MODE_READ;
    TFileDisp disp = FILE_DISP_OPEN_EXISTING;
    unsigned int size = 0;
    std::vector<unsigned char> data;
    TPosition origin = POS_BEGIN;
    int offset = 0;
    // A close event owns the endpoint, so that the endpoint goes when the event is delivered, or when it
    // is deleted unread at the end of the run.
    std::unique_ptr<FileSyncEndpoint> endpoint;
};

// The proxy's side on the user-interface thread: it owns the file and performs the calls.
class FileSyncEndpoint : public IUserEventHandler, public IFsFileListener {
public:
    explicit FileSyncEndpoint(std::shared_ptr<FileSyncShared> shared) : shared_(std::move(shared)) {}
    // Once this side is gone nothing can answer: a worker still waiting is let go.
    ~FileSyncEndpoint() { shared_->Abort(); }

    void OnUserEvent(int) override {}
    void OnUserEventEx(UserEvent* event) override {
        auto* op = static_cast<FileOpEvent*>(event);
        request_ = op->request;
        unsigned long r = RES_OK;
        switch (op->GetKind()) {
            case FileOpEvent::CREATE:
                r = op->browser->CreateFileA(this, op->path, op->mode, op->disp);
                break;
            case FileOpEvent::READ:
                buffer_.resize(op->size);
                r = file_ != nullptr ? file_->ReadA(buffer_.data(), op->size) : RES_FAILURE;
                break;
            case FileOpEvent::WRITE:
                buffer_ = std::move(op->data);
                r = file_ != nullptr
                        ? file_->WriteA(buffer_.data(), static_cast<unsigned int>(buffer_.size()))
                        : RES_FAILURE;
                break;
            case FileOpEvent::SEEK:
                r = file_ != nullptr ? file_->SeekA(op->origin, op->offset) : RES_FAILURE;
                break;
            default:
                file_.reset();
                Answer(RES_OK, 0, nullptr);
                return;
        }
        // A request that could not start has no answer to come.
        if (r != RES_OK) {
            Answer(r, 0, nullptr);
        }
    }

    void OnCreateN(unsigned long result, IFsFile* file) override {
        file_.reset(file);
        Answer(result, 0, nullptr);
    }
    void OnRead(IFsFile*, unsigned long result, unsigned int count) override {
        count =
            result == RES_OK ? std::min<unsigned int>(count, static_cast<unsigned int>(buffer_.size())) : 0;
        Answer(result, count, buffer_.data());
    }
    void OnWrite(IFsFile*, unsigned long result, unsigned int count) override {
        Answer(result, count, nullptr);
    }
    void OnSeek(IFsFile*, unsigned long result) override { Answer(result, 0, nullptr); }

private:
    void Answer(unsigned long result, unsigned int count, const unsigned char* data) {
        shared_->Answer(request_, result, count, file_ != nullptr ? file_->Tell64() : 0, data);
    }

    std::shared_ptr<FileSyncShared> shared_;
    std::unique_ptr<IFsFile> file_;
    std::vector<unsigned char> buffer_;
    unsigned long long request_ = 0;
};

FileSyncProxy::FileSyncProxy()
    : shared_(std::make_shared<FileSyncShared>()), endpoint_(new FileSyncEndpoint(shared_)) {
    std::lock_guard<std::mutex> lock(gLiveLock);
    gLive.insert(shared_.get());
}

FileSyncProxy::~FileSyncProxy() {
    Close(false);
    std::lock_guard<std::mutex> lock(gLiveLock);
    gLive.erase(shared_.get());
}

unsigned long FileSyncProxy::Call(FileOpEvent* event, unsigned int* count) {
    std::unique_ptr<FileOpEvent> owned(event);
    Corvane* app = Corvane::GetMyInstance();
    if (app == nullptr || app->IsUiThread() || endpoint_ == nullptr) {
        return RES_FAILURE;
    }
    // The shared state is held here too, so that a wait that ends because the proxy is being deleted
    // elsewhere still has it.
    std::shared_ptr<FileSyncShared> shared = shared_;
    shared->monitor.Enter();
    if (shared->aborted) {
        shared->monitor.Exit();
        return RES_CANCELLED;
    }
    event->request = ++shared->request;
    shared->answered = false;
    // Posted under the monitor: an abort at the end of the run comes before the application is gone.
    if (app->PostUserEventEx(endpoint_, owned.release()) != RES_OK) {
        shared->monitor.Exit();
        return RES_FAILURE;
    }
    while (!shared->answered && !shared->aborted) {
        shared->monitor.Wait();
    }
    unsigned long result = shared->answered ? shared->result : RES_CANCELLED;
    if (count != nullptr) {
        *count = shared->answered ? shared->count : 0;
    }
    shared->readTarget = nullptr;
    shared->monitor.Exit();
    return result;
}

unsigned long FileSyncProxy::Create(IFsBrowser* browser, const std::wstring& path, TFileMode mode,
                                    TFileDisp disp) {
    auto* event = new FileOpEvent(FileOpEvent::CREATE);
    event->browser = browser;
    event->path = path;
    event->mode = mode;
    event->disp = disp;
    return Call(event, nullptr);
}

unsigned long FileSyncProxy::ReadS(void* buffer, unsigned int size, unsigned int* read) {
    auto* bytes = static_cast<unsigned char*>(buffer);
    unsigned int total = 0;
    unsigned long r = RES_OK;
    // A share answers at most one block per read; only an empty answer is the end of the file.
    while (total < size) {
        auto* event = new FileOpEvent(FileOpEvent::READ);
        event->size = std::min(size - total, kMaxChunk);
        shared_->monitor.Enter();
        shared_->readTarget = bytes + total;
        shared_->monitor.Exit();
        unsigned int got = 0;
        r = Call(event, &got);
        if (r != RES_OK || got == 0) {
            break;
        }
        total += got;
    }
    if (read != nullptr) {
        *read = total;
    }
    return r;
}

unsigned long FileSyncProxy::WriteS(const void* buffer, unsigned int size, unsigned int* written) {
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    unsigned int total = 0;
    unsigned long r = RES_OK;
    do {
        auto* event = new FileOpEvent(FileOpEvent::WRITE);
        const unsigned int chunk = std::min(size - total, kMaxChunk);
        event->data.assign(bytes + total, bytes + total + chunk);
        unsigned int put = 0;
        r = Call(event, &put);
        if (r != RES_OK) {
            break;
        }
        total += chunk;
    } while (total < size);
    if (written != nullptr) {
        *written = total;
    }
    return r;
}

unsigned long FileSyncProxy::SeekS(TPosition origin, int offset) {
    auto* event = new FileOpEvent(FileOpEvent::SEEK);
    event->origin = origin;
    event->offset = offset;
    return Call(event, nullptr);
}

unsigned long long FileSyncProxy::Tell64() const {
    shared_->monitor.Enter();
    unsigned long long position = shared_->position;
    shared_->monitor.Exit();
    return position;
}

unsigned long FileSyncProxy::Tell() const {
    return static_cast<unsigned long>(Tell64());
}

void FileSyncProxy::CloseS() {
    Close(true);
}

void FileSyncProxy::Close(bool wait) {
    if (endpoint_ == nullptr) {
        return;
    }
    FileSyncEndpoint* endpoint = endpoint_;
    endpoint_ = nullptr;
    auto* event = new FileOpEvent(FileOpEvent::CLOSE);
    event->endpoint.reset(endpoint);
    Corvane* app = Corvane::GetMyInstance();
    if (app == nullptr) {
        delete event;
        return;
    }
    // The close is posted even after an abort, so that the file is always closed on its own thread.
    std::shared_ptr<FileSyncShared> shared = shared_;
    shared->monitor.Enter();
    event->request = ++shared->request;
    shared->answered = false;
    wait = wait && !shared->aborted && !app->IsUiThread();
    app->PostUserEventEx(endpoint, event);
    while (wait && !shared->answered && !shared->aborted) {
        shared->monitor.Wait();
    }
    shared->monitor.Exit();
}

void FileSyncProxy::Abort() {
    shared_->Abort();
}

void FileSyncProxy::AbortAll() {
    std::lock_guard<std::mutex> lock(gLiveLock);
    for (FileSyncShared* shared : gLive) {
        shared->Abort();
    }
}
