#pragma once
// The host side of the no-loss test: where each storage keeps the test's tree on the disk, and what lies
// there now, each file known by a hash of its bytes. Reading never follows a link. One thread.

#include <cstdint>
#include <map>
#include <string>

namespace soak {

// The storages the user's places live on. The share is one storage, reached by two clients.
enum class Storage { kHome, kMedia, kCard, kShare };
constexpr Storage kStorages[] = {Storage::kHome, Storage::kMedia, Storage::kCard, Storage::kShare};
const char* StorageName(Storage storage);

// What one path holds.
struct HostEntry {
    enum Kind { FILE, FOLDER, LINK };
    Kind kind = FILE;
    uint64_t hash = 0;  // of a file's bytes
    uint64_t size = 0;
    std::string target;  // of a link
};

// The trashes that take what the user deletes in the phone's places: their "files" folders are scanned
// with the trees, so that a delete into the trash removes no content, and so are never chosen for steps.
enum class TrashTree { kHomeTrash, kPrivateTrash, kCardTrash };
constexpr TrashTree kTrashTrees[] = {TrashTree::kHomeTrash, TrashTree::kPrivateTrash, TrashTree::kCardTrash};
// The key of a trash's "files" folder: "trash-home", "trash-private", "trash-card".
const char* TrashTreeName(TrashTree trash);

// Every entry of the trees, keyed by "storage/relative/path" in UTF-8 (the tree's own folder is
// "storage"), so that sorted keys list a folder's entries right after it.
using Snapshot = std::map<std::string, HostEntry>;

// A hash of bytes that tells the test's contents apart (FNV-1a over 64 bits, with the length mixed in).
uint64_t HashBytes(const std::string& bytes);
// The hash of a file's bytes; false when it cannot be read.
bool HashFile(const std::string& hostPath, uint64_t* hash, uint64_t* size);

// Whether the name is one of the transfer's temporary names, which never stay once their place is
// reachable.
bool IsTemporaryName(const std::string& name);

// The last part of a key or relative path, and the part before it ("" when there is none).
std::string BaseName(const std::string& path);
std::string ParentOf(const std::string& path);
// A key joined with a name below it.
std::string Join(const std::string& path, const std::string& name);

class HostPlaces {
public:
    // dataRoot is the phone's data root ("Home", "Media", "Storagecard/Media" below it), shareDir the
    // folder behind the share; the tree of each storage is the folder "soak" of its place. The data home
    // (and so the home trash) is DataHome().
    HostPlaces(std::string dataRoot, std::string shareDir) : dataRoot_(dataRoot), shareDir_(shareDir) {}

    // The host folder of a storage's tree.
    std::string Root(Storage storage) const;
    // The data home the session gives the program, inside the data root.
    std::string DataHome() const { return dataRoot_ + "/data"; }
    // The host folder of a trash's items.
    std::string TrashRoot(TrashTree trash) const;
    // The host path of a key.
    std::string HostPath(const std::string& key) const;
    Snapshot Scan() const;

private:
    std::string dataRoot_;
    std::string shareDir_;
};

// A folder's contents as one text (names, kinds, sizes, hashes, link targets), to see that it did not
// change at all.
std::string FolderDigest(const std::string& hostDir);

}  // namespace soak
