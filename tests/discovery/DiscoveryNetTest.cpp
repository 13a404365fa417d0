// The search against real announcers in a private network: nmbd, wsdd and avahi-daemon each announce the
// same computer; each way finds it with its right name and address, the search lists it once, and a
// missing local daemon or a missing network is told.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <memory>
#include <vector>

#include "../smb/SmbTestSupport.h"
#include "DiscoveryNet.h"
#include "app/Results.h"
#include "host/WifiState.h"
#include "net/discovery/DnsSdDiscovery.h"
#include "net/discovery/NetBiosDiscovery.h"
#include "net/discovery/NetworkSearch.h"
#include "net/discovery/WsdDiscovery.h"

namespace {

class FoundRecorder : public IDiscoveryListener {
public:
    void OnServerFound(const DiscoveredServer& server) override { found.push_back(server); }
    void OnDiscoveryEnded(TDiscoveryWay, unsigned long r) override {
        ended = true;
        result = r;
    }
    std::vector<DiscoveredServer> found;
    bool ended = false;
    unsigned long result = 1;
};

class SearchRecorder : public INetworkSearchListener {
public:
    void OnSearchServer(int, bool added) override { adds += added ? 1 : 0; }
    void OnSearchEnded() override { ended = true; }
    int adds = 0;
    bool ended = false;
};

// Runs one way on the client side until it has found something or the time is up.
template <typename Way>
FoundRecorder RunWay(int timeoutMs = 8000) {
    FoundRecorder recorder;
    Way way(&recorder);
    EXPECT_EQ(way.Start(), RES_OK);
    LoopUntil([&] { return !recorder.found.empty(); }, timeoutMs);
    way.Stop();
    return recorder;
}

class DiscoveryNetTest : public testing::Test {
protected:
    bool StartNet(unsigned announcers, DiscoveryNet::TClientDaemon daemon) {
        std::string error;
        if (!net_.Start(announcers, daemon, &error)) {
            ADD_FAILURE() << error;
            return false;
        }
        return true;
    }

    DiscoveryNet net_;
};

TEST_F(DiscoveryNetTest, EachWayFindsTheServerWithItsNameAndAddress) {
    ASSERT_TRUE(StartNet(DiscoveryNet::ANNOUNCE_ALL, DiscoveryNet::CLIENT_DAEMON));
    ASSERT_TRUE(RunInApp([&] {
        NetNsScope inside(net_.ClientNamespace());
        ASSERT_TRUE(inside.Entered());
        const struct {
            const char* way;
            FoundRecorder found;
            std::wstring name;
            std::wstring workgroup;
        } cases[] = {
            {"WS-Discovery", RunWay<WsdDiscovery>(), L"CORVNAS", L"CORVGROUP"},
            {"NetBIOS", RunWay<NetBiosDiscovery>(), L"CORVNAS", L"CORVGROUP"},
            {"DNS-SD", RunWay<DnsSdDiscovery>(), L"corvnas", L""},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.way);
            ASSERT_EQ(c.found.found.size(), 1u);
            EXPECT_EQ(c.found.found[0].name, c.name);
            EXPECT_EQ(c.found.found[0].address, DiscoveryNet::kServerAddressValue);
            EXPECT_EQ(c.found.found[0].workgroup, c.workgroup);
        }

        // Together they list the computer once, found all three ways, and end by themselves.
        SearchRecorder recorder;
        NetworkSearch search(&recorder);
        const auto start = std::chrono::steady_clock::now();
        search.Start();
        ASSERT_TRUE(LoopUntil([&] { return recorder.ended; }, NetworkSearch::kSearchMs + 2000));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_GE(seconds, NetworkSearch::kSearchMs / 1000.0 - 0.1);
        ASSERT_EQ(search.Servers().size(), 1u);
        const DiscoveredServer& server = search.Servers()[0];
        EXPECT_EQ(server.name, L"CORVNAS");
        EXPECT_EQ(server.workgroup, L"CORVGROUP");
        EXPECT_EQ(server.ways, unsigned(DISCOVERY_WSD | DISCOVERY_DNSSD | DISCOVERY_NETBIOS));
        EXPECT_EQ(recorder.adds, 1);
        EXPECT_FALSE(search.DnsSdUnavailable());
        EXPECT_EQ(search.Network(), SEARCH_NETWORK_OK);
    }));
}

TEST_F(DiscoveryNetTest, WithoutTheLocalDaemonTheOtherWaysStillFind) {
    ASSERT_TRUE(StartNet(DiscoveryNet::ANNOUNCE_WSD | DiscoveryNet::ANNOUNCE_NETBIOS,
                         DiscoveryNet::NO_CLIENT_DAEMON));
    ASSERT_TRUE(RunInApp([&] {
        NetNsScope inside(net_.ClientNamespace());
        ASSERT_TRUE(inside.Entered());
        FoundRecorder dnsSd;
        DnsSdDiscovery way(&dnsSd);
        EXPECT_EQ(way.Start(), Osp::Net::E_SERVICE_UNAVAILABLE);

        SearchRecorder recorder;
        NetworkSearch search(&recorder);
        search.Start();
        ASSERT_TRUE(LoopUntil([&] { return recorder.ended; }, NetworkSearch::kSearchMs + 2000));
        EXPECT_TRUE(search.DnsSdUnavailable());
        ASSERT_EQ(search.Servers().size(), 1u);
        EXPECT_EQ(search.Servers()[0].ways, unsigned(DISCOVERY_WSD | DISCOVERY_NETBIOS));
    }));
}

TEST(DiscoveryNoNetworkTest, NoNetworkOrWifiOffEndsTheSearchAtOnceWithTheReason) {
    NetNamespace lonely;
    std::string error;
    ASSERT_TRUE(lonely.Create("dn", &error)) << error;
    ASSERT_TRUE(RunInApp([&] {
        // Only the loopback: no route to any local network.
        NetNsScope inside(lonely.Name());
        ASSERT_TRUE(inside.Entered());
        for (bool wifiOn : {true, false}) {
            SCOPED_TRACE(wifiOn ? "no route" : "Wi-Fi off");
            host::Wifi().connected = wifiOn;
            SearchRecorder recorder;
            NetworkSearch search(&recorder);
            const auto start = std::chrono::steady_clock::now();
            search.Start();
            EXPECT_FALSE(recorder.ended);  // told from the event loop, never inside Start
            ASSERT_TRUE(LoopUntil([&] { return recorder.ended; }, 1000));
            EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 0.5);
            EXPECT_EQ(search.Network(), wifiOn ? SEARCH_NETWORK_UNREACHABLE : SEARCH_NETWORK_WIFI_OFF);
            EXPECT_TRUE(search.Servers().empty());
        }
        host::Wifi().connected = true;
    }));
}

}  // namespace
