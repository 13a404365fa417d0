#include "host/CharsetDetector.h"

#include <uchardet/uchardet.h>

#include <memory>

namespace host {

std::string DetectCharset(const unsigned char* data, size_t size) {
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, void (*)(uchardet_t)> detector(uchardet_new(),
                                                                                            uchardet_delete);
    if (detector == nullptr ||
        uchardet_handle_data(detector.get(), reinterpret_cast<const char*>(data), size) != 0) {
        return std::string();
    }
    uchardet_data_end(detector.get());
    const char* name = uchardet_get_charset(detector.get());
    return name != nullptr ? std::string(name) : std::string();
}

}  // namespace host
