#include "Osp/System/RuntimeInfo.h"

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "host/HostPaths.h"

namespace Osp::System {
namespace {

Osp::Base::result FreeBytes(const std::string& hostPath, long long& value) {
    struct statvfs fs;
    if (::statvfs(hostPath.c_str(), &fs) != 0) {
        return host::ResultFromErrno(errno);
    }
    value = static_cast<long long>(fs.f_bavail) * static_cast<long long>(fs.f_frsize);
    return Osp::Base::E_SUCCESS;
}

}  // namespace

Osp::Base::result RuntimeInfo::GetValue(const Osp::Base::String& key, long long& value) {
    const std::wstring& k = key.Units();
    if (k == L"AvailableInternalStorage") {
        return FreeBytes(host::PlaceFolder(host::Place::kPrivate), value);
    }
    if (k == L"AvailableExternalStorage") {
        const std::string card = host::PlaceFolder(host::Place::kCard);
        if (card.empty()) {
            return Osp::Base::E_FILE_NOT_FOUND;
        }
        return FreeBytes(card, value);
    }
    if (k == L"AvailableMemory") {
        long pages = ::sysconf(_SC_AVPHYS_PAGES);
        long size = ::sysconf(_SC_PAGESIZE);
        if (pages < 0 || size < 0) {
            return Osp::Base::E_FAILURE;
        }
        value = static_cast<long long>(pages) * size;
        return Osp::Base::E_SUCCESS;
    }
    return Osp::Base::E_INVALID_ARG;
}

}  // namespace Osp::System
