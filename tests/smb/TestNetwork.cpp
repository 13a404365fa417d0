#include "TestNetwork.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "net/nbns/NbtNsQuery.h"
#include "net/nbns/NbtNsResponse.h"
#include "testsupport/SambaServer.h"

namespace {

using testsupport::RunCommand;

constexpr const char* kPrefix = "corvtest-";

// Namespaces and folders carry the process id of the test that made them; those of dead processes go.
void RemoveLeftovers() {
    std::string list;
    RunCommand("ip netns list", &list);
    std::istringstream lines(list);
    std::string line;
    while (std::getline(lines, line)) {
        std::string name = line.substr(0, line.find(' '));
        if (name.rfind(kPrefix, 0) != 0) {
            continue;
        }
        pid_t owner = static_cast<pid_t>(atoi(name.c_str() + std::string(kPrefix).size()));
        if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) {
            RunCommand("ip netns pids " + name + " | xargs -r kill -9");
            RunCommand("ip netns del " + name);
        }
    }
}

}  // namespace

NetNamespace::~NetNamespace() {
    if (!name_.empty()) {
        RunCommand("ip netns del " + name_);
    }
}

bool NetNamespace::Create(const std::string& role, std::string* error) {
    RemoveLeftovers();
    std::string name = kPrefix + std::to_string(getpid()) + "-" + role;
    std::string output;
    if (RunCommand("ip netns add " + name, &output) != 0) {
        *error = "ip netns add failed: " + output;
        return false;
    }
    name_ = name;
    RunCommand("ip -n " + name_ + " link set lo up");
    return true;
}

NameServiceNet::~NameServiceNet() {
    StopNmbd();
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
}

bool NameServiceNet::Start(std::string* error) {
    if (!server_.Create("s", error) || !client_.Create("c", error)) {
        return false;
    }
    std::string pid = std::to_string(getpid());
    std::string serverLink = "cvs" + pid;
    std::string clientLink = "cvc" + pid;
    const std::string& s = server_.Name();
    const std::string& c = client_.Name();
    std::string output;
    std::string setup = "ip link add " + serverLink + " netns " + s + " type veth peer name " + clientLink +
                        " netns " + c + " && ip -n " + s + " addr add " + kServerAddress + "/24 dev " +
                        serverLink + " && ip -n " + s + " link set " + serverLink + " up && ip -n " + c +
                        " addr add " + kClientAddress + "/24 dev " + clientLink + " && ip -n " + c +
                        " link set " + clientLink + " up && ip -n " + c + " route add default dev " +
                        clientLink;
    if (RunCommand(setup, &output) != 0) {
        *error = "veth set-up failed: " + output;
        return false;
    }
    return StartNmbd(error);
}

bool NameServiceNet::StartNmbd(std::string* error) {
    char pattern[] = "/tmp/corvane-nmbd-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        *error = "mkdtemp failed";
        return false;
    }
    dir_ = pattern;
    for (const char* sub : {"/run", "/lock", "/state", "/cache", "/private"}) {
        mkdir((dir_ + sub).c_str(), 0755);
    }
    std::string config = dir_ + "/smb.conf";
    std::ofstream conf(config);
    conf << "[global]\n"
         << "netbios name = " << kServerName << "\n"
         << "workgroup = CORVGROUP\n"
         << "interfaces = " << kServerAddress << "/24\n"
         << "bind interfaces only = yes\n"
         << "wins support = yes\n"
         << "local master = no\n"
         << "pid directory = " << dir_ << "/run\n"
         << "lock directory = " << dir_ << "/lock\n"
         << "state directory = " << dir_ << "/state\n"
         << "cache directory = " << dir_ << "/cache\n"
         << "private dir = " << dir_ << "/private\n"
         << "log file = " << dir_ << "/log.%m\n";
    conf.close();
    pid_t pid = fork();
    if (pid < 0) {
        *error = "fork failed";
        return false;
    }
    if (pid == 0) {
        // Its own group for Stop, and gone with the test process should that die first.
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        int log = open((dir_ + "/nmbd.out").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execlp("ip", "ip", "netns", "exec", server_.Name().c_str(), "/usr/sbin/nmbd", "--foreground",
               "--no-process-group", "--configfile", config.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    nmbd_ = pid;
    if (!WaitForName(30000)) {
        *error = "nmbd does not answer for its name; see " + dir_;
        return false;
    }
    return true;
}

bool NameServiceNet::WaitForName(int timeoutMs) {
    NetNsScope inside(client_.Name());
    if (!inside.Entered()) {
        return false;
    }
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(137);
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    bool answered = false;
    auto start = std::chrono::steady_clock::now();
    for (unsigned short id = 1; !answered; ++id) {
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(timeoutMs)) {
            break;
        }
        int length = 0;
        std::unique_ptr<unsigned char[]> query(PrepareNsQueryPacketN(&length, kServerName, 0x20, id, true));
        sendto(fd, query.get(), static_cast<size_t>(length), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        pollfd p = {fd, POLLIN, 0};
        while (poll(&p, 1, 500) > 0) {
            unsigned char answer[600];
            ssize_t n = recv(fd, answer, sizeof answer, 0);
            unsigned long address = 0;
            if (n > 0 && ParseNsResponsePacket(&address, answer, static_cast<unsigned>(n), id, 0, true)) {
                answered = true;
                break;
            }
        }
    }
    close(fd);
    return answered;
}

void NameServiceNet::StopNmbd() {
    if (nmbd_ <= 0) {
        return;
    }
    kill(-nmbd_, SIGKILL);
    kill(nmbd_, SIGKILL);
    waitpid(nmbd_, nullptr, 0);
    nmbd_ = -1;
    if (!server_.Name().empty()) {
        RunCommand("ip netns pids " + server_.Name() + " | xargs -r kill -9");
    }
}

NetNsScope::NetNsScope(const std::string& name) {
    original_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    int target = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    entered_ = original_ >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
    if (target >= 0) {
        close(target);
    }
}

NetNsScope::~NetNsScope() {
    if (entered_) {
        setns(original_, CLONE_NEWNET);
    }
    if (original_ >= 0) {
        close(original_);
    }
}
