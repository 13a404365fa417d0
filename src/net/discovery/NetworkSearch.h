#pragma once
// One search for the servers around the user: WS-Discovery, DNS-SD and the NetBIOS name service at once,
// their answers merged so that a server found several ways is listed once. The search ends by itself
// after kSearchMs, or at once when there is no network to search.
//
// User-interface thread only. The listener is not owned and outlives the search; it hears every change
// of the list and the end, always from the event loop (never inside Start). Servers() stays readable
// after the end until the next Start.

#include <memory>
#include <vector>

#include "Osp/Base/Runtime/Timer.h"
#include "net/discovery/DnsSdDiscovery.h"
#include "net/discovery/IDiscoveryListener.h"
#include "net/discovery/NetBiosDiscovery.h"
#include "net/discovery/ServerMerger.h"
#include "net/discovery/WsdDiscovery.h"

class INetworkSearchListener {
public:
    virtual ~INetworkSearchListener() = default;
    // The server at index of Servers() is new (added) or has learnt more of itself.
    virtual void OnSearchServer(int index, bool added) = 0;
    virtual void OnSearchEnded() = 0;
};

enum TSearchNetwork {
    SEARCH_NETWORK_OK,
    SEARCH_NETWORK_WIFI_OFF,     // the device's Wi-Fi is off or not connected
    SEARCH_NETWORK_UNREACHABLE,  // no local network to send to
};

class NetworkSearch : public IDiscoveryListener, public Osp::Base::Runtime::ITimerEventListener {
public:
    static constexpr int kSearchMs = 4000;

    explicit NetworkSearch(INetworkSearchListener* listener);
    ~NetworkSearch() override;
    NetworkSearch(const NetworkSearch&) = delete;
    NetworkSearch& operator=(const NetworkSearch&) = delete;

    // Starts again from an empty list.
    void Start();
    // Ends the search without a word to the listener.
    void Stop();
    bool IsRunning() const { return running_; }

    const std::vector<DiscoveredServer>& Servers() const { return merger_.Servers(); }
    TSearchNetwork Network() const { return network_; }
    // The local service discovery daemon does not run: DNS-SD finds nothing. Known from the start, or
    // learnt during the search when the daemon goes away.
    bool DnsSdUnavailable() const { return dnsSdUnavailable_; }

    void OnServerFound(const DiscoveredServer& server) override;
    void OnDiscoveryEnded(TDiscoveryWay way, unsigned long result) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;

private:
    // All members belong to the user-interface thread.
    INetworkSearchListener* listener_;
    WsdDiscovery wsd_;
    DnsSdDiscovery dnsSd_;
    NetBiosDiscovery netBios_;
    ServerMerger merger_;
    Osp::Base::Runtime::Timer timer_;
    TSearchNetwork network_ = SEARCH_NETWORK_OK;
    bool dnsSdUnavailable_ = false;
    bool running_ = false;
};
