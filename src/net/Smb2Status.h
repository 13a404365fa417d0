#pragma once
// The one mapping from the SMB 2/3 client library's error numbers to the system's result codes. The same
// number means different things at different steps: a refusal while logging on is a wrong account, while
// opening the share or a file it is a denied access.

enum TSmb2Step {
    SMB2_STEP_LOGON,  // negotiating and logging on (the share list)
    SMB2_STEP_SHARE,  // connecting to the folder's share
    SMB2_STEP_FILE,   // anything within the share
};

unsigned long Smb2Result(int error, TSmb2Step step);
