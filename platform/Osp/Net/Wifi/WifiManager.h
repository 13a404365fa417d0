#pragma once
// Wi-Fi state and activation. A desktop is always on its network, so Wi-Fi reports activated and
// connected; tests may switch it off (host/WifiState.h) to see how the system asks the user. Activate
// turns it on and tells the listener from the event loop.

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::Net::Wifi {

using Osp::Base::result;

class IWifiManagerEventListener {
public:
    virtual ~IWifiManagerEventListener() = default;
    virtual void OnWifiActivated(result r) = 0;
    virtual void OnWifiConnected(const Osp::Base::String& ssid, result r) = 0;
    virtual void OnWifiDeactivated(result r) = 0;
    virtual void OnWifiDisconnected() = 0;
    virtual void OnWifiRssiChanged(long rssi) = 0;
    virtual void OnWifiScanCompletedN(const Osp::Base::Collection::IList* infos, result r) = 0;
};

class WifiManager : public Osp::Base::Object {
public:
    WifiManager();
    ~WifiManager() override;
    result Construct(IWifiManagerEventListener& listener);
    bool IsActivated() const;
    bool IsConnected() const;
    result Activate();

private:
    IWifiManagerEventListener* listener_ = nullptr;
    class Pending;
    Pending* pending_ = nullptr;  // an activation answer not yet delivered
};

}  // namespace Osp::Net::Wifi
