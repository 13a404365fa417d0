// The NetrShareEnum answer's data, framed as a TRANSACTION answer. An accepted answer must have agreeing
// NDR counts, and what it yields is bounded by its size: no share record or string without bytes behind it.

#include <cstdint>
#include <vector>

#include "../FuzzSupport.h"
#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/smb1/DceShareEnumAll.h"
#include "net/smb1/Smb.h"
#include "net/smb1/Trans2Resp.h"

namespace {

// Entries read, array pointer and the array's maximum count, counted from the data's start.
const std::size_t kEntriesRead = 36;
const std::size_t kArrayPointer = 40;
const std::size_t kArrayMaxCount = 44;
const std::size_t kEntryLength = 12;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 60000) {
        return 0;
    }
    std::vector<unsigned char> message = TransAnswer(0x25, nullptr, 0, data, size);
    Smb* smb = new Smb;
    FUZZ_CHECK(smb->ReceiveFrom(message.data(), static_cast<unsigned int>(message.size()), false));
    Trans2Resp resp;
    FUZZ_CHECK(resp.FromSmb(smb) == RES_OK);
    std::vector<SShareInfo> shares;
    if (ParseShareEnumAllResponse(resp, &shares) != RES_OK) {
        FUZZ_CHECK(shares.empty());
        return 0;
    }
    if (!shares.empty()) {
        FUZZ_CHECK(size >= kArrayMaxCount + 4);
        FUZZ_CHECK(GetUint32(data + kArrayPointer) != 0);
        FUZZ_CHECK(GetUint32(data + kEntriesRead) == GetUint32(data + kArrayMaxCount));
        FUZZ_CHECK(GetUint32(data + kEntriesRead) == shares.size());
    }
    std::size_t bytes = shares.size() * kEntryLength;
    for (const SShareInfo& share : shares) {
        bytes += 2 * (share.name.size() + share.remark.size());
    }
    FUZZ_CHECK(bytes <= size);
    return 0;
}
