#pragma once
// Finds the services of one DNS-SD type (such as "_smb._tcp") on the local links through the local
// service discovery daemon (Avahi), and resolves each to a host name, an IPv4 address and a port.
//
// Start and Stop are called on the user-interface thread, and every answer reaches the listener there,
// in the order the daemon gave it: OnServiceFound for each resolved service (the same service seen on
// two links comes twice), then once OnServiceBrowseFinished when the daemon has told all it knows for
// now, or when it fails. Nothing comes after Stop, which also ends a search still running. The
// listener is not owned and may Stop or delete the browser inside its calls.
//
// Results: Start gives E_SERVICE_UNAVAILABLE when the daemon does not run, E_INVALID_STATE when a search
// runs already. OnServiceBrowseFinished gives E_SUCCESS, or E_SERVICE_UNAVAILABLE when the daemon went
// away meanwhile, or E_FAILURE when it could not browse.

#include <memory>
#include <string>

#include "Osp/Base/Result.h"
#include "Osp/Net/Ip4Address.h"

namespace Osp::Net {

// A local service the call relies on (the daemon) is not running.
inline constexpr Osp::Base::result E_SERVICE_UNAVAILABLE = 0xA0000BA7;

struct ServiceInfo {
    std::wstring name;      // the service's instance name, as announced
    std::wstring hostName;  // the host's name, with its domain (".local")
    Ip4Address address;
    unsigned short port = 0;
};

class IServiceBrowserListener {
public:
    virtual ~IServiceBrowserListener() = default;
    virtual void OnServiceFound(const ServiceInfo& service) = 0;
    virtual void OnServiceBrowseFinished(Osp::Base::result r) = 0;
};

class ServiceBrowser {
public:
    // Services resolved per search at most; more are not looked at.
    static constexpr int kMaxServices = 64;

    ServiceBrowser();
    ~ServiceBrowser();  // stops
    ServiceBrowser(const ServiceBrowser&) = delete;
    ServiceBrowser& operator=(const ServiceBrowser&) = delete;

    Osp::Base::result Start(const std::wstring& type, IServiceBrowserListener& listener);
    void Stop();

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Net
