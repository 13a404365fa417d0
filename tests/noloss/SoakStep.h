#pragma once
// One step of the no-loss test, as a user takes it, and its line in a replayable script. A line has the
// fields kind|place|folder|items|name|answers|cancel|fault, items and answers separated by commas; the
// folder is relative to the place's tree folder and may pass through an archive. The test's names never
// hold '|' or ','.

#include <string>
#include <vector>

#include "SoakHost.h"

namespace soak {

// A place as the user reaches it: a storage through the client that serves it.
enum class Place { kHome, kMedia, kCard, kSmb1, kSmb3 };
constexpr Place kPlaces[] = {Place::kHome, Place::kMedia, Place::kCard, Place::kSmb1, Place::kSmb3};
const char* PlaceName(Place place);
Storage StorageOf(Place place);

// The four answers of the overwrite question.
enum class Answer { kYes, kNo, kYesToAll, kNoToAll };

// The faults a step injects.
enum class Fault {
    kNone,
    kServerRestart,  // the server is killed and started again between steps
    kServerKill,     // the server is killed during a paste, and started again once it has ended
    kCardFull,       // the memory card is filled up to its last bytes (a file system of its own)
    kCardFreed,      // what filled it goes
    kReadOnly,       // a folder of the tree becomes read-only (a read-only mount over it)
    kWritable,       // every read-only folder becomes writable again
    kUnreadable,     // a file of the tree refuses to be read (no read permission, which root obeys here)
    kReadable,       // every file that refused to be read can be read again
};

struct Step {
    // RESTORE and ERASE act on the trash screen: items holds the one name in the trash, and a restore's
    // answers its answer to the question about a taken name.
    enum Kind { COPY, CUT, PASTE, RENAME, NEW_FOLDER, DELETE, FAULT, RESTORE, ERASE };
    Kind kind = COPY;
    Place place = Place::kMedia;
    std::string folder;
    std::vector<std::string> items;
    std::string name;             // the new name of a rename or a new folder
    std::vector<Answer> answers;  // a paste's answers, in the order the questions come
    int cancelMs = -1;            // a paste's Cancel, or its fault, that long after it started
    Fault fault = Fault::kNone;   // with FAULT, or a paste's fault

    std::string ToLine() const;
    // False when the line is not one of ToLine's.
    static bool Parse(const std::string& line, Step* step);
};

}  // namespace soak
