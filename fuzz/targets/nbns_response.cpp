// A name-service answer datagram. An accepted answer's address must be one listed in the datagram, and a
// name parsed at the datagram's start must end inside it.

#include <cstdint>
#include <string>

#include "../FuzzSupport.h"
#include "net/nbns/NbtNsResponse.h"
#include "net/nbns/NetBiosName.h"

namespace {

bool ListsAddress(const std::uint8_t* data, std::size_t size, unsigned long address) {
    for (std::size_t i = 0; i + 4 <= size; ++i) {
        unsigned long value = (static_cast<unsigned long>(data[i]) << 24) | (data[i + 1] << 16) |
                              (data[i + 2] << 8) | data[i + 3];
        if (value == address) {
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned int length = static_cast<unsigned int>(size);
    unsigned short transId = GetNsResponseTransId(data, length);
    // The sender's address, as the client would pass it, is taken from the datagram's last bytes.
    unsigned long preferred = 0;
    if (size >= 4) {
        preferred = (static_cast<unsigned long>(data[size - 4]) << 24) | (data[size - 3] << 16) |
                    (data[size - 2] << 8) | data[size - 1];
    }
    for (bool takeFirst : {true, false}) {
        unsigned long address = 0;
        if (ParseNsResponsePacket(&address, data, length, transId, preferred, takeFirst)) {
            FUZZ_CHECK(size >= 12 + 34 + 10 + 6);
            FUZZ_CHECK(ListsAddress(data, size, address));
        }
    }

    std::string name;
    std::string scope;
    unsigned char suffix = 0;
    const unsigned char* end = ParseL2Name(data, length, &name, &scope, &suffix);
    if (end) {
        FUZZ_CHECK(end > data && end <= data + size);
        FUZZ_CHECK(name.size() <= kNetBiosNameChars);
        FUZZ_CHECK(scope.size() < size);
    }
    return 0;
}
