#include "net/smb1/SmbStatus.h"

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

struct SDosError {
    unsigned char errorClass;
    unsigned short code;
    unsigned int status;
};

constexpr unsigned char kErrDos = 0x01;
constexpr unsigned char kErrSrv = 0x02;
constexpr unsigned char kErrHrd = 0x03;
constexpr unsigned int kStatusUnsuccessful = 0xC0000001;

constexpr SDosError kDosErrors[] = {
    {kErrDos, 2, 0xC0000034},    // ERRbadfile: STATUS_OBJECT_NAME_NOT_FOUND
    {kErrDos, 3, 0xC000003A},    // ERRbadpath: STATUS_OBJECT_PATH_NOT_FOUND
    {kErrDos, 5, 0xC0000022},    // ERRnoaccess: STATUS_ACCESS_DENIED
    {kErrDos, 18, 0x80000006},   // ERRnofiles: STATUS_NO_MORE_FILES
    {kErrDos, 32, 0xC0000043},   // ERRbadshare: STATUS_SHARING_VIOLATION
    {kErrDos, 38, 0xC0000011},   // ERRhandleeof: STATUS_END_OF_FILE
    {kErrDos, 80, 0xC0000035},   // ERRfilexists: STATUS_OBJECT_NAME_COLLISION
    {kErrDos, 145, 0xC0000101},  // ERRdirnotempty: STATUS_DIRECTORY_NOT_EMPTY
    {kErrDos, 183, 0xC0000035},  // ERRalreadyexists: STATUS_OBJECT_NAME_COLLISION
    {kErrSrv, 2, 0xC000006D},    // ERRbadpw: STATUS_LOGON_FAILURE
    {kErrSrv, 4, 0xC0000022},    // ERRaccess: STATUS_ACCESS_DENIED
    {kErrSrv, 6, 0xC00000CC},    // ERRinvnetname: STATUS_BAD_NETWORK_NAME
    {kErrHrd, 19, 0xC00000A2},   // ERRnowrite: STATUS_MEDIA_WRITE_PROTECTED
};

}  // namespace

unsigned int DosErrorToNtStatus(unsigned char errorClass, unsigned short code) {
    if (errorClass == 0) {
        return 0;
    }
    for (const SDosError& error : kDosErrors) {
        if (error.errorClass == errorClass && error.code == code) {
            return error.status;
        }
    }
    return kStatusUnsuccessful;
}

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
