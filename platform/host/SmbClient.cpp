#include "host/SmbClient.h"

#include <libsmbclient.h>

#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>

namespace host {

namespace {

// Settings the library keeps for the whole process, and the library itself, are used under this lock.
std::mutex& LibraryLock() {
    static std::mutex lock;
    return lock;
}

// The configuration every context reads instead of the host's: our own state folder, nothing learned from
// the network about names, and the security the clients here want at the least (each context asks for
// encryption on its own when its folder wants it). Written once per process.
const std::string& PrivateConfiguration() {
    static std::string path;
    if (!path.empty()) {
        return path;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string dirTemplate =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/corvane-smb-XXXXXX";
    std::vector<char> dir(dirTemplate.begin(), dirTemplate.end());
    dir.push_back('\0');
    if (mkdtemp(dir.data()) == nullptr) {
        return path;
    }
    const std::string folder(dir.data());
    const std::string file = folder + "/smb.conf";
    FILE* out = std::fopen(file.c_str(), "w");
    if (out == nullptr) {
        return path;
    }
    std::fprintf(out,
                 "[global]\n"
                 "name resolve order = host\n"
                 "disable netbios = yes\n"
                 "client ntlmv2 auth = yes\n"
                 "client lanman auth = no\n"
                 "client plaintext auth = no\n"
                 "client use spnego = yes\n"
                 "client signing = if_required\n"
                 "client ipc signing = if_required\n"
                 "client smb encrypt = if_required\n"
                 "log level = 0\n"
                 "lock directory = %s\n"
                 "state directory = %s\n"
                 "cache directory = %s\n"
                 "private dir = %s\n"
                 "ncalrpc dir = %s\n",
                 folder.c_str(), folder.c_str(), folder.c_str(), folder.c_str(), folder.c_str());
    if (std::fclose(out) == 0) {
        path = file;
    }
    // The folder holds what the library keeps between calls; it goes with the process.
    static const std::string made = folder;
    std::atexit([] { std::filesystem::remove_all(made); });
    return path;
}

std::string Encode(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
            c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        }
    }
    return out;
}

int LastError() {
    return errno != 0 ? errno : EIO;
}

// The library tells the server's status behind a failure only in its most detailed log, in a line such as
// "map_errno_from_nt_status: 32 bit codes: code=c0000072", and says " session setup ok" once the logon is
// accepted. While a logon is watched, the last status before that is kept; every other line is dropped
// unread (they may show the logon's exchange). Nor does it tell whether a share's traffic ended up
// encrypted (the server may require it of a share, or turn down the client's wish): the log says so for
// every message it encrypts.
constexpr char kStatusMark[] = "32 bit codes: code=";
constexpr char kLoggedOnMark[] = " session setup ok";
constexpr char kEncryptedMark[] = "Encrypted SMB2 message";
constexpr int kWatchedLogLevel = 10;

struct SLogonWatch {
    unsigned int status = 0;
    bool loggedOn = false;
    bool encrypted = false;
};
SLogonWatch g_watch;  // under LibraryLock, as every call of the library

void OnLibraryLog(void*, int, const char* line) {
    if (line == nullptr) {
        return;
    }
    if (std::strstr(line, kEncryptedMark) != nullptr) {
        g_watch.encrypted = true;
        return;
    }
    if (g_watch.loggedOn) {
        return;
    }
    if (std::strstr(line, kLoggedOnMark) != nullptr) {
        g_watch.status = 0;
        g_watch.loggedOn = true;
        return;
    }
    const char* mark = std::strstr(line, kStatusMark);
    if (mark == nullptr) {
        return;
    }
    const char* digits = mark + sizeof(kStatusMark) - 1;
    char* end = nullptr;
    const unsigned long status = std::strtoul(digits, &end, 16);
    if (end != digits && status <= 0xFFFFFFFFul) {
        g_watch.status = static_cast<unsigned int>(status);
    }
}

// The server's status for a locked account, which the library turns into EINVAL.
constexpr unsigned int kStatusAccountLockedOut = 0xC0000234;

// Failures after which another dialect would fare no better.
bool EndsDialectSearch(int error, unsigned int status) {
    if (status == kStatusAccountLockedOut) {
        return true;
    }
    switch (error) {
        case EACCES:
        case EPERM:
        case ENOENT:
        case ECONNREFUSED:
        case ETIMEDOUT:
        case EHOSTUNREACH:
        case ENETUNREACH:
            return true;
        default:
            return false;
    }
}

}  // namespace

