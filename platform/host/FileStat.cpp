#include "host/FileStat.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "host/HostPaths.h"

namespace host {
namespace {

Osp::Base::DateTime FromTimespec(const struct timespec& ts) {
    Osp::Base::DateTime d = Osp::Base::DateTime::FromUnixSeconds(ts.tv_sec);
    d.AddMilliseconds(ts.tv_nsec / 1000000);
    return d;
}

}  // namespace

Osp::Base::result StatPath(int dirFd, const char* path, FileStat& out) {
    struct stat st;
    if (::fstatat(dirFd, path, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return ResultFromErrno(errno);
    }
    out.link = S_ISLNK(st.st_mode);
    if (out.link) {
        struct stat target;
        if (::fstatat(dirFd, path, &target, 0) == 0) {
            st = target;
        }
    }
    out.directory = S_ISDIR(st.st_mode);
    out.special = !out.directory && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode);
    out.size = out.directory ? 0 : static_cast<long long>(st.st_size);
    out.modified = FromTimespec(st.st_mtim);
    out.changed = FromTimespec(st.st_ctim);
    out.readOnly = (st.st_mode & S_IWUSR) == 0;
    return Osp::Base::E_SUCCESS;
}

}  // namespace host
