#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <thread>

#include "LoopUntil.h"
#include "Osp/Net/Sockets/Socket.h"
#include "Osp/Net/Wifi/WifiManager.h"
#include "host/WifiState.h"

using namespace Osp::Base;
using namespace Osp::Net;
using namespace Osp::Net::Sockets;

namespace {

// A loopback peer on a port of its own, served by a plain blocking thread.
class Peer {
public:
    explicit Peer(int type = SOCK_STREAM) : type_(type) {
        fd_ = socket(AF_INET, type, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        if (type == SOCK_STREAM) {
            // A small receive window, so that a sender meets full buffers soon.
            int window = 16 * 1024;
            setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &window, sizeof window);
            listen(fd_, 1);
        }
    }
    ~Peer() {
        if (thread_.joinable())
            thread_.join();
        close(fd_);
    }
    unsigned short Port() const { return port_; }
    NetEndPoint EndPoint() const { return NetEndPoint(Ip4Address(0x7F000001), port_); }
    // Accepts one connection and runs work on it, then closes it.
    void Serve(std::function<void(int)> work) {
        thread_ = std::thread([this, work] {
            int c = accept(fd_, nullptr, nullptr);
            work(c);
            close(c);
        });
    }
    int Fd() const { return fd_; }

private:
    int type_;
    int fd_;
    unsigned short port_ = 0;
    std::thread thread_;
};

// Records what the socket tells and, on request, drains what arrives.
class Recorder : public ISocketEventListener {
public:
    void OnSocketConnected(Socket&) override { connected = true; }
    void OnSocketClosed(Socket&, NetSocketClosedReason r) override {
        closed = true;
        reason = r;
        if (deleteOnClose) {
            deleteOnClose->reset();
        }
    }
    void OnSocketReadyToReceive(Socket& s) override {
        unsigned long waiting = 0;
        s.Ioctl(NET_SOCKET_FIONREAD, waiting);
        std::string chunk(waiting, '\0');
        int got = 0;
        if (s.Receive(chunk.data(), static_cast<int>(chunk.size()), got) == E_SUCCESS) {
            data.append(chunk, 0, static_cast<size_t>(got));
        }
    }
    void OnSocketReadyToSend(Socket&) override { ++readyToSend; }
    void OnSocketAccept(Socket&) override {}

