#pragma once
// A loopback relay between the client and a real server that counts the requests passing through, by
// command and, for TRANSACTION2, by subcommand, and notes the largest block a read asked for and a write
// carried: a way to see what went over the wire without a capture. It can also break things on purpose:
// drop the connection once the client has sent its nth request of a command (and refuse every connection
// after it, as a server that went away, until it comes back), or turn the server's nth answer of a command
// into a refusal (disk full). For SMB 2 it counts the bytes each way and can refuse every answer of one
// command from a point on (only while the messages go unencrypted).
// Connections are relayed side by side, each on a thread of its own that ends with its connection or the
// relay (SMB 2 clients may hold one for the share list and one for the share).

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "LoopbackAcceptor.h"

class CountingRelay {
public:
    explicit CountingRelay(unsigned short serverPort)
        : serverPort_(serverPort), acceptor_([this](int client, int) { StartRelay(client); }) {}
    ~CountingRelay() {
        stopping_ = true;
        std::vector<std::thread> relays;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            relays.swap(relays_);
        }
        for (std::thread& relay : relays) {
            relay.join();
        }
    }

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
    unsigned long long BytesToServer() {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytesToServer_;
    }
    unsigned long long BytesFromServer() {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytesFromServer_;
    }
    // From now on every SMB 2 answer of command reaches the client with status instead of its own.
    void RefuseSmb2Answers(unsigned short command, unsigned int status) {
        std::lock_guard<std::mutex> lock(mutex_);
        refuseSmb2Command_ = command;
        refuseSmb2Status_ = status;
    }
    // Closes the connection after the client's nth request of command (0 for never); counts anew. With
    // gone, the server stays away after that: every new connection is closed until ComeBack.
    void DropAfter(unsigned char command, int nth, bool gone = false) {
        std::lock_guard<std::mutex> lock(mutex_);
        dropCommand_ = command;
        dropAt_ = nth;
        dropSeen_ = 0;
        goneAfterDrop_ = gone;
    }
    void ComeBack() {
        std::lock_guard<std::mutex> lock(mutex_);
        gone_ = false;
    }
    // The server's nth answer of command reaches the client as STATUS_DISK_FULL (0 for never).
    void RefuseAnswer(unsigned char command, int nth) {
        std::lock_guard<std::mutex> lock(mutex_);
        refuseCommand_ = command;
        refuseAt_ = nth;
        refuseSeen_ = 0;
    }

private:
    void StartRelay(int client) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) {
            close(client);
            return;
        }
        relays_.emplace_back([this, client] { Relay(client); });
    }

    void Relay(int client) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (gone_) {
                close(client);
                return;
            }
        }
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
        std::vector<unsigned char> answers;
        pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
        unsigned char chunk[65536];
        while (!acceptor_.Stopping() && !stopping_) {
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
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    (i == 1 ? bytesFromServer_ : bytesToServer_) += static_cast<unsigned long long>(n);
                }
                if (i == 1) {
                    // Answers go on whole, so that one of them can be changed on its way.
                    answers.insert(answers.end(), chunk, chunk + n);
                    if (!Send(client, TakeAnswers(answers))) {
                        return;
                    }
                    continue;
                }
                if (!Send(server, std::vector<unsigned char>(chunk, chunk + n))) {
                    return;
                }
                pending.insert(pending.end(), chunk, chunk + n);
                if (Count(pending)) {
                    return;  // dropped on purpose
                }
            }
        }
    }

    static bool Send(int to, const std::vector<unsigned char>& bytes) {
        for (size_t sent = 0; sent < bytes.size();) {
            ssize_t w = write(to, bytes.data() + sent, bytes.size() - sent);
            if (w <= 0) {
                return false;
            }
            sent += static_cast<size_t>(w);
        }
        return true;
    }

    // The whole answers at the front of stream, the one to refuse changed.
    std::vector<unsigned char> TakeAnswers(std::vector<unsigned char>& stream) {
        size_t whole = 0;
        while (stream.size() >= whole + 4) {
            const size_t length =
                (size_t{stream[whole + 1]} << 16) | (size_t{stream[whole + 2]} << 8) | stream[whole + 3];
            if (stream.size() < whole + 4 + length) {
                break;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            if (length >= 33 && refuseAt_ > 0 && stream[whole + 8] == refuseCommand_ &&
                ++refuseSeen_ == refuseAt_) {
                const unsigned char diskFull[4] = {0x7F, 0x00, 0x00, 0xC0};
                std::copy(diskFull, diskFull + 4, stream.begin() + static_cast<long>(whole + 9));
            }
            // An SMB 2 header: the protocol mark, then the status at 8 and the command at 12.
            if (length >= 64 && refuseSmb2Status_ != 0 && stream[whole + 4] == 0xFE &&
                (stream[whole + 16] | (stream[whole + 17] << 8)) == refuseSmb2Command_) {
                for (int b = 0; b < 4; ++b) {
                    stream[whole + 12 + b] = static_cast<unsigned char>(refuseSmb2Status_ >> (8 * b));
                }
            }
            whole += 4 + length;
        }
        std::vector<unsigned char> out(stream.begin(), stream.begin() + static_cast<long>(whole));
        stream.erase(stream.begin(), stream.begin() + static_cast<long>(whole));
        return out;
    }

    // Counts the whole requests at the front of stream; true when the connection is to be dropped.
    bool Count(std::vector<unsigned char>& stream) {
        while (stream.size() >= 4) {
            size_t length = (size_t{stream[1]} << 16) | (size_t{stream[2]} << 8) | stream[3];
            if (stream.size() < 4 + length) {
                return false;
            }
            if (length >= 33) {
                std::lock_guard<std::mutex> lock(mutex_);
                unsigned char command = stream[8];
                ++commands_[command];
                if (dropAt_ > 0 && command == dropCommand_ && ++dropSeen_ == dropAt_) {
                    dropAt_ = 0;
                    gone_ = goneAfterDrop_;
                    return true;
                }
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
        return false;
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
    unsigned char dropCommand_ = 0;
    int dropAt_ = 0;
    int dropSeen_ = 0;
    bool goneAfterDrop_ = false;
    bool gone_ = false;
    unsigned char refuseCommand_ = 0;
    int refuseAt_ = 0;
    int refuseSeen_ = 0;
    unsigned long long bytesToServer_ = 0;
    unsigned long long bytesFromServer_ = 0;
    unsigned short refuseSmb2Command_ = 0;
    unsigned int refuseSmb2Status_ = 0;
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> relays_;
    LoopbackAcceptor acceptor_;
};
