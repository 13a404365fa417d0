#include "fs/IFsDir.h"

#include "app/PathUtils.h"
#include "app/StringUtils.h"
#include "fs/IFsBrowser.h"

std::wstring IFsDir::GetProperName() const {
    wchar_t slash = GetBrowser()->GetSlash();
    std::wstring name = GetName(true);
    RemoveTrailingSymbol(&name, slash, false);
    std::wstring dir;
    std::wstring last;
    if (ParseFileName(name, &dir, &last, slash)) {
        return last;
    }
    return name;
}