struct SmbClient::Impl {
    SMBCCTX* ctx = nullptr;
    SmbClientSettings settings;
    std::map<int, SMBCFILE*> files;
    int nextHandle = 0;
    // The dialect range last set for this context.
    std::string minDialect;
    std::string maxDialect;
    // The context whose range the library holds now.
    static inline SMBCCTX* current = nullptr;

    static void Credentials(SMBCCTX* c, const char*, const char*, char* workgroup, int workgroupLength,
                            char* user, int userLength, char* password, int passwordLength) {
        auto* self = static_cast<Impl*>(smbc_getOptionUserData(c));
        auto copy = [](char* to, int length, const std::string& from) {
            if (length <= 0) {
                return;
            }
            const size_t n = std::min(from.size(), static_cast<size_t>(length - 1));
            std::memcpy(to, from.data(), n);
            to[n] = '\0';
        };
        copy(workgroup, workgroupLength, self->settings.workgroup);
        copy(user, userLength, self->settings.user);
        copy(password, passwordLength, self->settings.password);
    }

    // The library's file behind a handle of ours; null for one that is not open.
    SMBCFILE* File(int handle) const {
        auto it = files.find(handle);
        return it == files.end() ? nullptr : it->second;
    }

    // Every context shares the process's protocol range: set this one's before each call.
    void UseDialects(const std::string& low, const std::string& high) {
        if (low.empty() || (low == minDialect && high == maxDialect && ctx == current)) {
            return;
        }
        current = ctx;
        minDialect = low;
        maxDialect = high;
        smbc_setOptionProtocols(ctx, low.c_str(), high.c_str());
    }

    // Whether the messages of the last folder opened with OpenDirWatched went encrypted.
    bool lastEncrypted = false;

    // Opens the folder at url with the library's log watched: nullptr with the error, and the status the
    // server refused the logon with (0 when not told), when it fails.
    SMBCFILE* OpenDirWatched(const std::string& url, int* error, unsigned int* refusal) {
        smbc_setLogCallback(ctx, nullptr, &OnLibraryLog);
        smbc_setDebug(ctx, kWatchedLogLevel);
        g_watch = SLogonWatch{};
        errno = 0;
        SMBCFILE* dir = smbc_getFunctionOpendir(ctx)(ctx, url.c_str());
        *error = dir == nullptr ? LastError() : 0;
        smbc_setDebug(ctx, 0);
        *refusal = dir == nullptr ? g_watch.status : 0;
        lastEncrypted = g_watch.encrypted;
        return dir;
    }
};

SmbClient::SmbClient() : impl_(std::make_unique<Impl>()) {}

SmbClient::~SmbClient() {
    if (impl_->ctx == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(LibraryLock());
    for (auto& file : impl_->files) {
        smbc_getFunctionClose(impl_->ctx)(impl_->ctx, file.second);
    }
    smbc_getFunctionPurgeCachedServers(impl_->ctx)(impl_->ctx);
    smbc_free_context(impl_->ctx, 1);
    if (Impl::current == impl_->ctx) {
        Impl::current = nullptr;
    }
}

SmbClientSettings::~SmbClientSettings() {
    password.resize(password.capacity());
    volatile char* p = password.data();
    for (std::size_t i = 0; i < password.size(); ++i) {
        p[i] = 0;
    }
}

int SmbClient::Open(const SmbClientSettings& settings) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    const std::string& conf = PrivateConfiguration();
    if (conf.empty() || settings.dialects.empty()) {
        return EIO;
    }
    SMBCCTX* ctx = smbc_new_context();
    if (ctx == nullptr) {
        return ENOMEM;
    }
    impl_->settings = settings;
    smbc_setOptionUserData(ctx, impl_.get());
    smbc_setFunctionAuthDataWithContext(ctx, &Impl::Credentials);
    smbc_setOptionUseKerberos(ctx, 0);
    smbc_setOptionFallbackAfterKerberos(ctx, 0);
    smbc_setOptionUseCCache(ctx, 0);
    smbc_setOptionNoAutoAnonymousLogin(ctx, 1);
    smbc_setOptionSmbEncryptionLevel(ctx, settings.encryption == SmbClientSettings::ENCRYPT_WHEN_OFFERED
                                              ? SMBC_ENCRYPTLEVEL_REQUEST
                                              : SMBC_ENCRYPTLEVEL_NONE);
    smbc_setPort(ctx, settings.port);
    smbc_setTimeout(ctx, settings.timeoutMs);
    smbc_setDebug(ctx, 0);
    if (smbc_init_context(ctx) == nullptr) {
        const int error = LastError();
        smbc_free_context(ctx, 1);
        return error;
    }
    // Read after the library's start, so that this file's values are the ones in force.
    smbc_setConfiguration(ctx, conf.c_str());
    impl_->ctx = ctx;
    impl_->UseDialects(settings.dialects.back(), settings.dialects.front());
    return 0;
}

