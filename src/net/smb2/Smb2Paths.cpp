#include "net/smb2/Smb2Paths.h"

#include "net/Utf8Names.h"

namespace {

// Seconds from 1601 (Windows file times) to 1970.
constexpr long long kEpochDifference = 11644473600LL;
constexpr long long kTicksPerSecond = 10000000LL;

}  // namespace

bool ToLibraryPath(const std::wstring& path, std::string* out) {
    std::wstring slashed = L"/";
    std::wstring component;
    auto endComponent = [&]() {
        if (component == L"..") {
            return false;
        }
        if (!component.empty() && component != L".") {
            if (slashed.size() > 1) {
                slashed += L'/';
            }
            slashed += component;
        }
        component.clear();
        return true;
    };
    for (wchar_t c : path) {
        if (c == L'\\' || c == L'/') {
            if (!endComponent()) {
                return false;
            }
        } else if (c == L'\0') {
            return false;
        } else {
            component += c;
        }
    }
    return endComponent() && ToUtf8Name(slashed, out);
}

SSmbFileInfo ToFileInfo(const host::SmbClientEntry& entry) {
    SSmbFileInfo info;
    info.endOfFile = entry.size;
    info.attributes = (entry.isDir ? SMB_ATTR_DIRECTORY : 0) | (entry.hidden ? SMB_ATTR_HIDDEN : 0) |
                      (entry.readOnly ? SMB_ATTR_READONLY : 0) |
                      (entry.reparsePoint ? SMB_ATTR_REPARSE_POINT : 0);
    if (entry.mtime > -kEpochDifference) {
        info.writeTime = static_cast<unsigned long long>(entry.mtime + kEpochDifference) * kTicksPerSecond;
    }
    return info;
}
