// WS-Discovery against a scripted peer on a private loopback that carries multicast: answers that are
// malformed, that point elsewhere than their sender, that come from another address than they name,
// that answer someone else's probe, floods of them, and metadata that is broken, endless or never comes.
// Nothing of these is followed or listed, and the screen thread stays free.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../smb/SmbTestSupport.h"
#include "../smb/TestNetwork.h"
#include "app/Results.h"
#include "net/discovery/WsdDiscovery.h"
#include "testsupport/SambaServer.h"

namespace {

const std::string kNamespaces =
    "xmlns:soap=\"http://www.w3.org/2003/05/soap-envelope\" "
    "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
    "xmlns:wsd=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\" "
    "xmlns:wsx=\"http://schemas.xmlsoap.org/ws/2004/09/mex\" "
    "xmlns:wsdp=\"http://schemas.xmlsoap.org/ws/2006/02/devprof\" "
    "xmlns:pub=\"http://schemas.microsoft.com/windows/pub/2005/07\"";

std::string ProbeMatch(const std::string& relatesTo, const std::string& endpoint, const std::string& xaddrs) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope " + kNamespaces +
           "><soap:Header><wsa:Action>http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches</"
           "wsa:Action>"
           "<wsa:RelatesTo>" +
           relatesTo + "</wsa:RelatesTo></soap:Header><soap:Body><wsd:ProbeMatches><wsd:ProbeMatch>" +
           "<wsa:EndpointReference><wsa:Address>" + endpoint +
           "</wsa:Address></wsa:EndpointReference><wsd:Types>wsdp:Device "
           "pub:Computer</wsd:Types><wsd:XAddrs>" +
           xaddrs + "</wsd:XAddrs></wsd:ProbeMatch></wsd:ProbeMatches></soap:Body></soap:Envelope>";
}

const std::string kGoodMetadata =
    "<?xml version=\"1.0\"?><soap:Envelope " + kNamespaces +
    "><soap:Body><wsx:Metadata><wsx:MetadataSection><wsdp:Relationship><wsdp:Host>"
    "<pub:Computer>CORVHOST/Workgroup:CORVGROUP</pub:Computer></wsdp:Host></wsdp:Relationship>"
    "</wsx:MetadataSection></wsx:Metadata></soap:Body></soap:Envelope>";

std::string Http(const std::string& body) {
    return "HTTP/1.0 200 OK\r\nContent-Type: application/soap+xml\r\n\r\n" + body;
}

