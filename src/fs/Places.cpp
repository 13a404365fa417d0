#include "fs/Places.h"

#include <map>

#include "app/StringUtils.h"
#include "fs/IFsBrowser.h"

namespace {

// Each storage name noted as another storage's second name, to the name it stands for.
std::map<std::wstring, std::wstring>& SecondNames() {
    static std::map<std::wstring, std::wstring> names;
    return names;
}

std::wstring FirstName(std::wstring name) {
    for (auto it = SecondNames().find(name); it != SecondNames().end(); it = SecondNames().find(name)) {
        name = it->second;
    }
    return name;
}

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
    return &a == &b || FirstName(a.GetStorageName()) == FirstName(b.GetStorageName());
}

void NoteSameStorage(const std::wstring& a, const std::wstring& b) {
    const std::wstring first = FirstName(a);
    const std::wstring second = FirstName(b);
    if (first != second) {
        SecondNames()[second] = first;
    }
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
