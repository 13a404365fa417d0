// The NetBIOS name client: against a real nmbd in a private network (by WINS address and by broadcast),
// and against a scripted responder on a private loopback that shows the retries, the time-out, datagrams
// of other queries and the choice among the addresses of an answer.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "../net/WireBytes.h"
#include "ScriptedSmbServer.h"
#include "SmbTestSupport.h"
#include "TestNetwork.h"
#include "app/Results.h"
#include "net/nbns/INbtNsClientListener.h"
#include "net/nbns/NbtNsClient.h"
#include "net/nbns/NetBiosName.h"

namespace {

using Clock = std::chrono::steady_clock;

class QueryRecorder : public INbtNsClientListener {
public:
    void OnNbtNsQueryFinished(unsigned long r, unsigned long a) override {
        ++ends;
        result = r;
        address = a;
    }
    int ends = 0;
    unsigned long result = 1;
    unsigned long address = 0;
};

// Runs one query on the calling thread's network and waits for its end.
QueryRecorder Query(const std::string& server, const std::string& name, int timeoutMs = 8000) {
    QueryRecorder recorder;
    NbtNsClient client(&recorder, server);
    client.QueryNsA(name, 0x20);
    LoopUntil([&] { return recorder.ends > 0; }, timeoutMs);
    return recorder;
}

TEST(NameServiceTest, ResolvesARealServerByWinsAndByBroadcast) {
    NameServiceNet net;
    std::string error;
    ASSERT_TRUE(net.Start(&error)) << error;
    const unsigned long serverAddress = 0x0AD50001;  // 10.213.0.1
    ASSERT_TRUE(RunInApp([&] {
        NetNsScope inside(net.ClientNamespace());
        ASSERT_TRUE(inside.Entered());
        for (const char* wins : {NameServiceNet::kServerAddress, ""}) {
            SCOPED_TRACE(*wins ? "WINS" : "broadcast");
            QueryRecorder found = Query(wins, "corvnas");
            EXPECT_EQ(found.ends, 1);
            EXPECT_EQ(found.result, RES_OK);
            EXPECT_EQ(found.address, serverAddress);
        }
        // The WINS server says no at once; a broadcast for a name nobody holds goes unanswered.
        QueryRecorder refused = Query(NameServiceNet::kServerAddress, "nobody-here");
        EXPECT_EQ(refused.result, RES_FAILURE);
        auto start = Clock::now();
        QueryRecorder unanswered = Query("", "nobody-here");
        EXPECT_EQ(unanswered.result, RES_TIMEOUT);
        EXPECT_GE(std::chrono::duration<double>(Clock::now() - start).count(), 4.4);
    }));
}

// A name server of the test's own on 127.0.0.1:137 inside a private namespace. Its socket is made by the
// thread that is inside the namespace; its own thread answers through the script.
class ScriptedNameServer {
public:
    using Script = std::function<std::vector<Bytes>(const Bytes& query)>;

    explicit ScriptedNameServer(Script script) : script_(std::move(script)) {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(137);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bound_ = bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        thread_ = std::thread([this] { Run(); });
    }
    ~ScriptedNameServer() {
        stop_ = true;
        thread_.join();
        close(fd_);
    }
    bool Bound() const { return bound_; }
    std::vector<double> QueryTimes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return times_;
    }

private:
    void Run() {
        auto start = Clock::now();
        while (!stop_) {
            pollfd p = {fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) {
                continue;
            }
            unsigned char query[600];
            sockaddr_in from{};
            socklen_t size = sizeof from;
            ssize_t n = recvfrom(fd_, query, sizeof query, 0, reinterpret_cast<sockaddr*>(&from), &size);
            if (n <= 0) {
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                times_.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            }
            for (const Bytes& answer : script_(Bytes(query, query + n))) {
                sendto(fd_, answer.data(), answer.size(), 0, reinterpret_cast<sockaddr*>(&from), size);
            }
        }
    }

    Script script_;
    int fd_ = -1;
    bool bound_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<double> times_;
};

void Put16Be(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v >> 8));
    b.push_back(static_cast<unsigned char>(v));
}

// A positive answer to query listing (flags, address) entries.
Bytes NameAnswer(const Bytes& query, unsigned transIdDelta,
                 const std::vector<std::pair<unsigned, unsigned>>& entries) {
    Bytes a;
    Put16Be(a, ((query[0] << 8) | query[1]) + transIdDelta);
    Put16Be(a, 0x8500);
    Put16Be(a, 0);
    Put16Be(a, 1);
    Put16Be(a, 0);
    Put16Be(a, 0);
    std::string name = ToL2NetBiosName("SERVER", "", 0x20);
    a.insert(a.end(), name.begin(), name.end());
    Put16Be(a, 0x20);
    Put16Be(a, 1);
    Put16Be(a, 0);
    Put16Be(a, 300);
    Put16Be(a, static_cast<unsigned>(6 * entries.size()));
    for (auto [flags, address] : entries) {
        Put16Be(a, flags);
        Put16Be(a, address >> 16);
        Put16Be(a, address & 0xFFFF);
    }
    return a;
}

