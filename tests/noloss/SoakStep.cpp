#include "SoakStep.h"

#include <array>
#include <sstream>

namespace soak {

namespace {

constexpr std::array<const char*, 9> kKinds = {"copy",  "cut",   "paste",   "rename", "mkdir",
                                               "delete", "fault", "restore", "erase"};
constexpr std::array<const char*, 4> kAnswers = {"Y", "N", "YA", "NA"};
constexpr std::array<const char*, 9> kFaults = {"",          "server-restart", "server-kill",
                                                "card-full", "card-free",      "read-only",
                                                "writable",  "unreadable",     "readable"};

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) {
        parts.push_back(part);
    }
    if (!text.empty() && text.back() == separator) {
        parts.emplace_back();
    }
    return parts;
}

std::string JoinAll(const std::vector<std::string>& parts, char separator) {
    std::string text;
    for (size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : std::string(1, separator)) + parts[i];
    }
    return text;
}

template <typename Array>
int IndexIn(const Array& names, const std::string& name) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (name == names[i]) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

const char* PlaceName(Place place) {
    switch (place) {
        case Place::kHome:
            return "home";
        case Place::kMedia:
            return "media";
        case Place::kCard:
            return "card";
        case Place::kSmb1:
            return "smb1";
        case Place::kSmb3:
            return "smb3";
    }
    return "?";
}

Storage StorageOf(Place place) {
    switch (place) {
        case Place::kHome:
            return Storage::kHome;
        case Place::kMedia:
            return Storage::kMedia;
        case Place::kCard:
            return Storage::kCard;
        case Place::kSmb1:
        case Place::kSmb3:
            return Storage::kShare;
    }
    return Storage::kHome;
}

std::string Step::ToLine() const {
    std::vector<std::string> answerNames;
    for (Answer answer : answers) {
        answerNames.push_back(kAnswers[static_cast<size_t>(answer)]);
    }
    return std::string(kKinds[kind]) + "|" + PlaceName(place) + "|" + folder + "|" + JoinAll(items, ',') +
           "|" + name + "|" + JoinAll(answerNames, ',') + "|" + std::to_string(cancelMs) + "|" +
           kFaults[static_cast<size_t>(fault)];
}

bool Step::Parse(const std::string& line, Step* step) {
    const std::vector<std::string> fields = Split(line, '|');
    if (fields.size() != 8) {
        return false;
    }
    const int kind = IndexIn(kKinds, fields[0]);
    int place = -1;
    for (Place p : kPlaces) {
        if (fields[1] == PlaceName(p)) {
            place = static_cast<int>(p);
        }
    }
    const int fault = IndexIn(kFaults, fields[7]);
    if (kind < 0 || place < 0 || fault < 0) {
        return false;
    }
    Step parsed;
    parsed.kind = static_cast<Kind>(kind);
    parsed.place = static_cast<Place>(place);
    parsed.folder = fields[2];
    parsed.items = fields[3].empty() ? std::vector<std::string>{} : Split(fields[3], ',');
    parsed.name = fields[4];
    for (const std::string& answer : fields[5].empty() ? std::vector<std::string>{} : Split(fields[5], ',')) {
        const int index = IndexIn(kAnswers, answer);
        if (index < 0) {
            return false;
        }
        parsed.answers.push_back(static_cast<Answer>(index));
    }
    try {
        parsed.cancelMs = std::stoi(fields[6]);
    } catch (...) {
        return false;
    }
    parsed.fault = static_cast<Fault>(fault);
    *step = parsed;
    return true;
}

}  // namespace soak
