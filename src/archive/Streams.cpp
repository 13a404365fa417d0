#include "archive/Streams.h"

#include <climits>

#include "app/Results.h"
#include "fs/IFileSync.h"

namespace {

using namespace arclib;

// One operation may read the file this many times over, plus a margin for small archives.
constexpr unsigned long long kReadsPerOperation = 8;
constexpr unsigned long long kReadMargin = 64ull << 20;
constexpr HRESULT kNegativeSeek = static_cast<HRESULT>(0x80070083);

}  // namespace

InStream::InStream(IFileSync* file) : file_(file) {
    if (file_->SeekS(POS_END, 0) == 0) {
        size_ = file_->Tell64();
    }
    file_->SeekS(POS_BEGIN, 0);
    Reset();
}

void InStream::Reset() {
    stopped_.store(false);
    budget_ = size_ * kReadsPerOperation + kReadMargin;
}

HRESULT InStream::QueryInterface(const GUID& iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_ISequentialInStream || iid == IID_IInStream) {
        *out = this;
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG InStream::AddRef() {
    return ++refCount_;
}

ULONG InStream::Release() {
    ULONG left = --refCount_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT InStream::Read(void* data, std::uint32_t size, std::uint32_t* processedSize) {
    if (processedSize != nullptr) {
        *processedSize = 0;
    }
    if (stopped_.exchange(false)) {
        return static_cast<HRESULT>(RES_CANCELLED);
    }
    if (size > budget_) {
        return E_FAIL;
    }
    unsigned int got = 0;
    if (file_->ReadS(data, size, &got) != 0 || got > size) {
        return E_FAIL;
    }
    budget_ -= got;
    if (processedSize != nullptr) {
        *processedSize = got;
    }
    return S_OK;
}

bool InStream::MoveTo(unsigned long long target) {
    unsigned long long first = target > INT_MAX ? INT_MAX : target;
    if (file_->SeekS(POS_BEGIN, static_cast<int>(first)) != 0) {
        return false;
    }
    unsigned long long position = file_->Tell64();
    while (position < target) {
        unsigned long long step = target - position > INT_MAX ? INT_MAX : target - position;
        if (file_->SeekS(POS_CURRENT, static_cast<int>(step)) != 0) {
            return false;
        }
        unsigned long long moved = file_->Tell64();
        if (moved <= position) {
            return false;
        }
        position = moved;
    }
    return position == target;
}

HRESULT InStream::Seek(std::int64_t offset, std::uint32_t seekOrigin, std::uint64_t* newPosition) {
    unsigned long long here = file_->Tell64();
    long long base = seekOrigin == 0   ? 0
                     : seekOrigin == 2 ? static_cast<long long>(size_)
                                       : static_cast<long long>(here);
    if (seekOrigin > 2) {
        offset = 0;
    }
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > LLONG_MAX - offset)) {
        return kNegativeSeek;
    }
    unsigned long long target = static_cast<unsigned long long>(base + offset);
    if (target != here && !MoveTo(target)) {
        return E_FAIL;
    }
    if (newPosition != nullptr) {
        *newPosition = target;
    }
    return S_OK;
}
