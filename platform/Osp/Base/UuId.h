#pragma once

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::Base {

// A 128-bit identifier, written as 8-4-4-4-12 hexadecimal digits.
class UuId : public Object {
public:
    UuId() = default;
    String ToString() const;
    // E_INVALID_ARG (and no change) when the text is not an identifier.
    static result Parse(const String& text, UuId& out);
    static UuId Generate();

    bool operator==(const UuId& o) const;
    bool operator!=(const UuId& o) const { return !(*this == o); }

    unsigned char bytes[16] = {};
};

}  // namespace Osp::Base
