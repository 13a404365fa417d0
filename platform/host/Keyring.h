#pragma once
// The desktop's keyring: the freedesktop.org Secret Service on the session bus, through libsecret. Network
// passwords are kept there as items of this program's own schema, keyed by server, share and user.
//
// Every call blocks its caller until the service answers or the deadline passes, whichever comes first;
// at the deadline the call is cancelled and reports KEYRING_TIMED_OUT, so that a service that hangs costs
// at most the deadline. The session bus is the one DBUS_SESSION_BUS_ADDRESS names (never an autolaunched
// one), reached through the process's shared connection; a bus that goes away ends no process. Each call
// opens its own proxy of the service and drops it afterwards. Nothing here ever asks the user to unlock the
// keyring: a locked one is reported as KEYRING_LOCKED and left as it is. Any thread may call; calls on
// different threads do not share state.
//
// Strings are UTF-16 units, as the system holds them. The secret handed out by LoadAll is the caller's;
// the copies libsecret keeps are its own, in its secure memory.

#include <string>
#include <vector>

namespace host {

enum TKeyringResult {
    KEYRING_OK,
    KEYRING_NO_SERVICE,  // no session bus, or no Secret Service on it
    KEYRING_LOCKED,      // the default collection (or an item asked for) is locked
    KEYRING_TIMED_OUT,   // no answer before the deadline
    KEYRING_FAILED,      // any other refusal, or a text that cannot be written as UTF-8
};

struct KeyringKey {
    std::wstring server;
    std::wstring share;
    std::wstring user;
};

struct KeyringEntry {
    KeyringKey key;
    std::wstring secret;
};

class Keyring {
public:
    // Stores secret under key in the default collection, replacing what was there under the same key.
    static TKeyringResult Store(const KeyringKey& key, const std::wstring& label, const std::wstring& secret,
                                int deadlineMs);
    // Removes what is stored under key; KEYRING_OK also when nothing was.
    static TKeyringResult Remove(const KeyringKey& key, int deadlineMs);
    // Every item of the schema that can be read, with its secret. A locked default collection (whose items
    // stay hidden) or a locked item makes the result KEYRING_LOCKED; what could be read is handed out still.
    static TKeyringResult LoadAll(std::vector<KeyringEntry>* entries, int deadlineMs);
};

}  // namespace host
