#include "text/TextFinder.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <vector>

#include "Osp/Base/Runtime/Thread.h"
#include "Osp/Io/File.h"
#include "app/Corvane.h"
#include "app/UserEvent.h"
#include "text/TextSearch.h"

namespace {

constexpr int kEventProgress = 1;
constexpr int kEventDone = 2;
// Progress goes to the user-interface thread after this many blocks.
constexpr int kBlocksPerProgress = 16;

class FindEvent : public UserEvent {
public:
    FindEvent(int kind, unsigned search) : UserEvent(kind), search(search) {}
    unsigned search;  // which search of its finder it belongs to
    int percent = 0;
    bool found = false;
    std::uint64_t byte = 0;
    std::uint64_t length = 0;
};

// Reads up to size bytes at offset; fewer when the file ends or fails first.
size_t ReadAt(Osp::Io::File& file, std::uint64_t offset, unsigned char* buffer, size_t size) {
    if (file.Seek(Osp::Io::FILESEEKPOSITION_BEGIN, static_cast<long long>(offset)) != Osp::Base::E_SUCCESS) {
        return 0;
    }
    size_t got = 0;
    while (got < size) {
        const int n = file.Read(buffer + got, static_cast<int>(size - got));
        if (n <= 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    return got;
}

}  // namespace

namespace {

bool IsUtf16(TTextEncoding encoding) {
    return encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE;
}

void Report(const std::function<void(int)>& progress, int blocks, std::uint64_t done, std::uint64_t all) {
    if (progress && blocks % kBlocksPerProgress == 0 && all > 0) {
        progress(static_cast<int>(std::min<std::uint64_t>(99, done * 100 / all)));
    }
}

// Blocks overlap by one match less a byte, so that a match across two blocks is met whole. In UTF-16
// every block begins at a unit.
std::uint64_t FindForward(Osp::Io::File& file, const TextFinder::SRequest& request,
                          const TextPattern& pattern, const std::atomic<bool>& stop,
                          const std::function<void(int)>& progress) {
    const size_t overlap = pattern.GetLength() - 1;
    std::vector<unsigned char> block(TextFinder::kBlockBytes + overlap);
    const std::uint64_t end = request.fileSize;
    std::uint64_t from = std::max(request.from, request.dataStart);
    if (IsUtf16(request.encoding) && (from - request.dataStart) % 2 != 0) {
        ++from;
    }
    const std::uint64_t first = from;
    for (int blocks = 1; from < end && !stop; ++blocks) {
        const size_t got = ReadAt(file, from, block.data(), block.size());
        const size_t match = pattern.FindFirst(block.data(), got, 0);
        if (match != TextPattern::npos) {
            return from + match;
        }
        if (got < block.size()) {
            break;
        }
        from += TextFinder::kBlockBytes;
        Report(progress, blocks, from - first, end - first);
    }
    return kNotFound;
}

std::uint64_t FindBackward(Osp::Io::File& file, const TextFinder::SRequest& request,
                           const TextPattern& pattern, const std::atomic<bool>& stop,
                           const std::function<void(int)>& progress) {
    const size_t overlap = pattern.GetLength() - 1;
    std::vector<unsigned char> block(TextFinder::kBlockBytes + overlap);
    const std::uint64_t start = request.dataStart;
    std::uint64_t before = std::min(request.from, request.fileSize);
    const std::uint64_t last = before;
    for (int blocks = 1; before > start && !stop; ++blocks) {
        const std::uint64_t from = before - std::min<std::uint64_t>(before - start, TextFinder::kBlockBytes);
        const size_t got = ReadAt(file, from, block.data(), static_cast<size_t>(before - from) + overlap);
        const size_t match = pattern.FindLast(block.data(), got, static_cast<size_t>(before - from));
        if (match != TextPattern::npos) {
            return from + match;
        }
        before = from;
        Report(progress, blocks, last - before, last - start);
    }
    return kNotFound;
}

}  // namespace

std::uint64_t FindInFile(const TextFinder::SRequest& request, const std::atomic<bool>& stop,
                         const std::function<void(int)>& progress) {
    const TextPattern pattern(request.text, request.encoding);
    Osp::Io::File file;
    if (pattern.IsEmpty() || file.Construct(Osp::Base::String(request.path), L"r") != Osp::Base::E_SUCCESS) {
        return kNotFound;
    }
    return request.direction == TextFinder::TDirection::Forward
               ? FindForward(file, request, pattern, stop, progress)
               : FindBackward(file, request, pattern, stop, progress);
}

class TextFinder::Worker : public Osp::Base::Runtime::Thread {
public:
    Worker(IUserEventHandler* handler, unsigned search, SRequest request)
        : handler_(handler), search_(search), request_(std::move(request)) {}

    ~Worker() override {
        stop_ = true;
        Join();
    }

    Osp::Base::Object* Run() override {
        const std::uint64_t at = FindInFile(request_, stop_, [this](int percent) {
            auto event = std::make_unique<FindEvent>(kEventProgress, search_);
            event->percent = percent;
            Post(std::move(event));
        });
        if (!stop_) {
            auto done = std::make_unique<FindEvent>(kEventDone, search_);
            done->found = at != kNotFound;
            done->byte = at;
            done->length = TextPattern(request_.text, request_.encoding).GetLength();
            Post(std::move(done));
        }
        return nullptr;
    }

private:
    void Post(std::unique_ptr<FindEvent> event) {
        if (Corvane* app = Corvane::GetMyInstance()) {
            app->PostUserEventEx(handler_, event.release());
        }
    }

    IUserEventHandler* handler_;
    unsigned search_;
    SRequest request_;
    std::atomic<bool> stop_{false};
};

TextFinder::TextFinder() = default;

TextFinder::~TextFinder() {
    Cancel();
}

bool TextFinder::Start(const SRequest& request, IListener* listener) {
    Cancel();
    listener_ = listener;
    IUserEventHandler* handler = this;
    auto worker = std::make_unique<Worker>(handler, ++search_, request);
    if (worker->Construct() != Osp::Base::E_SUCCESS || worker->Start() != Osp::Base::E_SUCCESS) {
        return false;
    }
    worker_ = std::move(worker);
    return true;
}

void TextFinder::Cancel() {
    // Answers of a cancelled search may still be queued; they carry its number and are dropped.
    worker_.reset();
}

void TextFinder::OnUserEventEx(UserEvent* event) {
    auto* find = dynamic_cast<FindEvent*>(event);
    if (find == nullptr || find->search != search_ || worker_ == nullptr || listener_ == nullptr) {
        return;
    }
    if (find->GetKind() == kEventProgress) {
        listener_->OnFindProgress(find->percent);
        return;
    }
    worker_.reset();
    listener_->OnFindDone(find->found, find->byte, find->length);
}
