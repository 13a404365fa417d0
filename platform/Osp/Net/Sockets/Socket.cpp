#include "Osp/Net/Sockets/Socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

#include "host/EventLoop.h"
#include "host/HostPaths.h"

namespace Osp::Net::Sockets {

using Osp::Base::E_SUCCESS;

struct Socket::Impl {
    Socket* owner = nullptr;
    int fd = -1;
    NetSocketType type = NET_SOCKET_TYPE_STREAM;
    ISocketEventListener* listener = nullptr;
    unsigned long events = 0;
    bool connecting = false;
    bool closed = false;
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;

    void Watch() {
        readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        writable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        writable->setEnabled(false);
        QObject::connect(readable.get(), &QSocketNotifier::activated, [this] { OnReadable(); });
        QObject::connect(writable.get(), &QSocketNotifier::activated, [this] { OnWritable(); });
    }

    void StopWatching() {
        if (readable)
            readable->setEnabled(false);
        if (writable)
            writable->setEnabled(false);
    }

    void Closed(NetSocketClosedReason reason) {
        closed = true;
        connecting = false;
        StopWatching();
        if (listener != nullptr && (events & NET_SOCKET_EVENT_CLOSE)) {
            listener->OnSocketClosed(*owner, reason);
        }
    }

    void OnReadable() {
        if (closed || connecting) {
            return;
        }
        if (type == NET_SOCKET_TYPE_STREAM) {
            int waiting = 0;
            ::ioctl(fd, FIONREAD, &waiting);
            if (waiting == 0) {
                char probe;
                ssize_t n = ::recv(fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
                    Closed(NET_SOCKET_CLOSED_REASON_REMOTE_HOST_CLOSED);
                }
                return;
            }
        }
        if (listener != nullptr && (events & NET_SOCKET_EVENT_READ)) {
            listener->OnSocketReadyToReceive(*owner);
        } else {
            readable->setEnabled(false);  // nobody reads: do not spin on waiting data
        }
    }

    void OnWritable() {
        writable->setEnabled(false);
        if (closed) {
            return;
        }
        if (connecting) {
            int error = 0;
            socklen_t size = sizeof error;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
            connecting = false;
            if (error != 0) {
                Closed(NET_SOCKET_CLOSED_REASON_CONNECTION_FAILED);
                return;
            }
            readable->setEnabled(true);
            if (listener != nullptr && (events & NET_SOCKET_EVENT_CONNECT)) {
                listener->OnSocketConnected(*owner);
            }
            return;
        }
        if (listener != nullptr && (events & NET_SOCKET_EVENT_WRITE)) {
            listener->OnSocketReadyToSend(*owner);
        }
    }
};

namespace {

sockaddr_in ToSockaddr(const NetEndPoint& endpoint) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(endpoint.GetPort());
    a.sin_addr.s_addr = htonl(static_cast<uint32_t>(endpoint.GetAddress().GetAddress()));
    return a;
}

}  // namespace

Socket::Socket() = default;

Socket::~Socket() {
    Close();
}

result Socket::Construct(NetSocketAddressFamily family, NetSocketType type, NetSocketProtocol protocol) {
    if (impl_) {
        return Osp::Base::E_INVALID_STATE;
    }
    bool stream = type == NET_SOCKET_TYPE_STREAM && protocol == NET_SOCKET_PROTOCOL_TCP;
    bool datagram = type == NET_SOCKET_TYPE_DATAGRAM && protocol == NET_SOCKET_PROTOCOL_UDP;
    if (family != NET_SOCKET_AF_IPV4 || (!stream && !datagram)) {
        return Osp::Base::E_INVALID_ARG;
    }
    host::EnsureQtApplication();
    int fd = ::socket(AF_INET, (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return host::ResultFromErrno(errno);
    }
    impl_ = std::make_unique<Impl>();
    impl_->owner = this;
    impl_->fd = fd;
    impl_->type = type;
    impl_->Watch();
    return E_SUCCESS;
}

result Socket::AddSocketListener(ISocketEventListener& listener) {
    if (!impl_) {
        return Osp::Base::E_INVALID_STATE;
    }
    impl_->listener = &listener;
    return E_SUCCESS;
}

result Socket::AsyncSelectByListener(unsigned long events) {
    if (!impl_) {
        return Osp::Base::E_INVALID_STATE;
    }
    impl_->events = events;
    if (!impl_->connecting && !impl_->closed) {
        impl_->readable->setEnabled(true);
    }
    return E_SUCCESS;
}

result Socket::Connect(const NetEndPoint& remote) {
    if (!impl_ || impl_->closed || impl_->type != NET_SOCKET_TYPE_STREAM) {
        return Osp::Base::E_INVALID_STATE;
    }
    sockaddr_in a = ToSockaddr(remote);
    if (::connect(impl_->fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        // Connected at once (loopback): the listener still hears of it from the loop, like any other.
        impl_->connecting = true;
        impl_->readable->setEnabled(false);
        impl_->writable->setEnabled(true);
        return Osp::Base::E_WOULD_BLOCK;
    }
    if (errno != EINPROGRESS) {
        return host::ResultFromErrno(errno);
    }
    impl_->connecting = true;
    impl_->readable->setEnabled(false);
    impl_->writable->setEnabled(true);
    return Osp::Base::E_WOULD_BLOCK;
}

result Socket::Send(const void* buffer, int length, int& sent) {
    sent = 0;
    if (!impl_ || impl_->closed || impl_->connecting) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (buffer == nullptr || length < 0) {
        return Osp::Base::E_INVALID_ARG;
    }
    ssize_t n;
    do {
        n = ::send(impl_->fd, buffer, static_cast<size_t>(length), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            impl_->writable->setEnabled(true);
            return Osp::Base::E_WOULD_BLOCK;
        }
        return host::ResultFromErrno(errno);
    }
    sent = static_cast<int>(n);
    return E_SUCCESS;
}

result Socket::SendTo(const void* buffer, int length, const NetEndPoint& remote, int& sent) {
    sent = 0;
    if (!impl_ || impl_->closed) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (buffer == nullptr || length < 0) {
        return Osp::Base::E_INVALID_ARG;
    }
    sockaddr_in a = ToSockaddr(remote);
    ssize_t n = ::sendto(impl_->fd, buffer, static_cast<size_t>(length), MSG_NOSIGNAL,
                         reinterpret_cast<sockaddr*>(&a), sizeof a);
    if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            impl_->writable->setEnabled(true);
            return Osp::Base::E_WOULD_BLOCK;
        }
        return host::ResultFromErrno(errno);
    }
    sent = static_cast<int>(n);
    return E_SUCCESS;
}

