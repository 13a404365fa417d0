// The path all-information (level 0x0107) and disk size (level 0x0103) answers: the first byte picks the
// level, the rest is the answer's data, framed as a TRANSACTION2 answer. An accepted answer's name must
// lie within the data, and a size answer is only accepted at its exact length.

#include <cstdint>

#include "../FuzzSupport.h"
#include "app/Results.h"
#include "net/smb1/Smb.h"
#include "net/smb1/Trans2QueryFsInfo.h"
#include "net/smb1/Trans2QueryPathInfo.h"
#include "net/smb1/Trans2Resp.h"

namespace {

const std::size_t kAllInfoFixedLength = 72;
const std::size_t kSizeInfoLength = 24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size > 60000) {
        return 0;
    }
    std::vector<unsigned char> message = TransAnswer(0x32, nullptr, 0, data + 1, size - 1);
    Smb* smb = new Smb;
    FUZZ_CHECK(smb->ReceiveFrom(message.data(), static_cast<unsigned int>(message.size()), false));
    Trans2Resp resp;
    FUZZ_CHECK(resp.FromSmb(smb) == RES_OK);
    if (data[0] & 1) {
        SFsSizeInfo info;
        if (ParseFsSizeResponse(resp, &info) == RES_OK) {
            FUZZ_CHECK(resp.GetDataCount() == kSizeInfoLength);
        }
    } else {
        SSmbFileInfo info;
        if (ParseAllInfoResponse(resp, &info) == RES_OK) {
            FUZZ_CHECK(kAllInfoFixedLength + 2 * info.name.size() <= resp.GetDataCount());
        }
    }
    return 0;
}
