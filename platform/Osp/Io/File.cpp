#include "Osp/Io/File.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>

#include "Osp/Io/Directory.h"
#include "host/FileStat.h"
#include "host/HostPaths.h"

namespace Osp::Io {

using Osp::Base::E_SUCCESS;

File::~File() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

result File::Construct(const String& path, const String& openMode, bool createParentDirectories) {
    if (fd_ >= 0) {
        return Osp::Base::E_INVALID_STATE;
    }
    int flags;
    const std::wstring& mode = openMode.Units();
    if (mode == L"r" || mode == L"rb") {
        flags = O_RDONLY;
    } else if (mode == L"r+" || mode == L"rb+" || mode == L"r+b") {
        flags = O_RDWR;
    } else if (mode == L"w" || mode == L"wb") {
        flags = O_WRONLY | O_CREAT | O_TRUNC;
    } else if (mode == L"w+" || mode == L"wb+" || mode == L"w+b") {
        flags = O_RDWR | O_CREAT | O_TRUNC;
    } else if (mode == L"a" || mode == L"ab") {
        flags = O_WRONLY | O_CREAT | O_APPEND;
    } else if (mode == L"a+" || mode == L"ab+" || mode == L"a+b") {
        flags = O_RDWR | O_CREAT | O_APPEND;
    } else {
        return Osp::Base::E_INVALID_ARG;
    }
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    if (createParentDirectories && (flags & O_CREAT)) {
        std::wstring dir = path.Units();
        size_t slash = dir.rfind(L'/');
        if (slash != std::wstring::npos && slash > 0) {
            Directory::Create(String(dir.substr(0, slash)), true);
        }
    }
    // Opened without waiting, so that a pipe or a device in the tree cannot hold the caller; only
    // regular files are kept open, and blocking input and output is restored for them.
    int fd = ::open(hostPath.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
    if (fd < 0) {
        return host::ResultFromErrno(errno);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Osp::Base::E_ILLEGAL_ACCESS;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    return E_SUCCESS;
}

int File::Read(void* buffer, int length) {
    if (fd_ < 0 || buffer == nullptr || length < 0) {
        Osp::Base::SetLastResult(fd_ < 0 ? Osp::Base::E_INVALID_STATE : Osp::Base::E_INVALID_ARG);
        return 0;
    }
    ssize_t n;
    do {
        n = ::read(fd_, buffer, static_cast<size_t>(length));
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        Osp::Base::SetLastResult(host::ResultFromErrno(errno));
        return 0;
    }
    Osp::Base::SetLastResult(n == 0 && length > 0 ? Osp::Base::E_END_OF_FILE : E_SUCCESS);
    return static_cast<int>(n);
}

result File::Write(const void* buffer, int length) {
    if (fd_ < 0) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (buffer == nullptr || length < 0) {
        return Osp::Base::E_INVALID_ARG;
    }
    const char* p = static_cast<const char*>(buffer);
    size_t left = static_cast<size_t>(length);
    while (left > 0) {
        ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return host::ResultFromErrno(errno);
        }
        p += n, left -= static_cast<size_t>(n);
    }
    return E_SUCCESS;
}

result File::Seek(FileSeekPosition position, long long offset) {
    if (fd_ < 0) {
        return Osp::Base::E_INVALID_STATE;
    }
    int whence = position == FILESEEKPOSITION_CURRENT ? SEEK_CUR
                 : position == FILESEEKPOSITION_END   ? SEEK_END
                                                      : SEEK_SET;
    if (::lseek(fd_, static_cast<off_t>(offset), whence) < 0) {
        return errno == EINVAL ? Osp::Base::E_OUT_OF_RANGE : host::ResultFromErrno(errno);
    }
    return E_SUCCESS;
}

long long File::Tell() const {
    if (fd_ < 0) {
        return -1;
    }
    return static_cast<long long>(::lseek(fd_, 0, SEEK_CUR));
}

long long File::CopyRangeFrom(File& source, long long length) {
    if (fd_ < 0 || source.fd_ < 0 || length < 0) {
        Osp::Base::SetLastResult(Osp::Base::E_INVALID_STATE);
        return -1;
    }
    ssize_t n = 0;
    do {
        n = ::copy_file_range(source.fd_, nullptr, fd_, nullptr, static_cast<size_t>(length), 0);
    } while (n < 0 && errno == EINTR);
    if (n >= 0) {
        return static_cast<long long>(n);
    }
    const bool unsupported = errno == EXDEV || errno == EOPNOTSUPP || errno == ENOSYS || errno == EINVAL;
    Osp::Base::SetLastResult(unsupported ? Osp::Base::E_UNSUPPORTED_METHOD : host::ResultFromErrno(errno));
    return -1;
}

result File::Truncate(long long length) {
    if (fd_ < 0) {
        return Osp::Base::E_INVALID_STATE;
    }
    return ::ftruncate(fd_, static_cast<off_t>(length)) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
}

result File::Flush() {
    if (fd_ < 0) {
        return Osp::Base::E_INVALID_STATE;
    }
    return ::fsync(fd_) == 0 || errno == EINVAL ? E_SUCCESS : host::ResultFromErrno(errno);
}

result File::Remove(const String& path) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    // A folder is refused by unlink itself (EISDIR), with no look at the path first.
    return ::unlink(hostPath.c_str()) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
}

result File::Move(const String& oldPath, const String& newPath) {
    std::string from, to;
    result r = host::MapPath(oldPath.Units(), from);
    if (r == E_SUCCESS) {
        r = host::MapPath(newPath.Units(), to);
    }
    if (r != E_SUCCESS) {
        return r;
    }
    // Never replace what is already there: the caller asks about overwriting before it moves.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return E_SUCCESS;
    }
    if (errno == EINVAL || errno == ENOSYS) {
        struct stat st;
        if (::lstat(to.c_str(), &st) == 0) {
            return Osp::Base::E_FILE_ALREADY_EXIST;
        }
        return ::rename(from.c_str(), to.c_str()) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
    }
    return host::ResultFromErrno(errno);
}

