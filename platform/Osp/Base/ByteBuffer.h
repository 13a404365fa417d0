#pragma once

#include <vector>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Base {

// A fixed-capacity byte array with a limit (the end of its data) and a position.
class ByteBuffer : public Object {
public:
    ByteBuffer() = default;
    result Construct(int capacity);
    result Construct(const unsigned char* data, int count);

    int GetCapacity() const { return static_cast<int>(bytes_.size()); }
    int GetLimit() const { return limit_; }
    result SetLimit(int limit);
    int GetPosition() const { return position_; }
    result SetPosition(int position);
    int GetRemaining() const { return limit_ - position_; }

    // Copies count bytes in at the position and advances it; E_OUT_OF_RANGE when they do not fit.
    result SetArray(const unsigned char* data, int index, int count);
    // Copies count bytes out from the position and advances it.
    result GetArray(unsigned char* data, int index, int count);

    const unsigned char* GetPointer() const { return bytes_.data(); }
    unsigned char* GetPointer() { return bytes_.data(); }

    bool operator==(const ByteBuffer& o) const;

private:
    std::vector<unsigned char> bytes_;
    int limit_ = 0;
    int position_ = 0;
};

}  // namespace Osp::Base
