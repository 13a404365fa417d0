#include "text/TextFinder.h"

#include <algorithm>
#include <atomic>
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

class TextFinder::Worker : public Osp::Base::Runtime::Thread {
public:
    Worker(IUserEventHandler* handler, unsigned search, SRequest request)
        : handler_(handler),
          search_(search),
          request_(std::move(request)),
          pattern_(request_.text, request_.encoding) {}

    ~Worker() override {
        stop_ = true;
        Join();
    }

    Osp::Base::Object* Run() override {
        auto done = std::make_unique<FindEvent>(kEventDone, search_);
        Osp::Io::File file;
        if (!pattern_.IsEmpty() &&
            file.Construct(Osp::Base::String(request_.path), L"r") == Osp::Base::E_SUCCESS) {
            const std::uint64_t at =
                request_.direction == TDirection::Forward ? Forward(file) : Backward(file);
            done->found = at != kNone;
            done->byte = at;
            done->length = pattern_.GetLength();
        }
        if (!stop_) {
            Post(std::move(done));
        }
        return nullptr;
    }

private:
    static constexpr std::uint64_t kNone = ~std::uint64_t{0};

    // Blocks overlap by one match less a byte, so that a match across two blocks is met whole. In UTF-16
    // every block begins at a unit.
    std::uint64_t Forward(Osp::Io::File& file) {
        const size_t overlap = pattern_.GetLength() - 1;
        std::vector<unsigned char> block(kBlockBytes + overlap);
        const std::uint64_t end = request_.fileSize;
        std::uint64_t from = std::max(request_.from, request_.dataStart);
        if (IsUtf16() && (from - request_.dataStart) % 2 != 0) {
            ++from;
        }
        const std::uint64_t first = from;
        for (int blocks = 1; from < end && !stop_; ++blocks) {
            const size_t got = ReadAt(file, from, block.data(), block.size());
            const size_t match = pattern_.FindFirst(block.data(), got, 0);
            if (match != TextPattern::npos) {
                return from + match;
            }
            if (got < block.size()) {
                break;
            }
            from += kBlockBytes;
            Progress(blocks, from - first, end - first);
        }
        return kNone;
    }

    std::uint64_t Backward(Osp::Io::File& file) {
        const size_t overlap = pattern_.GetLength() - 1;
        std::vector<unsigned char> block(kBlockBytes + overlap);
        const std::uint64_t start = request_.dataStart;
        std::uint64_t before = std::min(request_.from, request_.fileSize);
        const std::uint64_t last = before;
        for (int blocks = 1; before > start && !stop_; ++blocks) {
            const std::uint64_t from = before - std::min<std::uint64_t>(before - start, kBlockBytes);
            const size_t got = ReadAt(file, from, block.data(), static_cast<size_t>(before - from) + overlap);
            const size_t match = pattern_.FindLast(block.data(), got, static_cast<size_t>(before - from));
            if (match != TextPattern::npos) {
                return from + match;
            }
            before = from;
            Progress(blocks, last - before, last - start);
        }
        return kNone;
    }

    bool IsUtf16() const {
        return request_.encoding == ENCODING_UTF16LE || request_.encoding == ENCODING_UTF16BE;
    }

    void Progress(int blocks, std::uint64_t done, std::uint64_t all) {
        if (blocks % kBlocksPerProgress == 0 && all > 0) {
            auto event = std::make_unique<FindEvent>(kEventProgress, search_);
            event->percent = static_cast<int>(std::min<std::uint64_t>(99, done * 100 / all));
            Post(std::move(event));
        }
    }

    void Post(std::unique_ptr<FindEvent> event) {
        if (Corvane* app = Corvane::GetMyInstance()) {
            app->PostUserEventEx(handler_, event.release());
        }
    }

    IUserEventHandler* handler_;
    unsigned search_;
    SRequest request_;
    TextPattern pattern_;
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
