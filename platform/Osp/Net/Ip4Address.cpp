#include "Osp/Net/Ip4Address.h"

#include <string>

namespace Osp::Net {

result Ip4Address::Parse(const Osp::Base::String& dotted, Ip4Address& out) {
    const std::wstring& s = dotted.Units();
    unsigned int address = 0;
    size_t i = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (i >= s.size() || s[i] != L'.') {
                return Osp::Base::E_INVALID_ARG;
            }
            ++i;
        }
        size_t digits = 0;
        unsigned int value = 0;
        while (i < s.size() && s[i] >= L'0' && s[i] <= L'9' && digits < 3) {
            value = value * 10 + static_cast<unsigned int>(s[i] - L'0');
            ++i, ++digits;
        }
        if (digits == 0 || value > 255) {
            return Osp::Base::E_INVALID_ARG;
        }
        address = address << 8 | value;
    }
    if (i != s.size()) {
        return Osp::Base::E_INVALID_ARG;
    }
    out = Ip4Address(address);
    return Osp::Base::E_SUCCESS;
}

Osp::Base::String Ip4Address::ToString() const {
    std::wstring text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_wstring((address_ >> shift) & 0xFF);
        if (shift > 0) {
            text += L'.';
        }
    }
    return Osp::Base::String(text);
}

}  // namespace Osp::Net
