#include "net/discovery/WsdMessages.h"

#include "net/discovery/WsdXml.h"

namespace {

// Endpoints and addresses are echoed into requests and compared: only printable ASCII is taken.
bool ToPrintableAscii(const std::wstring& text, std::string* out) {
    out->clear();
    for (wchar_t c : text) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
        out->push_back(static_cast<char>(c));
    }
    return true;
}

// Envelope, Body, ProbeMatches, ProbeMatch (or the Resolve pair): where a match's element lies.
constexpr size_t kMatchDepth = 4;
constexpr wchar_t kProbeMatchesAction[] = L"http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches";
constexpr wchar_t kResolveMatchesAction[] = L"http://schemas.xmlsoap.org/ws/2005/04/discovery/ResolveMatches";

bool InMatch(const XmlPath& path) {
    if (path.size() < kMatchDepth || !PathEndsWith(XmlPath(path.begin(), path.begin() + 2),
                                                   {{kSoapNs, L"Envelope"}, {kSoapNs, L"Body"}})) {
        return false;
    }
    if (path[2].ns != kWsdNs || path[3].ns != kWsdNs) {
        return false;
    }
    return (path[2].local == L"ProbeMatches" && path[3].local == L"ProbeMatch") ||
           (path[2].local == L"ResolveMatches" && path[3].local == L"ResolveMatch");
}

}  // namespace

bool ParseWsdMessage(const void* data, std::size_t length, WsdMessage* out) {
    *out = WsdMessage();
    std::wstring action;
    WsdMatch match;
    bool fieldsOk = true;
    bool walked =
        WalkXml(data, length, kWsdMaxFieldUnits, [&](const XmlPath& path, const std::wstring& text) {
            const std::wstring value = TrimXmlSpace(text);
            if (PathEndsWith(path, {{kSoapNs, L"Envelope"}, {kSoapNs, L"Header"}, {kWsaNs, L"Action"}})) {
                action = value;
            } else if (PathEndsWith(path,
                                    {{kSoapNs, L"Envelope"}, {kSoapNs, L"Header"}, {kWsaNs, L"RelatesTo"}})) {
                fieldsOk = ToPrintableAscii(value, &out->relatesTo);
            } else if (InMatch(path)) {
                if (path.size() == kMatchDepth) {
                    if (out->matches.size() >= kWsdMaxMatches) {
                        return false;
                    }
                    out->matches.push_back(match);
                    match = WsdMatch();
                } else if (path.size() == kMatchDepth + 1 && path.back().ns == kWsdNs) {
                    if (path.back().local == L"Types") {
                        fieldsOk = ToPrintableAscii(value, &match.types);
                    } else if (path.back().local == L"XAddrs") {
                        fieldsOk = ToPrintableAscii(value, &match.xaddrs);
                    }
                } else if (path.size() == kMatchDepth + 2 &&
                           PathEndsWith(path, {{kWsaNs, L"EndpointReference"}, {kWsaNs, L"Address"}})) {
                    fieldsOk = ToPrintableAscii(value, &match.endpoint);
                }
            }
            return fieldsOk;
        });
    if (!walked || !fieldsOk) {
        *out = WsdMessage();
        return false;
    }
    if (action == kProbeMatchesAction) {
        out->action = WSD_ACTION_PROBE_MATCHES;
    } else if (action == kResolveMatchesAction) {
        out->action = WSD_ACTION_RESOLVE_MATCHES;
    } else {
        out->matches.clear();
    }
    return true;
}

bool WsdTypesNameComputer(const std::string& types) {
    size_t start = 0;
    while (start < types.size()) {
        size_t end = types.find(' ', start);
        if (end == std::string::npos) {
            end = types.size();
        }
        const std::string name = types.substr(start, end - start);
        const size_t colon = name.rfind(':');
        if ((colon == std::string::npos ? name : name.substr(colon + 1)) == "Computer") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool PickWsdXAddr(const std::string& xaddrs, unsigned long sender, unsigned short* port, std::string* path) {
    const std::string host = std::to_string((sender >> 24) & 0xFF) + "." +
                             std::to_string((sender >> 16) & 0xFF) + "." +
                             std::to_string((sender >> 8) & 0xFF) + "." + std::to_string(sender & 0xFF);
    const std::string scheme = "http://";
    size_t start = 0;
    while (start < xaddrs.size()) {
        size_t end = xaddrs.find(' ', start);
        if (end == std::string::npos) {
            end = xaddrs.size();
        }
        const std::string url = xaddrs.substr(start, end - start);
        start = end + 1;
        if (url.compare(0, scheme.size(), scheme) != 0) {
            continue;
        }
        const size_t slash = url.find('/', scheme.size());
        const std::string authority =
            url.substr(scheme.size(), slash == std::string::npos ? std::string::npos : slash - scheme.size());
        const size_t colon = authority.find(':');
        if (authority.substr(0, colon) != host) {
            continue;
        }
        unsigned long number = 80;
        if (colon != std::string::npos) {
            const std::string digits = authority.substr(colon + 1);
            if (digits.empty() || digits.size() > 5 ||
                digits.find_first_not_of("0123456789") != std::string::npos) {
                continue;
            }
            number = std::stoul(digits);
            if (number == 0 || number > 65535) {
                continue;
            }
        }
        *port = static_cast<unsigned short>(number);
        *path = slash == std::string::npos ? "/" : url.substr(slash);
        return true;
    }
    return false;
}
