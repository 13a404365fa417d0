#include "SoakFaults.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

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
            readOnly_.push_back(path);
            return true;
        }
        case Fault::kWritable:
            UnmountReadOnly();
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

void Faults::UnmountReadOnly() {
    // The last mounted first: a folder may lie below another one made read-only.
    for (auto it = readOnly_.rbegin(); it != readOnly_.rend(); ++it) {
        testsupport::RunCommand("umount -l " + Quoted(*it));
    }
    readOnly_.clear();
}

}  // namespace soak