std::string SmbClient::Url(const std::string& path) const {
    std::string url = "smb://" + impl_->settings.address + "/";
    if (!share_.empty()) {
        url += Encode(share_) + Encode(path);
    }
    return url;
}

int SmbClient::TryDialects(const std::string& url) {
    int error = EIO;
    for (const std::string& dialect : impl_->settings.dialects) {
        impl_->UseDialects(dialect, dialect);
        smbc_getFunctionPurgeCachedServers(impl_->ctx)(impl_->ctx);
        SMBCFILE* dir = impl_->OpenDirWatched(url, &error, &logonRefusal_);
        if (dir != nullptr) {
            smbc_getFunctionClosedir(impl_->ctx)(impl_->ctx, dir);
            dialect_ = dialect;
            return 0;
        }
        if (EndsDialectSearch(error, logonRefusal_)) {
            break;
        }
    }
    return error;
}

int SmbClient::ListShares(std::vector<std::string>* shares) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    share_.clear();
    logonRefusal_ = 0;
    if (dialect_.empty()) {
        const int error = TryDialects(Url(""));
        if (error != 0) {
            return error;
        }
    }
    impl_->UseDialects(dialect_, dialect_);
    int error = 0;
    SMBCFILE* dir = impl_->OpenDirWatched(Url(""), &error, &logonRefusal_);
    if (dir == nullptr) {
        return error;
    }
    while (const smbc_dirent* entry = smbc_getFunctionReaddir(impl_->ctx)(impl_->ctx, dir)) {
        if (entry->smbc_type == SMBC_FILE_SHARE) {
            shares->emplace_back(entry->name);
        }
    }
    smbc_getFunctionClosedir(impl_->ctx)(impl_->ctx, dir);
    return 0;
}

int SmbClient::ConnectShare(const std::string& share) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    share_ = share;
    logonRefusal_ = 0;
    if (dialect_.empty()) {
        const int error = TryDialects(Url("/"));
        encrypted_ = error == 0 && impl_->lastEncrypted;
        return error;
    }
    impl_->UseDialects(dialect_, dialect_);
    int error = 0;
    SMBCFILE* dir = impl_->OpenDirWatched(Url("/"), &error, &logonRefusal_);
    if (dir == nullptr) {
        return error;
    }
    encrypted_ = impl_->lastEncrypted;
    smbc_getFunctionClosedir(impl_->ctx)(impl_->ctx, dir);
    return 0;
}

namespace {

SmbClientEntry ToEntry(const char* name, unsigned long long size, unsigned attrs, long long mtime) {
    SmbClientEntry entry;
    entry.name = name;
    entry.isDir = (attrs & 0x10) != 0;
    entry.hidden = (attrs & 0x02) != 0;
    entry.readOnly = (attrs & 0x01) != 0;
    entry.reparsePoint = (attrs & 0x400) != 0;
    entry.size = entry.isDir ? 0 : size;
    entry.mtime = mtime;
    return entry;
}

}  // namespace

