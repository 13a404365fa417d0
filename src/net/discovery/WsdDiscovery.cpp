#include "net/discovery/WsdDiscovery.h"

#include <algorithm>

#include "app/Results.h"
#include "net/discovery/WsdRequests.h"

namespace {

using namespace Osp::Net::Sockets;

}  // namespace

WsdDiscovery::WsdDiscovery(IDiscoveryListener* listener) : listener_(listener) {
    timer_.Construct(*this);
}

WsdDiscovery::~WsdDiscovery() {
    Stop();
}

unsigned long WsdDiscovery::Start() {
    Stop();
    auto socket = std::make_unique<Socket>();
    unsigned long r =
        socket->Construct(NET_SOCKET_AF_IPV4, NET_SOCKET_TYPE_DATAGRAM, NET_SOCKET_PROTOCOL_UDP);
    if (r == RES_OK) {
        r = socket->AddSocketListener(*this);
    }
    if (r == RES_OK) {
        r = socket->AsyncSelectByListener(NET_SOCKET_EVENT_READ);
    }
    if (r != RES_OK) {
        return r;
    }
    socket_ = std::move(socket);
    running_ = true;
    r = SendToGroup(BuildWsdProbe(*requestIds_.insert(NewWsdMessageId()).first));
    if (r != RES_OK) {
        Stop();
        return r;
    }
    timer_.Start(kProbeRepeatMs);
    return RES_OK;
}

void WsdDiscovery::Stop() {
    running_ = false;
    timer_.Cancel();
    socket_.reset();
    fetches_.clear();
    waiting_.clear();
    devices_.clear();
    requestIds_.clear();
    datagrams_ = 0;
}

unsigned long WsdDiscovery::SendToGroup(const std::string& message) {
    int sent = 0;
    const unsigned long r =
        socket_->SendTo(message.data(), static_cast<int>(message.size()),
                        Osp::Net::NetEndPoint(Osp::Net::Ip4Address(kWsdMulticastGroup), kWsdPort), sent);
    return r == RES_WOULD_BLOCK ? RES_OK : r;
}

void WsdDiscovery::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    if (running_) {
        SendToGroup(BuildWsdProbe(*requestIds_.insert(NewWsdMessageId()).first));
    }
}

void WsdDiscovery::OnSocketReadyToReceive(Socket& socket) {
    static unsigned char datagram[kWsdMaxDatagram + 1];
    Osp::Net::NetEndPoint from;
    int received = 0;
    const unsigned long r = socket.ReceiveFrom(datagram, sizeof datagram, from, received);
    if (r != RES_OK || !running_) {
        return;
    }
    // Past the bound the datagrams are still taken off the socket, but no longer read.
    if (++datagrams_ > kMaxDatagrams || static_cast<std::size_t>(received) > kWsdMaxDatagram) {
        return;
    }
    WsdMessage message;
    if (ParseWsdMessage(datagram, static_cast<std::size_t>(received), &message) &&
        message.action != WSD_ACTION_OTHER && requestIds_.count(message.relatesTo) != 0) {
        OnMatches(message, from.GetAddress().GetAddress());
    }
}

void WsdDiscovery::OnMatches(const WsdMessage& message, unsigned long sender) {
    for (const WsdMatch& match : message.matches) {
        if (match.endpoint.empty()) {
            continue;
        }
        auto known = devices_.find(match.endpoint);
        if (known == devices_.end()) {
            if (message.action != WSD_ACTION_PROBE_MATCHES || devices_.size() >= kMaxDevices ||
                !WsdTypesNameComputer(match.types)) {
                continue;
            }
            known = devices_.emplace(match.endpoint, Device{sender, false, false}).first;
        }
        // A device answers from its own address: a match about it from elsewhere is not taken.
        if (known->second.sender == sender && !known->second.fetched) {
            Follow(match, sender);
        }
    }
    StartFetches();
}

void WsdDiscovery::Follow(const WsdMatch& match, unsigned long sender) {
    unsigned short port = 0;
    std::string path;
    if (PickWsdXAddr(match.xaddrs, sender, &port, &path)) {
        devices_[match.endpoint].fetched = true;
        waiting_.push_back({sender, port, path, match.endpoint});
    } else if (match.xaddrs.empty() && !devices_[match.endpoint].resolving) {
        // Windows and wsdd leave the transport address out of a ProbeMatch; the ResolveMatch carries it.
        devices_[match.endpoint].resolving = true;
        SendToGroup(BuildWsdResolve(*requestIds_.insert(NewWsdMessageId()).first, match.endpoint));
    }
}

void WsdDiscovery::StartFetches() {
    while (!waiting_.empty() && fetches_.size() < kMaxFetchesAtOnce) {
        PendingFetch next = waiting_.front();
        waiting_.erase(waiting_.begin());
        fetches_.push_back(std::make_unique<WsdMetadataFetch>(this));
        fetches_.back()->Start(next.address, next.port, next.path, next.endpoint);
    }
}

void WsdDiscovery::OnMetadataFetched(WsdMetadataFetch& fetch, unsigned long result,
                                     const WsdComputer& computer) {
    const unsigned long address = fetch.Address();
    auto owned =
        std::find_if(fetches_.begin(), fetches_.end(), [&](const auto& f) { return f.get() == &fetch; });
    if (owned != fetches_.end()) {
        fetches_.erase(owned);  // the fetch is gone from here on
    }
    if (result == RES_OK) {
        DiscoveredServer server;
        server.name = computer.name;
        server.workgroup = computer.workgroup;
        server.address = address;
        server.ways = DISCOVERY_WSD;
        listener_->OnServerFound(server);
    }
    if (running_) {
        StartFetches();
    }
}

void WsdDiscovery::OnSocketConnected(Socket&) {}

void WsdDiscovery::OnSocketClosed(Socket&, NetSocketClosedReason) {}

void WsdDiscovery::OnSocketReadyToSend(Socket&) {}

void WsdDiscovery::OnSocketAccept(Socket&) {}
