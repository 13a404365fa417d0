#include "DiscoveryNet.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "testsupport/SambaServer.h"

namespace {

using testsupport::RunCommand;

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
}

std::string BusDir() {
    return "/tmp/corvane-disc-bus-" + std::to_string(getpid());
}

const bool g_busAddressSet = [] {
    setenv("DBUS_SYSTEM_BUS_ADDRESS", DiscoveryNet::SystemBusAddress().c_str(), 1);
    return true;
}();

}  // namespace

std::string DiscoveryNet::SystemBusAddress() {
    return "unix:path=" + BusDir() + "/bus";
}

DiscoveryNet::~DiscoveryNet() {
    for (pid_t pid : processes_) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    for (const NetNamespace* ns : {&server_, &client_}) {
        if (!ns->Name().empty()) {
            RunCommand("ip netns pids " + ns->Name() + " | xargs -r kill -9");
        }
    }
    if (!dir_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        std::filesystem::remove_all(BusDir(), ignored);
    }
}

bool DiscoveryNet::MakeNetwork(std::string* error) {
    if (!server_.Create("ds", error) || !client_.Create("dc", error)) {
        return false;
    }
    const std::string pid = std::to_string(getpid());
    serverLink_ = "cds" + pid;
    clientLink_ = "cdc" + pid;
    const std::string& s = server_.Name();
    const std::string& c = client_.Name();
    std::string output;
    const std::string setup = "ip link add " + serverLink_ + " netns " + s + " type veth peer name " +
                              clientLink_ + " netns " + c + " && ip -n " + s + " addr add " + kServerAddress +
                              "/24 dev " + serverLink_ + " && ip -n " + s + " link set " + serverLink_ +
                              " up && ip -n " + c + " addr add " + kClientAddress + "/24 dev " + clientLink_ +
                              " && ip -n " + c + " link set " + clientLink_ + " up && ip -n " + c +
                              " route add default dev " + clientLink_ + " && ip -n " + s +
                              " route add 224.0.0.0/4 dev " + serverLink_;
    if (RunCommand(setup, &output) != 0) {
        *error = "veth set-up failed: " + output;
        return false;
    }
    return true;
}

bool DiscoveryNet::WriteFiles() {
    char pattern[] = "/tmp/corvane-disc-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return false;
    }
    dir_ = pattern;
    for (const char* sub : {"/run", "/lock", "/state", "/cache", "/private", "/services", "/no-services"}) {
        mkdir((dir_ + sub).c_str(), 0755);
    }
    WriteFile(dir_ + "/smb.conf",
              std::string("[global]\nnetbios name = ") + kServerName + "\nworkgroup = " + kWorkgroup +
                  "\ninterfaces = " + kServerAddress +
                  "/24\nbind interfaces only = yes\nlocal master = no\npid directory = " + dir_ +
                  "/run\nlock directory = " + dir_ + "/lock\nstate directory = " + dir_ +
                  "/state\ncache directory = " + dir_ + "/cache\nprivate dir = " + dir_ +
                  "/private\nlog file = " + dir_ + "/log.%m\n");
    WriteFile(dir_ + "/services/smb.service",
              "<?xml version=\"1.0\" standalone='no'?>\n<service-group>\n  <name "
              "replace-wildcards=\"yes\">%h</name>\n  <service>\n    <type>_smb._tcp</type>\n    "
              "<port>445</port>\n  </service>\n</service-group>\n");
    const std::string common =
        "use-ipv4=yes\nuse-ipv6=no\n[wide-area]\nenable-wide-area=no\n[publish]\npublish-workstation=no\n"
        "publish-hinfo=no\n";
    WriteFile(dir_ + "/avahi-server.conf", std::string("[server]\nhost-name=") + kHostName +
                                               "\nallow-interfaces=" + serverLink_ + "\nenable-dbus=no\n" +
                                               common);
    WriteFile(dir_ + "/avahi-client.conf", "[server]\nhost-name=corvclient\nallow-interfaces=" + clientLink_ +
                                               "\nenable-dbus=yes\n" + common);
    WriteFile(dir_ + "/bus.conf",
              "<busconfig>\n  <type>system</type>\n  <listen>" + SystemBusAddress() +
                  "</listen>\n  <auth>EXTERNAL</auth>\n  <policy context=\"default\">\n    <allow "
                  "user=\"*\"/>\n"
                  "    <allow own=\"*\"/>\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                  "    <allow eavesdrop=\"true\"/>\n  </policy>\n</busconfig>\n");
    return true;
}

