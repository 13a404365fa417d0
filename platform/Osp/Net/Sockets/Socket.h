#pragma once
// A non-blocking IPv4 socket of the user-interface thread. Its events reach the listener on that thread:
// OnSocketConnected when a connect completes, OnSocketReadyToReceive while data (or a datagram) waits,
// OnSocketReadyToSend once after a Send that would have blocked can go on, OnSocketClosed when the peer
// closes the connection or a connect fails (then the socket delivers nothing more). Send and Receive never
// block: E_WOULD_BLOCK says to wait for the matching event. A listener may delete the socket inside any
// of its callbacks.

#include <memory>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Net/Ip4Address.h"

namespace Osp::Net::Sockets {

using Osp::Base::result;

enum NetSocketAddressFamily { NET_SOCKET_AF_IPV4 = 2 };
enum NetSocketType { NET_SOCKET_TYPE_STREAM = 1, NET_SOCKET_TYPE_DATAGRAM = 2 };
enum NetSocketProtocol { NET_SOCKET_PROTOCOL_TCP = 6, NET_SOCKET_PROTOCOL_UDP = 17 };
enum NetSocketEvent {
    NET_SOCKET_EVENT_WRITE = 0x01,
    NET_SOCKET_EVENT_READ = 0x02,
    NET_SOCKET_EVENT_CLOSE = 0x04,
    NET_SOCKET_EVENT_ACCEPT = 0x08,
    NET_SOCKET_EVENT_CONNECT = 0x10,
};
enum NetSocketClosedReason {
    NET_SOCKET_CLOSED_REASON_NORMAL = 0,
    NET_SOCKET_CLOSED_REASON_REMOTE_HOST_CLOSED = 1,
    NET_SOCKET_CLOSED_REASON_CONNECTION_FAILED = 2,
    NET_SOCKET_CLOSED_REASON_NETWORK_UNAVAILABLE = 3,
};
enum NetSocketIoctlCmd { NET_SOCKET_FIONREAD = 1 };
enum NetSocketOptLevel { NET_SOCKET_SOL_SOCKET = 1, NET_SOCKET_IPPROTO_TCP = 6 };
enum NetSocketOptName { NET_SOCKET_TCP_NODELAY = 1, NET_SOCKET_SO_BROADCAST = 6 };

class Socket;

class ISocketEventListener {
public:
    virtual ~ISocketEventListener() = default;
    virtual void OnSocketConnected(Socket& socket) = 0;
    virtual void OnSocketClosed(Socket& socket, NetSocketClosedReason reason) = 0;
    virtual void OnSocketReadyToReceive(Socket& socket) = 0;
    virtual void OnSocketReadyToSend(Socket& socket) = 0;
    virtual void OnSocketAccept(Socket& socket) = 0;
};

class Socket : public Osp::Base::Object {
public:
    Socket();
    ~Socket() override;  // closes the socket

    result Construct(NetSocketAddressFamily family, NetSocketType type, NetSocketProtocol protocol);
    result AddSocketListener(ISocketEventListener& listener);
    // Which events the listener receives (NetSocketEvent bits).
    result AsyncSelectByListener(unsigned long events);

    // E_WOULD_BLOCK while a TCP connect is under way: OnSocketConnected (or OnSocketClosed) follows.
    result Connect(const NetEndPoint& remote);
    result Send(const void* buffer, int length, int& sent);
    result SendTo(const void* buffer, int length, const NetEndPoint& remote, int& sent);
    // A stream read: E_WOULD_BLOCK when nothing waits.
    result Receive(void* buffer, int length, int& received);
    // One whole datagram (cut to length), with its sender.
    result ReceiveFrom(void* buffer, int length, NetEndPoint& from, int& received);
    // NET_SOCKET_FIONREAD: the bytes that wait (for a datagram socket, the size of the next datagram).
    result Ioctl(NetSocketIoctlCmd command, unsigned long& value) const;
    result SetSockOpt(NetSocketOptLevel level, NetSocketOptName name, int value);
    result Close();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Net::Sockets
