// Bytes read as a RAR archive through the platform's reader and the handler over it: the listing ends,
// every item's path is a string, and extracting each of the first items ends, with blocks no larger than
// offered. A small read budget stands for the worker's bound on reads.

#include <cstdint>
#include <cstring>

#include "../FuzzSupport.h"
#include "archive/ArcValue.h"
#include "archive/RarArchive.h"

namespace {

using namespace arclib;

class MemoryStream final : public IInStream {
public:
    MemoryStream(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    HRESULT QueryInterface(const GUID&, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT Read(void* data, std::uint32_t size, std::uint32_t* processed) override {
        std::size_t left = position_ < size_ ? size_ - position_ : 0;
        std::size_t n = size < left ? size : left;
        if (budget_ < n) {
            return E_FAIL;
        }
        budget_ -= n;
        std::memcpy(data, data_ + position_, n);
        position_ += n;
        *processed = static_cast<std::uint32_t>(n);
        return S_OK;
    }
    HRESULT Seek(std::int64_t offset, std::uint32_t origin, std::uint64_t* newPosition) override {
        std::int64_t base = origin == 0   ? 0
                            : origin == 1 ? static_cast<std::int64_t>(position_)
                                          : static_cast<std::int64_t>(size_);
        if (offset < -base || offset > (std::int64_t{1} << 40)) {
            return E_INVALIDARG;
        }
        position_ = static_cast<std::size_t>(base + offset);
        if (newPosition != nullptr) {
            *newPosition = position_;
        }
        return S_OK;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
    std::size_t budget_ = 64u << 20;
};

class Sink final : public IArchiveExtractCallback, public ISequentialOutStream {
public:
    HRESULT QueryInterface(const GUID&, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT SetTotal(std::uint64_t) override { return S_OK; }
    HRESULT SetCompleted(const std::uint64_t*) override { return S_OK; }
    HRESULT GetStream(std::uint32_t, ISequentialOutStream** out, std::int32_t) override {
        *out = this;
        return S_OK;
    }
    HRESULT PrepareOperation(std::int32_t) override { return S_OK; }
    HRESULT SetOperationResult(std::int32_t) override {
        ++results;
        return S_OK;
    }
    HRESULT Write(const void*, std::uint32_t size, std::uint32_t* processed) override {
        FUZZ_CHECK(size <= 256 * 1024);
        total += size;
        *processed = size;
        return total > (16u << 20) ? E_FAIL : S_OK;
    }
    std::uint64_t total = 0;
    int results = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryStream stream(data, size);
    auto* archive = new RarArchive;
    if (archive->Open(&stream, nullptr, nullptr) == S_OK) {
        std::uint32_t count = 0;
        archive->GetNumberOfItems(&count);
        for (std::uint32_t i = 0; i < count; ++i) {
            ArcValue path;
            FUZZ_CHECK(archive->GetProperty(i, kpidPath, path.Reset()) == S_OK && path.IsString());
        }
        for (std::uint32_t i = 0; i < count && i < 4; ++i) {
            Sink sink;
            archive->Extract(&i, 1, 0, &sink);
            FUZZ_CHECK(sink.results <= 1);
        }
    }
    archive->Release();
    return 0;
}
