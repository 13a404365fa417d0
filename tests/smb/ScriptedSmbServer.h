#pragma once
// A hostile SMB server on a loopback port of its own, for the tests of bad input and failure. It serves
// the logon like a plain NT LM 0.12 server (user-level security with challenge/response, unless a test
// asks for less) and hands every other request to the test's script, which answers with bytes of its
// choosing: well-formed answers built with the helpers below, broken ones, a reset, a close or a trickle.
// Connections are served one after another on the acceptor's thread, which ends with the server.

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../net/WireBytes.h"
#include "LoopbackAcceptor.h"

inline unsigned short GetLe16(const Bytes& b, size_t at) {
    return static_cast<unsigned short>(b[at] | (b[at + 1] << 8));
}

// One request as the server read it.
struct SScriptedRequest {
    unsigned char command = 0;
    unsigned short mid = 0;
    unsigned short trans2 = 0;  // the subcommand of a TRANSACTION2
    Bytes message;              // the whole SMB message, without the transport header
    int connection = 0;         // 1 for the first connection, counting up
};

// What the server does about one request.
struct SScriptedReply {
    enum TAction { SEND, TRICKLE, RESET, CLOSE, IGNORE } action = SEND;
    Bytes bytes;  // with the transport header, for SEND and TRICKLE (sent before RESET and CLOSE too)
};

inline SScriptedReply Send(Bytes bytes) {
    return {SScriptedReply::SEND, std::move(bytes)};
}

// Leaves the request to the server's own logon, or unanswered.
inline SScriptedReply Pass() {
    return {SScriptedReply::IGNORE, {}};
}

// An SMB answer: the header echoing the request's identifiers, then words and bytes, framed.
inline Bytes SmbAnswer(const SScriptedRequest& request, unsigned int status, const Bytes& words,
                       const Bytes& bytes, unsigned short uid = 100, unsigned short tid = 7) {
    // The transport header goes in front and gets its length at the end.
    Bytes m = {0, 0, 0, 0, 0xFF, 'S', 'M', 'B', request.command};
    Put32(m, status);
    m.push_back(0x98);
    Put16(m, 0xC001);
    m.resize(4 + 24, 0);
    Put16(m, tid);
    Put16(m, request.message.size() >= 28 ? GetLe16(request.message, 26) : 0);  // pid
    Put16(m, uid);
    Put16(m, request.mid);
    m.push_back(static_cast<unsigned char>(words.size() / 2));
    m.insert(m.end(), words.begin(), words.end());
    Put16(m, static_cast<unsigned>(bytes.size()));
    m.insert(m.end(), bytes.begin(), bytes.end());
    size_t size = m.size() - 4;
    m[1] = static_cast<unsigned char>(size >> 16);
    m[2] = static_cast<unsigned char>(size >> 8);
    m[3] = static_cast<unsigned char>(size);
    return m;
}

// A TRANSACTION2 answer carrying params and data in one message.
inline Bytes Trans2Answer(const SScriptedRequest& request, const Bytes& params, const Bytes& data) {
    const unsigned headerAndWords = 32 + 1 + 20 + 2;
    unsigned paramOffset = headerAndWords + 1;
    unsigned dataOffset = (paramOffset + static_cast<unsigned>(params.size()) + 3) & ~3u;
    Bytes words;
    Put16(words, static_cast<unsigned>(params.size()));
    Put16(words, static_cast<unsigned>(data.size()));
    Put16(words, 0);
    Put16(words, static_cast<unsigned>(params.size()));
    Put16(words, paramOffset);
    Put16(words, 0);
    Put16(words, static_cast<unsigned>(data.size()));
    Put16(words, dataOffset);
    Put16(words, 0);
    words.push_back(0);
    words.push_back(0);
    Bytes bytes(1, 0);
    bytes.insert(bytes.end(), params.begin(), params.end());
    bytes.resize(dataOffset - headerAndWords, 0);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return SmbAnswer(request, 0, words, bytes);
}

// An NT_CREATE_ANDX answer opening a file of size bytes with handle 0x4001.
inline Bytes OpenFileAnswer(const SScriptedRequest& r, unsigned long long size) {
    Bytes words;
    words.insert(words.end(), {0xFF, 0, 0, 0, 0});
    Put16(words, 0x4001);  // fid
    Put32(words, 1);
    words.resize(words.size() + 32 + 4 + 8, 0);
    Put64(words, size);  // end of file
    words.resize(68, 0);
    return SmbAnswer(r, 0, words, {});
}

class ScriptedSmbServer {
public:
    using Script = std::function<SScriptedReply(const SScriptedRequest&)>;

