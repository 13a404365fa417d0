#include "Osp/Io/Directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "host/FileStat.h"
#include "host/HostPaths.h"

namespace Osp::Io {

using Osp::Base::E_SUCCESS;

namespace {

// Removes everything below the folder open as fd, never following links; the first failure wins.
result RemoveContents(int fd) {
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        int error = errno;
        ::close(fd);
        return host::ResultFromErrno(error);
    }
    result r = E_SUCCESS;
    while (struct dirent* e = ::readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        struct stat st;
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            r = r != E_SUCCESS ? r : host::ResultFromErrno(errno);
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            int child = ::openat(::dirfd(dir), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            result cr = child < 0 ? host::ResultFromErrno(errno) : RemoveContents(child);
            if (cr == E_SUCCESS && ::unlinkat(::dirfd(dir), name.c_str(), AT_REMOVEDIR) != 0) {
                cr = host::ResultFromErrno(errno);
            }
            r = r != E_SUCCESS ? r : cr;
        } else if (::unlinkat(::dirfd(dir), name.c_str(), 0) != 0) {
            r = r != E_SUCCESS ? r : host::ResultFromErrno(errno);
        }
    }
    ::closedir(dir);
    return r;
}

}  // namespace

result DirEnumerator::MoveNext() {
    if (current_ == static_cast<size_t>(-1)) {
        current_ = 0;
    } else if (current_ < entries_.size()) {
        ++current_;
    }
    return current_ < entries_.size() ? E_SUCCESS : Osp::Base::E_END_OF_FILE;
}

result DirEnumerator::Reset() {
    current_ = static_cast<size_t>(-1);
    return E_SUCCESS;
}

result Directory::Construct(const String& path) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    struct stat st;
    if (::stat(hostPath.c_str(), &st) != 0) {
        return host::ResultFromErrno(errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        return Osp::Base::E_FILE_NOT_FOUND;
    }
    path_ = path;
    constructed_ = true;
    return E_SUCCESS;
}

DirEnumerator* Directory::ReadN() {
    std::string hostPath;
    result r = constructed_ ? host::MapPath(path_.Units(), hostPath) : Osp::Base::E_INVALID_STATE;
    if (r != E_SUCCESS) {
        Osp::Base::SetLastResult(r);
        return nullptr;
    }
    DIR* dir = ::opendir(hostPath.c_str());
    if (dir == nullptr) {
        Osp::Base::SetLastResult(host::ResultFromErrno(errno));
        return nullptr;
    }
    auto* e = new DirEnumerator;
    while (struct dirent* d = ::readdir(dir)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        host::FileStat st;
        if (host::StatPath(::dirfd(dir), name, st) != E_SUCCESS) {
            continue;  // gone since it was listed
        }
        DirEntry entry;
        entry.name = String(host::FromHostBytes(name));
        entry.size = st.size;
        entry.modified = st.modified;
        entry.directory = st.directory;
        entry.hidden = name[0] == '.';
        entry.readOnly = st.readOnly;
        entry.link = st.link;
        entry.special = st.special;
        e->entries_.push_back(std::move(entry));
    }
    ::closedir(dir);
    Osp::Base::SetLastResult(E_SUCCESS);
    return e;
}

result Directory::Create(const String& path, bool createParentDirectories) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    if (createParentDirectories) {
        for (size_t slash = hostPath.find('/', 1); slash != std::string::npos;
             slash = hostPath.find('/', slash + 1)) {
            std::string parent = hostPath.substr(0, slash);
            if (::mkdir(parent.c_str(), 0755) != 0 && errno != EEXIST) {
                return host::ResultFromErrno(errno);
            }
        }
        if (::mkdir(hostPath.c_str(), 0755) != 0) {
            struct stat st;
            return errno == EEXIST && ::stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode)
                       ? E_SUCCESS
                       : host::ResultFromErrno(errno);
        }
        return E_SUCCESS;
    }
    return ::mkdir(hostPath.c_str(), 0755) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
}

result Directory::Remove(const String& path, bool recursive) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    if (recursive) {
        int fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            return host::ResultFromErrno(errno);
        }
        r = RemoveContents(fd);
        if (r != E_SUCCESS) {
            return r;
        }
    }
    return ::rmdir(hostPath.c_str()) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
}

result Directory::Rename(const String& oldPath, const String& newPath) {
    std::string from, to;
    result r = host::MapPath(oldPath.Units(), from);
    if (r == E_SUCCESS) {
        r = host::MapPath(newPath.Units(), to);
    }
    if (r != E_SUCCESS) {
        return r;
    }
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return E_SUCCESS;
    }
    return host::ResultFromErrno(errno);
}

result Directory::RemoveFiles(const String& path) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return errno == ELOOP || errno == ENOTDIR ? Osp::Base::E_INVALID_ARG : host::ResultFromErrno(errno);
    }
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        int error = errno;
        ::close(fd);
        return host::ResultFromErrno(error);
    }
    while (struct dirent* e = ::readdir(dir)) {
        struct stat st;
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        if (::unlinkat(::dirfd(dir), e->d_name, 0) != 0 && r == E_SUCCESS) {
            r = host::ResultFromErrno(errno);
        }
    }
    ::closedir(dir);
    return r;
}

}  // namespace Osp::Io
