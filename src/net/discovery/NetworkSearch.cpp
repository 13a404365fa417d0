#include "net/discovery/NetworkSearch.h"

#include "Osp/Net/Wifi/WifiManager.h"
#include "app/Results.h"

NetworkSearch::NetworkSearch(INetworkSearchListener* listener)
    : listener_(listener), wsd_(this), dnsSd_(this), netBios_(this) {
    timer_.Construct(*this);
}

NetworkSearch::~NetworkSearch() {
    Stop();
}

void NetworkSearch::Start() {
    Stop();
    merger_.Clear();
    network_ = SEARCH_NETWORK_OK;
    dnsSdUnavailable_ = false;
    running_ = true;
    if (!Osp::Net::Wifi::WifiManager().IsConnected()) {
        network_ = SEARCH_NETWORK_WIFI_OFF;
        timer_.Start(0);  // the end reaches the listener from the event loop
        return;
    }
    const unsigned long wsd = wsd_.Start();
    const unsigned long netBios = netBios_.Start();
    // Both sends fail alike when there is no route to any local network; one alone is some other fault
    // of that way, and the other ways go on.
    if (wsd != RES_OK && netBios != RES_OK) {
        network_ = SEARCH_NETWORK_UNREACHABLE;
        Stop();
        running_ = true;
        timer_.Start(0);
        return;
    }
    dnsSdUnavailable_ = dnsSd_.Start() == Osp::Net::E_SERVICE_UNAVAILABLE;
    timer_.Start(kSearchMs);
}

void NetworkSearch::Stop() {
    running_ = false;
    timer_.Cancel();
    wsd_.Stop();
    dnsSd_.Stop();
    netBios_.Stop();
}

void NetworkSearch::OnServerFound(const DiscoveredServer& server) {
    if (!running_) {
        return;
    }
    bool added = false;
    const int index = merger_.Add(server, &added);
    if (index >= 0) {
        listener_->OnSearchServer(index, added);
    }
}

void NetworkSearch::OnDiscoveryEnded(TDiscoveryWay way, unsigned long result) {
    if (running_ && way == DISCOVERY_DNSSD && result == Osp::Net::E_SERVICE_UNAVAILABLE) {
        dnsSdUnavailable_ = true;
    }
}

void NetworkSearch::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    if (!running_) {
        return;
    }
    Stop();
    listener_->OnSearchEnded();
}
