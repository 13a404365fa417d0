#include "text/LineCounter.h"

#include <algorithm>
#include <atomic>

#include "Osp/Base/Runtime/Thread.h"
#include "Osp/Io/File.h"
#include "app/Corvane.h"
#include "app/UserEvent.h"
#include "text/LineFeeds.h"

namespace {

constexpr int kEventCounted = 1;
// Findings go to the user-interface thread after this many blocks, and at the end.
constexpr int kBlocksPerEvent = 16;

class CountedEvent : public UserEvent {
public:
    CountedEvent() : UserEvent(kEventCounted) {}
    std::vector<LineCounter::SEntry> entries;  // each at the start of a block counted
    std::uint64_t counted = 0;                 // bytes counted from the data's start, in all
    std::uint64_t lineFeeds = 0;               // in them
    bool endsWithLineFeed = false;
    bool done = false;
};

bool ReadFully(Osp::Io::File& file, unsigned char* buffer, std::uint32_t size, std::uint32_t* got) {
    *got = 0;
    while (*got < size) {
        const int n = file.Read(buffer + *got, static_cast<int>(size - *got));
        if (n <= 0) {
            return false;
        }
        *got += static_cast<std::uint32_t>(n);
    }
    return true;
}

}  // namespace

class LineCounter::Worker : public Osp::Base::Runtime::Thread {
public:
    Worker(LineCounter* owner, std::wstring path, TTextEncoding encoding, std::uint64_t dataStart)
        : handler_(owner), path_(std::move(path)), encoding_(encoding), dataStart_(dataStart) {}

    ~Worker() override {
        stop_ = true;
        Join();
    }

    Osp::Base::Object* Run() override {
        Osp::Io::File file;
        auto event = std::make_unique<CountedEvent>();
        const bool opened = file.Construct(Osp::Base::String(path_), L"r") == Osp::Base::E_SUCCESS &&
                            file.Seek(Osp::Io::FILESEEKPOSITION_BEGIN, static_cast<long long>(dataStart_)) ==
                                Osp::Base::E_SUCCESS;
        std::vector<unsigned char> block(kBlockBytes);
        std::uint64_t counted = 0;
        std::uint64_t lineFeeds = 0;
        bool endsWithLineFeed = false;
        int blocks = 0;
        bool more = opened;
        while (more && !stop_) {
            std::uint32_t got = 0;
            more = ReadFully(file, block.data(), kBlockBytes, &got);
            event->entries.push_back({lineFeeds, dataStart_ + counted});
            lineFeeds += CountLineFeeds(block.data(), got, encoding_, 0);
            if (got > 0) {
                endsWithLineFeed = EndsWithLineFeed(block.data(), got);
            }
            counted += got;
            if (++blocks % kBlocksPerEvent == 0 || !more) {
                event->counted = counted;
                event->lineFeeds = lineFeeds;
                event->endsWithLineFeed = endsWithLineFeed;
                event->done = !more;
                Post(std::move(event));
                event = std::make_unique<CountedEvent>();
            }
        }
        if (!opened) {
            event->done = true;
            Post(std::move(event));
        }
        return nullptr;
    }

private:
    bool EndsWithLineFeed(const unsigned char* data, std::uint32_t size) const {
        const bool utf16 = encoding_ == ENCODING_UTF16LE || encoding_ == ENCODING_UTF16BE;
        if (!utf16) {
            return data[size - 1] == '\n';
        }
        // An odd last byte is no unit of its own.
        const std::uint32_t whole = size & ~1u;
        return whole >= 2 && CountLineFeeds(data + whole - 2, 2, encoding_, 0) == 1;
    }

    void Post(std::unique_ptr<CountedEvent> event) {
        if (Corvane* app = Corvane::GetMyInstance()) {
            app->PostUserEventEx(handler_, event.release());
        }
    }

    IUserEventHandler* handler_;
    std::wstring path_;
    TTextEncoding encoding_;
    std::uint64_t dataStart_;
    std::atomic<bool> stop_{false};
};

LineCounter::LineCounter() = default;

LineCounter::~LineCounter() {
    Stop();
}

