// A trash's info file as any program may have left it on the disk. Whatever the bytes, reading ends, a
// file longer than the bound is refused, and a path read back encodes to a text that reads back to it.

#include <cstdint>
#include <string>
#include <string_view>

#include "../FuzzSupport.h"
#include "fs/TrashInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    STrashInfo info;
    if (!ParseTrashInfo(text, &info)) {
        return 0;
    }
    FUZZ_CHECK(size <= kMaxTrashInfoBytes);
    FUZZ_CHECK(!info.path.empty());
    FUZZ_CHECK(info.path.find('\0') == std::string::npos);
    FUZZ_CHECK(info.deletedAt.empty() || info.deletedAt.size() == 16);
    std::string again;
    FUZZ_CHECK(PercentDecode(PercentEncode(info.path), &again));
    FUZZ_CHECK(again == info.path);
    return 0;
}
