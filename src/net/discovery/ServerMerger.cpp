#include "net/discovery/ServerMerger.h"

namespace {

// A computer name as the SMB client needs it comes from the name service or WS-Discovery; a DNS-SD host
// name serves only where nothing better is known.
int NameRank(unsigned int ways) {
    if ((ways & DISCOVERY_NETBIOS) != 0) {
        return 3;
    }
    if ((ways & DISCOVERY_WSD) != 0) {
        return 2;
    }
    return 1;
}

}  // namespace

int ServerMerger::Add(const DiscoveredServer& answer, bool* added) {
    *added = false;
    if (answer.address == 0) {
        return -1;
    }
    const int rank = answer.name.empty() ? 0 : NameRank(answer.ways);
    for (size_t i = 0; i < servers_.size(); ++i) {
        DiscoveredServer& known = servers_[i];
        if (known.address != answer.address) {
            continue;
        }
        known.ways |= answer.ways;
        if (rank > nameRanks_[i]) {
            known.name = answer.name;
            nameRanks_[i] = rank;
        }
        if (known.workgroup.empty()) {
            known.workgroup = answer.workgroup;
        }
        return static_cast<int>(i);
    }
    if (servers_.size() >= kMaxServers) {
        return -1;
    }
    servers_.push_back(answer);
    nameRanks_.push_back(rank);
    *added = true;
    return static_cast<int>(servers_.size() - 1);
}

void ServerMerger::Clear() {
    servers_.clear();
    nameRanks_.clear();
}
