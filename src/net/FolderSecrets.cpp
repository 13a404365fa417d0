#include "net/FolderSecrets.h"

#include <vector>

#include "app/ModalMessage.h"
#include "app/Wipe.h"
#include "net/RemoteFolder.h"

namespace {

// The longest the screen waits for the keyring in one request.
constexpr int kDeadlineMs = 1500;

constexpr wchar_t kNotReadNow[] =
    L"Remembered network passwords cannot be read now; you will be asked for them.";
constexpr wchar_t kKeptInFile[] = L"Remembered network passwords are kept in the settings file instead.";
constexpr wchar_t kLeftInKeyring[] = L"A password no longer needed may be left in it.";
constexpr wchar_t kNoKeyring[] =
    L"No desktop keyring is running. Remembered network passwords are kept in the settings file.";

host::KeyringKey KeyOf(const RemoteFolder& folder) {
    const Osp::Base::String& server =
        folder.GetNodeName().IsEmpty() ? folder.GetIpAddress() : folder.GetNodeName();
    return {server.Units(), folder.GetShareName().Units(), folder.GetSavedUserName().Units()};
}

bool SameKey(const host::KeyringKey& a, const host::KeyringKey& b) {
    return a.server == b.server && a.share == b.share && a.user == b.user;
}

std::wstring LabelOf(const RemoteFolder& folder) {
    std::wstring label = L"Corvane network folder " + folder.GetUncName().Units();
    if (!folder.GetSavedUserName().IsEmpty()) {
        label += L" (" + folder.GetSavedUserName().Units() + L")";
    }
    return label;
}

}  // namespace

void FolderSecrets::Load(const Folders& folders) {
    std::vector<RemoteFolder*> wanted;
    for (const auto& [id, folder] : folders) {
        if (folder->GetPasswordPlace() == PASSWORD_IN_KEYRING) {
            wanted.push_back(folder);
        }
    }
    if (wanted.empty()) {
        return;
    }
    std::vector<host::KeyringEntry> entries;
    const host::TKeyringResult result = host::Keyring::LoadAll(&entries, kDeadlineMs);
    for (RemoteFolder* folder : wanted) {
        const host::KeyringKey key = KeyOf(*folder);
        stored_[folder->GetId()] = key;
        folder->SetPasswordUnread(true);
        for (const host::KeyringEntry& entry : entries) {
            if (SameKey(entry.key, key)) {
                folder->SetPassword(Osp::Base::String(entry.secret));
                break;
            }
        }
    }
    for (host::KeyringEntry& entry : entries) {
        Wipe(entry.secret);
    }
    if (result != host::KEYRING_OK) {
        // Without any keyring this run, the passwords that were put there cannot be had either.
        NoteFailure(result == host::KEYRING_NO_SERVICE ? host::KEYRING_FAILED : result, kNotReadNow);
    }
}

void FolderSecrets::Place(RemoteFolder* folder, const Folders& folders) {
    if (folder->IsPasswordUnread()) {
        return;  // its password stays in the keyring, where it was, and the settings keep saying so
    }
    const auto old = stored_.find(folder->GetId());
    if (folder->GetSavedPassword().IsEmpty()) {
        folder->SetPasswordPlace(PASSWORD_IN_FILE);
        if (old != stored_.end()) {
            const host::KeyringKey key = old->second;
            stored_.erase(old);
            RemoveUnlessShared(key, folder->GetId(), folders);
        }
        return;
    }
    folder->SetPasswordPlace(PASSWORD_IN_FILE);
    if (givenUp_) {
        return;
    }
    const host::KeyringKey key = KeyOf(*folder);
    const host::TKeyringResult result =
        host::Keyring::Store(key, LabelOf(*folder), folder->GetSavedPassword().Units(), kDeadlineMs);
    if (result == host::KEYRING_NO_SERVICE && !absenceTold_) {
        absenceTold_ = true;
        if (notice_.empty()) {
            notice_ = kNoKeyring;
        }
    }
    if (result != host::KEYRING_OK) {
        NoteFailure(result, kKeptInFile);
        return;
    }
    folder->SetPasswordPlace(PASSWORD_IN_KEYRING);
    const bool moved = old != stored_.end() && !SameKey(old->second, key);
    const host::KeyringKey previous = moved ? old->second : host::KeyringKey();
    stored_[folder->GetId()] = key;
    if (moved) {
        RemoveUnlessShared(previous, folder->GetId(), folders);
    }
}

void FolderSecrets::Forget(const RemoteFolder* folder, const Folders& folders) {
    const auto old = stored_.find(folder->GetId());
    if (old == stored_.end()) {
        return;
    }
    const host::KeyringKey key = old->second;
    stored_.erase(old);
    RemoveUnlessShared(key, folder->GetId(), folders);
}

void FolderSecrets::RemoveUnlessShared(const host::KeyringKey& key, unsigned int id, const Folders& folders) {
    for (const auto& [otherId, other] : folders) {
        const auto kept = stored_.find(other->GetId());
        if (other->GetId() != id && kept != stored_.end() && SameKey(kept->second, key)) {
            return;
        }
    }
    if (givenUp_) {
        return;
    }
    const host::TKeyringResult result = host::Keyring::Remove(key, kDeadlineMs);
    if (result != host::KEYRING_OK && result != host::KEYRING_NO_SERVICE) {
        NoteFailure(result, kLeftInKeyring);
    }
}

void FolderSecrets::NoteFailure(host::TKeyringResult result, const wchar_t* consequence) {
    if (result == host::KEYRING_NO_SERVICE) {
        return;
    }
    if (result == host::KEYRING_TIMED_OUT) {
        givenUp_ = true;
    }
    if (notice_.empty()) {
        const wchar_t* why = result == host::KEYRING_LOCKED ? L"The desktop keyring is locked. "
                             : result == host::KEYRING_TIMED_OUT
                                 ? L"The desktop keyring does not answer. "
                                 : L"The desktop keyring refused the request. ";
        notice_ = std::wstring(why) + consequence;
    }
}

void FolderSecrets::OnUserEvent(int) {
    if (HasNotice()) {
        told_ = true;
        ShowModalMessage(L"Desktop keyring", notice_, Osp::Ui::Controls::MSGBOX_STYLE_OK);
    }
}
