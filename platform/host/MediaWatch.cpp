// The watch on the mount table behind host::WatchMedia. The kernel marks an open mount table with a
// priority event whenever a file system is mounted or unmounted in this process's namespace, so the event
// loop hears of a medium that came or went without waking up in between.

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <memory>

#include "host/MountTable.h"
#include "host/Storage.h"

namespace host {
namespace {

class MediaWatch {
public:
    explicit MediaWatch(IMediaListener* listener) : listener_(listener) {
        fd_ = ::open(MountTablePath(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) {
            return;
        }
        Drain();
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Exception);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { OnTableChanged(); });
    }
    ~MediaWatch() {
        notifier_.reset();
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    MediaWatch(const MediaWatch&) = delete;
    MediaWatch& operator=(const MediaWatch&) = delete;

private:
    // Reads the table through to its end, as the kernel expects of a reader that waits for the next change.
    void Drain() {
        char buffer[16384];
        ::lseek(fd_, 0, SEEK_SET);
        for (int reads = 0; reads < 1024 && ::read(fd_, buffer, sizeof buffer) > 0; ++reads) {
        }
    }

    void OnTableChanged() {
        Drain();
        ForgetCard();
        listener_->OnMediaChanged();
    }

    IMediaListener* listener_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

std::unique_ptr<MediaWatch>& CurrentWatch() {
    static std::unique_ptr<MediaWatch> watch;
    return watch;
}

}  // namespace

void WatchMedia(IMediaListener* listener) {
    CurrentWatch().reset();
    if (listener != nullptr) {
        CurrentWatch() = std::make_unique<MediaWatch>(listener);
    }
}

}  // namespace host
