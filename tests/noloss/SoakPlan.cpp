#include "SoakPlan.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace soak {

namespace {

const std::vector<std::string> kNewFileNames = {"renamed.txt",  "Report.txt",  "a.txt", "Ünïcode.txt",
                                                "new name.bin", "photo 1.jpg", "A.TXT"};
const std::vector<std::string> kNewFolderNames = {"New Folder", "docs",   "Docs",
                                                  "Ordner ä",   "新しい", "empty"};

bool IsBelow(const std::string& key, const std::string& folder) {
    return key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
           key[folder.size()] == '/';
}

std::string FoldAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The archive's own part of a folder path: what follows the archive's name ("" for its root), or
// nothing when the path does not pass through an archive.
bool ArchivePart(const std::string& folder, std::string* inside) {
    const std::string marker = std::string(kArchiveName);
    size_t at = folder.find(marker);
    while (at != std::string::npos) {
        const size_t end = at + marker.size();
        if ((at == 0 || folder[at - 1] == '/') && (end == folder.size() || folder[end] == '/')) {
            *inside = end == folder.size() ? "" : folder.substr(end + 1);
            return true;
        }
        at = folder.find(marker, end);
    }
    return false;
}

}  // namespace

Switches Switches::FromText(const std::string& names) {
    Switches switches;
    std::istringstream in(names);
    std::string name;
    while (std::getline(in, name, ',')) {
        if (name == "no-mounts") {
            switches.cardFull = false;
            switches.readOnly = false;
        }
    }
    return switches;
}

std::string FolderKey(Place place, const std::string& folder) {
    return Join(StorageName(StorageOf(place)), folder);
}

std::vector<std::string> TrashKeys(const Snapshot& snapshot, const std::string& name) {
    std::vector<std::string> keys;
    for (TrashTree trash : kTrashTrees) {
        const std::string key = Join(TrashTreeName(trash), name);
        if (snapshot.count(key) != 0) {
            keys.push_back(key);
        }
    }
    return keys;
}

std::string Planner::PickFolder(const Snapshot& snapshot, Storage storage) {
    const std::string root = StorageName(storage);
    std::vector<std::string> folders;
    for (const auto& [key, entry] : snapshot) {
        if (entry.kind == HostEntry::FOLDER && (key == root || IsBelow(key, root))) {
            folders.push_back(key);
        }
    }
    const std::string key = folders.empty() ? root : random_.Pick(folders);
    return key == root ? "" : key.substr(root.size() + 1);
}

std::vector<std::string> Planner::PickItems(const Snapshot& snapshot, const std::string& folderKey) {
    std::vector<std::string> names;
    for (auto it = snapshot.upper_bound(folderKey); it != snapshot.end() && IsBelow(it->first, folderKey);
         ++it) {
        const std::string name = it->first.substr(folderKey.size() + 1);
        if (name.find('/') != std::string::npos || name[0] == '.') {
            continue;
        }
        names.push_back(name);
    }
    std::vector<std::string> items;
    const size_t wanted = 1 + random_.Below(3);
    for (size_t i = 0; i < wanted && !names.empty(); ++i) {
        const size_t at = random_.Below(names.size());
        items.push_back(names[at]);
        names.erase(names.begin() + static_cast<long>(at));
    }
    return items;
}

Place Planner::PlaceOf(const std::string& storage) {
    if (storage == StorageName(Storage::kShare)) {
        return random_.Chance(50) ? Place::kSmb1 : Place::kSmb3;
    }
    for (Place place : kPlaces) {
        if (storage == StorageName(StorageOf(place))) {
            return place;
        }
    }
    return Place::kMedia;
}

