#include "net/nbns/NbtNsClient.h"

#include <cstdlib>
#include <ctime>

#include "app/Results.h"
#include "app/StringConv.h"
#include "net/nbns/INbtNsClientListener.h"
#include "net/nbns/NbtNsQuery.h"
#include "net/nbns/NbtNsResponse.h"

namespace {

using namespace Osp::Net::Sockets;

constexpr unsigned short kNameServicePort = 137;
constexpr unsigned long kBroadcastAddress = 0xFFFFFFFF;
// Three datagrams go out: the first waits longest, the repeats are quick, and the third's wait ends the
// query.
constexpr int kFirstWaitMs = 3000;
constexpr int kRepeatWaitMs = 750;
constexpr int kLastAttempt = 3;
// Name answers are small; a datagram longer than this is cut and then fails parsing.
constexpr int kMaxDatagram = 1500;

unsigned short g_nextTransId = 0;

}  // namespace

unsigned short NbtNsClient::NextTransId() {
    if (g_nextTransId == 0) {
        std::srand(static_cast<unsigned int>(std::time(nullptr)));
        while (g_nextTransId == 0) {
            g_nextTransId = static_cast<unsigned short>(std::rand() + std::rand());
        }
    }
    unsigned short id = g_nextTransId++;
    if (g_nextTransId == 0) {
        g_nextTransId = 1;
    }
    return id;
}

NbtNsClient::NbtNsClient(INbtNsClientListener* listener, const std::string& server)
    : listener_(listener), broadcast_(server.empty()), serverValid_(true) {
    Osp::Net::Ip4Address address(kBroadcastAddress);
    if (!broadcast_) {
        serverValid_ = Osp::Net::Ip4Address::Parse(FromStlString(server), address) == RES_OK;
    }
    endpoint_ = Osp::Net::NetEndPoint(address, kNameServicePort);
    timer_.Construct(*this);
}

NbtNsClient::~NbtNsClient() {
    CancelQuery();
}

void NbtNsClient::QueryNsA(const std::string& name, unsigned char suffix) {
    CancelQuery();
    transId_ = NextTransId();
    attempt_ = 1;
    packet_.reset(PrepareNsQueryPacketN(&packetLength_, name, suffix, transId_, broadcast_));
    if (packet_ == nullptr) {
        Finish(RES_FAILURE, 0);
        return;
    }
    Send();
}

void NbtNsClient::CancelQuery() {
    timer_.Cancel();
    transId_ = 0;
    attempt_ = 0;
    packet_.reset();
    packetLength_ = 0;
}

unsigned long NbtNsClient::OpenSocket() {
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
        r = socket->SetSockOpt(NET_SOCKET_SOL_SOCKET, NET_SOCKET_SO_BROADCAST, broadcast_ ? 1 : 0);
    }
    if (r == RES_OK) {
        socket_ = std::move(socket);
    }
    return r;
}

void NbtNsClient::Send() {
    if (!serverValid_) {
        Finish(Osp::Base::E_INVALID_ARG, 0);
        return;
    }
    unsigned long r = socket_ == nullptr ? OpenSocket() : RES_OK;
    if (r == RES_OK) {
        int sent = 0;
        r = socket_->SendTo(packet_.get(), packetLength_, endpoint_, sent);
    }
    if (r != RES_OK && r != RES_WOULD_BLOCK) {
        Finish(r, 0);
        return;
    }
    timer_.Start(attempt_ == 1 ? kFirstWaitMs : kRepeatWaitMs);
}

void NbtNsClient::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    if (attempt_ == 0) {
        return;
    }
    ++attempt_;
    if (attempt_ <= kLastAttempt) {
        Send();
    } else {
        Finish(RES_TIMEOUT, 0);
    }
}

void NbtNsClient::OnSocketReadyToReceive(Socket& socket) {
    unsigned char datagram[kMaxDatagram];
    Osp::Net::NetEndPoint from;
    int received = 0;
    unsigned long r = socket.ReceiveFrom(datagram, sizeof datagram, from, received);
    if (r == RES_WOULD_BLOCK) {
        return;
    }
    // Anything but an answer to the running query is dropped and the query goes on; a receive error
    // cannot be matched to a query and is taken as this query's end.
    if (attempt_ == 0) {
        return;
    }
    unsigned int length = static_cast<unsigned int>(received);
    if (r == RES_OK && GetNsResponseTransId(datagram, length) != transId_) {
        return;
    }
    if (r != RES_OK) {
        Finish(r, 0);
        return;
    }
    unsigned long address = 0;
    bool found = ParseNsResponsePacket(&address, datagram, length, transId_, from.GetAddress().GetAddress(),
                                       !broadcast_);
    if (found && address != 0) {
        Finish(RES_OK, address);
    } else {
        Finish(RES_FAILURE, 0);
    }
}

void NbtNsClient::Finish(unsigned long result, unsigned long address) {
    CancelQuery();
    if (listener_ != nullptr) {
        listener_->OnNbtNsQueryFinished(result, address);
    }
}

void NbtNsClient::OnSocketConnected(Socket&) {}

void NbtNsClient::OnSocketClosed(Socket&, NetSocketClosedReason) {}

void NbtNsClient::OnSocketReadyToSend(Socket&) {}

void NbtNsClient::OnSocketAccept(Socket&) {}
