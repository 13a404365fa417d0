#include "host/Storage.h"

#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>

#include "host/DataHome.h"
#include "host/HostPaths.h"
#include "host/MountTable.h"

namespace host {

const wchar_t kFirstMedium[] = L"";
const wchar_t kNoCard[] = L"none";

namespace {

struct State {
    std::mutex lock;
    std::string dataRoot;
    std::string phoneFolder;  // empty: the home folder
    std::wstring cardChoice = kFirstMedium;
    std::vector<std::string> mediaFolders = UserMediaFolders();
    RemovableMarks marks = RemovableMarks::kCounted;
    // The medium the card was last found on; forgotten whenever the media or the choice may have changed.
    Medium card;
    bool cardKnown = false;
};

State& GetState() {
    static State state;
    return state;
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return home;
    }
    const passwd* account = ::getpwuid(::geteuid());
    return account != nullptr && account->pw_dir != nullptr ? std::string(account->pw_dir) : std::string("/");
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The medium the card choice names among those mounted now; false when there is none.
bool ChosenMedium(const std::wstring& choice, const std::vector<Medium>& media, Medium& chosen) {
    for (const Medium& medium : media) {
        if (choice == kFirstMedium || FromHostBytes(medium.mountPoint) == choice) {
            chosen = medium;
            return true;
        }
    }
    return false;
}

std::vector<Medium> MediaNow(const State& state) {
    return FindMedia(ReadMountTable(), state.mediaFolders, state.marks);
}

bool OnItsDevice(const Medium& medium) {
    struct stat st;
    return ::stat(medium.mountPoint.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_dev == makedev(medium.major, medium.minor);
}

// The card's folder on the user's storage while its file system is mounted there; empty otherwise. The
// medium last found is trusted while its folder still lies on its device, which costs one stat and keeps
// anything from being written into the bare folder a medium leaves behind; otherwise the mount table is
// read again (a file system such as btrfs reports another device for its files than for its mount).
std::string CardOnUserStorage(State& state) {
    if (state.cardChoice == kNoCard) {
        return std::string();
    }
    if (state.cardKnown && OnItsDevice(state.card)) {
        return state.card.mountPoint;
    }
    state.cardKnown =
        ChosenMedium(state.cardChoice, MediaNow(state), state.card) && IsFolder(state.card.mountPoint);
    return state.cardKnown ? state.card.mountPoint : std::string();
}

// The mount holding the folder: the entry with the longest mount point that the folder's real path lies
// in.
bool MountOf(const std::string& folder, MountEntry& found) {
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) {
        return false;
    }
    const std::string path = resolved;
    bool any = false;
    for (const MountEntry& entry : ReadMountTable()) {
        const std::string& point = entry.mountPoint;
        const bool holds = point == "/" || path == point ||
                           (path.compare(0, point.size(), point) == 0 && path.size() > point.size() &&
                            path[point.size()] == '/');
        if (holds && (!any || point.size() >= found.mountPoint.size())) {
            found = entry;
            any = true;
        }
    }
    return any;
}

}  // namespace

std::string DataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    return HomeFolder() + "/.local/share";
}

void SetDataRoot(const std::string& hostDir) {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    state.dataRoot = hostDir;
}

StorageMode GetStorageMode() {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.dataRoot.empty() ? StorageMode::kUserStorage : StorageMode::kDataRoot;
}

std::string DataRoot() {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.dataRoot;
}

std::string PlaceFolder(Place place) {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    if (!state.dataRoot.empty()) {
        switch (place) {
            case Place::kPrivate:
                return state.dataRoot + "/Home";
            case Place::kPhoneMemory:
                return state.dataRoot + "/Media";
            case Place::kCard:
                return state.dataRoot + "/Storagecard/Media";
        }
    }
    switch (place) {
        case Place::kPrivate:
            return DataHome() + "/corvane/Home";
        case Place::kPhoneMemory:
            return state.phoneFolder.empty() ? HomeFolder() : state.phoneFolder;
        case Place::kCard:
            return CardOnUserStorage(state);
    }
    return std::string();
}

Osp::Base::result SetPhoneMemoryFolder(const std::wstring& folder) {
    const std::string path = ToHostBytes(folder);
    if (!path.empty() && path[0] != '/') {
        return Osp::Base::E_INVALID_ARG;
    }
    if (!path.empty() && !IsFolder(path)) {
        return Osp::Base::E_FILE_NOT_FOUND;
    }
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    state.phoneFolder = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    return Osp::Base::E_SUCCESS;
}

std::wstring GetPhoneMemoryFolder() {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    return FromHostBytes(state.phoneFolder.empty() ? HomeFolder() : state.phoneFolder);
}

void SetCardChoice(const std::wstring& choice) {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    state.cardChoice = choice;
    state.cardKnown = false;
}

std::wstring GetCardChoice() {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    return state.cardChoice;
}

std::vector<MediumInfo> GetMedia() {
    State& state = GetState();
    std::vector<Medium> media;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        media = MediaNow(state);
    }
    std::vector<MediumInfo> infos;
    for (const Medium& medium : media) {
        MediumInfo info;
        info.mountPoint = FromHostBytes(medium.mountPoint);
        info.label = FromHostBytes(medium.label);
        info.type = FromHostBytes(medium.fsType);
        info.readOnly = medium.readOnly;
        infos.push_back(std::move(info));
    }
    return infos;
}

bool IsCardPresent() {
    const std::string card = PlaceFolder(Place::kCard);
    return !card.empty() && IsFolder(card);
}

Osp::Base::result GetStorageFacts(Place place, StorageFacts& facts) {
    const std::string folder = PlaceFolder(place);
    if (folder.empty()) {
        return Osp::Base::E_FILE_NOT_FOUND;
    }
    struct statvfs fs;
    if (::statvfs(folder.c_str(), &fs) != 0) {
        return ResultFromErrno(errno);
    }
    facts.total = static_cast<unsigned long long>(fs.f_blocks) * fs.f_frsize;
    facts.free = static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize;
    facts.readOnly = (fs.f_flag & ST_RDONLY) != 0;
    MountEntry mount;
    if (MountOf(folder, mount)) {
        facts.type = FromHostBytes(mount.fsType);
        std::string label = LabelOfDevice(mount.source);
        if (label.empty() && place == Place::kCard && GetStorageMode() == StorageMode::kUserStorage) {
            // A medium without a label of its own is known by the folder it was mounted at.
            label = mount.mountPoint.substr(mount.mountPoint.rfind('/') + 1);
        }
        facts.label = FromHostBytes(label);
    }
    return Osp::Base::E_SUCCESS;
}

void SetMediaFolders(const std::vector<std::string>& hostFolders, RemovableMarks marks) {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    state.mediaFolders = hostFolders;
    state.marks = marks;
    state.cardKnown = false;
}

void ForgetCard() {
    State& state = GetState();
    std::lock_guard<std::mutex> guard(state.lock);
    state.cardKnown = false;
}

}  // namespace host