Step Planner::Transfer(const Snapshot& snapshot, Step::Kind kind) {
    Step step;
    step.kind = kind;
    step.place = random_.Pick(std::vector<Place>(std::begin(kPlaces), std::end(kPlaces)));
    choseLongFile_ = false;
    // Often the file that refuses to be read, if it still lies where it was made so, with the folder's
    // other items, so that the job meets the refusal among files it did deliver.
    const auto unreadable = snapshot.find(unreadableKey_);
    if (unreadable != snapshot.end() && unreadable->second.kind == HostEntry::FILE && random_.Chance(40)) {
        const std::string storage = unreadableKey_.substr(0, unreadableKey_.find('/'));
        step.place = PlaceOf(storage);
        step.folder = ParentOf(unreadableKey_.substr(storage.size() + 1));
        step.items = PickItems(snapshot, FolderKey(step.place, step.folder));
        if (std::find(step.items.begin(), step.items.end(), BaseName(unreadableKey_)) == step.items.end()) {
            step.items.push_back(BaseName(unreadableKey_));
        }
        return step;
    }
    // Now and then the long file, wherever it lies now, so that a paste runs long enough to be cancelled.
    if (random_.Chance(12)) {
        std::vector<std::string> copies;
        for (const auto& [key, entry] : snapshot) {
            if (entry.kind == HostEntry::FILE && entry.hash == facts_.longHash) {
                copies.push_back(key);
            }
        }
        if (!copies.empty()) {
            const std::string key = random_.Pick(copies);
            const std::string storage = key.substr(0, key.find('/'));
            step.place = PlaceOf(storage);
            step.folder = ParentOf(key.substr(storage.size() + 1));
            step.items = {BaseName(key)};
            choseLongFile_ = true;
            return step;
        }
    }
    // Now and then the archive is the source, wherever it lies now.
    if (kind == Step::COPY && random_.Chance(25)) {
        std::vector<std::string> archives;
        for (const auto& [key, entry] : snapshot) {
            // Only a name the folder list opens as an archive.
            const std::string name = BaseName(key);
            if (entry.kind == HostEntry::FILE && entry.hash == facts_.archiveHash && name.size() > 4 &&
                name.compare(name.size() - 4, 4, ".zip") == 0) {
                archives.push_back(key);
            }
        }
        if (!archives.empty()) {
            const std::string key = random_.Pick(archives);
            const std::string storage = key.substr(0, key.find('/'));
            step.place = PlaceOf(storage);
            step.folder = key.substr(storage.size() + 1);
            std::vector<std::string> top = {"top.txt", "inside", "Ünïcode name.txt", "empty dir"};
            const size_t count = 1 + random_.Below(3);
            for (size_t i = 0; i < count; ++i) {
                const std::string item = random_.Pick(top);
                if (std::find(step.items.begin(), step.items.end(), item) == step.items.end()) {
                    step.items.push_back(item);
                }
            }
            return step;
        }
    }
    step.folder = PickFolder(snapshot, StorageOf(step.place));
    step.items = PickItems(snapshot, FolderKey(step.place, step.folder));
    return step;
}

Step Planner::Paste(const Snapshot& snapshot) {
    Step step;
    step.kind = Step::PASTE;
    // The transfer dialog shows at once for the media folders, so that Cancel can meet the long file there.
    const std::vector<Place> places = clip_.holdsLongFile && random_.Chance(60)
                                          ? std::vector<Place>{Place::kMedia, Place::kCard}
                                          : std::vector<Place>(std::begin(kPlaces), std::end(kPlaces));
    step.place = random_.Pick(places);
    step.folder = PickFolder(snapshot, StorageOf(step.place));
    const size_t answers = 1 + random_.Below(4);
    for (size_t i = 0; i < answers; ++i) {
        step.answers.push_back(static_cast<Answer>(random_.Below(4)));
    }
    // Most pastes end within a few hundred milliseconds: Cancel and the fault come early, mostly.
    auto moment = [&] {
        return static_cast<int>(random_.Chance(70) ? random_.Between(0, 200) : random_.Between(0, 1500));
    };
    if (random_.Chance(clip_.holdsLongFile ? 50 : 20)) {
        step.cancelMs = moment();
    } else if (switches_.serverFaults &&
               (StorageOf(step.place) == Storage::kShare || StorageOf(clip_.place) == Storage::kShare) &&
               random_.Chance(25)) {
        step.fault = Fault::kServerKill;
        step.cancelMs = moment();
    }
    return step;
}

