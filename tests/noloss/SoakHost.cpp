#include "SoakHost.h"

#include "SoakPermissions.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

namespace soak {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr uint64_t kFnvPrime = 0x100000001b3ULL;

uint64_t Mix(uint64_t hash, const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= kFnvPrime;
    }
    return hash;
}

uint64_t Finish(uint64_t hash, uint64_t size) {
    return Mix(hash, reinterpret_cast<const char*>(&size), sizeof size);
}

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path FromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// Adds the entries below hostDir, keyed below key; links are recorded and never entered.
void ScanInto(const fs::path& hostDir, const std::string& key, Snapshot* snapshot) {
    std::error_code error;
    for (fs::directory_iterator it(hostDir, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        const std::string child = Join(key, Utf8(path.filename()));
        HostEntry entry;
        const fs::file_status status = fs::symlink_status(path, error);
        if (error) {
            continue;
        }
        if (fs::is_symlink(status)) {
            entry.kind = HostEntry::LINK;
            entry.target = Utf8(fs::read_symlink(path, error));
        } else if (fs::is_directory(status)) {
            entry.kind = HostEntry::FOLDER;
            ScanInto(path, child, snapshot);
        } else {
            entry.kind = HostEntry::FILE;
            HashFile(Utf8(path), &entry.hash, &entry.size);
        }
        (*snapshot)[child] = entry;
    }
}

}  // namespace

const char* StorageName(Storage storage) {
    switch (storage) {
        case Storage::kHome:
            return "home";
        case Storage::kMedia:
            return "media";
        case Storage::kCard:
            return "card";
        case Storage::kShare:
            return "share";
    }
    return "?";
}

const char* TrashTreeName(TrashTree trash) {
    switch (trash) {
        case TrashTree::kHomeTrash:
            return "trash-home";
        case TrashTree::kPrivateTrash:
            return "trash-private";
        case TrashTree::kCardTrash:
            return "trash-card";
    }
    return "?";
}

uint64_t HashBytes(const std::string& bytes) {
    return Finish(Mix(kFnvOffset, bytes.data(), bytes.size()), bytes.size());
}

bool HashFile(const std::string& hostPath, uint64_t* hash, uint64_t* size) {
    // The oracle reads also the files that refuse the program.
    std::ifstream in;
    {
        const PermissionsOverridden asRoot;
        in.open(FromUtf8(hostPath), std::ios::binary);
    }
    if (!in) {
        return false;
    }
    uint64_t h = kFnvOffset;
    uint64_t total = 0;
    char buffer[1 << 16];
    while (in) {
        in.read(buffer, sizeof buffer);
        const auto got = static_cast<size_t>(in.gcount());
        h = Mix(h, buffer, got);
        total += got;
    }
    *hash = Finish(h, total);
    *size = total;
    return true;
}

bool IsTemporaryName(const std::string& name) {
    return name.rfind(".corvane-", 0) == 0;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string Join(const std::string& path, const std::string& name) {
    return path.empty() ? name : name.empty() ? path : path + "/" + name;
}

std::string HostPlaces::Root(Storage storage) const {
    switch (storage) {
        case Storage::kHome:
            return dataRoot_ + "/Home/soak";
        case Storage::kMedia:
            return dataRoot_ + "/Media/soak";
        case Storage::kCard:
            return dataRoot_ + "/Storagecard/Media/soak";
        case Storage::kShare:
            return shareDir_ + "/soak";
    }
    return "";
}

std::string HostPlaces::TrashRoot(TrashTree trash) const {
    switch (trash) {
        case TrashTree::kHomeTrash:
            return DataHome() + "/Trash/files";
        case TrashTree::kPrivateTrash:
            return dataRoot_ + "/Home/.Trash/files";
        case TrashTree::kCardTrash:
            // There only while the card is a file system of its own; else the card uses the home trash.
            return dataRoot_ + "/Storagecard/Media/.Trash-" + std::to_string(::getuid()) + "/files";
    }
    return "";
}

std::string HostPlaces::HostPath(const std::string& key) const {
    const size_t slash = key.find('/');
    const std::string storage = key.substr(0, slash);
    for (Storage s : kStorages) {
        if (storage == StorageName(s)) {
            return slash == std::string::npos ? Root(s) : Root(s) + key.substr(slash);
        }
    }
    for (TrashTree t : kTrashTrees) {
        if (storage == TrashTreeName(t)) {
            return slash == std::string::npos ? TrashRoot(t) : TrashRoot(t) + key.substr(slash);
        }
    }
    return "";
}

Snapshot HostPlaces::Scan() const {
    Snapshot snapshot;
    for (Storage storage : kStorages) {
        HostEntry root;
        root.kind = HostEntry::FOLDER;
        snapshot[StorageName(storage)] = root;
        ScanInto(FromUtf8(Root(storage)), StorageName(storage), &snapshot);
    }
    for (TrashTree trash : kTrashTrees) {
        ScanInto(FromUtf8(TrashRoot(trash)), TrashTreeName(trash), &snapshot);
    }
    return snapshot;
}

std::string FolderDigest(const std::string& hostDir) {
    Snapshot snapshot;
    ScanInto(FromUtf8(hostDir), "", &snapshot);
    std::string digest;
    for (const auto& [key, entry] : snapshot) {
        digest += key + " " + std::to_string(entry.kind) + " " + std::to_string(entry.size) + " " +
                  std::to_string(entry.hash) + " " + entry.target + "\n";
    }
    return digest;
}

}  // namespace soak
