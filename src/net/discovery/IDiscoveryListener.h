#pragma once
// Hears what one way of finding servers found. Called on the user-interface thread, from inside the
// event loop (never inside Start or Stop); the listener is not owned and outlives the search.

#include "net/discovery/DiscoveredServer.h"

class IDiscoveryListener {
public:
    virtual ~IDiscoveryListener() = default;
    // One answer: the server's address and what the way knows of it; ways holds the one way.
    virtual void OnServerFound(const DiscoveredServer& server) = 0;
    // The way can find nothing more in this search: result is RES_OK, or why it failed.
    virtual void OnDiscoveryEnded(TDiscoveryWay way, unsigned long result) = 0;
};