int SmbClient::List(const std::string& path, std::vector<SmbClientEntry>* entries) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    errno = 0;
    SMBCFILE* dir = smbc_getFunctionOpendir(impl_->ctx)(impl_->ctx, Url(path).c_str());
    if (dir == nullptr) {
        return LastError();
    }
    auto next = smbc_getFunctionReaddirPlus(impl_->ctx);
    while (const libsmb_file_info* info = next(impl_->ctx, dir)) {
        if (info->name == nullptr || std::strcmp(info->name, ".") == 0 ||
            std::strcmp(info->name, "..") == 0) {
            continue;
        }
        entries->push_back(ToEntry(info->name, info->size, info->attrs, info->mtime_ts.tv_sec));
    }
    smbc_getFunctionClosedir(impl_->ctx)(impl_->ctx, dir);
    return 0;
}

int SmbClient::Stat(const std::string& path, SmbClientEntry* entry) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    struct stat st {};
    errno = 0;
    if (smbc_getFunctionStat(impl_->ctx)(impl_->ctx, Url(path).c_str(), &st) < 0) {
        return LastError();
    }
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    *entry = ToEntry(name.c_str(), static_cast<unsigned long long>(st.st_size),
                     S_ISDIR(st.st_mode) ? 0x10 : 0, st.st_mtime);
    entry->readOnly = (st.st_mode & S_IWUSR) == 0;
    return 0;
}

int SmbClient::MakeDir(const std::string& path) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    errno = 0;
    return smbc_getFunctionMkdir(impl_->ctx)(impl_->ctx, Url(path).c_str(), 0755) < 0 ? LastError() : 0;
}

int SmbClient::RemoveDir(const std::string& path) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    errno = 0;
    return smbc_getFunctionRmdir(impl_->ctx)(impl_->ctx, Url(path).c_str()) < 0 ? LastError() : 0;
}

int SmbClient::Unlink(const std::string& path) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    errno = 0;
    return smbc_getFunctionUnlink(impl_->ctx)(impl_->ctx, Url(path).c_str()) < 0 ? LastError() : 0;
}

int SmbClient::Rename(const std::string& from, const std::string& to) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    errno = 0;
    const int r =
        smbc_getFunctionRename(impl_->ctx)(impl_->ctx, Url(from).c_str(), impl_->ctx, Url(to).c_str());
    return r < 0 ? LastError() : 0;
}

int SmbClient::SetModified(const std::string& path, long long mtime) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    struct timeval times[2] = {};
    times[0].tv_sec = static_cast<time_t>(mtime);
    times[1].tv_sec = static_cast<time_t>(mtime);
    errno = 0;
    return smbc_getFunctionUtimes(impl_->ctx)(impl_->ctx, Url(path).c_str(), times) < 0 ? LastError() : 0;
}

int SmbClient::DiskSize(unsigned long long* total, unsigned long long* available) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    struct statvfs st {};
    errno = 0;
    std::string url = Url("/");
    if (smbc_getFunctionStatVFS(impl_->ctx)(impl_->ctx, url.data(), &st) < 0) {
        return LastError();
    }
    // The library gives the sector size as the block size and the sectors of an allocation unit as the
    // fragment size.
    const unsigned long long unit =
        static_cast<unsigned long long>(st.f_bsize) * (st.f_frsize != 0 ? st.f_frsize : 1);
    *total = static_cast<unsigned long long>(st.f_blocks) * unit;
    *available = static_cast<unsigned long long>(st.f_bavail) * unit;
    return 0;
}

int SmbClient::OpenFile(const std::string& path, TOpen how) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    impl_->UseDialects(dialect_, dialect_);
    int flags = O_RDONLY;
    switch (how) {
        case OPEN_READ:
            break;
        case OPEN_READ_WRITE:
            flags = O_RDWR;
            break;
        case OPEN_CREATE_NEW:
            flags = O_RDWR | O_CREAT | O_EXCL;
            break;
        case OPEN_CREATE_ALWAYS:
            flags = O_RDWR | O_CREAT | O_TRUNC;
            break;
        case OPEN_APPEND:
            flags = O_RDWR | O_CREAT;
            break;
    }
    errno = 0;
    SMBCFILE* file = smbc_getFunctionOpen(impl_->ctx)(impl_->ctx, Url(path).c_str(), flags, 0644);
    if (file == nullptr) {
        return -LastError();
    }
    if (how == OPEN_APPEND && smbc_getFunctionLseek(impl_->ctx)(impl_->ctx, file, 0, SEEK_END) < 0) {
        const int error = LastError();
        smbc_getFunctionClose(impl_->ctx)(impl_->ctx, file);
        return -error;
    }
    const int handle = impl_->nextHandle++;
    impl_->files[handle] = file;
    return handle;
}

