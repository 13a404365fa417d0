#include "testsupport/SambaServer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace testsupport {

namespace {

bool WaitForExit(pid_t pid, int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

constexpr const char* kDirName = "corvane-samba-";
constexpr const char* kDiskBase = "/tmp/";
constexpr const char* kMemoryBase = "/dev/shm/";

// The servers of test processes that died without stopping them: their folders carry the dead owner's
// process id.
void RemoveLeftovers() {
    std::error_code ignored;
    for (const char* base : {kDiskBase, kMemoryBase}) {
        std::string prefix = std::string(base) + kDirName;
        for (const auto& entry : std::filesystem::directory_iterator(base, ignored)) {
            std::string path = entry.path().string();
            if (path.rfind(prefix, 0) != 0) {
                continue;
            }
            pid_t owner = static_cast<pid_t>(atoi(path.c_str() + prefix.size()));
            if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) {
                KillProcessesMentioning(path + "/");
                std::filesystem::remove_all(path, ignored);
            }
        }
    }
}

bool EnsureUser(std::string* error) {
    if (getpwnam(SambaServer::kUser) == nullptr) {
        // Tests running side by side may race to add the user; whoever loses finds it there.
        RunCommand(std::string("useradd -M -N -s /usr/sbin/nologin ") + SambaServer::kUser);
    }
    if (getpwnam(SambaServer::kUser) == nullptr) {
        *error = "cannot create the system user (tests need root)";
        return false;
    }
    return true;
}

std::string SecurityLines(SambaServer::TSecurity security) {
    switch (security) {
        case SambaServer::SECURITY_NT1:
            return "server min protocol = NT1\nntlm auth = ntlmv1-permitted\nserver signing = disabled\n";
        case SambaServer::SECURITY_SMB1_ONLY:
            return SecurityLines(SambaServer::SECURITY_NT1) + "server max protocol = NT1\n";
        case SambaServer::SECURITY_DEFAULTS:
            return "";
        case SambaServer::SECURITY_STRICT:
            return "server signing = mandatory\nserver smb encrypt = required\n";
        case SambaServer::SECURITY_ENCRYPTED_SMB2:
            return "server smb encrypt = required\nserver max protocol = SMB2_10\n";
    }
    return "";
}

}  // namespace

int RunCommand(const std::string& command, std::string* output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    std::array<char, 4096> chunk;
    std::string text;
    size_t n;
    while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
        text.append(chunk.data(), n);
    }
    int status = pclose(pipe);
    if (output != nullptr) {
        *output = text;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

unsigned short FindFreePort() {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t size = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    close(fd);
    return ntohs(a.sin_port);
}

void KillProcessesMentioning(const std::string& marker) {
    DIR* proc = opendir("/proc");
    if (proc == nullptr) {
        return;
    }
    std::vector<pid_t> found;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        long pid = strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 1 || pid == getpid()) {
            continue;
        }
        std::ifstream cmdline(std::string("/proc/") + entry->d_name + "/cmdline");
        std::string line((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
        if (line.find(marker) != std::string::npos) {
            found.push_back(static_cast<pid_t>(pid));
        }
    }
    closedir(proc);
    for (pid_t pid : found) {
        kill(pid, SIGKILL);
    }
    for (pid_t pid : found) {
        waitpid(pid, nullptr, WNOHANG);
    }
}

SambaServer::~SambaServer() {
    Stop();
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

bool SambaServer::Start(std::string* error) {
    RemoveLeftovers();
    std::string pattern = std::string(store_ == STORE_MEMORY ? kMemoryBase : kDiskBase) + kDirName +
                          std::to_string(getpid()) + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        *error = "mkdtemp failed";
        return false;
    }
    dir_ = pattern;
    chmod(dir_.c_str(), 0755);
    shareDir_ = dir_ + "/share";
    configFile_ = dir_ + "/smb.conf";
    for (const char* sub :
         {"/share", "/docs", "/run", "/lock", "/state", "/cache", "/private", "/ncalrpc", "/binddns"}) {
        mkdir((dir_ + sub).c_str(), 0755);
    }
    chmod(shareDir_.c_str(), 0777);
    if (!EnsureUser(error)) {
        return false;
    }
    port_ = fixedPort_ != 0 ? fixedPort_ : FindFreePort();
    if (!WriteConfig(error)) {
        return false;
    }
    std::string output;
    std::string command = "printf '%s\\n%s\\n' '" + std::string(kPassword) + "' '" + kPassword +
                          "' | smbpasswd -c " + configFile_ + " -s -a " + kUser;
    if (RunCommand(command, &output) != 0) {
        *error = "smbpasswd failed: " + output;
        return false;
    }
    if (account_ != ACCOUNT_ENABLED) {
        command = "pdbedit -s " + configFile_ + " -u " + kUser + " -c '[" +
                  (account_ == ACCOUNT_DISABLED ? "D" : "L") + "]'";
        if (RunCommand(command, &output) != 0) {
            *error = "pdbedit failed: " + output;
            return false;
        }
    }
    // Another process may take the free port before smbd binds it; smbd then aborts, and the next port
    // is tried.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (LaunchSmbd(error)) {
            return true;
        }
        if (fixedPort_ != 0) {
            return false;
        }
        port_ = FindFreePort();
        if (!WriteConfig(error)) {
            return false;
        }
    }
    return false;
}

