#include "app/PathUtils.h"

bool ParseFileName(const std::wstring& path, std::wstring* dir, std::wstring* name, wchar_t sep) {
    if (path.empty()) {
        return false;
    }
    if (sep == 0) {
        sep = path.front();
    }
    size_t at = path.rfind(sep);
    if (at == std::wstring::npos) {
        return false;
    }
    *dir = path.substr(0, at + 1);
    *name = path.substr(at + 1);
    return true;
}

void GetFileExt(const std::wstring& name, std::wstring* ext) {
    size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) {
        ext->clear();
        return;
    }
    *ext = name.substr(dot + 1);
}

void SplitFileName(const std::wstring& name, std::wstring* base, std::wstring* ext) {
    GetFileExt(name, ext);
    if (ext->empty()) {
        *base = name;
        return;
    }
    *base = name.substr(0, name.size() - ext->size() - 1);
}
