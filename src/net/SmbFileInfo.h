#pragma once
// What a listing entry or a path query tells about one file or folder. Times are Windows file times
// (100-nanosecond intervals since 1601, UTC) as the server sent them.

#include <string>

inline constexpr unsigned int SMB_ATTR_READONLY = 0x01;
inline constexpr unsigned int SMB_ATTR_HIDDEN = 0x02;
inline constexpr unsigned int SMB_ATTR_DIRECTORY = 0x10;
// A junction, a symbolic link or a DFS link on the server: what it leads to may lie outside the share.
inline constexpr unsigned int SMB_ATTR_REPARSE_POINT = 0x400;

struct SSmbFileInfo {
    std::wstring name;
    unsigned long long endOfFile = 0;
    unsigned long long allocationSize = 0;
    unsigned int attributes = 0;
    unsigned long long creationTime = 0;
    unsigned long long accessTime = 0;
    unsigned long long writeTime = 0;
    unsigned long long changeTime = 0;
};