result File::Copy(const String& source, const String& destination, bool failIfExist) {
    File in, out;
    result r = in.Construct(source, L"r");
    if (r != E_SUCCESS) {
        return r;
    }
    if (failIfExist && IsFileExist(destination)) {
        return Osp::Base::E_FILE_ALREADY_EXIST;
    }
    r = out.Construct(destination, L"w+");
    if (r != E_SUCCESS) {
        return r;
    }
    static const int kBlock = 256 * 1024;
    std::string buffer(kBlock, '\0');
    for (;;) {
        int n = in.Read(buffer.data(), kBlock);
        if (n == 0) {
            r = Osp::Base::GetLastResult();
            break;
        }
        r = out.Write(buffer.data(), n);
        if (r != E_SUCCESS) {
            break;
        }
    }
    if (r == Osp::Base::E_END_OF_FILE) {
        r = out.Flush();
    }
    if (r != E_SUCCESS) {
        Remove(destination);
    }
    return r;
}

bool File::IsFileExist(const String& path) {
    std::string hostPath;
    if (host::MapPath(path.Units(), hostPath) != E_SUCCESS) {
        Osp::Base::SetLastResult(Osp::Base::E_ILLEGAL_ACCESS);
        return false;
    }
    struct stat st;
    bool exists = ::lstat(hostPath.c_str(), &st) == 0;
    Osp::Base::SetLastResult(E_SUCCESS);
    return exists;
}

result File::GetAttributes(const String& path, FileAttributes& attributes) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    host::FileStat st;
    r = host::StatPath(AT_FDCWD, hostPath.c_str(), st);
    if (r != E_SUCCESS) {
        return r;
    }
    size_t slash = hostPath.rfind('/');
    attributes.size = st.size;
    attributes.created = st.changed;
    attributes.modified = st.modified;
    attributes.directory = st.directory;
    attributes.readOnly = st.readOnly;
    attributes.link = st.link;
    attributes.special = st.special;
    attributes.hidden = hostPath.compare(slash + 1, 1, ".") == 0;
    return E_SUCCESS;
}

result File::SetLastModifiedTime(const String& path, const Osp::Base::DateTime& utc) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1].tv_sec = static_cast<time_t>(utc.ToUnixSeconds());
    times[1].tv_nsec = static_cast<long>(utc.GetMillisecond()) * 1000000L;
    return ::utimensat(AT_FDCWD, hostPath.c_str(), times, 0) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
}

result File::CopyLink(const String& linkPath, const String& newPath) {
    std::string from, to;
    result r = host::MapPath(linkPath.Units(), from);
    if (r == E_SUCCESS) {
        r = host::MapPath(newPath.Units(), to);
    }
    if (r != E_SUCCESS) {
        return r;
    }
    // A target fills at most PATH_MAX - 1 bytes; one that fills the whole buffer was cut short.
    char target[PATH_MAX];
    const ssize_t length = ::readlink(from.c_str(), target, sizeof(target));
    if (length < 0) {
        return host::ResultFromErrno(errno);
    }
    if (static_cast<size_t>(length) >= sizeof(target)) {
        return Osp::Base::E_INVALID_ARG;
    }
    target[length] = '\0';
    return ::symlink(target, to.c_str()) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
}

result File::SyncStorage(const String& path) {
    std::string hostPath;
    result r = host::MapPath(path.Units(), hostPath);
    if (r != E_SUCCESS) {
        return r;
    }
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return host::ResultFromErrno(errno);
    }
    r = ::syncfs(fd) == 0 ? E_SUCCESS : host::ResultFromErrno(errno);
    ::close(fd);
    return r;
}

}  // namespace Osp::Io
