#include "SoakPermissions.h"

#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

namespace soak {

namespace {

// Both rights live in the first word of the capability sets.
constexpr uint32_t kOverride = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

bool Get(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, data) == 0;
}

bool Set(__user_cap_data_struct (&data)[2]) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capset, &header, data) == 0;
}

// Sets the calling thread's effective rights to override permissions on or off.
bool SetEffective(bool on) {
    __user_cap_data_struct data[2] = {};
    if (!Get(data) || (data[0].permitted & kOverride) != kOverride) {
        return false;
    }
    data[0].effective = on ? (data[0].effective | kOverride) : (data[0].effective & ~kOverride);
    return Set(data);
}

}  // namespace

bool ObeyPermissions() {
    // Out of the bounding set, the rights are not given to a program started from here (the Samba server);
    // kept in the permitted set, this process can raise them for its oracle's reads.
    return ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
           ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0 && SetEffective(false);
}

bool PermissionsObeyed() {
    __user_cap_data_struct data[2] = {};
    return Get(data) && (data[0].effective & kOverride) == 0 &&
           ::prctl(PR_CAPBSET_READ, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
           ::prctl(PR_CAPBSET_READ, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0;
}

PermissionsOverridden::PermissionsOverridden() : raised_(PermissionsObeyed() && SetEffective(true)) {}

PermissionsOverridden::~PermissionsOverridden() {
    if (raised_) {
        SetEffective(false);
    }
}

}  // namespace soak
