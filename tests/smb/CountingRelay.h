#pragma once
// A loopback relay between the client and a real server that counts the requests passing through, by
// command and, for TRANSACTION2, by subcommand: a way to see what went over the wire without a capture.
// One connection at a time; the relay's threads end with the connection or the relay.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <vector>

#include "LoopbackAcceptor.h"

class CountingRelay {
public:
    explicit CountingRelay(unsigned short serverPort)
        : serverPort_(serverPort), acceptor_([this](int client, int) { Relay(client); }) {}

    unsigned short Port() const { return acceptor_.Port(); }
    int Commands(unsigned char command) {
        std::lock_guard<std::mutex> lock(mutex_);
        return commands_[command];
    }
    int Trans2(unsigned short subcommand) {
        std::lock_guard<std::mutex> lock(mutex_);
        return trans2_[subcommand];
    }

private:
    void Relay(int client) {
        int server = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a = LoopbackAcceptor::Loopback(serverPort_);
        if (connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
            Pump(client, server);
        }
        close(client);
        close(server);
    }

    // Copies both ways until either side closes, reading the client's stream message by message.
    void Pump(int client, int server) {
        std::vector<unsigned char> pending;
        pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        unsigned char chunk[65536];
        while (!acceptor_.Stopping()) {
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
    std::mutex mutex_;
    std::map<unsigned char, int> commands_;
    std::map<unsigned short, int> trans2_;
    LoopbackAcceptor acceptor_;
};
