#pragma once
// Which mounted file systems are removable media of the user: those mounted below one of the media folders
// ("/run/media/USER/" and "/media/USER/", where the desktop mounts a card or stick) and, unless told
// otherwise, those on a block device that the kernel marks removable. Any thread may call these functions.

#include <string>
#include <vector>

#include "host/MountTable.h"

namespace host {

struct Medium {
    std::string mountPoint;  // host bytes
    std::string label;       // the file system's label, else the name of its mount folder
    std::string fsType;
    bool readOnly = false;
    unsigned int major = 0;
    unsigned int minor = 0;
};

enum class RemovableMarks { kCounted, kIgnored };

// The media of the table, in its order; a mount point mounted over again counts once, as its last mount.
std::vector<Medium> FindMedia(const std::vector<MountEntry>& table,
                              const std::vector<std::string>& mediaFolders, RemovableMarks marks);

// The media folders of the user running the program.
std::vector<std::string> UserMediaFolders();

// The label of the file system on the device source ("/dev/sdb1"), from the system's list of labels;
// empty when it has none.
std::string LabelOfDevice(const std::string& source);

}  // namespace host
