// A FIND_FIRST2 or FIND_NEXT2 answer (the first byte picks which; the rest is the received message) through
// the transaction checks and the entry walk. Every name handed on must pass the name rule, the entries
// can never outnumber what the data can hold, and an accepted answer's chain of next-entry offsets must
// move strictly forward, each entry ending where the next begins.

#include <cstdint>
#include <string>

#include "../FuzzSupport.h"
#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/smb1/Smb.h"
#include "net/smb1/Trans2FindResponse.h"
#include "net/smb1/Trans2Resp.h"

namespace {

const std::size_t kEntryFixedLength = 94;

// Walks the raw chain the way an accepted answer must allow and checks its shape.
void CheckChain(const unsigned char* data, std::size_t dataCount, unsigned int count) {
    std::size_t offset = 0;
    for (unsigned int i = 0; i < count && offset < dataCount; ++i) {
        FUZZ_CHECK(offset + kEntryFixedLength <= dataCount);
        std::size_t next = GetUint32(data + offset);
        std::size_t nameBytes = GetUint32(data + offset + 60);
        std::size_t limit = next != 0 ? offset + next : dataCount;
        FUZZ_CHECK(limit <= dataCount);
        FUZZ_CHECK(offset + kEntryFixedLength + nameBytes <= limit);
        if (next == 0) {
            break;
        }
        FUZZ_CHECK(offset + next > offset);
        offset += next;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    TFindKind kind = (data[0] & 1) ? FIND_NEXT : FIND_FIRST;
    Smb* smb = new Smb;
    if (!smb->ReceiveFrom(data + 1, static_cast<unsigned int>(size - 1), false)) {
        delete smb;
        return 0;
    }
    Trans2Resp resp;
    if (resp.FromSmb(smb) != RES_OK) {
        return 0;
    }
    SFindResponse find;
    if (ParseFindResponse(resp, kind, &find) != RES_OK) {
        return 0;
    }
    FUZZ_CHECK(find.entries.size() <= resp.GetDataCount() / kEntryFixedLength);
    for (const SSmbFileInfo& entry : find.entries) {
        FUZZ_CHECK(IsUsableEntryName(entry.name));
        FUZZ_CHECK(entry.name != L"." && entry.name != L".." && !entry.name.empty());
        FUZZ_CHECK(entry.name.find_first_of(std::wstring(L"\\/\0", 3)) == std::wstring::npos);
    }
    unsigned int count = GetUint16(resp.GetParams() + (kind == FIND_FIRST ? 2 : 0));
    CheckChain(resp.GetData(), resp.GetDataCount(), count);
    if (find.canResume) {
        FUZZ_CHECK(2 * find.resumeName.size() <= resp.GetDataCount());
    }
    return 0;
}
