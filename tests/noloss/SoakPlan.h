#pragma once
// Chooses the no-loss test's next step from a seed's choices and what lies on the disk now, and keeps
// what the clipboard holds, so that a paste knows which files it should deliver.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "SoakHost.h"
#include "SoakRandom.h"
#include "SoakStep.h"
#include "SoakTrees.h"

namespace soak {

// The faults a run injects; CORVANE_SOAK_ENABLE=no-mounts leaves out those that need a mount.
struct Switches {
    // The faults: the server killed, the card full, a folder read-only, a file that refuses to be read.
    // On by default; the card and the read-only folder need a private mount namespace, and "no-mounts"
    // turns them off; the refused read needs a root without the right to override permissions.
    bool serverFaults = true;
    bool cardFull = true;
    bool readOnly = true;
    bool unreadable = true;

    static Switches FromText(const std::string& names);
};

// What the clipboard holds, as the test knows it.
struct Clip {
    bool filled = false;
    bool cut = false;
    Place place = Place::kMedia;
    std::string folder;
    std::vector<std::string> items;
    // It holds the long file, which a paste takes long enough over for Cancel to meet it.
    bool holdsLongFile = false;
};

class Planner {
public:
    Planner(uint64_t seed, const TreeFacts& facts, Switches switches)
        : random_(seed ^ 0x5eedULL), facts_(facts), switches_(switches) {}

    Step Next(const Snapshot& snapshot);

    // Tells what the step did to the clipboard.
    void Taken(const Step& step, bool reached, bool pasteSucceeded);
    const Clip& GetClip() const { return clip_; }

    // The files a paste of the clipboard delivers, by path below the destination folder, and their
    // hashes. foldCase tells whether the destination folds case.
    std::map<std::string, uint64_t> ClipFiles(const Snapshot& snapshot) const;
    // The keys of the snapshot a paste to destination may replace when the user answers yes: the files
    // there of the clipboard's names, and in a cut the sources whose names only differ in case where the
    // destination does not tell case apart.
    std::vector<std::string> Replaceable(const Snapshot& snapshot, const std::string& destination,
                                         bool foldCase) const;

private:
    // The place that reaches a storage; of the share, either client.
    Place PlaceOf(const std::string& storage);
    std::string PickFolder(const Snapshot& snapshot, Storage storage);
    std::vector<std::string> PickItems(const Snapshot& snapshot, const std::string& folderKey);
    Step Transfer(const Snapshot& snapshot, Step::Kind kind);
    Step Paste(const Snapshot& snapshot);
    // A fault between steps, of a kind the switches allow; a step of no kind when none does.
    Step FaultStep(const Snapshot& snapshot);
    // A restore or a permanent delete of one item of the trash screen; without items when the trashes
    // are empty.
    Step TrashStep(const Snapshot& snapshot);

    Random random_;
    const TreeFacts& facts_;
    Switches switches_;
    Clip clip_;
    bool cardFilled_ = false;
    // The last copy or cut chosen was of the long file.
    bool choseLongFile_ = false;
    // The clipboard was filled by the step just taken.
    bool clipFresh_ = false;
    bool anyReadOnly_ = false;
    bool anyUnreadable_ = false;
    // The last file made to refuse reading, where it was then.
    std::string unreadableKey_;
};

// The key of a place's folder.
std::string FolderKey(Place place, const std::string& folder);
// The keys of the items of that name in the trashes.
std::vector<std::string> TrashKeys(const Snapshot& snapshot, const std::string& name);

}  // namespace soak
