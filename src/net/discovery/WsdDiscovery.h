#pragma once
// Finds computers that announce themselves by WS-Discovery (Windows, and Samba hosts through wsdd): a
// Probe to the link's multicast group, the ProbeMatches read, a Resolve (to the group) for a match that
// gives no transport address, then the metadata exchange over HTTP with each computer for its name and
// workgroup. Only answers that name their own sender as transport address are followed; the numbers of
// datagrams read, devices followed and exchanges at once are bounded, so that a flood cannot hold the
// screen thread or grow memory.
//
// User-interface thread, driven by its socket, timer and fetches. The listener is not owned and hears
// each computer found (after its metadata exchange) and, when sending fails, the end of this way.

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Net/Sockets/Socket.h"
#include "net/discovery/IDiscoveryListener.h"
#include "net/discovery/WsdMessages.h"
#include "net/discovery/WsdMetadataFetch.h"

class WsdDiscovery : public Osp::Net::Sockets::ISocketEventListener,
                     public Osp::Base::Runtime::ITimerEventListener,
                     public IWsdMetadataFetchListener {
public:
    static constexpr int kMaxDatagrams = 512;
    static constexpr std::size_t kMaxDevices = 64;
    static constexpr std::size_t kMaxFetchesAtOnce = 8;
    // The Probe goes out twice: multicast datagrams can be lost.
    static constexpr int kProbeRepeatMs = 1000;

    explicit WsdDiscovery(IDiscoveryListener* listener);
    ~WsdDiscovery() override;
    WsdDiscovery(const WsdDiscovery&) = delete;
    WsdDiscovery& operator=(const WsdDiscovery&) = delete;

    // RES_OK, or why nothing could be sent (the network's result when it is unreachable).
    unsigned long Start();
    void Stop();

    void OnSocketConnected(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketClosed(Osp::Net::Sockets::Socket& socket,
                        Osp::Net::Sockets::NetSocketClosedReason reason) override;
    void OnSocketReadyToReceive(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketReadyToSend(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketAccept(Osp::Net::Sockets::Socket& socket) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;
    void OnMetadataFetched(WsdMetadataFetch& fetch, unsigned long result,
                           const WsdComputer& computer) override;

private:
    struct Device {
        unsigned long sender = 0;
        bool fetched = false;    // its metadata exchange began
        bool resolving = false;  // a Resolve for it went out
    };
    struct PendingFetch {
        unsigned long address;
        unsigned short port;
        std::string path;
        std::string endpoint;
    };

    unsigned long SendToGroup(const std::string& message);
    void OnMatches(const WsdMessage& message, unsigned long sender);
    void Follow(const WsdMatch& match, unsigned long sender);
    void StartFetches();

    // All members belong to the user-interface thread.
    IDiscoveryListener* listener_;
    std::unique_ptr<Osp::Net::Sockets::Socket> socket_;
    Osp::Base::Runtime::Timer timer_;
    std::set<std::string> requestIds_;       // our Probes and Resolves
    std::map<std::string, Device> devices_;  // by endpoint
    std::vector<PendingFetch> waiting_;
    std::vector<std::unique_ptr<WsdMetadataFetch>> fetches_;
    int datagrams_ = 0;
    bool running_ = false;
};
