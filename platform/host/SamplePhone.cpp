#include "host/SamplePhone.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "host/HostPaths.h"

namespace host {
namespace {

void MakeDirs(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    }
    ::mkdir(path.c_str(), 0755);
}

}  // namespace

void PrepareDataRoot(const SampleOptions& options) {
    const std::string& root = DataRoot();
    struct stat st;
    if (::stat(root.c_str(), &st) == 0) {
        return;
    }
    MakeDirs(root + "/Home");
    MakeDirs(root + "/Media");
    if (options.card) {
        MakeDirs(root + "/Storagecard/Media/Videos");
    }
}

}  // namespace host
