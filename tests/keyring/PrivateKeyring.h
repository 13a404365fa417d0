#pragma once
// A desktop keyring of the test's own: a session bus (dbus-daemon with no services to start on demand)
// in a temporary folder, and on it the packaged Secret Service, gnome-keyring-daemon, whose keyrings live
// in that folder too. The process's DBUS_SESSION_BUS_ADDRESS names the bus for as long as the object
// lives, so that the program under test finds this keyring and never the desktop's.
//
// One object per test process: the bus connection the process shares stays with the first bus it met.
// The daemons end with the object, or with the test process should it die first.

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "host/Keyring.h"

class PrivateKeyring {
public:
    static constexpr char kKeyringPassword[] = "keyring pass 1";

    enum TUnlock { UNLOCKED, LOCKED };

    PrivateKeyring() {
        char pattern[] = "/tmp/corvane-keyring-XXXXXX";
        dir_ = ::mkdtemp(pattern);
        std::filesystem::create_directories(dir_ + "/home/data");
        std::filesystem::create_directories(dir_ + "/run");
        ::chmod((dir_ + "/run").c_str(), 0700);
        std::ofstream(dir_ + "/bus.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n  <type>session</type>\n  <listen>unix:path="
            << dir_ << "/bus</listen>\n  <auth>EXTERNAL</auth>\n"
            << "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
               "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n";
        bus_ =
            Spawn({"/usr/bin/dbus-daemon", "--nofork", "--config-file=" + dir_ + "/bus.conf"}, "", "bus.out");
        for (int waited = 0; waited < 10000 && !std::filesystem::exists(dir_ + "/bus"); waited += 20) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        address_ = "unix:path=" + dir_ + "/bus";
        UseBus();
    }

    ~PrivateKeyring() {
        StopKeyring();
        Stop(bus_);
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        std::filesystem::remove_all(dir_);
    }

    PrivateKeyring(const PrivateKeyring&) = delete;
    PrivateKeyring& operator=(const PrivateKeyring&) = delete;

    // Points the process at the bus again (after a test went without one).
    void UseBus() const { ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1); }

    // Starts the keyring daemon, unlocking its login keyring (made on the first start) with the known
    // password or leaving it locked; true once it answers on the bus.
    bool StartKeyring(TUnlock unlock) {
        StopKeyring();
        std::vector<std::string> argv = {"/usr/bin/gnome-keyring-daemon", "--foreground",
                                         "--components=secrets"};
        if (unlock == UNLOCKED) {
            argv.push_back("--unlock");
        }
        keyring_ = Spawn(argv, unlock == UNLOCKED ? kKeyringPassword : "", "keyring.out");
        for (int waited = 0; waited < 15000; waited += 100) {
            std::vector<host::KeyringEntry> entries;
            if (host::Keyring::LoadAll(&entries, 1000) != host::KEYRING_NO_SERVICE) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }

    void StopKeyring() {
        Resume();
        Stop(keyring_);
    }

    // A keyring that holds its name on the bus and answers nothing, until Resume.
    void Pause() {
        if (keyring_ > 0) {
            ::kill(keyring_, SIGSTOP);
            paused_ = true;
        }
    }
    void Resume() {
        if (keyring_ > 0 && paused_) {
            ::kill(keyring_, SIGCONT);
        }
        paused_ = false;
    }

    // Everything of the program's schema that the keyring holds, as "server/share/user=secret".
    std::vector<std::wstring> Entries() const {
        std::vector<host::KeyringEntry> entries;
        host::Keyring::LoadAll(&entries, 5000);
        std::vector<std::wstring> texts;
        for (const host::KeyringEntry& e : entries) {
            texts.push_back(e.key.server + L"/" + e.key.share + L"/" + e.key.user + L"=" + e.secret);
        }
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    // Every file below the keyring's folder that holds the bytes.
    std::vector<std::string> FilesHolding(const std::string& bytes) const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_)) {
            if (!entry.is_regular_file()) {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (content.find(bytes) != std::string::npos) {
                files.push_back(entry.path().string());
            }
        }
        return files;
    }

private:
    // Starts argv[0] in its own process group with the keyring's environment; input (when not empty) is
    // written to its standard input, which is then closed.
    pid_t Spawn(const std::vector<std::string>& argv, const std::string& input, const std::string& log) {
        int in[2];
        if (::pipe(in) != 0) {
            return -1;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setpgid(0, 0);
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::dup2(in[0], STDIN_FILENO);
            const int out = ::open((dir_ + "/" + log).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            ::dup2(out, STDOUT_FILENO);
            ::dup2(out, STDERR_FILENO);
            ::close(in[1]);
            ::setenv("HOME", (dir_ + "/home").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (dir_ + "/home/data").c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", (dir_ + "/run").c_str(), 1);
            std::vector<char*> args;
            for (const std::string& a : argv) {
                args.push_back(const_cast<char*>(a.c_str()));
            }
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
        ::close(in[0]);
        if (!input.empty() && ::write(in[1], input.data(), input.size()) < 0) {
            ::kill(pid, SIGKILL);
        }
        ::close(in[1]);
        return pid;
    }

    static void Stop(pid_t& pid) {
        if (pid <= 0) {
            return;
        }
        ::kill(-pid, SIGTERM);
        ::kill(pid, SIGTERM);
        for (int waited = 0; waited < 3000; waited += 20) {
            if (::waitpid(pid, nullptr, WNOHANG) == pid) {
                pid = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(-pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }

    std::string dir_;
    std::string address_;
    pid_t bus_ = -1;
    pid_t keyring_ = -1;
    bool paused_ = false;
};