Step Planner::FaultStep(const Snapshot& snapshot) {
    std::vector<Fault> kinds;
    if (switches_.serverFaults) {
        kinds.push_back(Fault::kServerRestart);
    }
    if (switches_.cardFull) {
        kinds.push_back(cardFilled_ ? Fault::kCardFreed : Fault::kCardFull);
    }
    if (switches_.readOnly) {
        kinds.push_back(Fault::kReadOnly);
        if (anyReadOnly_) {
            kinds.push_back(Fault::kWritable);
        }
    }
    if (switches_.unreadable) {
        kinds.push_back(Fault::kUnreadable);
        if (anyUnreadable_) {
            kinds.push_back(Fault::kReadable);
        }
    }
    Step step;
    step.kind = Step::FAULT;
    if (kinds.empty()) {
        return step;
    }
    step.fault = random_.Pick(kinds);
    if (step.fault == Fault::kReadOnly || step.fault == Fault::kUnreadable) {
        step.place = random_.Pick(std::vector<Place>(std::begin(kPlaces), std::end(kPlaces)));
        step.folder = PickFolder(snapshot, StorageOf(step.place));
    }
    if (step.fault == Fault::kUnreadable) {
        // One of the folder's files; the step injects nothing in a folder without one.
        const std::string folderKey = FolderKey(step.place, step.folder);
        for (const std::string& name : PickItems(snapshot, folderKey)) {
            const auto entry = snapshot.find(Join(folderKey, name));
            if (entry != snapshot.end() && entry->second.kind == HostEntry::FILE) {
                step.items = {name};
                break;
            }
        }
    }
    return step;
}

Step Planner::Next(const Snapshot& snapshot) {
    if (random_.Chance(8)) {
        const Step step = FaultStep(snapshot);
        if (step.fault != Fault::kNone) {
            return step;
        }
    }
    const uint64_t roll = random_.Below(100);
    // A user pastes mostly right after copying.
    if (clip_.filled && (roll < 30 || (clipFresh_ && random_.Chance(50)))) {
        clipFresh_ = false;
        return Paste(snapshot);
    }
    clipFresh_ = false;
    if (roll < 65) {
        const Step step = Transfer(snapshot, roll < 50 ? Step::COPY : Step::CUT);
        if (!step.items.empty()) {
            return step;
        }
    }
    Step step;
    step.place = random_.Pick(std::vector<Place>(std::begin(kPlaces), std::end(kPlaces)));
    step.folder = PickFolder(snapshot, StorageOf(step.place));
    const std::string folderKey = FolderKey(step.place, step.folder);
    if (roll < 77) {
        step.kind = Step::RENAME;
        step.items = PickItems(snapshot, folderKey);
        step.items.resize(std::min<size_t>(step.items.size(), 1));
        const bool folder = !step.items.empty() && snapshot.count(Join(folderKey, step.items[0])) != 0 &&
                            snapshot.at(Join(folderKey, step.items[0])).kind == HostEntry::FOLDER;
        step.name = random_.Pick(folder ? kNewFolderNames : kNewFileNames);
    } else if (roll < 87) {
        // Of the local storages only the private files let the user make folders.
        if (step.place == Place::kMedia || step.place == Place::kCard) {
            step.place = Place::kHome;
            step.folder = PickFolder(snapshot, Storage::kHome);
        }
        step.kind = Step::NEW_FOLDER;
        step.name = random_.Pick(kNewFolderNames);
    } else {
        if (random_.Chance(40)) {
            const Step trashStep = TrashStep(snapshot);
            if (!trashStep.items.empty()) {
                return trashStep;
            }
        }
        step.kind = Step::DELETE;
        step.items = PickItems(snapshot, folderKey);
        step.items.resize(std::min<size_t>(step.items.size(), 2));
    }
    return step;
}

