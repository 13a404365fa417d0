#pragma once
// Where the remembered passwords of network folders live. Where the desktop's keyring (the Secret Service)
// runs and is unlocked, a folder's password is kept there under the folder's server, share and user, and
// its section of the settings file says only that it is there; elsewhere it stays in the settings file,
// as it always did. A password moves from the file to the keyring at the folder's next save.
//
// No password is ever lost on the way: it leaves the file only once the keyring holds it, a keyring entry
// goes only when no folder keeps its password under that key any more, and a password that could not be
// read from the keyring this run is left where it is until the user types a new one. A keyring that is
// locked, refuses, or does not answer within a short deadline costs at most that deadline: the password
// stays in (or goes to) the file, and the user is told once per run. After a keyring that did not answer,
// the run does not ask it again. A session without any keyring is no failure: the file serves, and the
// first password remembered there says so once for the settings file (its owner keeps that it was told).
//
// User-interface thread only. The folders are the application's; this object keeps only the keys under
// which it stored their passwords, by folder identifier. The notice is posted to this object by its owner
// and shown over whatever form is current.

#include <map>
#include <string>

#include "app/IUserEventHandler.h"
#include "host/Keyring.h"

class RemoteFolder;

class FolderSecrets : public IUserEventHandler {
public:
    using Folders = std::map<int, RemoteFolder*>;

    // Reads, in one request, the passwords of the folders whose settings say they are in the keyring.
    void Load(const Folders& folders);
    // Puts the folder's saved password where it belongs before the folder is written to the settings
    // file, and sets the folder's place accordingly; an emptied password takes its keyring entry with it.
    void Place(RemoteFolder* folder, const Folders& folders);
    // Removes the keyring entry of a folder that is being removed.
    void Forget(const RemoteFolder* folder, const Folders& folders);

    // Whether the user was ever told that no keyring runs; the owner reads it from and writes it to the
    // settings file.
    void SetAbsenceTold(bool told) { absenceTold_ = told; }
    bool IsAbsenceTold() const { return absenceTold_; }

    // True when the user has something to be told that was not told yet this run.
    bool HasNotice() const { return !notice_.empty() && !told_; }
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent*) override {}

private:
    // The entry under key goes unless a folder other than the one with identifier id still keeps its
    // password there.
    void RemoveUnlessShared(const host::KeyringKey& key, unsigned int id, const Folders& folders);
    // Remembers what to tell about a failed request, and gives the keyring up for the run after one
    // that did not answer.
    void NoteFailure(host::TKeyringResult result, const wchar_t* consequence);

    std::map<unsigned int, host::KeyringKey> stored_;
    std::wstring notice_;
    bool told_ = false;
    bool givenUp_ = false;
    bool absenceTold_ = false;
};
