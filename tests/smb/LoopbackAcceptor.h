#pragma once
// A listening socket on a free loopback port of its own whose thread takes connections one after another
// and hands each to serve, with the connection's number (1 for the first); serve owns the connection and
// should return soon after Stopping() turns true. The thread ends with the object, so an owner declares
// its acceptor after everything serve uses.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

class LoopbackAcceptor {
public:
    using Serve = std::function<void(int fd, int connection)>;

    explicit LoopbackAcceptor(Serve serve) : serve_(std::move(serve)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = Loopback(0);
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        listen(listener_, 4);
        thread_ = std::thread([this] { Run(); });
    }
    ~LoopbackAcceptor() {
        stop_ = true;
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
    }
    LoopbackAcceptor(const LoopbackAcceptor&) = delete;
    LoopbackAcceptor& operator=(const LoopbackAcceptor&) = delete;

    unsigned short Port() const { return port_; }
    bool Stopping() const { return stop_; }

    static sockaddr_in Loopback(unsigned short port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }

private:
    void Run() {
        int connection = 0;
        while (!stop_) {
            int fd = accept(listener_, nullptr, nullptr);
            if (fd < 0) {
                return;
            }
            serve_(fd, ++connection);
        }
    }

    Serve serve_;
    unsigned short port_ = 0;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