void LineCounter::Stop() {
    worker_.reset();
}

bool LineCounter::Start(const std::wstring& path, TTextEncoding encoding, std::uint64_t dataStart,
                        std::uint64_t fileSize) {
    Stop();
    path_ = path;
    encoding_ = encoding;
    dataStart_ = dataStart;
    fileSize_ = fileSize;
    entries_.assign(1, SEntry{0, dataStart});
    counted_ = 0;
    lineFeeds_ = 0;
    endsWithLineFeed_ = false;
    done_ = false;
    auto worker = std::make_unique<Worker>(this, path, encoding, dataStart);
    if (worker->Construct() != Osp::Base::E_SUCCESS || worker->Start() != Osp::Base::E_SUCCESS) {
        return false;
    }
    worker_ = std::move(worker);
    return true;
}

void LineCounter::OnUserEventEx(UserEvent* event) {
    auto* counted = dynamic_cast<CountedEvent*>(event);
    if (counted == nullptr || done_) {
        return;
    }
    for (const SEntry& entry : counted->entries) {
        if (entry.byte > entries_.back().byte) {
            entries_.push_back(entry);
        }
    }
    counted_ = counted->counted;
    lineFeeds_ = counted->lineFeeds;
    endsWithLineFeed_ = counted->endsWithLineFeed;
    if (counted->done) {
        done_ = true;
        Stop();
    }
}

int LineCounter::GetPercent() const {
    if (done_) {
        return 100;
    }
    const std::uint64_t bytes = fileSize_ > dataStart_ ? fileSize_ - dataStart_ : 0;
    return bytes == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(99, counted_ * 100 / bytes));
}

std::uint64_t LineCounter::GetLineCount() const {
    return lineFeeds_ + (counted_ > 0 && !endsWithLineFeed_ ? 1 : 0);
}

std::vector<unsigned char> LineCounter::ReadFrom(const SEntry& entry) const {
    std::vector<unsigned char> bytes(kBlockBytes);
    Osp::Io::File file;
    std::uint32_t got = 0;
    if (file.Construct(Osp::Base::String(path_), L"r") == Osp::Base::E_SUCCESS &&
        file.Seek(Osp::Io::FILESEEKPOSITION_BEGIN, static_cast<long long>(entry.byte)) ==
            Osp::Base::E_SUCCESS) {
        ReadFully(file, bytes.data(), kBlockBytes, &got);
    }
    bytes.resize(got);
    return bytes;
}

bool LineCounter::LineOfByte(std::uint64_t byte, std::uint64_t* line) const {
    if (byte > dataStart_ + counted_ && !done_) {
        return false;
    }
    auto after = std::upper_bound(entries_.begin(), entries_.end(), byte,
                                  [](std::uint64_t b, const SEntry& entry) { return b < entry.byte; });
    const SEntry& entry = after == entries_.begin() ? entries_.front() : *(after - 1);
    const std::vector<unsigned char> bytes = ReadFrom(entry);
    const size_t into =
        static_cast<size_t>(std::min<std::uint64_t>(byte - std::min(byte, entry.byte), bytes.size()));
    *line = entry.lineFeeds + CountLineFeeds(bytes.data(), into, encoding_, 0);
    return true;
}

bool LineCounter::ByteOfLine(std::uint64_t line, std::uint64_t* byte) const {
    if (line == 0) {
        *byte = dataStart_;
        return true;
    }
    if (line > lineFeeds_) {
        return false;
    }
    // The line begins after its line feed, which lies after the last entry with fewer line feeds before it.
    auto at = std::lower_bound(entries_.begin(), entries_.end(), line,
                               [](const SEntry& entry, std::uint64_t l) { return entry.lineFeeds < l; });
    const SEntry& entry = *(at - 1);
    const std::vector<unsigned char> bytes = ReadFrom(entry);
    size_t found = 0;
    const size_t after = AfterLineFeeds(bytes.data(), bytes.size(),
                                        static_cast<size_t>(line - entry.lineFeeds), encoding_, 0, &found);
    if (found != line - entry.lineFeeds) {
        return false;
    }
    *byte = entry.byte + after;
    return true;
}
