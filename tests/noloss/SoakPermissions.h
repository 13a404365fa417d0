#pragma once
// Root reads every file whatever its permissions: the no-loss test takes that right away so that a file
// without read permission refuses to be read, by the program and by the Samba server it starts, as it
// would for a user. The test itself reads such files for its oracle by taking the right back, on its own
// thread only, for that read (a thread's capabilities are its own).

namespace soak {

// Drops the right to override permissions from the threads and processes started from now on, and from
// the calling thread until PermissionsOverridden raises it again. Call before any other thread starts.
// False when this process could not (it was not root, or had not the right to begin with).
bool ObeyPermissions();
// Whether files without read permission refuse to be read by this thread and by what it starts.
bool PermissionsObeyed();

// Within its scope the calling thread reads every file again, as root does.
class PermissionsOverridden {
public:
    PermissionsOverridden();
    ~PermissionsOverridden();
    PermissionsOverridden(const PermissionsOverridden&) = delete;
    PermissionsOverridden& operator=(const PermissionsOverridden&) = delete;

private:
    bool raised_ = false;
};

}  // namespace soak
