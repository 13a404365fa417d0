#include "net/smb2/Smb2Status.h"

#include <cerrno>

#include "app/Results.h"

namespace {

// A row applies at its step, or at every step when anyStep is set.
struct SRow {
    int error;
    bool anyStep;
    TSmb2Step step;
    unsigned long result;
};

constexpr SRow kRows[] = {
    {ECONNREFUSED, true, SMB2_STEP_LOGON, RES_NO_SMB_SERVER},
    {EHOSTUNREACH, true, SMB2_STEP_LOGON, RES_NO_SMB_SERVER},
    {ENETUNREACH, true, SMB2_STEP_LOGON, RES_NO_SMB_SERVER},
    {ECONNABORTED, false, SMB2_STEP_LOGON, RES_PROTOCOLS_REFUSED},
    {ECONNABORTED, true, SMB2_STEP_FILE, RES_DISCONNECTED},
    {ETIMEDOUT, true, SMB2_STEP_LOGON, RES_DISCONNECTED},
    {ECONNRESET, true, SMB2_STEP_LOGON, RES_DISCONNECTED},
    {EPIPE, true, SMB2_STEP_LOGON, RES_DISCONNECTED},
    {ENOTCONN, true, SMB2_STEP_LOGON, RES_DISCONNECTED},
    {EACCES, false, SMB2_STEP_LOGON, RES_BAD_LOGON},
    {EPERM, false, SMB2_STEP_LOGON, RES_BAD_LOGON},
    {EACCES, true, SMB2_STEP_FILE, RES_ACCESS_DENIED},
    {EPERM, true, SMB2_STEP_FILE, RES_ACCESS_DENIED},
    {ENOENT, false, SMB2_STEP_SHARE, RES_BAD_SHARE},
    {ENOENT, true, SMB2_STEP_FILE, RES_NOT_FOUND},
    {ENOTDIR, true, SMB2_STEP_FILE, RES_NOT_FOUND},
    {EEXIST, true, SMB2_STEP_FILE, RES_ALREADY_EXISTS},
    {ENOTEMPTY, true, SMB2_STEP_FILE, RES_DIR_NOT_EMPTY},
    {EBUSY, true, SMB2_STEP_FILE, RES_SHARING_VIOLATION},
    {EROFS, true, SMB2_STEP_FILE, RES_READ_ONLY},
    {ENOMEM, true, SMB2_STEP_FILE, RES_OUT_OF_MEMORY},
};

// What the server said when it refused a logon, where the error number alone misleads: the library gives
// EACCES for a wrong password, a disabled account and a connection without the signing or encryption the
// server requires alike, and EINVAL for a locked account.
struct SRefusal {
    unsigned int status;
    unsigned long result;
};

constexpr SRefusal kRefusals[] = {
    {0xC0000072, RES_ACCOUNT_DISABLED},  // STATUS_ACCOUNT_DISABLED
    {0xC0000234, RES_ACCOUNT_LOCKED},    // STATUS_ACCOUNT_LOCKED_OUT
    // The answer to a session setup whose dialect cannot sign or encrypt as the server requires; a wrong
    // account is STATUS_LOGON_FAILURE.
    {0xC0000022, RES_SECURITY_REFUSED},  // STATUS_ACCESS_DENIED
};

}  // namespace

unsigned long Smb2Result(int error, TSmb2Step step, unsigned int logonRefusal) {
    if (error == 0) {
        return RES_OK;
    }
    for (const SRefusal& refusal : kRefusals) {
        if (refusal.status == logonRefusal) {
            return refusal.result;
        }
    }
    for (const SRow& row : kRows) {
        if (row.error == error && (row.anyStep || row.step == step)) {
            return row.result;
        }
    }
    return RES_FAILURE;
}
