#pragma once
// Result codes of the whole system and their messages. Every operation reports one 32-bit code: 0 is
// success, anything else a failure. RES_CANCELLED ends an operation the user stopped and is never shown.
// BadaResultToString gives the one-line English text an error popup shows for a failure code; any
// thread may call it.

#include <string>

// Platform codes the system tests or produces.
inline constexpr unsigned int RES_OK = 0x00000000;
inline constexpr unsigned int RES_INVALID_PASSWORD = 0xA0000450;
inline constexpr unsigned int RES_ALREADY_EXISTS = 0xA0000642;
inline constexpr unsigned int RES_NOT_FOUND = 0xA0000643;
inline constexpr unsigned int RES_ACCESS_DENIED = 0xA000076C;
inline constexpr unsigned int RES_CORRUPT_FILE = 0xA0000778;
inline constexpr unsigned int RES_OUT_OF_MEMORY = 0xA00009C9;
inline constexpr unsigned int RES_PRIVILEGE_DENIED = 0xA0000A2A;
inline constexpr unsigned int RES_READ_ONLY = 0xA0000AF0;
inline constexpr unsigned int RES_TIMEOUT = 0xA0000BB9;
inline constexpr unsigned int RES_UNSUPPORTED_METHOD = 0xA0000C1E;
inline constexpr unsigned int RES_END_OF_FILE = 0xA00005DF;
inline constexpr unsigned int RES_UNSUPPORTED_FORMAT = 0xA0000775;
inline constexpr unsigned int RES_KEY_NOT_FOUND = 0xA0000835;
inline constexpr unsigned int RES_NO_SUCH_ENTRY = 0xA0000B55;
inline constexpr unsigned int RES_BUSY = 0xA0000B57;
inline constexpr unsigned int RES_NO_CACHE_SPACE = 0xA0000B5E;
inline constexpr unsigned int RES_WOULD_BLOCK = 0xA0000CE4;
inline constexpr unsigned int RES_FAILURE = 0x80000000;

// The system's own codes.
inline constexpr unsigned int RES_CANCELLED = 0xC00043D1;
inline constexpr unsigned int RES_BAD_LOGON = 0xC00043D2;
inline constexpr unsigned int RES_SERVER_BUSY = 0xC00043D3;
inline constexpr unsigned int RES_BAD_SHARE = 0xC00043D4;
inline constexpr unsigned int RES_BAD_RESPONSE = 0xC00043D5;
inline constexpr unsigned int RES_DISCONNECTED = 0xC00043D6;
inline constexpr unsigned int RES_SHARING_VIOLATION = 0xC00043D7;
inline constexpr unsigned int RES_DIR_NOT_EMPTY = 0xC00043D8;
inline constexpr unsigned int RES_EMPTY_PASSWORD_FORBIDDEN = 0xC00043D9;
inline constexpr unsigned int RES_SERVER_NOT_FOUND = 0xC00043DA;
inline constexpr unsigned int RES_ACCOUNT_LOCKED = 0xC00043DB;
inline constexpr unsigned int RES_NO_SHARES = 0xC00043DC;
inline constexpr unsigned int RES_TREE_TOO_DEEP = 0xC00043F0;
inline constexpr unsigned int RES_NO_ARCHIVE_LIBRARY = 0xC00043E8;
// A server that took a user with a password as a guest: the credentials were not accepted.
inline constexpr unsigned int RES_GUEST_ONLY = 0xC00043DD;
// A computer name that the name service cannot carry (characters outside plain ASCII).
inline constexpr unsigned int RES_BAD_NODE_NAME = 0xC00043DE;
// A server that does not take Unicode names: every name this client sends is Unicode.
inline constexpr unsigned int RES_NO_UNICODE = 0xC00043DF;
// Nothing takes connections at the folder's address and port.
inline constexpr unsigned int RES_NO_SMB_SERVER = 0xC00043F1;
// The server speaks none of the protocol versions offered.
inline constexpr unsigned int RES_PROTOCOLS_REFUSED = 0xC00043F2;
// The server refuses the classic protocol or its logon, which is all a folder on "SMB1 only" uses.
inline constexpr unsigned int RES_SMB1_REFUSED = 0xC00043F3;
// The server refuses the logon because the account is disabled.
inline constexpr unsigned int RES_ACCOUNT_DISABLED = 0xC00043F4;
// The server requires signing or encryption that the connection's protocol version cannot provide.
inline constexpr unsigned int RES_SECURITY_REFUSED = 0xC00043F5;

// The message of a failure code; a code without a message of its own gives "General error" and the code in
// upper-case hexadecimal.
std::wstring BadaResultToString(unsigned int code);