class ScriptedNameServiceTest : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ns_.Create("n", &error)) << error;
    }
    NetNamespace ns_;
};

TEST_F(ScriptedNameServiceTest, SkipsOtherQueriesAndGroupEntries) {
    ASSERT_TRUE(RunInApp([&] {
        NetNsScope inside(ns_.Name());
        ASSERT_TRUE(inside.Entered());
        ScriptedNameServer server([](const Bytes& q) {
            return std::vector<Bytes>{NameAnswer(q, 1, {{0x0000, 0x0A000009}}),
                                      NameAnswer(q, 0, {{0x8000, 0x0A000001}, {0x0000, 0x0A000002}})};
        });
        ASSERT_TRUE(server.Bound());
        QueryRecorder found = Query("127.0.0.1", "server");
        EXPECT_EQ(found.result, RES_OK);
        EXPECT_EQ(found.address, 0x0A000002u);
        EXPECT_EQ(server.QueryTimes().size(), 1u);
    }));
}

TEST_F(ScriptedNameServiceTest, AFolderNamedByComputerNameConnectsToTheAddressTheNameServerGives) {
    ASSERT_TRUE(RunInApp([&] {
        NetNsScope inside(ns_.Name());
        ASSERT_TRUE(inside.Entered());
        ScriptedNameServer names([](const Bytes& q) {
            return std::vector<Bytes>{NameAnswer(q, 0, {{0x0000, 0x7F000001}})};
        });
        ASSERT_TRUE(names.Bound());
        ScriptedSmbServer smb([](const SScriptedRequest&) {
            return SScriptedReply{SScriptedReply::IGNORE, {}};
        });
        SmbSession::SetServerPort(smb.Port());
        RemoteFolder folder;
        PointFolderAt(folder, L"share", L"user", L"secret", L"");
        folder.SetNodeName(Osp::Base::String(L"server"));
        folder.SetWinsServer(Osp::Base::String(L"127.0.0.1"));
        RootRecorder root;
        EXPECT_EQ(OpenRoot(*Smb1Browser(folder), root), RES_OK);
        Smb1Browser(folder)->RemoveListener(&root);
        SmbSession::SetServerPort(445);
        EXPECT_EQ(names.QueryTimes().size(), 1u);
        std::vector<SScriptedRequest> requests = smb.Requests();
        ASSERT_EQ(requests.size(), 3u);
        // The tree connect names the server by the name the folder gives.
        std::wstring path;
        // Under user-level security the tree connect's password is a single zero byte ahead of the path.
        for (size_t i = 33 + 8 + 2 + 1; i + 1 < requests[2].message.size(); i += 2) {
            wchar_t unit = static_cast<wchar_t>(GetLe16(requests[2].message, i));
            if (unit == 0) {
                break;
            }
            path += unit;
        }
        EXPECT_EQ(path, L"\\\\server\\share");
    }));
}

TEST_F(ScriptedNameServiceTest, AnUnansweredNameEndsTheConnectionAsServerNotFoundAfterThreeQueries) {
    ASSERT_TRUE(RunInApp([&] {
        NetNsScope inside(ns_.Name());
        ASSERT_TRUE(inside.Entered());
        ScriptedNameServer server([](const Bytes&) { return std::vector<Bytes>{}; });
        ASSERT_TRUE(server.Bound());
        RemoteFolder folder;
        PointFolderAt(folder, L"share", L"user", L"secret", L"");
        folder.SetNodeName(Osp::Base::String(L"NOBODY"));
        folder.SetWinsServer(Osp::Base::String(L"127.0.0.1"));
        RootRecorder root;
        auto start = Clock::now();
        EXPECT_EQ(OpenRoot(*Smb1Browser(folder), root, 10000), RES_SERVER_NOT_FOUND);
        double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_NEAR(elapsed, 4.5, 0.4);
        Smb1Browser(folder)->RemoveListener(&root);
        std::vector<double> times = server.QueryTimes();
        ASSERT_EQ(times.size(), 3u);
        EXPECT_NEAR(times[1] - times[0], 3.0, 0.2);
        EXPECT_NEAR(times[2] - times[0], 3.75, 0.2);
    }));
}

}  // namespace
