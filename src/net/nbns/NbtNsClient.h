#pragma once
// Asks the NetBIOS name service for a computer's IPv4 address: one query at a time, broadcast on the local
// network or sent to a WINS server, repeated on silence, and ended by the first matching answer, a send
// failure, the last time-out or CancelQuery. Runs on the user-interface thread, driven by its socket and
// timer; the listener is not owned and hears the end of every query except a cancelled one.

#include <memory>
#include <string>

#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Net/Ip4Address.h"
#include "Osp/Net/Sockets/Socket.h"

class INbtNsClientListener;

class NbtNsClient : public Osp::Net::Sockets::ISocketEventListener,
                    public Osp::Base::Runtime::ITimerEventListener {
public:
    // server is the WINS server's dotted IPv4 address, or empty for a broadcast query.
    NbtNsClient(INbtNsClientListener* listener, const std::string& server);
    ~NbtNsClient() override;
    NbtNsClient(const NbtNsClient&) = delete;
    NbtNsClient& operator=(const NbtNsClient&) = delete;

    // Starts a query for name (a NetBIOS name, optionally followed by '.' and a scope) with suffix; a
    // query already running is replaced. A failure to send is reported inside the call.
    void QueryNsA(const std::string& name, unsigned char suffix);
    // Ends a running query without a word to the listener.
    void CancelQuery();

    void OnSocketConnected(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketClosed(Osp::Net::Sockets::Socket& socket,
                        Osp::Net::Sockets::NetSocketClosedReason reason) override;
    void OnSocketReadyToReceive(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketReadyToSend(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketAccept(Osp::Net::Sockets::Socket& socket) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;

private:
    static unsigned short NextTransId();
    // Sends the datagram and waits for the answer; a failure ends the query.
    void Send();
    unsigned long OpenSocket();
    // Ends the query and tells the listener, as the last thing done: it may delete this client.
    void Finish(unsigned long result, unsigned long address);

    // All members belong to the user-interface thread.
    INbtNsClientListener* listener_;
    bool broadcast_;
    bool serverValid_;
    Osp::Net::NetEndPoint endpoint_;
    unsigned short transId_ = 0;
    int attempt_ = 0;
    std::unique_ptr<unsigned char[]> packet_;
    int packetLength_ = 0;
    std::unique_ptr<Osp::Net::Sockets::Socket> socket_;
    Osp::Base::Runtime::Timer timer_;
};
