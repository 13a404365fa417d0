#include "net/discovery/WsdMetadataFetch.h"

#include "app/Results.h"
#include "net/discovery/HttpResponse.h"
#include "net/discovery/WsdRequests.h"

namespace {

using namespace Osp::Net::Sockets;

std::string Dotted(unsigned long address) {
    return std::to_string((address >> 24) & 0xFF) + "." + std::to_string((address >> 16) & 0xFF) + "." +
           std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

}  // namespace

WsdMetadataFetch::WsdMetadataFetch(IWsdMetadataFetchListener* listener) : listener_(listener) {
    timer_.Construct(*this);
}

WsdMetadataFetch::~WsdMetadataFetch() {
    timer_.Cancel();
}

void WsdMetadataFetch::Start(unsigned long address, unsigned short port, const std::string& path,
                             const std::string& endpoint) {
    address_ = address;
    const std::string body = BuildWsdGet(NewWsdMessageId(), endpoint);
    request_ = "POST " + path + " HTTP/1.1\r\nHost: " + Dotted(address) + ":" + std::to_string(port) +
               "\r\nContent-Type: application/soap+xml\r\nUser-Agent: Corvane\r\nConnection: close\r\n"
               "Content-Length: " +
               std::to_string(body.size()) + "\r\n\r\n" + body;
    // Every end, a failure to connect included, reaches the listener from the event loop.
    timer_.Start(kFetchMs);
    auto socket = std::make_unique<Socket>();
    if (socket->Construct(NET_SOCKET_AF_IPV4, NET_SOCKET_TYPE_STREAM, NET_SOCKET_PROTOCOL_TCP) != RES_OK ||
        socket->AddSocketListener(*this) != RES_OK ||
        socket->AsyncSelectByListener(NET_SOCKET_EVENT_CONNECT | NET_SOCKET_EVENT_READ |
                                      NET_SOCKET_EVENT_WRITE | NET_SOCKET_EVENT_CLOSE) != RES_OK) {
        return;
    }
    const unsigned long r = socket->Connect(Osp::Net::NetEndPoint(Osp::Net::Ip4Address(address), port));
    if (r == RES_OK || r == RES_WOULD_BLOCK) {
        socket_ = std::move(socket);
        if (r == RES_OK) {
            SendRest();
        }
    }
}

void WsdMetadataFetch::OnSocketConnected(Socket&) {
    SendRest();
}

void WsdMetadataFetch::SendRest() {
    while (sent_ < request_.size()) {
        int sent = 0;
        const unsigned long r =
            socket_->Send(request_.data() + sent_, static_cast<int>(request_.size() - sent_), sent);
        if (r == RES_WOULD_BLOCK) {
            return;  // OnSocketReadyToSend goes on
        }
        if (r != RES_OK) {
            Finish(r, WsdComputer());
            return;
        }
        sent_ += static_cast<std::size_t>(sent);
    }
}

void WsdMetadataFetch::OnSocketReadyToSend(Socket&) {
    SendRest();
}

void WsdMetadataFetch::OnSocketReadyToReceive(Socket& socket) {
    char buffer[4096];
    int received = 0;
    const unsigned long r = socket.Receive(buffer, sizeof buffer, received);
    if (r == RES_WOULD_BLOCK) {
        return;
    }
    if (r != RES_OK) {
        Finish(r, WsdComputer());
        return;
    }
    response_.append(buffer, static_cast<std::size_t>(received));
    // Chunk framing may add to the body, but never this much.
    if (response_.size() > kMaxHttpHeader + 2 * kWsdMaxMetadata) {
        Finish(RES_BAD_RESPONSE, WsdComputer());
        return;
    }
    TryParse(received == 0);
}

void WsdMetadataFetch::OnSocketClosed(Socket&, NetSocketClosedReason reason) {
    if (reason == NET_SOCKET_CLOSED_REASON_CONNECTION_FAILED) {
        Finish(RES_SERVER_NOT_FOUND, WsdComputer());
        return;
    }
    TryParse(true);
}

void WsdMetadataFetch::TryParse(bool closed) {
    int status = 0;
    std::string body;
    switch (ParseHttpResponse(response_, closed, kWsdMaxMetadata, &status, &body)) {
        case HTTP_NEED_MORE:
            return;
        case HTTP_BAD:
            Finish(RES_BAD_RESPONSE, WsdComputer());
            return;
        case HTTP_COMPLETE:
            break;
    }
    WsdComputer computer;
    if (status != 200 || !ParseWsdMetadata(body.data(), body.size(), &computer)) {
        Finish(RES_BAD_RESPONSE, WsdComputer());
        return;
    }
    Finish(RES_OK, computer);
}

void WsdMetadataFetch::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    Finish(RES_TIMEOUT, WsdComputer());
}

void WsdMetadataFetch::Finish(unsigned long result, const WsdComputer& computer) {
    if (finished_) {
        return;
    }
    finished_ = true;
    timer_.Cancel();
    if (socket_ != nullptr) {
        socket_->Close();
    }
    listener_->OnMetadataFetched(*this, result, computer);
}

void WsdMetadataFetch::OnSocketAccept(Socket&) {}