long long SmbClient::Read(int handle, void* buffer, unsigned int size) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    SMBCFILE* file = impl_->File(handle);
    if (file == nullptr) {
        return -EBADF;
    }
    impl_->UseDialects(dialect_, dialect_);
    errno = 0;
    const ssize_t n = smbc_getFunctionRead(impl_->ctx)(impl_->ctx, file, buffer, size);
    return n < 0 ? -LastError() : n;
}

long long SmbClient::Write(int handle, const void* buffer, unsigned int size) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    SMBCFILE* file = impl_->File(handle);
    if (file == nullptr) {
        return -EBADF;
    }
    impl_->UseDialects(dialect_, dialect_);
    errno = 0;
    const ssize_t n = smbc_getFunctionWrite(impl_->ctx)(impl_->ctx, file, buffer, size);
    return n < 0 ? -LastError() : n;
}

long long SmbClient::Seek(int handle, long long offset, int origin) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    SMBCFILE* file = impl_->File(handle);
    if (file == nullptr) {
        return -EBADF;
    }
    const int whence = origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET;
    errno = 0;
    const off_t r = smbc_getFunctionLseek(impl_->ctx)(impl_->ctx, file, offset, whence);
    return r < 0 ? -LastError() : r;
}

namespace {

// A server that answers the copy without moving on would keep the library's call going forever: it is
// given up after this many answers in a row that copied nothing.
constexpr int kStalledCopyAnswers = 1000;

struct SCopyWatch {
    off_t done = 0;
    int stalled = 0;
};

int OnCopyProgress(off_t done, void* data) {
    auto* watch = static_cast<SCopyWatch*>(data);
    if (done > watch->done) {
        watch->done = done;
        watch->stalled = 0;
        return 1;
    }
    return ++watch->stalled < kStalledCopyAnswers ? 1 : 0;
}

}  // namespace

long long SmbClient::CopyRange(int from, int to, unsigned long long limit) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    SMBCFILE* source = impl_->File(from);
    SMBCFILE* target = impl_->File(to);
    if (source == nullptr || target == nullptr) {
        return -EBADF;
    }
    impl_->UseDialects(dialect_, dialect_);
    SMBCCTX* ctx = impl_->ctx;
    struct stat st {};
    errno = 0;
    const off_t sourceAt = smbc_getFunctionLseek(ctx)(ctx, source, 0, SEEK_CUR);
    const off_t targetAt = smbc_getFunctionLseek(ctx)(ctx, target, 0, SEEK_CUR);
    if (sourceAt < 0 || targetAt < 0 || smbc_getFunctionFstat(ctx)(ctx, source, &st) < 0) {
        return -LastError();
    }
    // The library refuses a copy that reaches past the source's end, which it finds only then.
    if (st.st_size <= sourceAt) {
        return 0;
    }
    const unsigned long long left = static_cast<unsigned long long>(st.st_size - sourceAt);
    const off_t count = static_cast<off_t>(std::min(limit, left));
    SCopyWatch watch;
    errno = 0;
    const off_t copied = smbc_getFunctionSplice(ctx)(ctx, source, target, count, &OnCopyProgress, &watch);
    if (copied >= 0) {
        return copied;
    }
    const int error = LastError();
    smbc_getFunctionLseek(ctx)(ctx, source, sourceAt, SEEK_SET);
    smbc_getFunctionLseek(ctx)(ctx, target, targetAt, SEEK_SET);
    return -error;
}

int SmbClient::CloseFile(int handle) {
    std::lock_guard<std::mutex> lock(LibraryLock());
    SMBCFILE* file = impl_->File(handle);
    if (file == nullptr) {
        return EBADF;
    }
    impl_->files.erase(handle);
    errno = 0;
    return smbc_getFunctionClose(impl_->ctx)(impl_->ctx, file) < 0 ? LastError() : 0;
}

}  // namespace host
