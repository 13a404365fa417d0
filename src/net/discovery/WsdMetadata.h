#pragma once
// Reading the answer of WS-Discovery's metadata exchange (the GetResponse a computer sends over HTTP):
// the computer name and its workgroup or domain, which the host relationship carries as
// "NAME/Workgroup:GROUP" or "NAME/Domain:DOMAIN". The document comes from the network: it is read through
// the XML reader with bounds on its size, depth and text. Stateless; any thread.

#include <cstddef>
#include <string>

inline constexpr std::size_t kWsdMaxMetadata = 64 * 1024;

struct WsdComputer {
    std::wstring name;
    std::wstring workgroup;  // empty when not told
};

// False when the document is malformed, breaks a bound or names no computer.
bool ParseWsdMetadata(const void* data, std::size_t length, WsdComputer* out);
