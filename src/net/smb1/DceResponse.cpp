#include "net/smb1/DceResponse.h"

#include <algorithm>

#include "app/ByteOrder.h"
#include "net/smb1/DceHeader.h"

namespace {

// The common header, then the allocation hint, the context id, the cancel count and a reserved byte.
constexpr unsigned int kResponseHeaderLength = kDceHeaderLength + 8;
constexpr unsigned int kFlagsOffset = 3;
constexpr unsigned int kFragmentLengthOffset = 8;
constexpr unsigned int kAuthLengthOffset = 10;
constexpr unsigned char kLastFragment = 0x02;

}  // namespace

DceResponse::TState DceResponse::Add(const unsigned char* bytes, unsigned int count) {
    while (state_ == STATE_MORE && count > 0) {
        // First the header, to learn the fragment's length; then the rest of the fragment.
        unsigned int want = kResponseHeaderLength;
        if (fragment_.size() >= kResponseHeaderLength) {
            want = GetUint16(fragment_.data() + kFragmentLengthOffset);
        }
        unsigned int take = std::min(count, want - static_cast<unsigned int>(fragment_.size()));
        fragment_.insert(fragment_.end(), bytes, bytes + take);
        bytes += take;
        count -= take;
        if (fragment_.size() == kResponseHeaderLength) {
            unsigned int length = GetUint16(fragment_.data() + kFragmentLengthOffset);
            // No authentication was asked for, so none may come; a fragment holds at least its header.
            if (length < kResponseHeaderLength || GetUint16(fragment_.data() + kAuthLengthOffset) != 0) {
                state_ = STATE_BAD;
                break;
            }
        }
        if (fragment_.size() < kResponseHeaderLength ||
            fragment_.size() < GetUint16(fragment_.data() + kFragmentLengthOffset)) {
            continue;
        }
        // A whole fragment: the first gives the header, every one its body.
        if (packet_.empty()) {
            packet_.assign(fragment_.begin(), fragment_.begin() + kResponseHeaderLength);
        }
        if (packet_.size() + fragment_.size() - kResponseHeaderLength > kMaxLength) {
            state_ = STATE_BAD;
            break;
        }
        packet_.insert(packet_.end(), fragment_.begin() + kResponseHeaderLength, fragment_.end());
        bool last = (fragment_[kFlagsOffset] & kLastFragment) != 0;
        fragment_.clear();
        if (last) {
            state_ = count == 0 ? STATE_DONE : STATE_BAD;
        }
    }
    return state_;
}
