#include "SoakOracle.h"

#include <algorithm>
#include <cctype>
#include <iomanip>
#include <sstream>

namespace soak {

namespace {

std::string Hex(uint64_t hash) {
    std::ostringstream text;
    text << std::hex << std::setw(16) << std::setfill('0') << hash;
    return text.str();
}

std::string FoldAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool IsBelow(const std::string& key, const std::string& folder) {
    return key == folder || (key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
                             key[folder.size()] == '/');
}

}  // namespace

Oracle::Oracle(const HostPlaces& places, std::string sentinelDir, const TreeFacts& facts)
    : places_(places), sentinelDir_(std::move(sentinelDir)), known_(facts.contents) {}

void Oracle::Start() {
    sentinelDigest_ = FolderDigest(sentinelDir_);
    last_ = places_.Scan();
    owed_.clear();
    for (const auto& [key, entry] : last_) {
        if (entry.kind == HostEntry::FILE) {
            owed_.insert(entry.hash);
        }
    }
}

bool Oracle::IsRemovable(const std::string& key) const {
    return std::any_of(removable_.begin(), removable_.end(),
                       [&](const std::string& folder) { return IsBelow(key, folder); });
}

std::vector<std::string> Oracle::Check(bool shareReachable) {
    std::vector<std::string> findings;
    before_ = last_;
    last_ = places_.Scan();

    // A content goes off the list only when the user removed every file that held it.
    std::map<uint64_t, bool> allRemovable;
    for (const auto& [key, entry] : before_) {
        if (entry.kind == HostEntry::FILE) {
            auto [it, added] = allRemovable.emplace(entry.hash, true);
            it->second = it->second && IsRemovable(key);
        }
    }
    removable_.clear();
    for (const auto& [hash, removable] : allRemovable) {
        if (removable) {
            owed_.erase(hash);
        }
    }

    std::set<uint64_t> present;
    for (const auto& [key, entry] : last_) {
        if (entry.kind != HostEntry::FILE) {
            continue;
        }
        if (IsTemporaryName(BaseName(key))) {
            if ((shareReachable || key.rfind("share/", 0) != 0) && forgiven_.count(key) == 0) {
                findings.push_back("a temporary file stays in a reachable place: " + key);
            }
            continue;
        }
        ++filesChecked_;
        present.insert(entry.hash);
        if (known_.count(entry.hash) == 0) {
            findings.push_back("bytes no file ever held (partial or mixed) at " + key + " (" +
                               std::to_string(entry.size) + " bytes)");
        }
    }
    for (uint64_t hash : owed_) {
        if (present.count(hash) == 0) {
            std::string holders;
            for (const auto& [key, entry] : before_) {
                if (entry.kind == HostEntry::FILE && entry.hash == hash) {
                    holders += " " + key + " (" + std::to_string(entry.size) + " bytes)";
                }
            }
            findings.push_back("lost the content " + Hex(hash) + ", held before the step by" + holders);
        }
    }
    for (uint64_t hash : present) {
        if (known_.count(hash) != 0) {
            owed_.insert(hash);
        }
    }
    if (FolderDigest(sentinelDir_) != sentinelDigest_) {
        findings.push_back("the sentinel folder outside the storages changed");
    }
    return findings;
}

void Oracle::ForgiveShareTemporaries() {
    for (const auto& [key, entry] : last_) {
        if (key.rfind("share/", 0) == 0 && IsTemporaryName(BaseName(key))) {
            forgiven_.insert(key);
        }
    }
}

std::vector<std::string> Oracle::CheckArrived(const std::map<std::string, uint64_t>& sources,
                                              const std::string& destination, bool foldCase) const {
    auto fold = [&](const std::string& text) { return foldCase ? FoldAscii(text) : text; };
    // What each destination path may hold: any source that lands there, or what was there before.
    std::map<std::string, std::set<uint64_t>> allowed;
    for (const auto& [path, hash] : sources) {
        allowed[fold(Join(destination, path))].insert(hash);
    }
    for (const auto& [key, entry] : before_) {
        auto it = allowed.find(fold(key));
        if (it != allowed.end() && entry.kind == HostEntry::FILE) {
            it->second.insert(entry.hash);
        }
    }
    std::map<std::string, const HostEntry*> after;
    for (const auto& [key, entry] : last_) {
        if (IsBelow(key, destination)) {
            after[fold(key)] = &entry;
        }
    }
    // An item that was not a file (a link a "No" kept) may stay as it was.
    std::map<std::string, const HostEntry*> keptItems;
    for (const auto& [key, entry] : before_) {
        if (entry.kind != HostEntry::FILE && allowed.count(fold(key)) != 0) {
            keptItems[fold(key)] = &entry;
        }
    }
    std::vector<std::string> findings;
    for (const auto& [path, hashes] : allowed) {
        auto it = after.find(path);
        auto kept = keptItems.find(path);
        if (it != after.end() && kept != keptItems.end() && it->second->kind == kept->second->kind &&
            it->second->target == kept->second->target) {
            continue;
        }
        if (it == after.end() || it->second->kind != HostEntry::FILE) {
            findings.push_back("the paste reported success but " + path + " did not arrive");
        } else if (hashes.count(it->second->hash) == 0) {
            findings.push_back("the paste reported success but " + path + " holds other bytes");
        }
    }
    return findings;
}

}  // namespace soak
