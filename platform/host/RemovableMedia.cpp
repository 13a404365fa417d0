#include "host/RemovableMedia.h"

#include <dirent.h>
#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

namespace host {
namespace {

constexpr char kLabelFolder[] = "/dev/disk/by-label";

bool IsBelow(const std::string& path, const std::string& folder) {
    std::string prefix = folder;
    if (prefix.empty() || prefix.back() != '/') {
        prefix += '/';
    }
    return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
}

// The system's own folders are never offered as a card, whatever their disk says of itself.
bool IsSystemFolder(const std::string& path) {
    for (const char* folder : {"/boot", "/efi", "/usr", "/var", "/home", "/opt", "/srv", "/tmp"}) {
        if (path == folder || IsBelow(path, folder)) {
            return true;
        }
    }
    return path == "/";
}

// The kernel marks a removable disk in its sysfs folder; a partition inherits the mark of its disk.
bool IsRemovableDevice(unsigned int major, unsigned int minor) {
    const std::string device = "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    for (const std::string& flag : {device + "/removable", device + "/../removable"}) {
        std::ifstream in(flag);
        char mark = 0;
        if (in.get(mark) && mark == '1') {
            return true;
        }
    }
    return false;
}

std::string LastComponent(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// udev writes characters unsafe in a file name as "\xHH".
std::string UnescapeLabel(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x') {
            char* end = nullptr;
            const std::string hex = name.substr(i + 2, 2);
            const long value = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2) {
                out += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

}  // namespace

std::vector<Medium> FindMedia(const std::vector<MountEntry>& table,
                              const std::vector<std::string>& mediaFolders, RemovableMarks marks) {
    std::vector<Medium> media;
    for (const MountEntry& entry : table) {
        bool below = false;
        for (const std::string& folder : mediaFolders) {
            below = below || IsBelow(entry.mountPoint, folder);
        }
        const bool removable = marks == RemovableMarks::kCounted && !IsSystemFolder(entry.mountPoint) &&
                               IsRemovableDevice(entry.major, entry.minor);
        for (auto it = media.begin(); it != media.end(); ++it) {
            if (it->mountPoint == entry.mountPoint) {
                media.erase(it);
                break;
            }
        }
        if (!below && !removable) {
            continue;
        }
        Medium medium;
        medium.mountPoint = entry.mountPoint;
        medium.label = LabelOfDevice(entry.source);
        if (medium.label.empty()) {
            medium.label = LastComponent(entry.mountPoint);
        }
        medium.fsType = entry.fsType;
        medium.readOnly = entry.readOnly;
        medium.major = entry.major;
        medium.minor = entry.minor;
        media.push_back(std::move(medium));
    }
    return media;
}

std::vector<std::string> UserMediaFolders() {
    std::string user;
    if (const passwd* account = ::getpwuid(::geteuid()); account != nullptr && account->pw_name != nullptr) {
        user = account->pw_name;
    } else if (const char* name = std::getenv("USER"); name != nullptr) {
        user = name;
    }
    if (user.empty() || user.find('/') != std::string::npos) {
        return {};
    }
    return {"/run/media/" + user, "/media/" + user};
}

std::string LabelOfDevice(const std::string& source) {
    if (source.empty() || source[0] != '/') {
        return std::string();
    }
    const std::string device = RealPath(source);
    DIR* dir = device.empty() ? nullptr : ::opendir(kLabelFolder);
    if (dir == nullptr) {
        return std::string();
    }
    std::string label;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && RealPath(std::string(kLabelFolder) + "/" + name) == device) {
            label = UnescapeLabel(name);
            break;
        }
    }
    ::closedir(dir);
    return label;
}

}  // namespace host
