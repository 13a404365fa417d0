#pragma once
// The archive library's input stream over a synchronous file. Positions are 64-bit: a seek past what
// one call of the file can move is made in steps, so no offset is ever cut to 32 bits. Stop makes the
// next read fail once; the library may call Stop's flag from any thread. Reads of one operation are
// bounded (a multiple of the file's size), so that a library that keeps reading without end fails
// instead. Reference counted; the file is not owned and must outlive the stream.

#include <atomic>

#include "archive/ArcInterfaces.h"

class IFileSync;

class InStream final : public arclib::IInStream {
public:
    explicit InStream(IFileSync* file);

    arclib::HRESULT QueryInterface(const arclib::GUID& iid, void** out) override;
    arclib::ULONG AddRef() override;
    arclib::ULONG Release() override;
    arclib::HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processedSize) override;
    arclib::HRESULT Seek(std::int64_t offset, std::uint32_t seekOrigin, std::uint64_t* newPosition) override;

    // Any thread: the next read fails with the stop code.
    void Stop() { stopped_.store(true); }
    // A new operation: no stop, a new read budget.
    void Reset();
    unsigned long long Size() const { return size_; }

private:
    ~InStream() = default;
    bool MoveTo(unsigned long long target);

    IFileSync* file_;
    std::atomic<bool> stopped_{false};
    std::atomic<arclib::ULONG> refCount_{1};
    unsigned long long size_ = 0;
    unsigned long long budget_ = 0;
};
