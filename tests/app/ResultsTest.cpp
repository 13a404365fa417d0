#include "app/Results.h"

#include <gtest/gtest.h>

namespace {

TEST(Results, MessagesOfKnownAndUnknownCodes) {
    struct Case {
        unsigned int code;
        const wchar_t* text;
    };
    const Case cases[] = {
        {RES_UNSUPPORTED_METHOD, L"Unsupported compression or encryption"},
        {RES_INVALID_PASSWORD, L"Invalid password"},
        {RES_NO_SHARES, L"Unable to find shared folders on this server"},
        {RES_SERVER_NOT_FOUND,
         L"Unable to find the server.\n\nPlease check if the computer name is correct and the server is "
         L"turned on."},
        // Codes without a message of their own show their number.
        {RES_DISCONNECTED, L"General error C00043D6"},
        {RES_NO_CACHE_SPACE, L"General error A0000B5E"},
        {RES_CANCELLED, L"General error C00043D1"},
        {0x1A, L"General error 1A"},
        {0xFFFFFFFF, L"General error FFFFFFFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BadaResultToString(c.code), c.text) << std::hex << c.code;
    }
}

}  // namespace
