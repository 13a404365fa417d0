#pragma once
// A private Samba for tests and benchmarks: smbd on 127.0.0.1, on a free port of its own, with a
// temporary configuration (by default SMB1 "NT1", NTLMv1 permitted, signing off), a writable share and a
// read-only one, and a system user with a Samba password. Everything lives in a temporary folder that goes
// with the server. Stop (and the destructor) ends smbd and every helper it started, by process id; a system
// smbd on port 445 is never touched. Needs root (useradd, smbpasswd, the share's files). One thread.

#include <sys/types.h>
#include <string>
#include <vector>

namespace testsupport {

class SambaServer {
public:
    static constexpr const char* kUser = "corvtest";
    static constexpr const char* kPassword = "Corv-pass1";
    static constexpr const char* kShare = "corvshare";
    static constexpr const char* kReadOnlyShare = "corvdocs";
    static constexpr const char* kNetbiosName = "CORVTEST";

    // How smbd does its file input and output: Samba's default hands each request to a thread pool, which
    // a client with one request at a time pays for in every round trip.
    enum TIo { IO_DEFAULT, IO_SYNCHRONOUS };

    // Where the server's folder (and so the share) lives: on the disk, or in memory (tmpfs), for a
    // benchmark that measures clients and not the machine's disk.
    enum TStore { STORE_DISK, STORE_MEMORY };

    // What the server accepts: SMB1 "NT1" with NTLMv1 and no signing (and SMB 2 and 3 as well); the same
    // with SMB1 alone; Samba's own defaults (SMB 2 and 3, NTLMv2 only); those with signing mandatory and
    // encryption required; or encryption required of clients that can have SMB 2 at most, which cannot
    // encrypt.
    enum TSecurity {
        SECURITY_NT1,
        SECURITY_SMB1_ONLY,
        SECURITY_DEFAULTS,
        SECURITY_STRICT,
        SECURITY_ENCRYPTED_SMB2
    };

    // The state of kUser's account on the server.
    enum TAccount { ACCOUNT_ENABLED, ACCOUNT_DISABLED, ACCOUNT_LOCKED };

    // port 0 takes a free port; another one is used as given (445 for a server a real client can reach).
    explicit SambaServer(TIo io = IO_DEFAULT, TStore store = STORE_DISK, unsigned short port = 0)
        : io_(io), store_(store), fixedPort_(port) {}
    ~SambaServer();
    SambaServer(const SambaServer&) = delete;
    SambaServer& operator=(const SambaServer&) = delete;

    // Before Start.
    void SetSecurity(TSecurity security) { security_ = security; }
    void SetAccount(TAccount account) { account_ = account; }

    // Lines added to the configuration's global section and after its shares, for a test that needs a
    // server set up otherwise (more shares, another guest rule). Before Start.
    void SetExtraConfig(const std::string& global, const std::string& shares) {
        extraGlobal_ = global;
        extraShares_ = shares;
    }

    // Sets up the folder, the user and smbd, and waits until smbd takes connections. False with the
    // reason in *error.
    bool Start(std::string* error);
    // Ends smbd and its helpers; the files stay until the destructor.
    void Stop();
    // Starts smbd again on the same port, with the same share.
    bool Restart(std::string* error);
    // Halts every process of smbd, or lets them go on: a server that goes silent with its connections open.
    void Pause(bool paused);

    unsigned short Port() const { return port_; }
    // The host folder behind kShare.
    const std::string& ShareDir() const { return shareDir_; }
    const std::string& ConfigFile() const { return configFile_; }

    // Runs smbclient against kShare as kUser with the SMB1 options this client uses, with command as
    // its -c argument; the exit status, with what it printed in *output when that is not null. port, when
    // not 0, is where smbclient connects instead of the server's (a relay in front of it).
    int SmbClient(const std::string& command, std::string* output = nullptr, unsigned short port = 0) const;

private:
    bool WriteConfig(std::string* error);
    bool LaunchSmbd(std::string* error);
    bool WaitForPort(int timeoutMs) const;
    // Whether smbd still runs a moment later: it aborts when its port was taken meanwhile.
    bool StillRunning(int afterMs) const;
    void KillLeftovers();

    TIo io_;
    TStore store_;
    TSecurity security_ = SECURITY_NT1;
    TAccount account_ = ACCOUNT_ENABLED;
    std::string extraGlobal_;
    std::string extraShares_;
    std::string dir_;
    std::string shareDir_;
    std::string configFile_;
    unsigned short fixedPort_;
    unsigned short port_ = 0;
    pid_t smbd_ = -1;
};

// Runs a shell command and returns its exit status; output gets stdout and stderr when not null.
int RunCommand(const std::string& command, std::string* output = nullptr);
// A TCP port on 127.0.0.1 that nothing listens on right now.
unsigned short FindFreePort();
// Kills every process whose command line mentions marker (a test's private folder), by id.
void KillProcessesMentioning(const std::string& marker);

}  // namespace testsupport
