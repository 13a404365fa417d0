#pragma once
// The answers WS-Discovery brings back over UDP (ProbeMatches, ResolveMatches) and what a search takes
// from them. Answers come
// from anyone on the link: each is read through the XML reader with bounds on its size, depth and text,
// and an endpoint or address list that is not plain printable ASCII is refused. Stateless; any thread.

#include <cstddef>
#include <string>
#include <vector>

inline constexpr unsigned short kWsdPort = 3702;
inline constexpr unsigned long kWsdMulticastGroup = 0xEFFFFFFA;  // 239.255.255.250
// SOAP-over-UDP's largest message; a longer datagram is cut and then fails parsing.
inline constexpr std::size_t kWsdMaxDatagram = 32767;
inline constexpr std::size_t kWsdMaxMatches = 16;
inline constexpr std::size_t kWsdMaxFieldUnits = 1024;

enum TWsdAction { WSD_ACTION_OTHER, WSD_ACTION_PROBE_MATCHES, WSD_ACTION_RESOLVE_MATCHES };

struct WsdMatch {
    std::string endpoint;  // the device's endpoint address, such as urn:uuid:...
    std::string types;     // its types, space-separated qualified names
    std::string xaddrs;    // its transport addresses, space-separated URLs; may be empty
};

struct WsdMessage {
    TWsdAction action = WSD_ACTION_OTHER;
    std::string relatesTo;  // the message id of the request this answers
    std::vector<WsdMatch> matches;
};

// False when the datagram is not a well-formed SOAP message, or a match in it breaks a bound. A
// well-formed message of another kind gives true with WSD_ACTION_OTHER.
bool ParseWsdMessage(const void* data, std::size_t length, WsdMessage* out);

// Whether the types name a computer (a qualified name whose local part is "Computer").
bool WsdTypesNameComputer(const std::string& types);

// From a match's transport addresses: the first "http://" address whose host is the dotted form of
// sender (the answer's own source), with its port (80 when none is given) and its path. False when
// there is none: an answer that points elsewhere than its sender is not followed.
bool PickWsdXAddr(const std::string& xaddrs, unsigned long sender, unsigned short* port, std::string* path);
