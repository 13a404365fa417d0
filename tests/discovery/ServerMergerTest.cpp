// One server found several ways is listed once, with the best name and the workgroup any way told.

#include <gtest/gtest.h>

#include "net/discovery/ServerMerger.h"

namespace {

TEST(ServerMerger, MergesByAddressAndPrefersTheComputerName) {
    ServerMerger merger;
    bool added = false;
    EXPECT_EQ(merger.Add({L"corvnas", 0x0A000001, L"", DISCOVERY_DNSSD}, &added), 0);
    EXPECT_TRUE(added);
    EXPECT_EQ(merger.Add({L"CORVNAS", 0x0A000001, L"CORVGROUP", DISCOVERY_WSD}, &added), 0);
    EXPECT_FALSE(added);
    EXPECT_EQ(merger.Add({L"OTHER", 0x0A000002, L"", DISCOVERY_NETBIOS}, &added), 1);
    EXPECT_TRUE(added);
    // A later DNS-SD name does not replace a computer name; an empty one never does.
    merger.Add({L"corvnas-2", 0x0A000001, L"ELSEWHERE", DISCOVERY_DNSSD}, &added);
    merger.Add({L"", 0x0A000002, L"", DISCOVERY_WSD}, &added);
    ASSERT_EQ(merger.Servers().size(), 2u);
    const DiscoveredServer& first = merger.Servers()[0];
    EXPECT_EQ(first.name, L"CORVNAS");
    EXPECT_EQ(first.workgroup, L"CORVGROUP");
    EXPECT_EQ(first.ways, unsigned(DISCOVERY_DNSSD | DISCOVERY_WSD));
    EXPECT_EQ(merger.Servers()[1].name, L"OTHER");
    EXPECT_EQ(merger.Add({L"X", 0, L"", DISCOVERY_WSD}, &added), -1);
}

TEST(ServerMerger, AFloodStopsAtTheBound) {
    ServerMerger merger;
    bool added = false;
    for (unsigned long i = 1; i <= ServerMerger::kMaxServers + 50; ++i) {
        merger.Add({L"S", i, L"", DISCOVERY_WSD}, &added);
    }
    EXPECT_EQ(merger.Servers().size(), ServerMerger::kMaxServers);
    EXPECT_EQ(merger.Add({L"S", 1, L"", DISCOVERY_NETBIOS}, &added), 0);
}

}  // namespace