    // securityMode: bit 0 user-level, bit 1 challenge/response. capabilities: those of the negotiate
    // answer.
    explicit ScriptedSmbServer(Script script, unsigned char securityMode = 0x03,
                               unsigned int capabilities = 0xC0DC)
        : script_(std::move(script)),
          securityMode_(securityMode),
          capabilities_(capabilities),
          acceptor_([this](int fd, int connection) { Serve(fd, connection); }) {}

    unsigned short Port() const { return acceptor_.Port(); }
    // Every request the server read, in order, the logon's included.
    std::vector<SScriptedRequest> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    // How many requests with command the server read, on one connection (1 for the first) or on all (0).
    int Count(unsigned char command, int connection = 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        int n = 0;
        for (const SScriptedRequest& r : requests_) {
            n += r.command == command && (connection == 0 || r.connection == connection);
        }
        return n;
    }

private:
    // Reads exactly count bytes; false when the peer went or the server stops.
    bool ReadFully(int fd, unsigned char* out, size_t count) {
        size_t got = 0;
        while (got < count && !acceptor_.Stopping()) {
            pollfd p = {fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) {
                continue;
            }
            ssize_t n = read(fd, out + got, count - got);
            if (n <= 0) {
                return false;
            }
            got += static_cast<size_t>(n);
        }
        return got == count;
    }

    void Serve(int fd, int connection) {
        for (;;) {
            unsigned char header[4];
            if (!ReadFully(fd, header, 4)) {
                break;
            }
            size_t length = (size_t{header[1]} << 16) | (size_t{header[2]} << 8) | header[3];
            SScriptedRequest request;
            request.message.resize(length);
            if (length < 33 || !ReadFully(fd, request.message.data(), length)) {
                break;
            }
            request.command = request.message[4];
            request.mid = GetLe16(request.message, 30);
            request.connection = connection;
            if (request.command == 0x32 && length >= 33 + 30) {
                request.trans2 = GetLe16(request.message, 33 + 28);
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
            }
            SScriptedReply reply = Logon(request);
            if (reply.action == SScriptedReply::IGNORE && !IsLogon(request.command)) {
                reply = script_(request);
            }
            if (!Act(fd, reply)) {
                return;
            }
        }
        close(fd);
    }

    static bool IsLogon(unsigned char command) {
        return command == 0x72 || command == 0x73 || command == 0x75;
    }

    SScriptedReply Logon(const SScriptedRequest& request) {
        // The script may take over any step of the logon by answering it itself.
        SScriptedReply scripted = script_(request);
        if (scripted.action != SScriptedReply::IGNORE || !IsLogon(request.command)) {
            return scripted;
        }
        SScriptedReply reply;
        if (request.command == 0x72) {
            Bytes words;
            Put16(words, 0);  // dialect index
            words.push_back(securityMode_);
            Put16(words, 50);     // max multiplex
            Put16(words, 1);      // virtual circuits
            Put32(words, 16644);  // max buffer
            Put32(words, 65536);  // max raw
            Put32(words, 0x1234);
            Put32(words, capabilities_);
            words.resize(words.size() + 8, 0);  // system time
            Put16(words, 0);                    // time zone
            words.push_back((securityMode_ & 0x02) != 0 ? 8 : 0);
            Bytes bytes;
            if ((securityMode_ & 0x02) != 0) {
                bytes = {1, 2, 3, 4, 5, 6, 7, 8};
            }
            for (char c : std::string("CORV")) {
                Put16(bytes, static_cast<unsigned char>(c));
            }
            Put16(bytes, 0);
            reply.bytes = SmbAnswer(request, 0, words, bytes);
        } else if (request.command == 0x73) {
            reply.bytes = SmbAnswer(request, 0, Hex("ff000000 0000"), {});
        } else {
            reply.bytes = SmbAnswer(request, 0, Hex("ff000000 0000"), Bytes{'A', ':', 0});
        }
        return reply;
    }

    bool Act(int fd, const SScriptedReply& reply) {
        if (reply.action == SScriptedReply::TRICKLE) {
            for (unsigned char b : reply.bytes) {
                if (acceptor_.Stopping() || write(fd, &b, 1) != 1) {
                    break;
                }
                for (int i = 0; i < 10 && !acceptor_.Stopping(); ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                }
            }
        } else if (!reply.bytes.empty() && reply.action != SScriptedReply::IGNORE) {
            if (write(fd, reply.bytes.data(), reply.bytes.size()) < 0) {
                return false;
            }
        }
        if (reply.action == SScriptedReply::RESET) {
            linger hard = {1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            close(fd);
            return false;
        }
        if (reply.action == SScriptedReply::CLOSE) {
            close(fd);
            return false;
        }
        return true;
    }

    Script script_;
    unsigned char securityMode_;
    unsigned int capabilities_;
    std::mutex mutex_;
    std::vector<SScriptedRequest> requests_;
    LoopbackAcceptor acceptor_;
};
