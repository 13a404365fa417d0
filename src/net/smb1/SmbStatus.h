#pragma once
// A warning, not a failure, where a pipe's message is longer than what was asked for: the data is good
// and the rest follows.
inline constexpr unsigned int STATUS_BUFFER_OVERFLOW = 0x80000005;

// The one translation of a server's NT status into the system's result codes. Stateless; any thread.

// 0 for a status whose top bit is clear; the code the user is shown for the statuses the client knows;
// RES_FAILURE for every other failure or warning.
unsigned long SmbStatusToBadaResult(unsigned long status);

// The NT status that an error class and code of a server without NT status stand for: 0 for class 0,
// the status of the same meaning for the errors the client tells apart, STATUS_UNSUCCESSFUL for any other.
unsigned int DosErrorToNtStatus(unsigned char errorClass, unsigned short code);
