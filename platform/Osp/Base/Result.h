#pragma once
// Platform result codes. Every platform call reports one 32-bit value: 0 is success.
// The last failure of a call that returns something else is kept per thread (GetLastResult).

namespace Osp::Base {

using result = unsigned int;

inline constexpr result E_SUCCESS = 0x00000000;
inline constexpr result E_FAILURE = 0x80000000;
inline constexpr result E_INVALID_ARG = 0x80000001;
inline constexpr result E_INVALID_STATE = 0x80000002;
inline constexpr result E_OUT_OF_RANGE = 0x80000003;
inline constexpr result E_INVALID_PASSWORD = 0xA0000450;
inline constexpr result E_END_OF_FILE = 0xA00005DF;
inline constexpr result E_FILE_ALREADY_EXIST = 0xA0000642;
inline constexpr result E_FILE_NOT_FOUND = 0xA0000643;
inline constexpr result E_ILLEGAL_ACCESS = 0xA000076C;
inline constexpr result E_UNSUPPORTED_FORMAT = 0xA0000775;
inline constexpr result E_INVALID_FORMAT = 0xA0000778;
inline constexpr result E_OUT_OF_MEMORY = 0xA00009C9;
inline constexpr result E_PRIVILEGE_DENIED = 0xA0000A2A;
inline constexpr result E_READ_ONLY = 0xA0000AF0;
inline constexpr result E_KEY_NOT_FOUND = 0xA0000835;
inline constexpr result E_SECTION_NOT_FOUND = 0xA0000B55;
inline constexpr result E_SERVICE_BUSY = 0xA0000B57;
inline constexpr result E_TIMEOUT = 0xA0000BB9;
inline constexpr result E_UNSUPPORTED_METHOD = 0xA0000C1E;
inline constexpr result E_WOULD_BLOCK = 0xA0000CE4;
// Host failures without a closer code of their own.
inline constexpr result E_STORAGE_FULL = 0xA0000BA0;
inline constexpr result E_IO = 0xA0000BA1;
inline constexpr result E_DIR_NOT_EMPTY = 0xA0000BA2;
inline constexpr result E_NAME_TOO_LONG = 0xA0000BA3;
inline constexpr result E_CONNECTION_FAILED = 0xA0000BA4;
inline constexpr result E_CONNECTION_RESET = 0xA0000BA5;
inline constexpr result E_NETWORK_UNAVAILABLE = 0xA0000BA6;

inline bool IsFailed(result r) {
    return r != E_SUCCESS;
}

// The result of the last call on this thread that reports it this way.
result GetLastResult();
void SetLastResult(result r);

}  // namespace Osp::Base
