#pragma once
// Finds computers that still announce themselves by the NetBIOS name service: a broadcast name query for
// "*" that every name-service host answers, then a node status request to each host that answered, for
// its computer name and workgroup. An answer counts only when it lists its sender's own address; hosts
// and datagrams read are bounded.
//
// User-interface thread, driven by its socket and timer. The listener is not owned and hears each
// computer found and, when the broadcast cannot be sent, the end of this way.

#include <map>
#include <memory>

#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Net/Sockets/Socket.h"
#include "net/discovery/IDiscoveryListener.h"

class NetBiosDiscovery : public Osp::Net::Sockets::ISocketEventListener,
                         public Osp::Base::Runtime::ITimerEventListener {
public:
    static constexpr int kMaxDatagrams = 512;
    static constexpr std::size_t kMaxHosts = 64;
    // The broadcast goes out again after this long: a datagram can be lost.
    static constexpr int kRepeatMs = 1000;

    explicit NetBiosDiscovery(IDiscoveryListener* listener);
    ~NetBiosDiscovery() override;
    NetBiosDiscovery(const NetBiosDiscovery&) = delete;
    NetBiosDiscovery& operator=(const NetBiosDiscovery&) = delete;

    // RES_OK, or why the broadcast could not be sent.
    unsigned long Start();
    void Stop();

    void OnSocketConnected(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketClosed(Osp::Net::Sockets::Socket& socket,
                        Osp::Net::Sockets::NetSocketClosedReason reason) override;
    void OnSocketReadyToReceive(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketReadyToSend(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketAccept(Osp::Net::Sockets::Socket& socket) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;

private:
    struct Host {
        unsigned short statusId = 0;  // the node status request's transaction id
        bool reported = false;
    };

    unsigned long Broadcast();
    void OnNameAnswer(const unsigned char* datagram, unsigned int length, unsigned long sender);
    void OnStatusAnswer(const unsigned char* datagram, unsigned int length, unsigned long sender);

    // All members belong to the user-interface thread.
    IDiscoveryListener* listener_;
    std::unique_ptr<Osp::Net::Sockets::Socket> socket_;
    Osp::Base::Runtime::Timer timer_;
    unsigned short queryId_ = 0;
    unsigned short nextId_ = 0;
    std::map<unsigned long, Host> hosts_;  // by address
    int datagrams_ = 0;
    bool repeated_ = false;
};
