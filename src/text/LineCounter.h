#pragma once
// Numbers the lines of a text file in the background, for going to a line and showing where the view
// stands in a file of any size. A worker thread reads the file a block at a time and counts its line
// feeds; the user-interface thread keeps what it has found so far, a sparse index of (line feeds before,
// byte) pairs about a block apart, and answers from it by reading at most one block.
//
// Contract: made, started, asked and destroyed on the user-interface thread. The worker only reads the
// file and posts its findings (to this object, through the application's event queue); it never waits
// for this thread, so the destructor stops it and joins it. A file that changes while it is counted gives
// the count of what was read.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/IUserEventHandler.h"
#include "text/TextEncoding.h"

class LineCounter : private IUserEventHandler {
public:
    // Line feeds before a byte of the file.
    struct SEntry {
        std::uint64_t lineFeeds = 0;
        std::uint64_t byte = 0;
    };

    static constexpr std::uint32_t kBlockBytes = 1024 * 1024;

    LineCounter();
    ~LineCounter();
    LineCounter(const LineCounter&) = delete;
    LineCounter& operator=(const LineCounter&) = delete;

    // Counts the lines of the file from dataStart (after a byte-order mark) to fileSize, stopping any
    // count before. False when the worker cannot start.
    bool Start(const std::wstring& path, TTextEncoding encoding, std::uint64_t dataStart,
               std::uint64_t fileSize);

    bool IsDone() const { return done_; }
    // How much of the file has been counted, 0 to 100.
    int GetPercent() const;
    // The number of lines once done: a last line without a line feed counts too.
    std::uint64_t GetLineCount() const;
    // The line (from 0) that holds a byte; false while the count has not reached it.
    bool LineOfByte(std::uint64_t byte, std::uint64_t* line) const;
    // The first byte of a line (from 0); false while the count has not reached it or there is no such line.
    bool ByteOfLine(std::uint64_t line, std::uint64_t* byte) const;

private:
    class Worker;

    void OnUserEvent(int) override {}
    void OnUserEventEx(UserEvent* event) override;
    void Stop();
    // Reads the block of the file from an entry's byte on; empty when it cannot be read.
    std::vector<unsigned char> ReadFrom(const SEntry& entry) const;

    std::wstring path_;
    TTextEncoding encoding_ = ENCODING_LATIN1;
    std::uint64_t dataStart_ = 0;
    std::uint64_t fileSize_ = 0;
    std::vector<SEntry> entries_;  // in order of byte; the first is (0, dataStart_)
    std::uint64_t counted_ = 0;    // bytes counted from dataStart_
    std::uint64_t lineFeeds_ = 0;  // in them
    bool endsWithLineFeed_ = false;
    bool done_ = false;
    std::unique_ptr<Worker> worker_;
};
