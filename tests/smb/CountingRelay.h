#pragma once
// A loopback relay between the client and a real server that counts the requests passing through, by
// command and, for TRANSACTION2, by subcommand, and notes the largest block a read asked for and a write
// carried: a way to see what went over the wire without a capture.
// One connection at a time; the relay's threads end with the connection or the relay.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
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
    unsigned int LargestRead() {
        std::lock_guard<std::mutex> lock(mutex_);
        return largestRead_;
    }
    unsigned int LargestWrite() {
        std::lock_guard<std::mutex> lock(mutex_);
        return largestWrite_;
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
                // READ_ANDX: the maximum count's low word at 10 of the words, its high word at 14.
                if (command == 0x2E && length >= 33 + 24) {
                    largestRead_ = std::max(largestRead_, Word(stream, 10) | (Word(stream, 14) << 16));
                }
                // WRITE_ANDX: the data length's high word at 18 of the words, its low word at 20.
                if (command == 0x2F && length >= 33 + 28) {
                    largestWrite_ = std::max(largestWrite_, Word(stream, 20) | (Word(stream, 18) << 16));
                }
            }
            stream.erase(stream.begin(), stream.begin() + static_cast<long>(4 + length));
        }
    }

    // A 16-bit word at offset of the words of the message at the front of stream.
    static unsigned int Word(const std::vector<unsigned char>& stream, size_t offset) {
        size_t at = 4 + 33 + offset;
        return stream[at] | (stream[at + 1] << 8);
    }

    unsigned short serverPort_;
    unsigned int largestRead_ = 0;
    unsigned int largestWrite_ = 0;
    std::mutex mutex_;
    std::map<unsigned char, int> commands_;
    std::map<unsigned short, int> trans2_;
    LoopbackAcceptor acceptor_;
};
