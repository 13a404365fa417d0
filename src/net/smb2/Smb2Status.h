#pragma once
// The one mapping from the SMB 2/3 client library's error numbers to the system's result codes. The same
// number means different things at different steps: a refusal while logging on is a wrong account, while
// opening the share or a file it is a denied access. A refused logon is told apart by the server's own
// status where the library reports one.

enum TSmb2Step {
    SMB2_STEP_LOGON,  // negotiating and logging on (the share list)
    SMB2_STEP_SHARE,  // connecting to the folder's share
    SMB2_STEP_FILE,   // anything within the share
};

// logonRefusal: the server's status for a logon it refused (an NT status), 0 when there is none.
unsigned long Smb2Result(int error, TSmb2Step step, unsigned int logonRefusal = 0);
