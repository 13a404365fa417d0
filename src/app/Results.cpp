#include "app/Results.h"

#include <cwchar>

namespace {

struct SMessage {
    unsigned int code;
    const wchar_t* text;
};

constexpr SMessage kMessages[] = {
    {RES_INVALID_PASSWORD, L"Invalid password"},
    {RES_ALREADY_EXISTS, L"Duplicated file name"},
    {RES_NOT_FOUND, L"Source file does not exist"},
    {RES_ACCESS_DENIED, L"Access denied"},
    {RES_CORRUPT_FILE, L"Invalid or corrupted file"},
    {RES_OUT_OF_MEMORY, L"Insufficient memory"},
    {RES_PRIVILEGE_DENIED, L"Privilege denied"},
    {RES_READ_ONLY, L"Cannot change a read-only object"},
    {RES_TIMEOUT, L"The operation timed out"},
    {RES_UNSUPPORTED_METHOD, L"Unsupported compression or encryption"},
    {RES_BAD_LOGON, L"Invalid user name and/or password"},
    {RES_SERVER_BUSY, L"The server is overloaded"},
    {RES_BAD_SHARE, L"Share name does not exists on this server"},
    {RES_BAD_RESPONSE, L"Invalid server response"},
    {RES_SHARING_VIOLATION, L"Sharing violation"},
    {RES_DIR_NOT_EMPTY, L"Directory is not empty"},
    {RES_EMPTY_PASSWORD_FORBIDDEN, L"The server forbids network login with empty password for this user"},
    {RES_SERVER_NOT_FOUND,
     L"Unable to find the server.\n\nPlease check if the computer name is correct and the server is turned "
     L"on."},
    {RES_ACCOUNT_LOCKED, L"This user account is currently locked on the server"},
    {RES_NO_SHARES, L"Unable to find shared folders on this server"},
    {RES_TREE_TOO_DEEP, L"The folder tree is too deep"},
    {RES_NO_ARCHIVE_LIBRARY,
     L"The archive library is missing or too old (p7zip-full 25.01 or later is needed)"},
    {RES_GUEST_ONLY, L"The server did not accept this user name and password and offered only guest access"},
    {RES_NO_UNICODE, L"The server does not support Unicode names"},
    {RES_BAD_NODE_NAME,
     L"Unable to look up a computer name with characters other than plain letters, digits and signs.\n\n"
     L"Please enter the server's IP address instead."},
    {RES_NO_SMB_SERVER,
     L"No file server answers at this address.\n\nPlease check the IP address and that the server is turned "
     L"on."},
    {RES_PROTOCOLS_REFUSED, L"The server does not accept any protocol version this phone can use"},
    {RES_SMB1_REFUSED,
     L"The server refuses the old protocol (SMB1) or its logon.\n\nPlease set the folder's protocol to "
     L"\"Automatic\" instead of \"SMB1 only\"."},
    {RES_ACCOUNT_DISABLED, L"This user account is disabled on the server"},
    {RES_SECURITY_REFUSED, L"The server requires signing or encryption that this connection cannot provide"},
};

}  // namespace

std::wstring BadaResultToString(unsigned int code) {
    for (const SMessage& message : kMessages) {
        if (message.code == code) {
            return message.text;
        }
    }
    wchar_t text[40];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"General error %X", code);
    return text;
}
