#include "Osp/Base/ByteBuffer.h"

#include <cstring>

namespace Osp::Base {

result ByteBuffer::Construct(int capacity) {
    if (capacity < 0) {
        return E_INVALID_ARG;
    }
    bytes_.assign(static_cast<size_t>(capacity), 0);
    limit_ = capacity;
    position_ = 0;
    return E_SUCCESS;
}

result ByteBuffer::Construct(const unsigned char* data, int count) {
    result r = Construct(count);
    if (r == E_SUCCESS && count > 0) {
        std::memcpy(bytes_.data(), data, static_cast<size_t>(count));
    }
    return r;
}

result ByteBuffer::SetLimit(int limit) {
    if (limit < 0 || limit > GetCapacity()) {
        return E_OUT_OF_RANGE;
    }
    limit_ = limit;
    if (position_ > limit_) {
        position_ = limit_;
    }
    return E_SUCCESS;
}

result ByteBuffer::SetPosition(int position) {
    if (position < 0 || position > limit_) {
        return E_OUT_OF_RANGE;
    }
    position_ = position;
    return E_SUCCESS;
}

result ByteBuffer::SetArray(const unsigned char* data, int index, int count) {
    if (data == nullptr || index < 0 || count < 0 || count > GetRemaining()) {
        return E_OUT_OF_RANGE;
    }
    std::memcpy(bytes_.data() + position_, data + index, static_cast<size_t>(count));
    position_ += count;
    return E_SUCCESS;
}

result ByteBuffer::GetArray(unsigned char* data, int index, int count) {
    if (data == nullptr || index < 0 || count < 0 || count > GetRemaining()) {
        return E_OUT_OF_RANGE;
    }
    std::memcpy(data + index, bytes_.data() + position_, static_cast<size_t>(count));
    position_ += count;
    return E_SUCCESS;
}

bool ByteBuffer::operator==(const ByteBuffer& o) const {
    return limit_ == o.limit_ &&
           std::memcmp(bytes_.data(), o.bytes_.data(), static_cast<size_t>(limit_)) == 0;
}

}  // namespace Osp::Base
