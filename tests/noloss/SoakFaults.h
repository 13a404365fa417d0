#pragma once
// The faults the no-loss test injects, all of them real: the Samba server stopped and started again, a
// memory card on a small file system of its own (a tmpfs) filled to its last bytes, and folders made
// read-only by a read-only bind mount over them (root ignores permission bits, not a read-only mount).
// Mounting needs a private mount namespace: the test runs itself under `unshare -m` for that, and
// without one those faults are left out. One thread.

#include <string>

#include "SoakHost.h"
#include "SoakStep.h"
#include "testsupport/SambaServer.h"

namespace soak {

class Faults {
public:
    // mounts: whether this process has a private mount namespace to mount in.
    Faults(testsupport::SambaServer& server, const HostPlaces& places, bool mounts)
        : server_(server), places_(places), mounts_(mounts) {}
    // Unmounts everything mounted and makes sure the server runs.
    ~Faults();
    Faults(const Faults&) = delete;
    Faults& operator=(const Faults&) = delete;

    // Puts the memory card on a tmpfs of its own (the card's folder is hostCardDir), before its tree is
    // made. False when mounting is not allowed.
    bool MountCard(const std::string& hostCardDir);
    bool HasCardOfItsOwn() const { return !cardDir_.empty(); }
    bool CanMount() const { return mounts_; }

    // Injects a fault between steps; key names the folder a read-only fault is for. False, with the
    // reason in *error, when the fault could not be injected.
    bool Inject(Fault fault, const std::string& key, std::string* error);
    // A paste's fault, while the job runs: the server goes down until ServerBack.
    void ServerDown();
    bool ServerBack(std::string* error);
    bool ShareReachable() const { return serverUp_; }

private:
    void UnmountReadOnly();
    void MakeReadable();

    testsupport::SambaServer& server_;
    const HostPlaces& places_;
    bool mounts_;
    bool serverUp_ = true;
    std::string cardDir_;
};

// Set in the environment of the test run again under `unshare -m`.
constexpr const char* kPrivateNamespaceMark = "CORVANE_SOAK_PRIVATE_MOUNTS";
// Whether this process runs in a mount namespace of its own, in which the test may mount.
bool InPrivateMountNamespace();

}  // namespace soak
