#include "net/discovery/NetBiosDiscovery.h"

#include <cstdlib>
#include <ctime>

#include "app/Results.h"
#include "net/nbns/NbtNsNodeStatus.h"
#include "net/nbns/NbtNsQuery.h"
#include "net/nbns/NbtNsResponse.h"

namespace {

using namespace Osp::Net::Sockets;

constexpr unsigned short kNameServicePort = 137;
constexpr unsigned long kBroadcastAddress = 0xFFFFFFFF;
constexpr int kMaxDatagram = 1500;

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

NetBiosDiscovery::NetBiosDiscovery(IDiscoveryListener* listener) : listener_(listener) {
    timer_.Construct(*this);
}

NetBiosDiscovery::~NetBiosDiscovery() {
    Stop();
}

unsigned long NetBiosDiscovery::Start() {
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
    if (r == RES_OK) {
        r = socket->SetSockOpt(NET_SOCKET_SOL_SOCKET, NET_SOCKET_SO_BROADCAST, 1);
    }
    if (r != RES_OK) {
        return r;
    }
    socket_ = std::move(socket);
    if (nextId_ == 0) {
        std::srand(static_cast<unsigned int>(std::time(nullptr)));
        nextId_ = static_cast<unsigned short>(std::rand() | 1);
    }
    queryId_ = nextId_++;
    r = Broadcast();
    if (r != RES_OK) {
        Stop();
        return r;
    }
    timer_.Start(kRepeatMs);
    return RES_OK;
}

void NetBiosDiscovery::Stop() {
    timer_.Cancel();
    socket_.reset();
    hosts_.clear();
    datagrams_ = 0;
    repeated_ = false;
}

unsigned long NetBiosDiscovery::Broadcast() {
    int length = 0;
    std::unique_ptr<unsigned char[]> query(PrepareNsQueryPacketN(&length, "*", 0x00, queryId_, true));
    int sent = 0;
    const unsigned long r = socket_->SendTo(
        query.get(), length, Osp::Net::NetEndPoint(Osp::Net::Ip4Address(kBroadcastAddress), kNameServicePort),
        sent);
    return r == RES_WOULD_BLOCK ? RES_OK : r;
}

void NetBiosDiscovery::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    if (socket_ != nullptr && !repeated_) {
        repeated_ = true;
        Broadcast();
    }
}

void NetBiosDiscovery::OnSocketReadyToReceive(Socket& socket) {
    unsigned char datagram[kMaxDatagram];
    Osp::Net::NetEndPoint from;
    int received = 0;
    const unsigned long r = socket.ReceiveFrom(datagram, sizeof datagram, from, received);
    if (r != RES_OK || socket_ == nullptr || ++datagrams_ > kMaxDatagrams) {
        return;
    }
    const unsigned int length = static_cast<unsigned int>(received);
    const unsigned long sender = from.GetAddress().GetAddress();
    const unsigned short id = GetNsResponseTransId(datagram, length);
    if (id == queryId_) {
        OnNameAnswer(datagram, length, sender);
    } else {
        OnStatusAnswer(datagram, length, sender);
    }
}

void NetBiosDiscovery::OnNameAnswer(const unsigned char* datagram, unsigned int length,
                                    unsigned long sender) {
    unsigned long address = 0;
    // A host answers for itself: an answer that does not list its sender is not followed.
    if (!ParseNsResponsePacket(&address, datagram, length, queryId_, sender, false) || address != sender ||
        hosts_.count(sender) != 0 || hosts_.size() >= kMaxHosts) {
        return;
    }
    Host& host = hosts_[sender];
    host.statusId = nextId_++;
    if (host.statusId == queryId_) {
        host.statusId = nextId_++;
    }
    const std::vector<unsigned char> request = PrepareNodeStatusRequest(host.statusId);
    int sent = 0;
    socket_->SendTo(request.data(), static_cast<int>(request.size()),
                    Osp::Net::NetEndPoint(Osp::Net::Ip4Address(sender), kNameServicePort), sent);
}

void NetBiosDiscovery::OnStatusAnswer(const unsigned char* datagram, unsigned int length,
                                      unsigned long sender) {
    auto host = hosts_.find(sender);
    NbtNsNodeStatus status;
    if (host == hosts_.end() || host->second.reported ||
        !ParseNodeStatusResponse(datagram, length, host->second.statusId, &status)) {
        return;
    }
    host->second.reported = true;
    DiscoveredServer server;
    server.name = Widen(status.computerName);
    server.workgroup = Widen(status.workgroup);
    server.address = sender;
    server.ways = DISCOVERY_NETBIOS;
    listener_->OnServerFound(server);
}

void NetBiosDiscovery::OnSocketConnected(Socket&) {}

void NetBiosDiscovery::OnSocketClosed(Socket&, NetSocketClosedReason) {}

void NetBiosDiscovery::OnSocketReadyToSend(Socket&) {}

void NetBiosDiscovery::OnSocketAccept(Socket&) {}
