#include "host/Trash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "host/DataHome.h"
#include "host/HostPaths.h"

namespace host {
namespace {

using Osp::Base::E_FILE_NOT_FOUND;
using Osp::Base::E_ILLEGAL_ACCESS;
using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_SUCCESS;

constexpr wchar_t kHomeTrash[] = L"/Trash/Home/";
constexpr wchar_t kMediaTrash[] = L"/Trash/Media/";
constexpr wchar_t kCardTrash[] = L"/Trash/Storagecard/";
constexpr wchar_t kPrivateTrash[] = L"/Home/.Trash/";

// The path with links and relative parts resolved; the path itself when it cannot be resolved.
std::string Resolved(const std::string& path) {
    char buffer[PATH_MAX];
    return ::realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : path;
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

// The device of the path, or of its nearest ancestor that exists: the home trash may not be made yet.
bool DeviceOf(std::string path, dev_t& device) {
    struct stat st;
    while (::stat(path.c_str(), &st) != 0) {
        if (path == "/" || path.empty()) {
            return false;
        }
        path = ParentOf(path);
    }
    device = st.st_dev;
    return true;
}

// The top folder of the file system that holds the folder: the last ancestor on its device.
std::string TopOf(const std::string& folder) {
    std::string path = Resolved(folder);
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        return std::string();
    }
    while (path != "/") {
        const std::string parent = ParentOf(path);
        struct stat up;
        if (::stat(parent.c_str(), &up) != 0 || up.st_dev != st.st_dev) {
            break;
        }
        path = parent;
    }
    return path;
}

std::string TopTrashOf(const std::string& placeFolder) {
    if (placeFolder.empty()) {
        return std::string();
    }
    const std::string top = TopOf(placeFolder);
    if (top.empty()) {
        return std::string();
    }
    return (top == "/" ? std::string() : top) + "/.Trash-" + std::to_string(::getuid());
}

std::string HomeTrash() {
    return DataHome() + "/Trash";
}

// Makes the folder (mode 0700) when missing; a link or anything but a folder of ours is refused, so that
// nobody else's folder receives what the user deletes.
bool MakeOwnFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

// Makes the folder and the folders that lead to it (mode 0700), as "mkdir -p" does: the folders that lead
// there may be links, as a data home often is.
bool MakeParents(const std::string& path) {
    struct stat st;
    if (path.empty() || path == "/" || (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
        return true;
    }
    return MakeParents(ParentOf(path)) && (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST);
}

bool MakeTrash(const std::string& hostFolder) {
    return !hostFolder.empty() && MakeParents(ParentOf(hostFolder)) && MakeOwnFolder(hostFolder) &&
           MakeOwnFolder(hostFolder + "/files") && MakeOwnFolder(hostFolder + "/info");
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

// The components of a path read from outside, or false when one of them is "..".
bool SplitPlain(const std::string& path, std::vector<std::string>& parts) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            return false;
        }
        if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    return !parts.empty();
}

// The rest of the path below folder, when it lies below it.
bool Below(const std::string& path, const std::string& folder, std::string& rest) {
    if (folder.empty()) {
        return false;
    }
    const std::string prefix = folder == "/" ? folder : folder + "/";
    if (path.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    rest = path.substr(prefix.size());
    return true;
}

std::wstring VirtualOf(const std::wstring& root, const std::string& rest) {
    return root + FromHostBytes(rest);
}

// The virtual path of an absolute host path inside the phone memory or the card, as the place folders are
// named or as they resolve.
bool PublicPlacePath(const std::string& hostPath, std::wstring& virtualPath) {
    const std::pair<Place, const wchar_t*> places[] = {{Place::kCard, L"/Storagecard/Media/"},
                                                       {Place::kPhoneMemory, L"/Media/"}};
    for (const auto& [place, root] : places) {
        const std::string folder = PlaceFolder(place);
        std::string rest;
        if (Below(hostPath, folder, rest) || Below(hostPath, Resolved(folder), rest)) {
            virtualPath = VirtualOf(root, rest);
            return true;
        }
    }
    return false;
}

// The host path of a virtual path with its folder resolved, so that it says where the item lies whatever
// the data root was given as.
Osp::Base::result AbsoluteHostPath(const std::wstring& virtualPath, std::string& hostPath) {
    std::string mapped;
    const Osp::Base::result r = MapPath(virtualPath, mapped);
    if (r != E_SUCCESS) {
        return r;
    }
    const size_t slash = mapped.rfind('/');
    if (slash == std::string::npos) {
        return E_INVALID_ARG;
    }
    const std::string parent = Resolved(slash == 0 ? std::string("/") : mapped.substr(0, slash));
    hostPath = (parent == "/" ? std::string() : parent) + mapped.substr(slash);
    return E_SUCCESS;
}

}  // namespace

std::string TrashHostFolder(const std::wstring& kind) {
    if (kind == L"Home") {
        return HomeTrash();
    }
    if (kind == L"Media") {
        return TopTrashOf(PlaceFolder(Place::kPhoneMemory));
    }
    if (kind == L"Storagecard") {
        return TopTrashOf(PlaceFolder(Place::kCard));
    }
    return std::string();
}

Osp::Base::result TrashFolderOf(Place place, TrashNeed need, std::wstring& folder) {
    std::string hostFolder;
    if (place == Place::kPrivate) {
        folder = kPrivateTrash;
        hostFolder = PlaceFolder(place) + "/.Trash";
    } else {
        const std::string placeFolder = PlaceFolder(place);
        dev_t placeDevice;
        dev_t homeDevice;
        if (placeFolder.empty() || !DeviceOf(placeFolder, placeDevice)) {
            return E_FILE_NOT_FOUND;
        }
        if (DeviceOf(HomeTrash(), homeDevice) && homeDevice == placeDevice) {
            folder = kHomeTrash;
            hostFolder = HomeTrash();
        } else {
            folder = place == Place::kCard ? kCardTrash : kMediaTrash;
            hostFolder = TopTrashOf(placeFolder);
        }
    }
    return need == TrashNeed::kFind || MakeTrash(hostFolder) ? E_SUCCESS : E_ILLEGAL_ACCESS;
}

Osp::Base::result TrashedPathOf(const std::wstring& trashFolder, const std::wstring& virtualPath,
                                std::string& bytes) {
    std::string hostPath;
    const Osp::Base::result r = AbsoluteHostPath(virtualPath, hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    std::string top;
    if (trashFolder == kPrivateTrash) {
        top = Resolved(PlaceFolder(Place::kPrivate));
    } else if (trashFolder == kMediaTrash) {
        top = TopOf(PlaceFolder(Place::kPhoneMemory));
    } else if (trashFolder == kCardTrash) {
        top = TopOf(PlaceFolder(Place::kCard));
    }
    std::string rest;
    bytes = Below(hostPath, top, rest) ? rest : hostPath;
    return E_SUCCESS;
}

Osp::Base::result RestorePathOf(const std::wstring& trashFolder, const std::string& bytes,
                                std::wstring& virtualPath) {
    std::vector<std::string> parts;
    if (!SplitPlain(bytes, parts)) {
        return E_INVALID_ARG;
    }
    std::string plain;
    for (const std::string& part : parts) {
        plain += "/" + part;
    }
    const bool absolute = bytes[0] == '/';
    if (trashFolder == kPrivateTrash) {
        if (absolute) {
            return E_INVALID_ARG;
        }
        virtualPath = VirtualOf(L"/Home", plain);
        return E_SUCCESS;
    }
    std::string hostPath = plain;
    if (!absolute) {
        if (!StartsWith(trashFolder, L"/Trash/") || trashFolder == kHomeTrash) {
            return E_INVALID_ARG;
        }
        const Place place = trashFolder == kCardTrash ? Place::kCard : Place::kPhoneMemory;
        const std::string top = TopOf(PlaceFolder(place));
        if (top.empty()) {
            return E_FILE_NOT_FOUND;
        }
        hostPath = (top == "/" ? std::string() : top) + plain;
    }
    return PublicPlacePath(hostPath, virtualPath) ? E_SUCCESS : E_ILLEGAL_ACCESS;
}

}  // namespace host