Step Planner::TrashStep(const Snapshot& snapshot) {
    std::vector<std::string> names;
    for (TrashTree trash : kTrashTrees) {
        const std::string root = TrashTreeName(trash);
        for (auto it = snapshot.upper_bound(root); it != snapshot.end() && IsBelow(it->first, root); ++it) {
            const std::string name = it->first.substr(root.size() + 1);
            if (name.find('/') == std::string::npos) {
                names.push_back(name);
            }
        }
    }
    Step step;
    if (names.empty()) {
        return step;
    }
    step.kind = random_.Chance(65) ? Step::RESTORE : Step::ERASE;
    step.items = {random_.Pick(names)};
    if (step.kind == Step::RESTORE) {
        step.answers = {random_.Chance(50) ? Answer::kYes : Answer::kNo};
    }
    return step;
}

void Planner::Taken(const Step& step, bool reached, bool pasteSucceeded) {
    if (step.kind == Step::FAULT && reached) {
        cardFilled_ = step.fault == Fault::kCardFull || (cardFilled_ && step.fault != Fault::kCardFreed);
        anyReadOnly_ = step.fault == Fault::kReadOnly || (anyReadOnly_ && step.fault != Fault::kWritable);
        anyUnreadable_ =
            step.fault == Fault::kUnreadable || (anyUnreadable_ && step.fault != Fault::kReadable);
        if (step.fault == Fault::kUnreadable) {
            unreadableKey_ = Join(FolderKey(step.place, step.folder), step.items.at(0));
        }
    }
    if ((step.kind == Step::COPY || step.kind == Step::CUT) && reached) {
        clip_.filled = true;
        clip_.cut = step.kind == Step::CUT;
        clip_.place = step.place;
        clip_.folder = step.folder;
        clip_.items = step.items;
        clip_.holdsLongFile = choseLongFile_;
        clipFresh_ = true;
    }
    if (step.kind == Step::PASTE && pasteSucceeded && clip_.cut) {
        clip_ = Clip();
    }
}

std::map<std::string, uint64_t> Planner::ClipFiles(const Snapshot& snapshot) const {
    std::map<std::string, uint64_t> files;
    std::string inside;
    if (ArchivePart(clip_.folder, &inside)) {
        for (const std::string& item : clip_.items) {
            const std::string path = Join(inside, item);
            for (const auto& [name, hash] : facts_.archiveFiles) {
                if (name == path || IsBelow(name, path)) {
                    files[name.substr(inside.empty() ? 0 : inside.size() + 1)] = hash;
                }
            }
        }
        return files;
    }
    const std::string folderKey = FolderKey(clip_.place, clip_.folder);
    for (const std::string& item : clip_.items) {
        const std::string key = Join(folderKey, item);
        for (auto it = snapshot.lower_bound(key);
             it != snapshot.end() && (it->first == key || IsBelow(it->first, key)); ++it) {
            if (it->second.kind == HostEntry::FILE && !IsTemporaryName(BaseName(it->first))) {
                files[it->first.substr(folderKey.size() + 1)] = it->second.hash;
            }
        }
    }
    return files;
}

std::vector<std::string> Planner::Replaceable(const Snapshot& snapshot, const std::string& destination,
                                              bool foldCase) const {
    auto fold = [&](const std::string& text) { return foldCase ? FoldAscii(text) : text; };
    std::map<std::string, std::vector<std::string>> sourcesAt;
    const std::string folderKey = FolderKey(clip_.place, clip_.folder);
    for (const auto& [path, hash] : ClipFiles(snapshot)) {
        sourcesAt[fold(path)].push_back(Join(folderKey, path));
    }
    std::set<std::string> sourceKeys;
    for (const auto& [path, sources] : sourcesAt) {
        for (const std::string& source : sources) {
            sourceKeys.insert(fold(source));
        }
    }
    std::vector<std::string> keys;
    for (const auto& [key, entry] : snapshot) {
        // A file is never its own old version: replacing a file by itself removes nothing by the user's will.
        if (entry.kind == HostEntry::FILE && IsBelow(key, destination) && sourceKeys.count(fold(key)) == 0 &&
            sourcesAt.count(fold(key.substr(destination.size() + 1))) != 0) {
            keys.push_back(key);
        }
    }
    if (clip_.cut) {
        for (const auto& [path, sources] : sourcesAt) {
            if (sources.size() > 1) {
                keys.insert(keys.end(), sources.begin(), sources.end());
            }
        }
    }
    return keys;
}

}  // namespace soak