bool DiscoveryNet::Launch(const std::string& ns, const std::string& setup, const std::string& command,
                          const std::string& log, std::string* error) {
    const std::string script = (setup.empty() ? std::string() : setup + " && ") + "exec " + command;
    const pid_t pid = fork();
    if (pid < 0) {
        *error = "fork failed";
        return false;
    }
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int out = open((dir_ + "/" + log + ".out").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
        if (ns.empty()) {
            execlp("sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        } else {
            execlp("ip", "ip", "netns", "exec", ns.c_str(), "unshare", "-m", "sh", "-c", script.c_str(),
                   static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    processes_.push_back(pid);
    return true;
}

int DiscoveryNet::RunInClient(const std::string& command, std::string* output) const {
    return RunCommand("ip netns exec " + client_.Name() +
                          " env DBUS_SYSTEM_BUS_ADDRESS=" + SystemBusAddress() + " sh -c '" + command + "'",
                      output);
}

bool DiscoveryNet::WaitFor(const std::string& what, const std::string& command, const std::string& expected,
                           std::string* error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string output;
    while (std::chrono::steady_clock::now() < deadline) {
        output.clear();
        RunInClient(command, &output);
        if (output.find(expected) != std::string::npos) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    *error = what + " does not answer: " + output + " (see " + dir_ + ")";
    return false;
}

bool DiscoveryNet::Start(unsigned announcers, TClientDaemon clientDaemon, std::string* error) {
    if (!MakeNetwork(error)) {
        return false;
    }
    if (!WriteFiles()) {
        *error = "mkdtemp failed";
        return false;
    }
    const std::string& s = server_.Name();
    if ((announcers & ANNOUNCE_NETBIOS) != 0 &&
        (!Launch(s, "", "/usr/sbin/nmbd --foreground --no-process-group --configfile " + dir_ + "/smb.conf",
                 "nmbd", error) ||
         !WaitFor("nmbd", "nmblookup -s " + dir_ + "/smb.conf -A " + kServerAddress, kWorkgroup, error))) {
        return false;
    }
    if ((announcers & ANNOUNCE_WSD) != 0 &&
        (!Launch(s, "",
                 std::string("/usr/bin/python3 /usr/sbin/wsdd -4 -i ") + serverLink_ + " -n " + kServerName +
                     " -w " + kWorkgroup,
                 "wsdd", error) ||
         !WaitFor(
             "wsdd",
             std::string("bash -c \"echo > /dev/tcp/") + kServerAddress + "/5357\" 2>/dev/null && echo open",
             "open", error))) {
        return false;
    }
    // Each avahi-daemon keeps its pid file and socket under a /run of its own.
    const std::string avahi = "avahi-daemon --no-drop-root --no-chroot --no-rlimits -f ";
    const std::string privateRun = "mount -t tmpfs tmpfs /run && mkdir /run/avahi-daemon && ";
    if ((announcers & ANNOUNCE_DNSSD) != 0 &&
        !Launch(s, privateRun + "mount --bind " + dir_ + "/services /etc/avahi/services",
                avahi + dir_ + "/avahi-server.conf", "avahi-server", error)) {
        return false;
    }
    if (clientDaemon == CLIENT_DAEMON) {
        mkdir(BusDir().c_str(), 0755);
        if (!Launch("", "", "exec dbus-daemon --nofork --nopidfile --config-file=" + dir_ + "/bus.conf",
                    "bus", error) ||
            !WaitFor("the system bus", "test -S " + BusDir() + "/bus && echo up", "up", error) ||
            !Launch(client_.Name(),
                    privateRun + "mount --bind " + dir_ +
                        "/no-services /etc/avahi/services && export DBUS_SYSTEM_BUS_ADDRESS=" +
                        SystemBusAddress(),
                    avahi + dir_ + "/avahi-client.conf", "avahi-client", error)) {
            return false;
        }
        const std::string expected =
            (announcers & ANNOUNCE_DNSSD) != 0 ? std::string(";") + kServerAddress + ";" : std::string("");
        if (!WaitFor("avahi", "avahi-browse -rpt _smb._tcp 2>&1; echo browsed",
                     expected.empty() ? "browsed" : expected, error)) {
            return false;
        }
    }
    return true;
}
