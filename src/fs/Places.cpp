#include "fs/Places.h"

#include "app/StringUtils.h"
#include "fs/IFsBrowser.h"

namespace {

std::wstring Comparable(const IFsBrowser& browser, std::wstring path) {
    if (FoldsCase(browser)) {
        MakeLower(&path);
    }
    return path;
}

}  // namespace

bool FoldsCase(const IFsBrowser& browser) {
    return browser.GetType() == BROWSER_SMB;
}

bool SameStorage(const IFsBrowser& a, const IFsBrowser& b) {
    return &a == &b || a.GetStorageName() == b.GetStorageName();
}

bool SamePlace(const IFsBrowser& a, const std::wstring& pathA, const IFsBrowser& b,
               const std::wstring& pathB) {
    return SameStorage(a, b) && Comparable(a, pathA) == Comparable(a, pathB);
}

bool IsInsideFolder(const IFsBrowser& a, const std::wstring& folder, const IFsBrowser& b,
                    const std::wstring& path) {
    if (!SameStorage(a, b)) {
        return false;
    }
    const std::wstring inner = Comparable(a, path);
    const std::wstring outer = Comparable(a, folder);
    return inner.compare(0, outer.size(), outer) == 0;
}