result Socket::Receive(void* buffer, int length, int& received) {
    received = 0;
    if (!impl_ || impl_->closed || impl_->connecting) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (buffer == nullptr || length < 0) {
        return Osp::Base::E_INVALID_ARG;
    }
    ssize_t n;
    do {
        n = ::recv(impl_->fd, buffer, static_cast<size_t>(length), 0);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK ? Osp::Base::E_WOULD_BLOCK
                                                       : host::ResultFromErrno(errno);
    }
    if (n == 0 && length > 0) {
        return Osp::Base::E_CONNECTION_RESET;
    }
    received = static_cast<int>(n);
    return E_SUCCESS;
}

result Socket::ReceiveFrom(void* buffer, int length, NetEndPoint& from, int& received) {
    received = 0;
    if (!impl_ || impl_->closed) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (buffer == nullptr || length < 0) {
        return Osp::Base::E_INVALID_ARG;
    }
    sockaddr_in a{};
    socklen_t size = sizeof a;
    ssize_t n =
        ::recvfrom(impl_->fd, buffer, static_cast<size_t>(length), 0, reinterpret_cast<sockaddr*>(&a), &size);
    if (n < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK ? Osp::Base::E_WOULD_BLOCK
                                                       : host::ResultFromErrno(errno);
    }
    from = NetEndPoint(Ip4Address(ntohl(a.sin_addr.s_addr)), ntohs(a.sin_port));
    received = static_cast<int>(n);
    return E_SUCCESS;
}

result Socket::Ioctl(NetSocketIoctlCmd command, unsigned long& value) const {
    if (!impl_ || impl_->closed) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (command != NET_SOCKET_FIONREAD) {
        return Osp::Base::E_INVALID_ARG;
    }
    int waiting = 0;
    if (::ioctl(impl_->fd, FIONREAD, &waiting) != 0) {
        return host::ResultFromErrno(errno);
    }
    value = static_cast<unsigned long>(waiting);
    return E_SUCCESS;
}

result Socket::SetSockOpt(NetSocketOptLevel level, NetSocketOptName name, int value) {
    if (!impl_) {
        return Osp::Base::E_INVALID_STATE;
    }
    int hostLevel;
    int hostName;
    if (level == NET_SOCKET_SOL_SOCKET && name == NET_SOCKET_SO_BROADCAST) {
        hostLevel = SOL_SOCKET;
        hostName = SO_BROADCAST;
    } else if (level == NET_SOCKET_IPPROTO_TCP && name == NET_SOCKET_TCP_NODELAY &&
               impl_->type == NET_SOCKET_TYPE_STREAM) {
        hostLevel = IPPROTO_TCP;
        hostName = TCP_NODELAY;
    } else {
        return Osp::Base::E_INVALID_ARG;
    }
    return ::setsockopt(impl_->fd, hostLevel, hostName, &value, sizeof value) == 0
               ? E_SUCCESS
               : host::ResultFromErrno(errno);
}

result Socket::Close() {
    if (!impl_) {
        return Osp::Base::E_INVALID_STATE;
    }
    // The listener may close the socket from inside a notifier's signal: the notifiers go later, from the
    // loop, and hear nothing more.
    for (auto* notifier : {&impl_->readable, &impl_->writable}) {
        (*notifier)->setEnabled(false);
        QObject::disconnect(notifier->get(), nullptr, nullptr, nullptr);
        notifier->release()->deleteLater();
    }
    ::close(impl_->fd);
    impl_.reset();
    return E_SUCCESS;
}

}  // namespace Osp::Net::Sockets
