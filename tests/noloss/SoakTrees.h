#pragma once
// Makes the trees one seed plays on: in every storage, folders a few levels deep (some empty), files from
// 0 bytes to a few MB (and one of 24 MB on the share), names with spaces, names that differ only in case and
// names beyond ASCII; in the local storages links to a file, to a folder of the tree and to a sentinel folder
// outside the storage; and an archive made by the system's 7z. Every file holds bytes no other file of the
// seed holds (those of a few bytes aside), so that a file found anywhere tells which one it is.

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "SoakHost.h"

namespace soak {

struct TreeFacts {
    // The hashes of every file made, the archive's entries included.
    std::set<uint64_t> contents;
    // The archive made, by the hash of its bytes, and its files and folders by path inside it.
    uint64_t archiveHash = 0;
    std::map<std::string, uint64_t> archiveFiles;
    std::set<std::string> archiveFolders;
    // The one long file, by the hash of its bytes.
    uint64_t longHash = 0;
    // The number of files made.
    int files = 0;
};

// The name of the archive in the phone memory's tree.
constexpr const char* kArchiveName = "arc.zip";

// Makes the trees (each storage's tree folder must be missing or empty) and the sentinel folder, whose
// host path links point to. False with the reason in *error when a tool failed.
bool MakeTrees(uint64_t seed, const HostPlaces& places, const std::string& sentinelDir, TreeFacts* facts,
               std::string* error);

}  // namespace soak
