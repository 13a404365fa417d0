#pragma once
// The one translation of a server's NT status into the system's result codes. Stateless; any thread.

// 0 for a status whose top bit is clear; the code the user is shown for the statuses the client knows;
// RES_FAILURE for every other failure or warning.
unsigned long SmbStatusToBadaResult(unsigned long status);
