#pragma once

#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::System {

// Values of the running device by key: "AvailableInternalStorage" and "AvailableExternalStorage" (free
// bytes of the storage behind "/Home/" and behind the memory card; E_FILE_NOT_FOUND without a card),
// "AvailableMemory" (bytes). E_INVALID_ARG for an unknown key.
class RuntimeInfo {
public:
    static Osp::Base::result GetValue(const Osp::Base::String& key, long long& value);
};

}  // namespace Osp::System
