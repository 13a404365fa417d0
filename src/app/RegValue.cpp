#include "app/RegValue.h"

#include "app/Results.h"

using Osp::Base::result;
using Osp::Base::String;
using Osp::Io::Registry;

namespace {

template <typename T>
result SetOrAdd(Registry& reg, const String& section, const String& key, const T& value) {
    result r = reg.SetValue(section, key, value);
    if (r == RES_KEY_NOT_FOUND) {
        r = reg.AddValue(section, key, value);
    }
    return r;
}

}  // namespace

result SetRegValue(Registry& reg, const String& section, const String& key, const int& value) {
    return SetOrAdd(reg, section, key, value);
}

result SetRegValue(Registry& reg, const String& section, const String& key, const double& value) {
    return SetOrAdd(reg, section, key, value);
}

result SetRegValue(Registry& reg, const String& section, const String& key, const float& value) {
    return SetOrAdd(reg, section, key, value);
}

result SetRegValue(Registry& reg, const String& section, const String& key, const Osp::Base::UuId& value) {
    return SetOrAdd(reg, section, key, value);
}

result SetRegValue(Registry& reg, const String& section, const String& key,
                   const Osp::Base::ByteBuffer& value) {
    return SetOrAdd(reg, section, key, value);
}

result SetRegValue(Registry& reg, const String& section, const String& key, const String& value) {
    if (!value.IsEmpty()) {
        return SetOrAdd(reg, section, key, value);
    }
    result r = reg.RemoveValue(section, key);
    return r == RES_NO_SUCH_ENTRY || r == RES_KEY_NOT_FOUND ? RES_OK : r;
}
