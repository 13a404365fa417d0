#pragma once
// Searches a text file for a text in the background, for the viewer's Find: a worker thread reads the
// file a block at a time from a byte on, forward to the end or backward to the start, and reports its
// progress and the first match it meets (TextSearch.h says what matches).
//
// Contract: made, started, cancelled and destroyed on the user-interface thread; the listener hears
// OnFindProgress and then one OnFindDone there, unless the search was cancelled or the finder destroyed
// first. The worker never waits for the user-interface thread, so cancelling joins it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/IUserEventHandler.h"
#include "text/TextEncoding.h"

class TextFinder : private IUserEventHandler {
public:
    enum class TDirection { Forward, Backward };

    class IListener {
    public:
        virtual void OnFindProgress(int percent) = 0;
        // found: byte is where the match begins and length the bytes it spans.
        virtual void OnFindDone(bool found, std::uint64_t byte, std::uint64_t length) = 0;

    protected:
        ~IListener() = default;
    };

    static constexpr std::uint32_t kBlockBytes = 1024 * 1024;

    struct SRequest {
        std::wstring path;
        TTextEncoding encoding = ENCODING_LATIN1;
        std::uint64_t dataStart = 0;  // where the text begins (after a byte-order mark)
        std::uint64_t fileSize = 0;
        std::wstring text;       // UTF-16 units
        std::uint64_t from = 0;  // forward: matches from here on; backward: matches before here
        TDirection direction = TDirection::Forward;
    };

    TextFinder();
    ~TextFinder();
    TextFinder(const TextFinder&) = delete;
    TextFinder& operator=(const TextFinder&) = delete;

    // Starts a search, cancelling one that runs. False when the worker cannot start.
    bool Start(const SRequest& request, IListener* listener);
    void Cancel();
    bool IsRunning() const { return worker_ != nullptr; }

private:
    class Worker;

    void OnUserEvent(int) override {}
    void OnUserEventEx(UserEvent* event) override;

    IListener* listener_ = nullptr;
    unsigned search_ = 0;  // the number of the latest search
    std::unique_ptr<Worker> worker_;
};

inline constexpr std::uint64_t kNotFound = ~std::uint64_t{0};

// The search the worker runs, on the calling thread: the byte where the first match in the request's
// direction begins, or kNotFound. stop ends it early; progress, when given, hears the share done now and
// then.
std::uint64_t FindInFile(const TextFinder::SRequest& request, const std::atomic<bool>& stop,
                         const std::function<void(int)>& progress);
