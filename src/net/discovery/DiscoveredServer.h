#pragma once
// A server found on the local network, and the ways a search finds servers. Plain data; any thread.

#include <string>

enum TDiscoveryWay {
    DISCOVERY_WSD = 0x1,      // WS-Discovery, as Windows announces itself
    DISCOVERY_DNSSD = 0x2,    // DNS-SD (multicast DNS) through the local service discovery daemon
    DISCOVERY_NETBIOS = 0x4,  // the NetBIOS name service's broadcast
};

struct DiscoveredServer {
    std::wstring name;          // the computer name; may be empty
    unsigned long address = 0;  // IPv4, host byte order; never 0 for a found server
    std::wstring workgroup;     // the workgroup or domain, empty where the way does not tell it
    unsigned int ways = 0;      // TDiscoveryWay bits
};
