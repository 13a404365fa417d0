#include "net/discovery/WsdMetadata.h"

#include "net/discovery/WsdXml.h"

namespace {

constexpr std::size_t kMaxTextUnits = 1024;
// A computer name longer than a DNS name is no computer name.
constexpr std::size_t kMaxNameUnits = 255;

bool Printable(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
    }
    return true;
}

// "NAME/Workgroup:GROUP", "NAME/Domain:DOMAIN" or a bare "NAME".
bool SplitComputer(const std::wstring& text, WsdComputer* out) {
    const size_t slash = text.find(L'/');
    out->name = text.substr(0, slash);
    out->workgroup.clear();
    if (slash != std::wstring::npos) {
        const std::wstring rest = text.substr(slash + 1);
        for (const std::wstring& label : {std::wstring(L"Workgroup:"), std::wstring(L"Domain:")}) {
            if (rest.compare(0, label.size(), label) == 0) {
                out->workgroup = rest.substr(label.size());
            }
        }
    }
    return !out->name.empty() && out->name.size() <= kMaxNameUnits &&
           out->workgroup.size() <= kMaxNameUnits && Printable(out->name) && Printable(out->workgroup);
}

}  // namespace

bool ParseWsdMetadata(const void* data, std::size_t length, WsdComputer* out) {
    *out = WsdComputer();
    if (length > kWsdMaxMetadata) {
        return false;
    }
    std::wstring computer;
    bool walked = WalkXml(data, length, kMaxTextUnits, [&](const XmlPath& path, const std::wstring& text) {
        if (computer.empty() && path.size() >= 3 && path[0].ns == kSoapNs && path[0].local == L"Envelope" &&
            path[1].ns == kSoapNs && path[1].local == L"Body" &&
            PathEndsWith(path, {{kWsdpNs, L"Relationship"}, {kWsdpNs, L"Host"}, {kPubNs, L"Computer"}})) {
            computer = TrimXmlSpace(text);
        }
        return true;
    });
    if (!walked || computer.empty() || !SplitComputer(computer, out)) {
        *out = WsdComputer();
        return false;
    }
    return true;
}
