#include "Osp/Net/Wifi/WifiManager.h"

#include <QObject>
#include <QTimer>

#include "host/EventLoop.h"
#include "host/WifiState.h"

namespace host {
WifiState& Wifi() {
    static WifiState state;
    return state;
}
}  // namespace host

namespace Osp::Net::Wifi {

// The activation answer, delivered from the loop unless the manager goes first.
class WifiManager::Pending : public QObject {};

WifiManager::WifiManager() = default;

WifiManager::~WifiManager() {
    delete pending_;
}

result WifiManager::Construct(IWifiManagerEventListener& listener) {
    listener_ = &listener;
    return Osp::Base::E_SUCCESS;
}

bool WifiManager::IsActivated() const {
    return host::Wifi().activated;
}

bool WifiManager::IsConnected() const {
    return host::Wifi().connected;
}

result WifiManager::Activate() {
    if (listener_ == nullptr) {
        return Osp::Base::E_INVALID_STATE;
    }
    host::EnsureQtApplication();
    host::Wifi().activated = true;
    host::Wifi().connected = true;
    if (pending_ == nullptr) {
        pending_ = new Pending;
        QTimer::singleShot(0, pending_, [this] {
            pending_->deleteLater();
            pending_ = nullptr;
            listener_->OnWifiActivated(Osp::Base::E_SUCCESS);
        });
    }
    return Osp::Base::E_SUCCESS;
}

}  // namespace Osp::Net::Wifi
