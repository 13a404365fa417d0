#include "net/discovery/DnsSdDiscovery.h"

namespace {

constexpr wchar_t kSmbServiceType[] = L"_smb._tcp";

// "nas.local" or "nas.local." gives "nas"; a name in another domain stays whole.
std::wstring HostLabel(std::wstring host) {
    if (!host.empty() && host.back() == L'.') {
        host.pop_back();
    }
    const std::wstring local = L".local";
    if (host.size() > local.size() && host.compare(host.size() - local.size(), local.size(), local) == 0) {
        host.erase(host.size() - local.size());
    }
    return host;
}

}  // namespace

DnsSdDiscovery::DnsSdDiscovery(IDiscoveryListener* listener) : listener_(listener) {}

DnsSdDiscovery::~DnsSdDiscovery() {
    Stop();
}

unsigned long DnsSdDiscovery::Start() {
    browser_.Stop();
    return browser_.Start(kSmbServiceType, *this);
}

void DnsSdDiscovery::Stop() {
    browser_.Stop();
}

void DnsSdDiscovery::OnServiceFound(const Osp::Net::ServiceInfo& service) {
    DiscoveredServer server;
    server.name = HostLabel(service.hostName);
    server.address = service.address.GetAddress();
    server.ways = DISCOVERY_DNSSD;
    listener_->OnServerFound(server);
}

void DnsSdDiscovery::OnServiceBrowseFinished(Osp::Base::result r) {
    listener_->OnDiscoveryEnded(DISCOVERY_DNSSD, r);
}
