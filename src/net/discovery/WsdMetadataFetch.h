#pragma once
// One metadata exchange of WS-Discovery: an HTTP POST of a Get to a device's transport address, and the
// computer name and workgroup read from the answer. Bounded in time (kFetchMs from the start) and in
// size (the metadata limit); a peer that sends more, sends garbage or stays silent ends the fetch.
//
// User-interface thread, driven by its socket and timer. The listener is not owned, hears exactly one
// end per Start (never inside Start), and may delete the fetch inside that call.

#include <memory>
#include <string>

#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Net/Sockets/Socket.h"
#include "net/discovery/WsdMetadata.h"

class WsdMetadataFetch;

class IWsdMetadataFetchListener {
public:
    virtual ~IWsdMetadataFetchListener() = default;
    // result is RES_OK with the computer, or why the fetch failed.
    virtual void OnMetadataFetched(WsdMetadataFetch& fetch, unsigned long result,
                                   const WsdComputer& computer) = 0;
};

class WsdMetadataFetch : public Osp::Net::Sockets::ISocketEventListener,
                         public Osp::Base::Runtime::ITimerEventListener {
public:
    static constexpr int kFetchMs = 3000;

    explicit WsdMetadataFetch(IWsdMetadataFetchListener* listener);
    ~WsdMetadataFetch() override;
    WsdMetadataFetch(const WsdMetadataFetch&) = delete;
    WsdMetadataFetch& operator=(const WsdMetadataFetch&) = delete;

    // Asks the device at address:port (host byte order) for the metadata of endpoint, posting to path.
    void Start(unsigned long address, unsigned short port, const std::string& path,
               const std::string& endpoint);
    unsigned long Address() const { return address_; }

    void OnSocketConnected(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketClosed(Osp::Net::Sockets::Socket& socket,
                        Osp::Net::Sockets::NetSocketClosedReason reason) override;
    void OnSocketReadyToReceive(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketReadyToSend(Osp::Net::Sockets::Socket& socket) override;
    void OnSocketAccept(Osp::Net::Sockets::Socket& socket) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;

private:
    void SendRest();
    // Reads what the answer holds so far; ends the fetch once it is whole or bad.
    void TryParse(bool closed);
    // Tells the listener, as the last thing done: it may delete this fetch.
    void Finish(unsigned long result, const WsdComputer& computer);

    // All members belong to the user-interface thread.
    IWsdMetadataFetchListener* listener_;
    unsigned long address_ = 0;
    std::unique_ptr<Osp::Net::Sockets::Socket> socket_;
    Osp::Base::Runtime::Timer timer_;
    std::string request_;
    std::size_t sent_ = 0;
    std::string response_;
    bool finished_ = false;
};
