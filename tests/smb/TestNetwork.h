#pragma once
// Private networks for the name-service tests: network namespaces that the test creates and removes, so
// that datagrams, broadcasts included, never leave the machine's test setup.
//
// NetNamespace is one namespace with only its loopback up. NameServiceNet is two namespaces joined by a
// veth pair, a server side running nmbd (a WINS server with its own NetBIOS name) and a client side
// whose default route is the veth, so that a broadcast from it reaches nmbd and nothing else. Both undo
// everything in their destructors; namespaces left behind by a test process that died are removed by the
// next one. NetNsScope moves the calling thread into a namespace for its lifetime: sockets made meanwhile
// stay in that namespace. Needs root.

#include <sys/types.h>
#include <string>

class NetNamespace {
public:
    NetNamespace() = default;
    ~NetNamespace();
    NetNamespace(const NetNamespace&) = delete;
    NetNamespace& operator=(const NetNamespace&) = delete;

    // role makes the name unique within this process.
    bool Create(const std::string& role, std::string* error);
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

class NameServiceNet {
public:
    static constexpr const char* kServerAddress = "10.213.0.1";
    static constexpr const char* kClientAddress = "10.213.0.2";
    static constexpr const char* kServerName = "CORVNAS";

    NameServiceNet() = default;
    ~NameServiceNet();
    NameServiceNet(const NameServiceNet&) = delete;
    NameServiceNet& operator=(const NameServiceNet&) = delete;

    // Builds the network, starts nmbd and waits until it answers for its name by broadcast.
    bool Start(std::string* error);
    const std::string& ClientNamespace() const { return client_.Name(); }

private:
    bool StartNmbd(std::string* error);
    bool WaitForName(int timeoutMs);
    void StopNmbd();

    NetNamespace server_;
    NetNamespace client_;
    std::string dir_;
    pid_t nmbd_ = -1;
};

class NetNsScope {
public:
    explicit NetNsScope(const std::string& name);
    ~NetNsScope();
    NetNsScope(const NetNsScope&) = delete;
    NetNsScope& operator=(const NetNsScope&) = delete;

    bool Entered() const { return entered_; }

private:
    int original_ = -1;
    bool entered_ = false;
};
