#pragma once
// Writing the share-relative paths of the plain path commands (DELETE, DELETE_DIRECTORY, RENAME), each
// behind its buffer-format byte. Stateless; any thread.

#include <cstddef>
#include <string>

inline constexpr unsigned char kSmbBufferFormatAscii = 0x04;
// Hidden, system, directory and archive entries match.
inline constexpr unsigned short kSmbSearchAttributes = 0x0036;

// Bytes of a buffer-format byte and a path with its terminator.
inline std::size_t SmbPathBytes(const std::wstring& path) {
    return 1 + 2 * (path.size() + 1);
}

// Writes the buffer-format byte and the path; returns the pointer behind them.
unsigned char* WriteSmbPath(unsigned char* p, const std::wstring& path);