int BoundSocket(int type, const char* address, unsigned short port) {
    const int fd = socket(AF_INET, type, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// The peer: answers each Probe through its script (datagrams, each from an address of the script's
// choice), and serves the metadata on 127.0.0.1:5357 and 127.0.0.2:5357, counting connections. Its
// sockets are made by the thread that is inside the namespace.
class ScriptedWsdPeer {
public:
    struct Answer {
        std::string from;  // the source address
        std::string datagram;
    };
    using ProbeScript = std::function<std::vector<Answer>(const std::string& probeId)>;
    enum TMetadata { METADATA_SENT, METADATA_ENDLESS, METADATA_SILENT };

    ScriptedWsdPeer(ProbeScript script, TMetadata mode, std::string metadata)
        : script_(std::move(script)), mode_(mode), metadata_(std::move(metadata)) {
        udp_ = BoundSocket(SOCK_DGRAM, "0.0.0.0", 3702);
        ip_mreq group{};
        inet_pton(AF_INET, "239.255.255.250", &group.imr_multiaddr);
        inet_pton(AF_INET, "127.0.0.1", &group.imr_interface);
        joined_ = udp_ >= 0 && setsockopt(udp_, IPPROTO_IP, IP_ADD_MEMBERSHIP, &group, sizeof group) == 0;
        for (const char* address : {"127.0.0.1", "127.0.0.2"}) {
            const int fd = BoundSocket(SOCK_STREAM, address, 5357);
            listen(fd, 64);
            listeners_.push_back(fd);
        }
        threads_.emplace_back([this] { AnswerProbes(); });
        threads_.emplace_back([this] { ServeMetadata(); });
    }
    ~ScriptedWsdPeer() {
        stop_ = true;
        for (std::thread& t : threads_) {
            t.join();
        }
        close(udp_);
        for (int fd : listeners_) {
            close(fd);
        }
    }
    bool Ready() const { return joined_ && listeners_[0] >= 0 && listeners_[1] >= 0; }
    int Connections(int listener) const { return connections_[listener]; }

private:
    void AnswerProbes() {
        while (!stop_) {
            pollfd p = {udp_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) {
                continue;
            }
            char buffer[65536];
            sockaddr_in from{};
            socklen_t size = sizeof from;
            const ssize_t n =
                recvfrom(udp_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &size);
            const std::string probe(buffer, n > 0 ? static_cast<size_t>(n) : 0);
            const size_t start = probe.find("<wsa:MessageID>");
            const size_t end = probe.find("</wsa:MessageID>");
            if (probe.find("/Probe</wsa:Action>") == std::string::npos || start == std::string::npos) {
                continue;
            }
            const std::string id = probe.substr(start + 15, end - start - 15);
            for (const Answer& answer : script_(id)) {
                const int out = BoundSocket(SOCK_DGRAM, answer.from.c_str(), 0);
                sendto(out, answer.datagram.data(), answer.datagram.size(), 0,
                       reinterpret_cast<sockaddr*>(&from), size);
                close(out);
            }
        }
    }

    void ServeMetadata() {
        std::vector<int> open;
        while (!stop_) {
            pollfd p[2] = {{listeners_[0], POLLIN, 0}, {listeners_[1], POLLIN, 0}};
            if (poll(p, 2, 20) > 0) {
                for (int i = 0; i < 2; ++i) {
                    if ((p[i].revents & POLLIN) == 0) {
                        continue;
                    }
                    const int fd = accept(listeners_[i], nullptr, nullptr);
                    ++connections_[i];
                    Serve(fd);
                    open.push_back(fd);
                }
            }
        }
        for (int fd : open) {
            close(fd);
        }
    }

    void Serve(int fd) {
        if (mode_ == METADATA_SILENT) {
            return;  // kept open, never answered
        }
        if (mode_ == METADATA_SENT) {
            send(fd, metadata_.data(), metadata_.size(), MSG_NOSIGNAL);
            shutdown(fd, SHUT_WR);
            return;
        }
        const std::string head = "HTTP/1.0 200 OK\r\n\r\n<a>";
        send(fd, head.data(), head.size(), MSG_NOSIGNAL);
        const std::string more(64 * 1024, 'x');
        for (int i = 0; i < 64 && !stop_; ++i) {
            if (send(fd, more.data(), more.size(), MSG_NOSIGNAL) < 0) {
                break;
            }
        }
    }

    ProbeScript script_;
    TMetadata mode_;
    std::string metadata_;
    int udp_ = -1;
    bool joined_ = false;
    std::vector<int> listeners_;
    std::atomic<int> connections_[2] = {0, 0};
    std::atomic<bool> stop_{false};
    std::vector<std::thread> threads_;
};

class Recorder : public IDiscoveryListener {
public:
    void OnServerFound(const DiscoveredServer& server) override { found.push_back(server); }
    void OnDiscoveryEnded(TDiscoveryWay, unsigned long) override {}
    std::vector<DiscoveredServer> found;
};

const std::string kEndpoint = "urn:uuid:0ae5f5a4-5b2b-5d4b-a5e8-1e6f6c3c4a21";
const std::string kHere = "http://127.0.0.1:5357/0ae5f5a4";

TEST(HostileWsdTest, TableOfHostileAnswers) {
    NetNamespace ns;
    std::string error;
    ASSERT_TRUE(ns.Create("dh", &error)) << error;
    ASSERT_EQ(testsupport::RunCommand("ip -n " + ns.Name() + " link set lo multicast on && ip -n " +
                                      ns.Name() + " route add 224.0.0.0/4 dev lo"),
              0);
    using Answer = ScriptedWsdPeer::Answer;
    const struct {
        const char* what;
        ScriptedWsdPeer::ProbeScript script;
        ScriptedWsdPeer::TMetadata mode;
        std::string metadata;
        size_t found;         // servers reported: exactly, or at most for a flood
        int connectionsHere;  // at most, to 127.0.0.1
        int connectionsElsewhere;
        int runMs;
    } cases[] = {
        {"a good answer",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch(id, kEndpoint, kHere)}};
         },
         ScriptedWsdPeer::METADATA_SENT, Http(kGoodMetadata), 1, 2, 0, 1500},
        {"malformed XML",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch(id, kEndpoint, kHere).substr(0, 200)},
                                        {"127.0.0.1", "<soap:Envelope><<<>"}};
         },
         ScriptedWsdPeer::METADATA_SENT, Http(kGoodMetadata), 0, 0, 0, 1500},
        {"an address other than the sender's",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch(id, kEndpoint, "http://127.0.0.2:5357/x")}};
         },
         ScriptedWsdPeer::METADATA_SENT, Http(kGoodMetadata), 0, 0, 0, 1500},
        {"sent from another address than it names",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.3", ProbeMatch(id, kEndpoint, kHere)}};
         },
         ScriptedWsdPeer::METADATA_SENT, Http(kGoodMetadata), 0, 0, 0, 1500},
        {"an answer to another probe",
         [](const std::string&) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch("urn:uuid:someone-else", kEndpoint, kHere)}};
         },
         ScriptedWsdPeer::METADATA_SENT, Http(kGoodMetadata), 0, 0, 0, 1500},
        {"a flood of devices",
         [](const std::string& id) {
             std::vector<Answer> flood;
             for (int i = 0; i < 1500; ++i) {
                 flood.push_back({"127.0.0.1", ProbeMatch(id, "urn:uuid:" + std::to_string(i), kHere)});
             }
             return flood;
         },
         ScriptedWsdPeer::METADATA_SENT, Http(kGoodMetadata), WsdDiscovery::kMaxDevices,
         static_cast<int>(WsdDiscovery::kMaxDevices), 0, 2500},
        {"broken metadata",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch(id, kEndpoint, kHere)}};
         },
         ScriptedWsdPeer::METADATA_SENT, Http(kGoodMetadata.substr(0, 150)), 0, 2, 0, 1500},
        {"metadata not HTTP",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch(id, kEndpoint, kHere)}};
         },
         ScriptedWsdPeer::METADATA_SENT, kGoodMetadata, 0, 2, 0, 1500},
        {"endless metadata",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch(id, kEndpoint, kHere)}};
         },
         ScriptedWsdPeer::METADATA_ENDLESS, "", 0, 2, 0, 1500},
        {"metadata that never comes",
         [](const std::string& id) {
             return std::vector<Answer>{{"127.0.0.1", ProbeMatch(id, kEndpoint, kHere)}};
         },
         ScriptedWsdPeer::METADATA_SILENT, "", 0, 2, 0, WsdMetadataFetch::kFetchMs + 500},
    };
    ASSERT_TRUE(RunInApp([&] {
        NetNsScope inside(ns.Name());
        ASSERT_TRUE(inside.Entered());
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            ScriptedWsdPeer peer(c.script, c.mode, c.metadata);
            ASSERT_TRUE(peer.Ready());
            Recorder recorder;
            WsdDiscovery discovery(&recorder);
            ASSERT_EQ(discovery.Start(), RES_OK);
            // The screen thread stays free: a short timer of the loop keeps firing while answers pour in.
            auto last = std::chrono::steady_clock::now();
            double longestGap = 0;
            LoopUntil(
                [&] {
                    const auto now = std::chrono::steady_clock::now();
                    longestGap = std::max(longestGap, std::chrono::duration<double>(now - last).count());
                    last = now;
                    return false;
                },
                c.runMs);
            discovery.Stop();
            EXPECT_LT(longestGap, 0.5);
            if (c.found > 1) {
                EXPECT_LE(recorder.found.size(), c.found);
            } else {
                EXPECT_EQ(recorder.found.size(), c.found);
            }
            for (const DiscoveredServer& server : recorder.found) {
                EXPECT_EQ(server.name, L"CORVHOST");
                EXPECT_EQ(server.address, 0x7F000001u);
            }
            EXPECT_LE(peer.Connections(0), c.connectionsHere);
            EXPECT_EQ(peer.Connections(1), c.connectionsElsewhere);
        }
    }));
}

}  // namespace