    bool connected = false;
    bool closed = false;
    NetSocketClosedReason reason = NET_SOCKET_CLOSED_REASON_NORMAL;
    std::string data;
    int readyToSend = 0;
    std::unique_ptr<Socket>* deleteOnClose = nullptr;
};

const unsigned long kAllEvents =
    NET_SOCKET_EVENT_CONNECT | NET_SOCKET_EVENT_READ | NET_SOCKET_EVENT_WRITE | NET_SOCKET_EVENT_CLOSE;

std::unique_ptr<Socket> TcpSocket(Recorder& r) {
    auto s = std::make_unique<Socket>();
    EXPECT_EQ(s->Construct(NET_SOCKET_AF_IPV4, NET_SOCKET_TYPE_STREAM, NET_SOCKET_PROTOCOL_TCP), E_SUCCESS);
    s->AddSocketListener(r);
    s->AsyncSelectByListener(kAllEvents);
    return s;
}

TEST(SocketTest, ConnectsSendsFourMegabytesThroughFullBuffersAndHearsTheClose) {
    Peer peer;
    std::string echoed;
    const size_t total = 4 << 20;
    peer.Serve([&](int c) {
        std::string buf(65536, '\0');
        // Read slowly at first so that the sender meets a full buffer and has to wait.
        usleep(200000);
        while (echoed.size() < total) {
            ssize_t n = recv(c, buf.data(), buf.size(), 0);
            if (n <= 0)
                break;
            echoed.append(buf, 0, static_cast<size_t>(n));
        }
        send(c, "bye", 3, 0);
    });
    Recorder r;
    auto s = TcpSocket(r);
    EXPECT_EQ(s->SetSockOpt(NET_SOCKET_IPPROTO_TCP, NET_SOCKET_TCP_NODELAY, 1), E_SUCCESS);
    ASSERT_EQ(s->Connect(peer.EndPoint()), E_WOULD_BLOCK);
    ASSERT_TRUE(LoopUntil([&] { return r.connected; }));

    std::string payload(total, '\0');
    for (size_t i = 0; i < total; ++i)
        payload[i] = static_cast<char>(i * 7);
    size_t offset = 0;
    int waits = 0;
    while (offset < total) {
        int sent = 0;
        result res = s->Send(payload.data() + offset, static_cast<int>(total - offset), sent);
        if (res == E_WOULD_BLOCK) {
            int before = r.readyToSend;
            ASSERT_TRUE(LoopUntil([&] { return r.readyToSend > before; }))
                << "no ready-to-send after a block";
            ++waits;
            continue;
        }
        ASSERT_EQ(res, E_SUCCESS);
        offset += static_cast<size_t>(sent);
    }
    EXPECT_GT(waits, 0) << "the peer's slow start should have filled the buffers";
    ASSERT_TRUE(LoopUntil([&] { return r.closed; }));
    EXPECT_EQ(r.reason, NET_SOCKET_CLOSED_REASON_REMOTE_HOST_CLOSED);
    EXPECT_EQ(r.data, "bye");
    EXPECT_EQ(echoed, payload);
}

TEST(SocketTest, ARefusedConnectIsAFailureNotAHang) {
    unsigned short freePort;
    {
        Peer probe;
        freePort = probe.Port();
    }  // closed again: nobody listens there now
    Recorder r;
    auto s = TcpSocket(r);
    result res = s->Connect(NetEndPoint(Ip4Address(0x7F000001), freePort));
    if (res == E_WOULD_BLOCK) {
        ASSERT_TRUE(LoopUntil([&] { return r.closed; }));
        EXPECT_EQ(r.reason, NET_SOCKET_CLOSED_REASON_CONNECTION_FAILED);
    } else {
        EXPECT_EQ(res, E_CONNECTION_FAILED);
    }
    EXPECT_FALSE(r.connected);
}

TEST(SocketTest, TheListenerMayDeleteTheSocketInsideACallback) {
    Peer peer;
    peer.Serve([](int c) { send(c, "x", 1, 0); });
    Recorder r;
    std::unique_ptr<Socket> s = TcpSocket(r);
    r.deleteOnClose = &s;
    ASSERT_EQ(s->Connect(peer.EndPoint()), E_WOULD_BLOCK);
    ASSERT_TRUE(LoopUntil([&] { return r.closed; }));
    EXPECT_EQ(s, nullptr);
    LoopUntil([] { return false; }, 100);  // nothing may fire for the deleted socket
}

TEST(SocketTest, DatagramsArriveWholeWithTheirSender) {
    Peer peer(SOCK_DGRAM);
    Recorder r;
    Socket s;
    ASSERT_EQ(s.Construct(NET_SOCKET_AF_IPV4, NET_SOCKET_TYPE_DATAGRAM, NET_SOCKET_PROTOCOL_UDP), E_SUCCESS);
    s.AddSocketListener(r);
    s.AsyncSelectByListener(NET_SOCKET_EVENT_READ);
    EXPECT_EQ(s.SetSockOpt(NET_SOCKET_SOL_SOCKET, NET_SOCKET_SO_BROADCAST, 1), E_SUCCESS);
    // A stream option means nothing to a datagram socket.
    EXPECT_EQ(s.SetSockOpt(NET_SOCKET_IPPROTO_TCP, NET_SOCKET_TCP_NODELAY, 1), E_INVALID_ARG);
    int sent = 0;
    ASSERT_EQ(s.SendTo("query", 5, peer.EndPoint(), sent), E_SUCCESS);
    EXPECT_EQ(sent, 5);

    char buf[64];
    sockaddr_in from{};
    socklen_t size = sizeof from;
    ASSERT_EQ(recvfrom(peer.Fd(), buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &size), 5);
    sendto(peer.Fd(), "first-answer", 12, 0, reinterpret_cast<sockaddr*>(&from), size);
    sendto(peer.Fd(), "second", 6, 0, reinterpret_cast<sockaddr*>(&from), size);

    struct Datagrams : ISocketEventListener {
        void OnSocketConnected(Socket&) override {}
        void OnSocketClosed(Socket&, NetSocketClosedReason) override {}
        void OnSocketReadyToReceive(Socket& s) override {
            unsigned long next = 0;
            s.Ioctl(NET_SOCKET_FIONREAD, next);
            std::string d(next, '\0');
            NetEndPoint sender;
            int got = 0;
            if (s.ReceiveFrom(d.data(), static_cast<int>(d.size()), sender, got) == E_SUCCESS) {
                d.resize(static_cast<size_t>(got));
                received.push_back(d);
                port = sender.GetPort();
                address = sender.GetAddress().GetAddress();
            }
        }
        void OnSocketReadyToSend(Socket&) override {}
        void OnSocketAccept(Socket&) override {}
        std::vector<std::string> received;
        unsigned short port = 0;
        unsigned long address = 0;
    } datagrams;
    s.AddSocketListener(datagrams);
    ASSERT_TRUE(LoopUntil([&] { return datagrams.received.size() == 2; }));
    EXPECT_EQ(datagrams.received[0], "first-answer");
    EXPECT_EQ(datagrams.received[1], "second");
    EXPECT_EQ(datagrams.port, peer.Port());
    EXPECT_EQ(datagrams.address, 0x7F000001u);
}

TEST(Ip4AddressTest, ParsesOnlyDottedQuads) {
    Ip4Address a;
    EXPECT_EQ(Ip4Address::Parse(L"192.168.1.20", a), E_SUCCESS);
    EXPECT_EQ(a.GetAddress(), 0xC0A80114u);
    EXPECT_EQ(a.ToString(), String(L"192.168.1.20"));
    for (const wchar_t* bad :
         {L"", L"1.2.3", L"1.2.3.4.5", L"256.1.1.1", L"1..2.3", L"a.b.c.d", L"1.2.3.4 "}) {
        EXPECT_EQ(Ip4Address::Parse(bad, a), E_INVALID_ARG) << std::wstring(bad).size();
    }
}

TEST(WifiTest, ActivationTurnsItOnAndAnswersFromTheLoop) {
    struct Listener : Osp::Net::Wifi::IWifiManagerEventListener {
        void OnWifiActivated(result r) override { activated = r == E_SUCCESS; }
        void OnWifiConnected(const String&, result) override {}
        void OnWifiDeactivated(result) override {}
        void OnWifiDisconnected() override {}
        void OnWifiRssiChanged(long) override {}
        void OnWifiScanCompletedN(const Osp::Base::Collection::IList*, result) override {}
        bool activated = false;
    } listener;
    host::Wifi() = {false, false};
    Osp::Net::Wifi::WifiManager wifi;
    wifi.Construct(listener);
    EXPECT_FALSE(wifi.IsActivated());
    EXPECT_FALSE(wifi.IsConnected());
    ASSERT_EQ(wifi.Activate(), E_SUCCESS);
    EXPECT_FALSE(listener.activated) << "the answer comes from the loop, not inside Activate";
    ASSERT_TRUE(LoopUntil([&] { return listener.activated; }));
    EXPECT_TRUE(wifi.IsConnected());
    host::Wifi() = {};
}

}  // namespace
