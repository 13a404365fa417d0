// A computer's answer to the metadata exchange, as received over TCP: the HTTP response around it and
// the SOAP document inside. A complete response's body keeps the size bound, and an accepted document
// names a computer of bounded, printable name.

#include <cstdint>
#include <string>

#include "../FuzzSupport.h"
#include "net/discovery/HttpResponse.h"
#include "net/discovery/WsdMetadata.h"

namespace {

void CheckComputer(const void* data, std::size_t size) {
    WsdComputer computer;
    if (ParseWsdMetadata(data, size, &computer)) {
        FUZZ_CHECK(!computer.name.empty() && computer.name.size() <= 255);
        FUZZ_CHECK(computer.workgroup.size() <= 255);
        for (wchar_t c : computer.name + computer.workgroup) {
            FUZZ_CHECK(c >= 0x20 && c != 0x7F);
        }
    } else {
        FUZZ_CHECK(computer.name.empty() && computer.workgroup.empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (bool closed : {false, true}) {
        int status = 0;
        std::string body;
        if (ParseHttpResponse(bytes, closed, kWsdMaxMetadata, &status, &body) == HTTP_COMPLETE) {
            FUZZ_CHECK(status >= 0 && status <= 999);
            FUZZ_CHECK(body.size() <= kWsdMaxMetadata);
            CheckComputer(body.data(), body.size());
        }
    }
    CheckComputer(data, size);
    return 0;
}
