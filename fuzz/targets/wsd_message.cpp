// A WS-Discovery datagram as anyone on the link may send it. An accepted message keeps every bound, its
// fields are printable ASCII, and an address picked for the sender is one of the sender's.

#include <cstdint>
#include <string>

#include "../FuzzSupport.h"
#include "net/discovery/WsdMessages.h"

namespace {

bool PrintableAscii(const std::string& text) {
    for (char c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return text.size() <= kWsdMaxFieldUnits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WsdMessage message;
    if (!ParseWsdMessage(data, size, &message)) {
        FUZZ_CHECK(message.matches.empty());
        return 0;
    }
    FUZZ_CHECK(message.matches.size() <= kWsdMaxMatches);
    FUZZ_CHECK(message.action != WSD_ACTION_OTHER || message.matches.empty());
    FUZZ_CHECK(PrintableAscii(message.relatesTo));
    for (const WsdMatch& match : message.matches) {
        FUZZ_CHECK(PrintableAscii(match.endpoint) && PrintableAscii(match.types) &&
                   PrintableAscii(match.xaddrs));
        unsigned short port = 0;
        std::string path;
        if (PickWsdXAddr(match.xaddrs, 0x0A000001, &port, &path)) {
            FUZZ_CHECK(port != 0);
            FUZZ_CHECK(!path.empty() && path[0] == '/');
            FUZZ_CHECK(match.xaddrs.find("http://10.0.0.1") != std::string::npos);
        }
        WsdTypesNameComputer(match.types);
    }
    return 0;
}
