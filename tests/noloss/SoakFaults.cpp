#include "SoakFaults.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace soak {

namespace fs = std::filesystem;

namespace {

// What fills the card; it lies beside the tree, so the oracle never counts it.
constexpr const char* kFiller = "/.soak-filler";
// The card's size: room for its tree and a few pastes.
constexpr const char* kCardSize = "48m";

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// A mount point as /proc/self/mountinfo writes it: space, tab, line break and backslash as \ooo.
std::string Unescaped(const std::string& field) {
    std::string path;
    for (size_t i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size() &&
                            field.substr(i + 1, 3).find_first_not_of("01234567") == std::string::npos;
        if (escape) {
            path += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            path += field[i];
        }
    }
    return path;
}

// The mount points of this namespace that lie inside one of the folders, deepest first.
std::vector<std::string> MountsInside(const std::vector<std::string>& folders) {
    std::vector<std::string> inside;
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, point;
        fields >> id >> parent >> device >> root >> point;
        const std::string path = Unescaped(point);
        for (const std::string& folder : folders) {
            if (path == folder || path.rfind(folder + "/", 0) == 0) {
                inside.push_back(path);
                break;
            }
        }
    }
    std::sort(inside.begin(), inside.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    return inside;
}

bool Run(const std::string& command, std::string* error) {
    std::string output;
    if (testsupport::RunCommand(command, &output) != 0) {
        *error = command + ": " + output;
        return false;
    }
    return true;
}

}  // namespace

bool InPrivateMountNamespace() {
    const char* mark = std::getenv(kPrivateNamespaceMark);
    return mark != nullptr && std::string(mark) == "1";
}

Faults::~Faults() {
    UnmountReadOnly();
    if (!cardDir_.empty()) {
        testsupport::RunCommand("umount -l " + Quoted(cardDir_));
    }
    std::string error;
    ServerBack(&error);
}

bool Faults::MountCard(const std::string& hostCardDir) {
    std::string error;
    if (!mounts_ ||
        !Run("mount -t tmpfs -o size=" + std::string(kCardSize) + " soakcard " + Quoted(hostCardDir),
             &error)) {
        return false;
    }
    cardDir_ = hostCardDir;
    return true;
}

bool Faults::Inject(Fault fault, const std::string& key, std::string* error) {
    switch (fault) {
        case Fault::kServerRestart:
            ServerDown();
            return ServerBack(error);
        case Fault::kCardFull: {
            if (cardDir_.empty()) {
                *error = "the card has no file system of its own";
                return false;
            }
            // Zeros until the file system refuses more.
            std::ofstream filler(cardDir_ + kFiller, std::ios::binary | std::ios::app);
            const std::string block(1 << 16, '\0');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
            }
            return true;
        }
        case Fault::kCardFreed:
            fs::remove(cardDir_ + kFiller);
            return true;
        case Fault::kReadOnly: {
            const std::string path = places_.HostPath(key);
            if (!mounts_ || !Run("mount --bind " + Quoted(path) + " " + Quoted(path) +
                                     " && mount -o remount,bind,ro " + Quoted(path),
                                 error)) {
                return false;
            }
            return true;
        }
        case Fault::kWritable:
            UnmountReadOnly();
            return true;
        case Fault::kUnreadable: {
            std::error_code failed;
            if (!fs::is_regular_file(fs::symlink_status(places_.HostPath(key), failed))) {
                *error = "no file to refuse reading in " + key;
                return false;
            }
            fs::permissions(places_.HostPath(key), fs::perms::none, failed);
            if (failed) {
                *error = "no read permission taken from " + key + ": " + failed.message();
                return false;
            }
            return true;
        }
        case Fault::kReadable:
            MakeReadable();
            return true;
        case Fault::kServerKill:
        case Fault::kNone:
            break;
    }
    *error = "not a fault between steps";
    return false;
}

void Faults::ServerDown() {
    server_.Stop();
    serverUp_ = false;
}

bool Faults::ServerBack(std::string* error) {
    if (serverUp_) {
        return true;
    }
    serverUp_ = server_.Restart(error);
    return serverUp_;
}

void Faults::MakeReadable() {
    // Found on the disk rather than remembered: a file keeps its permissions through a rename or move.
    // A file below a read-only folder stays as it is until the folder is writable again.
    constexpr fs::perms kUsual =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;
    for (Storage storage : kStorages) {
        std::error_code failed;
        for (fs::recursive_directory_iterator it(places_.Root(storage), failed), end; !failed && it != end;
             it.increment(failed)) {
            const fs::file_status status = it->symlink_status();
            if (fs::is_regular_file(status) &&
                (status.permissions() & fs::perms::owner_read) == fs::perms::none) {
                std::error_code ignored;
                fs::permissions(it->path(), kUsual, ignored);
            }
        }
    }
}

void Faults::UnmountReadOnly() {
    // Read from the mount table rather than remembered: a folder made read-only moves with its parent's
    // rename or move, and a step stopped midway may have left a mount behind. The deepest go first, as a
    // folder may lie below another one made read-only.
    std::vector<std::string> trees;
    for (Storage storage : kStorages) {
        trees.push_back(places_.Root(storage));
    }
    for (const std::string& point : MountsInside(trees)) {
        testsupport::RunCommand("umount -l " + Quoted(point));
    }
}

}  // namespace soak
