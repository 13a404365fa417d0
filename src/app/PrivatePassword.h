#pragma once
// The password of the private files as the settings file keeps it: a salted, slow hash under "PwdHash".
// A file written before hashing holds the password itself under "Pwd"; it is still honoured, and the first
// check it passes replaces it by a hash (the caller then saves). A "PwdHash" that cannot be read keeps the
// private files locked: no check passes, and nothing is written over it except a removal by the user's
// own hand in the file.
//
// User-interface thread only. A check derives a key on purpose slowly (about a tenth of a second).

#include <string>

#include "Osp/Io/Registry.h"
#include "app/PasswordHash.h"

class PrivatePassword {
public:
    enum TCheck { MATCH, MISMATCH, UNREADABLE };

    PrivatePassword() = default;
    ~PrivatePassword();
    PrivatePassword(const PrivatePassword&) = delete;
    PrivatePassword& operator=(const PrivatePassword&) = delete;

    // Reads the keys of the section; a file without them means no password.
    void Load(const Osp::Io::Registry& reg, const Osp::Base::String& section);
    // Writes the password into the section, which the caller has made: the hash, or no key at all when
    // none is set. The plain key of an older file goes in either case. A damaged entry is left as it is.
    void Save(Osp::Io::Registry& reg, const Osp::Base::String& section) const;

    bool IsSet() const { return state_ != NONE; }
    // True while the password is the plain one of an older file, which a matching check upgrades.
    bool IsPlain() const { return state_ == PLAIN; }
    TCheck Check(const std::wstring& typed);
    // A new password (hashed here), or none when empty.
    void Set(const std::wstring& password);

private:
    enum TState { NONE, PLAIN, HASHED, DAMAGED };

    void ForgetPlain();

    TState state_ = NONE;
    PasswordHash hash_;   // when HASHED
    std::wstring plain_;  // when PLAIN; wiped when it goes
};
