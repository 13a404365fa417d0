#include "host/HostPaths.h"

#include <cerrno>
#include <vector>

#include "host/ResourceDir.h"
#include "host/Trash.h"

namespace host {
namespace {

std::string& ResDirStorage() {
    static std::string dir;
    return dir;
}

std::vector<std::wstring> SplitComponents(const std::wstring& path) {
    std::vector<std::wstring> parts;
    size_t start = 1;
    while (start <= path.size()) {
        size_t end = path.find(L'/', start);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

void AppendUtf8(std::string& out, unsigned int cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the valid UTF-8 sequence at p (1 to 4) and its code point, or 0 when it is not valid.
size_t DecodeUtf8(const unsigned char* p, size_t left, unsigned int& cp) {
    unsigned char b = p[0];
    size_t len;
    unsigned int min;
    if (b < 0x80) {
        cp = b;
        return 1;
    } else if ((b & 0xE0) == 0xC0) {
        len = 2, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        len = 3, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        len = 4, cp = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (left < len) {
        return 0;
    }
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

// Whether every unit of the name has a host form: a lone surrogate other than those that stand for host
// bytes has none, and would otherwise come out as U+FFFD and make two names one.
bool HasHostForm(const std::wstring& name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned int u = static_cast<unsigned int>(name[i]) & 0xFFFF;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < name.size()) {
            const unsigned int low = static_cast<unsigned int>(name[i + 1]) & 0xFFFF;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF && !(u >= 0xDC80 && u <= 0xDCFF)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void SetResDir(const std::string& hostDir) {
    ResDirStorage() = hostDir;
}
const std::string& ResDir() {
    std::string& dir = ResDirStorage();
    if (dir.empty()) {
        dir = ResourceDirBesideBinary();
    }
    return dir;
}

Osp::Base::result MapPath(const std::wstring& virtualPath, std::string& hostPath) {
    using namespace Osp::Base;
    if (virtualPath.empty() || virtualPath[0] != L'/' || virtualPath.find(L'\0') != std::wstring::npos) {
        return E_ILLEGAL_ACCESS;
    }
    std::vector<std::wstring> parts = SplitComponents(virtualPath);
    std::string base;
    size_t rootParts;
    if (!parts.empty() && parts[0] == L"Home") {
        base = PlaceFolder(Place::kPrivate), rootParts = 1;
    } else if (!parts.empty() && parts[0] == L"Media") {
        base = PlaceFolder(Place::kPhoneMemory), rootParts = 1;
    } else if (parts.size() >= 2 && parts[0] == L"Storagecard" && parts[1] == L"Media") {
        base = PlaceFolder(Place::kCard), rootParts = 2;
        if (base.empty()) {
            return E_FILE_NOT_FOUND;
        }
    } else if (parts.size() >= 2 && parts[0] == L"Trash") {
        base = TrashHostFolder(parts[1]), rootParts = 2;
        if (base.empty()) {
            return E_FILE_NOT_FOUND;
        }
    } else if (!parts.empty() && parts[0] == L"Res") {
        base = ResDir(), rootParts = 1;
    } else {
        return E_ILLEGAL_ACCESS;
    }
    std::vector<std::wstring> rest;
    for (size_t i = rootParts; i < parts.size(); ++i) {
        const std::wstring& part = parts[i];
        if (part.empty() || part == L".") {
            continue;
        }
        if (part == L"..") {
            if (rest.empty()) {
                return E_ILLEGAL_ACCESS;
            }
            rest.pop_back();
            continue;
        }
        if (!HasHostForm(part)) {
            return E_INVALID_ARG;
        }
        rest.push_back(part);
    }
    hostPath = base;
    for (const std::wstring& part : rest) {
        hostPath += '/';
        hostPath += ToHostBytes(part);
    }
    return E_SUCCESS;
}

std::string ToHostBytes(const std::wstring& units) {
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        unsigned int u = static_cast<unsigned int>(units[i]) & 0xFFFF;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size()) {
            unsigned int low = static_cast<unsigned int>(units[i + 1]) & 0xFFFF;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xDC80 && u <= 0xDCFF) {
            out += static_cast<char>(u - 0xDC00);  // a host byte that was not UTF-8
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);  // any other lone surrogate has no host form
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::wstring FromHostBytes(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t left = bytes.size();
    while (left > 0) {
        unsigned int cp;
        size_t len = DecodeUtf8(p, left, cp);
        if (len == 0) {
            out += static_cast<wchar_t>(0xDC00 + *p);
            ++p, --left;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
        p += len, left -= len;
    }
    return out;
}

Osp::Base::result ResultFromErrno(int error) {
    using namespace Osp::Base;
    switch (error) {
        case 0:
            return E_SUCCESS;
        case ENOENT:
        case ENOTDIR:
            return E_FILE_NOT_FOUND;
        case EEXIST:
            return E_FILE_ALREADY_EXIST;
        case EACCES:
        case EPERM:
        case EISDIR:
            return E_ILLEGAL_ACCESS;
        case EROFS:
            return E_READ_ONLY;
        case ENOMEM:
            return E_OUT_OF_MEMORY;
        case ENOSPC:
        case EDQUOT:
            return E_STORAGE_FULL;
        case ENOTEMPTY:
            return E_DIR_NOT_EMPTY;
        case ENAMETOOLONG:
            return E_NAME_TOO_LONG;
        case ECONNREFUSED:
        case ETIMEDOUT:
        case EHOSTUNREACH:
            return E_CONNECTION_FAILED;
        case ECONNRESET:
        case EPIPE:
        case ECONNABORTED:
            return E_CONNECTION_RESET;
        case ENETUNREACH:
        case ENETDOWN:
            return E_NETWORK_UNAVAILABLE;
        case EAGAIN:
            return E_WOULD_BLOCK;
        case EINVAL:
        case EXDEV:
            return E_INVALID_ARG;
        default:
            return E_IO;
    }
}

}  // namespace host
