#pragma once
// Finds SMB servers that announce themselves by DNS-SD (Samba through Avahi, NAS boxes, Macs): the
// "_smb._tcp" services browsed and resolved through the platform's service browser, which asks the
// local service discovery daemon. The server's name is its host name without the ".local" domain; DNS-SD
// tells no workgroup.
//
// User-interface thread. The listener is not owned; it hears each service resolved, then the end of this
// way: RES_OK when the daemon has told all it knows, E_SERVICE_UNAVAILABLE when the daemon does not run
// (from Start already, as its result, or later through OnDiscoveryEnded).

#include "Osp/Net/ServiceBrowser.h"
#include "net/discovery/IDiscoveryListener.h"

class DnsSdDiscovery : public Osp::Net::IServiceBrowserListener {
public:
    explicit DnsSdDiscovery(IDiscoveryListener* listener);
    ~DnsSdDiscovery() override;
    DnsSdDiscovery(const DnsSdDiscovery&) = delete;
    DnsSdDiscovery& operator=(const DnsSdDiscovery&) = delete;

    unsigned long Start();
    void Stop();

    void OnServiceFound(const Osp::Net::ServiceInfo& service) override;
    void OnServiceBrowseFinished(Osp::Base::result r) override;

private:
    IDiscoveryListener* listener_;
    Osp::Net::ServiceBrowser browser_;  // user-interface thread
};
