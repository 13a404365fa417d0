// The private-folder password's record as read from the settings file, each byte one UTF-16 unit (two
// bytes make a unit beyond Latin-1 when the first is 0xFF). An accepted record writes back as the very
// text it was read from, so that nothing outside the record's form is ever taken.

#include <cstdint>
#include <string>

#include "../FuzzSupport.h"
#include "app/PasswordHash.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += static_cast<wchar_t>(data[i + 1] << 8 | data[i + 2]);
            i += 2;
        } else {
            text += static_cast<wchar_t>(data[i]);
        }
    }
    PasswordHash hash;
    if (PasswordHash::Parse(text, hash)) {
        FUZZ_CHECK(hash.ToString() == text);
    }
    return 0;
}
