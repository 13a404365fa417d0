#pragma once
// A loopback relay between the client and a real server that counts the requests passing through, by
// command and, for TRANSACTION2, by subcommand: a way to see what went over the wire without a capture.
// One connection at a time; the relay's threads end with the connection or the relay.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class CountingRelay {
public:
    explicit CountingRelay(unsigned short serverPort) : serverPort_(serverPort) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = Loopback(0);
        bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t size = sizeof a;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        listen(listener_, 4);
        thread_ = std::thread([this] { Run(); });
    }
    ~CountingRelay() {
        stop_ = true;
        shutdown(listener_, SHUT_RDWR);
        thread_.join();
        close(listener_);
    }

    unsigned short Port() const { return port_; }
    int Commands(unsigned char command) {
        std::lock_guard<std::mutex> lock(mutex_);
        return commands_[command];
    }
    int Trans2(unsigned short subcommand) {
        std::lock_guard<std::mutex> lock(mutex_);
        return trans2_[subcommand];
    }

private:
    static sockaddr_in Loopback(unsigned short port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }

    void Run() {
        while (!stop_) {
            int client = accept(listener_, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            int server = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a = Loopback(serverPort_);
            if (connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
                close(client);
                close(server);
                continue;
            }
            Pump(client, server);
            close(client);
            close(server);
        }
    }

    // Copies both ways until either side closes, reading the client's stream message by message.
    void Pump(int client, int server) {
        std::vector<unsigned char> pending;
        pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        unsigned char chunk[65536];
        while (!stop_) {
            if (poll(fds, 2, 100) <= 0) {
                continue;
            }
            for (int i = 0; i < 2; ++i) {
                if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) {
                    continue;
                }
                ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
                if (n <= 0) {
                    return;
                }
                int to = i == 0 ? server : client;
                for (ssize_t sent = 0; sent < n;) {
                    ssize_t w = write(to, chunk + sent, static_cast<size_t>(n - sent));
                    if (w <= 0) {
                        return;
                    }
                    sent += w;
                }
                if (i == 0) {
                    pending.insert(pending.end(), chunk, chunk + n);
                    Count(pending);
                }
            }
        }
    }

    void Count(std::vector<unsigned char>& stream) {
        while (stream.size() >= 4) {
            size_t length = (size_t{stream[1]} << 16) | (size_t{stream[2]} << 8) | stream[3];
            if (stream.size() < 4 + length) {
                return;
            }
            if (length >= 33) {
                std::lock_guard<std::mutex> lock(mutex_);
                unsigned char command = stream[8];
                ++commands_[command];
                // TRANSACTION2: the first setup word follows the 28 bytes of fixed words.
                if (command == 0x32 && length >= 33 + 30) {
                    ++trans2_[static_cast<unsigned short>(stream[4 + 33 + 28] | (stream[4 + 33 + 29] << 8))];
                }
            }
            stream.erase(stream.begin(), stream.begin() + static_cast<long>(4 + length));
        }
    }

    unsigned short serverPort_;
    unsigned short port_ = 0;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::map<unsigned char, int> commands_;
    std::map<unsigned short, int> trans2_;
};