bool SambaServer::WriteConfig(std::string* error) {
    std::ofstream conf(configFile_);
    conf << "[global]\n"
         << "netbios name = " << kNetbiosName << "\n"
         << "workgroup = CORVGROUP\n"
         << "server role = standalone server\n"
         << SecurityLines(security_) << "smb ports = " << port_ << "\n"
         << "interfaces = 127.0.0.1\n"
         << "bind interfaces only = yes\n"
         << "disable netbios = yes\n"
         << "pid directory = " << dir_ << "/run\n"
         << "lock directory = " << dir_ << "/lock\n"
         << "state directory = " << dir_ << "/state\n"
         << "cache directory = " << dir_ << "/cache\n"
         << "private dir = " << dir_ << "/private\n"
         << "ncalrpc dir = " << dir_ << "/ncalrpc\n"
         << "binddns dir = " << dir_ << "/binddns\n"
         << "passdb backend = tdbsam:" << dir_ << "/private/passdb.tdb\n"
         << "log file = " << dir_ << "/log.%m\n"
         << "max log size = 1000\n"
         << "load printers = no\n"
         << "printing = bsd\n"
         << "printcap name = /dev/null\n"
         << "disable spoolss = yes\n"
         << "map to guest = never\n"
         << (io_ == IO_SYNCHRONOUS ? "aio read size = 0\naio write size = 0\n" : "") << extraGlobal_ << "["
         << kShare << "]\n"
         << "path = " << shareDir_ << "\n"
         << "read only = no\n"
         << "force user = root\n"
         << "[" << kReadOnlyShare << "]\n"
         << "path = " << dir_ << "/docs\n"
         << "read only = yes\n"
         << extraShares_;
    conf.close();
    if (!conf) {
        *error = "cannot write " + configFile_;
        return false;
    }
    return true;
}

bool SambaServer::LaunchSmbd(std::string* error) {
    pid_t pid = fork();
    if (pid < 0) {
        *error = "fork failed";
        return false;
    }
    if (pid == 0) {
        // Its own process group, so that Stop reaches every helper smbd forks; and it ends with its owner
        // should the owner die without stopping it.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        int log = open((dir_ + "/smbd.out").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execl("/usr/sbin/smbd", "smbd", "--foreground", "--no-process-group", "--configfile",
              configFile_.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    smbd_ = pid;
    if (!WaitForPort(15000) || !StillRunning(300)) {
        *error = "smbd did not start; see " + dir_ + "/smbd.out";
        Stop();
        return false;
    }
    return true;
}

bool SambaServer::StillRunning(int afterMs) const {
    std::this_thread::sleep_for(std::chrono::milliseconds(afterMs));
    return waitpid(smbd_, nullptr, WNOHANG) == 0;
}

bool SambaServer::WaitForPort(int timeoutMs) const {
    for (int waited = 0; waited <= timeoutMs; waited += 50) {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port_);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bool up = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        close(fd);
        if (up) {
            return true;
        }
        int status = 0;
        if (waitpid(smbd_, &status, WNOHANG) == smbd_) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void SambaServer::Stop() {
    if (smbd_ > 0) {
        kill(-smbd_, SIGTERM);
        kill(smbd_, SIGTERM);
        if (!WaitForExit(smbd_, 3000)) {
            kill(-smbd_, SIGKILL);
            kill(smbd_, SIGKILL);
            WaitForExit(smbd_, 3000);
        }
        kill(-smbd_, SIGKILL);
        smbd_ = -1;
    }
    KillLeftovers();
}

void SambaServer::Pause(bool paused) {
    if (smbd_ > 0) {
        kill(-smbd_, paused ? SIGSTOP : SIGCONT);
    }
}

void SambaServer::KillLeftovers() {
    // Helpers started on demand (the RPC daemons) may leave the group; they all name our configuration.
    if (!configFile_.empty()) {
        KillProcessesMentioning(dir_ + "/");
    }
}

bool SambaServer::Restart(std::string* error) {
    Stop();
    return LaunchSmbd(error);
}

int SambaServer::SmbClient(const std::string& command, std::string* output, unsigned short port) const {
    std::ostringstream line;
    line << "smbclient //127.0.0.1/" << kShare << " -p " << (port != 0 ? port : port_) << " -m NT1"
         << " --option='client min protocol=NT1' --option='client use spnego=no'"
         << " --option='client ntlmv2 auth=no' --option='client signing=disabled'"
         << " -U '" << kUser << "%" << kPassword << "' -c '" << command << "'";
    return RunCommand(line.str(), output);
}

}  // namespace testsupport
