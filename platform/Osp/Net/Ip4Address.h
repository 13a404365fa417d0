#pragma once

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"

namespace Osp::Net {

using Osp::Base::result;

// An IPv4 address, held in host byte order.
class Ip4Address : public Osp::Base::Object {
public:
    explicit Ip4Address(unsigned long hostOrder = 0) : address_(static_cast<unsigned int>(hostOrder)) {}
    // E_INVALID_ARG unless the text is a dotted address of four numbers from 0 to 255.
    static result Parse(const Osp::Base::String& dotted, Ip4Address& out);
    unsigned long GetAddress() const { return address_; }
    Osp::Base::String ToString() const;
    bool operator==(const Ip4Address& o) const { return address_ == o.address_; }

private:
    unsigned int address_;
};

class NetEndPoint : public Osp::Base::Object {
public:
    NetEndPoint() = default;
    NetEndPoint(const Ip4Address& address, unsigned short port) : address_(address), port_(port) {}
    const Ip4Address& GetAddress() const { return address_; }
    unsigned short GetPort() const { return port_; }

private:
    Ip4Address address_;
    unsigned short port_ = 0;
};

}  // namespace Osp::Net
