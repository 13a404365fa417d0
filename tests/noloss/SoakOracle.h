#pragma once
// What must hold after every step of the no-loss test, read from the disk:
// - every content some file held exists at least once, identical, unless the user removed every file
//   holding it (a delete, or a replace the user answered yes to);
// - no file holds bytes that no file of the seed ever held (nothing partial under a final name);
// - the sentinel folder outside the storages is untouched;
// - no temporary file remains in a place that is reachable;
// - a paste that reported success delivered every file of its clipboard.
// One thread; findings are sentences for the report.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "SoakHost.h"
#include "SoakTrees.h"

namespace soak {

class Oracle {
public:
    Oracle(const HostPlaces& places, std::string sentinelDir, const TreeFacts& facts);

    // The state before the first step: every content present is owed from now on.
    void Start();
    const Snapshot& Last() const { return last_; }

    // Before a step: entries the step may remove by the user's will (with everything below them).
    void MayRemove(const std::string& key) { removable_.insert(key); }

    // After a step: reads the trees again and returns the findings. The share's temporary files are
    // forgiven while the share is unreachable.
    std::vector<std::string> Check(bool shareReachable);

    // After a paste that reported success: every file of the source (path below the clipboard's folder and
    // hash) is at the destination folder, with the source's bytes or, where a file was there before the
    // paste, with either. Compares names without case where the destination does not tell case apart.
    std::vector<std::string> CheckArrived(const std::map<std::string, uint64_t>& sources,
                                          const std::string& destination, bool foldCase) const;

    // The temporary files the share holds now stay forgiven: they were left while the server was down,
    // when nobody could remove them.
    void ForgiveShareTemporaries();

    // The number of files whose bytes were compared so far.
    uint64_t FilesChecked() const { return filesChecked_; }

private:
    bool IsRemovable(const std::string& key) const;

    const HostPlaces& places_;
    std::string sentinelDir_;
    std::string sentinelDigest_;
    std::set<uint64_t> known_;
    std::set<uint64_t> owed_;
    std::set<std::string> removable_;
    std::set<std::string> forgiven_;
    Snapshot before_;
    Snapshot last_;
    uint64_t filesChecked_ = 0;
};

}  // namespace soak
