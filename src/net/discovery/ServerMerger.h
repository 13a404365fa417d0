#pragma once
// The servers a search found, each once: answers with the same address are one server, whichever ways
// they came. A name found by the NetBIOS name service or WS-Discovery (the computer name a network
// folder needs) wins over a DNS-SD host name; the first workgroup told stays. The list is bounded: a
// flood of answers cannot grow it past kMaxServers.
//
// Plain object; user-interface thread.

#include <vector>

#include "net/discovery/DiscoveredServer.h"

class ServerMerger {
public:
    static constexpr size_t kMaxServers = 128;

    // The position of the server the answer was merged into, or -1 when the list is full or the answer
    // names no address. *added tells whether that server is new.
    int Add(const DiscoveredServer& answer, bool* added);
    const std::vector<DiscoveredServer>& Servers() const { return servers_; }
    void Clear();

private:
    std::vector<DiscoveredServer> servers_;
    std::vector<int> nameRanks_;  // by position: how trusted the name's way is
};
