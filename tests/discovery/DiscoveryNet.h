#pragma once
// A private network for the discovery tests, made and removed by the test: two namespaces joined by a
// veth pair. The server side runs real announcers from Debian: nmbd (the NetBIOS name service), wsdd
// (WS-Discovery) and avahi-daemon publishing "_smb._tcp" (DNS-SD), each announcing the computer
// kServerName of workgroup kWorkgroup at kServerAddress, and optionally smbd serving it. The client side,
// where the search runs, has its own avahi-daemon on a private system bus (SystemBusAddress), as a phone
// or desktop has. Multicast and broadcasts from the client reach the server side and nothing else.
//
// The daemons run in private mount namespaces with their own run folder and service folder; every file
// lives in a temporary folder. The destructor ends every process it started and removes the
// namespaces. Needs root.

#include <sys/types.h>

#include <string>
#include <vector>

#include "../smb/TestNetwork.h"

class DiscoveryNet {
public:
    static constexpr const char* kServerAddress = "10.214.0.1";
    static constexpr const char* kClientAddress = "10.214.0.2";
    static constexpr unsigned long kServerAddressValue = 0x0AD60001;
    static constexpr const char* kServerName = "CORVNAS";
    static constexpr const char* kHostName = "corvnas";
    static constexpr const char* kWorkgroup = "CORVGROUP";

    enum TAnnouncer { ANNOUNCE_NETBIOS = 1, ANNOUNCE_WSD = 2, ANNOUNCE_DNSSD = 4, ANNOUNCE_ALL = 7 };
    // Whether the client side runs its own service discovery daemon.
    enum TClientDaemon { CLIENT_DAEMON, NO_CLIENT_DAEMON };

    DiscoveryNet() = default;
    ~DiscoveryNet();
    DiscoveryNet(const DiscoveryNet&) = delete;
    DiscoveryNet& operator=(const DiscoveryNet&) = delete;

    // Builds the network and starts the announcers, and waits until each answers from the client side.
    bool Start(unsigned announcers, TClientDaemon clientDaemon, std::string* error);
    const std::string& ClientNamespace() const { return client_.Name(); }
    const std::string& ServerNamespace() const { return server_.Name(); }
    const std::string& ClientLink() const { return clientLink_; }
    // The client side's system bus, for the service discovery client library. The library reads the
    // address once per process, so it is the same for every network of a test process, and it is set
    // for the whole process before the first test.
    static std::string SystemBusAddress();
    // Runs a shell command inside the client namespace (with the client's system bus).
    int RunInClient(const std::string& command, std::string* output = nullptr) const;

private:
    bool MakeNetwork(std::string* error);
    bool WriteFiles();
    // Starts a command in a namespace, under a private mount namespace; setup runs first (in that
    // shell). An empty namespace starts it here. Its output goes to dir_/<log>.out.
    bool Launch(const std::string& ns, const std::string& setup, const std::string& command,
                const std::string& log, std::string* error);
    bool WaitFor(const std::string& what, const std::string& command, const std::string& expected,
                 std::string* error);

    NetNamespace server_;
    NetNamespace client_;
    std::string serverLink_;
    std::string clientLink_;
    std::string dir_;
    std::vector<pid_t> processes_;
};
