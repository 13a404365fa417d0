#include "host/ResourceDir.h"

#include <unistd.h>

#include <array>
#include <climits>
#include <filesystem>

namespace host {
namespace {

namespace fs = std::filesystem;

// Files without which no screen can be built; the first one missing is named.
constexpr std::array<const char*, 3> kRequired = {"layouts/IDF_MAINFORM.xml", "FolderIc.png",
                                                  "DejaVuSansMono.ttf"};

fs::path BinaryFolder() {
    std::array<char, PATH_MAX> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) {
        return fs::current_path();
    }
    return fs::path(std::string(buffer.data(), static_cast<size_t>(n))).parent_path();
}

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

}  // namespace

std::string ResourceDirBesideBinary() {
    const fs::path bin = BinaryFolder();
    const fs::path installed = (bin.parent_path() / "share" / "corvane").lexically_normal();
    if (IsFolder(installed)) {
        return installed.string();
    }
    const fs::path buildTree = bin / "res";
    return IsFolder(buildTree) ? buildTree.string() : installed.string();
}

std::string ResourceProblem(const std::string& dir) {
    if (!IsFolder(dir)) {
        return "the resource folder " + dir + " is missing";
    }
    if (::access(dir.c_str(), R_OK | X_OK) != 0) {
        return "the resource folder " + dir + " cannot be read";
    }
    for (const char* name : kRequired) {
        const std::string path = dir + "/" + name;
        if (::access(path.c_str(), R_OK) != 0) {
            return "the resource folder " + dir + " lacks " + name;
        }
    }
    return {};
}

}  // namespace host
