#include "net/SmbStatus.h"

#include "app/Results.h"

namespace {

struct SStatusResult {
    unsigned long status;
    unsigned long result;
};

constexpr SStatusResult kStatusResults[] = {
    {0xC000006D, RES_BAD_LOGON},                 // STATUS_LOGON_FAILURE
    {0xC000006A, RES_BAD_LOGON},                 // STATUS_WRONG_PASSWORD
    {0xC000006E, RES_EMPTY_PASSWORD_FORBIDDEN},  // STATUS_ACCOUNT_RESTRICTION
    {0xC0000234, RES_ACCOUNT_LOCKED},            // STATUS_ACCOUNT_LOCKED_OUT
    {0xC00000CE, RES_SERVER_BUSY},               // STATUS_TOO_MANY_SESSIONS
    {0xC00000CC, RES_BAD_SHARE},                 // STATUS_BAD_NETWORK_NAME
    {0xC000003A, RES_BAD_SHARE},                 // STATUS_OBJECT_PATH_NOT_FOUND
    {0xC0000101, RES_DIR_NOT_EMPTY},             // STATUS_DIRECTORY_NOT_EMPTY
    {0xC0000043, RES_SHARING_VIOLATION},         // STATUS_SHARING_VIOLATION
    {0xC00000A2, RES_READ_ONLY},                 // STATUS_MEDIA_WRITE_PROTECTED
    {0xC00000CA, RES_ACCESS_DENIED},             // STATUS_NETWORK_ACCESS_DENIED
    {0xC0000022, RES_ACCESS_DENIED},             // STATUS_ACCESS_DENIED
    {0xC0000035, RES_ALREADY_EXISTS},            // STATUS_OBJECT_NAME_COLLISION
    {0xC0000034, RES_NOT_FOUND},                 // STATUS_OBJECT_NAME_NOT_FOUND
    {0xC000000F, RES_NOT_FOUND},                 // STATUS_NO_SUCH_FILE
};

}  // namespace

unsigned long SmbStatusToBadaResult(unsigned long status) {
    if ((status & 0x80000000u) == 0) {
        return RES_OK;
    }
    for (const SStatusResult& entry : kStatusResults) {
        if (entry.status == status) {
            return entry.result;
        }
    }
    return RES_FAILURE;
}
