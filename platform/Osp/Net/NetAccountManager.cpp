#include "Osp/Net/NetAccountManager.h"

#include <atomic>

namespace Osp::Net {
namespace {
std::atomic<NetPreferenceType> g_preference{NET_WIFI_FIRST};
}

result NetAccountManager::Construct() {
    constructed_ = true;
    return Osp::Base::E_SUCCESS;
}

result NetAccountManager::SetNetPreference(NetPreferenceType preference) {
    if (!constructed_) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (preference < NET_PS_ONLY || preference > NET_WIFI_FIRST) {
        return Osp::Base::E_INVALID_ARG;
    }
    g_preference = preference;
    return Osp::Base::E_SUCCESS;
}

NetPreferenceType NetAccountManager::GetNetPreference() const {
    return g_preference;
}

}  // namespace Osp::Net
