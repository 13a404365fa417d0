#pragma once
// The kernel's table of mounted file systems as this process sees it ("/proc/self/mountinfo"), read into
// plain records. The text comes from outside: a line that does not have the documented fields is left out,
// and the table read is bounded in lines and bytes. Any thread may call these functions.

#include <string>
#include <string_view>
#include <vector>

namespace host {

struct MountEntry {
    unsigned int major = 0;  // the device that st_dev of a file on it reports
    unsigned int minor = 0;
    std::string mountPoint;  // host bytes, escapes undone
    std::string fsType;
    std::string source;  // such as "/dev/sdb1", or "tmpfs"
    bool readOnly = false;
};

// The entries of the text of a mountinfo file, in its order.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// The mount table of this process now; empty when it cannot be read.
std::vector<MountEntry> ReadMountTable();

// The path of the table read, "/proc/self/mountinfo".
const char* MountTablePath();

}  // namespace host
