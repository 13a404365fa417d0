#pragma once
// The network preference of the process: which connection sockets use. A desktop has one network, so the
// preference is kept and reported but changes nothing; it stays for the rest of the process.

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"

namespace Osp::Net {

using Osp::Base::result;

enum NetPreferenceType {
    NET_PS_ONLY = 0,
    NET_PS_FIRST = 1,
    NET_WIFI_ONLY = 2,
    NET_WIFI_FIRST = 3,  // the connection the system uses for its sockets
};

class NetAccountManager : public Osp::Base::Object {
public:
    result Construct();
    // E_INVALID_ARG for a value outside NetPreferenceType; E_INVALID_STATE before Construct.
    result SetNetPreference(NetPreferenceType preference);
    NetPreferenceType GetNetPreference() const;

private:
    bool constructed_ = false;
};

}  // namespace Osp::Net
