#include "net/RemoteFolder.h"

#include "app/RegValue.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "net/smb1/FsSmbBrowser.h"
#include "net/smb1/SmbSession.h"
#include "net/smb2/FsSmb2Browser.h"

namespace {

using Osp::Base::String;

constexpr wchar_t kGeneral[] = L"General";
constexpr wchar_t kFreeFolderId[] = L"FreeFolderId";
constexpr wchar_t kId[] = L"Id";
constexpr wchar_t kProtocol[] = L"Protocol";
constexpr wchar_t kEncryption[] = L"Encryption";
constexpr wchar_t kPassword[] = L"Password";
constexpr wchar_t kPasswordInKeyring[] = L"PasswordInKeyring";

// Identifier 0 is the key of the local file system's cached copies, so folders start at 1.
unsigned int g_nextFreeId = 1;

}  // namespace

RemoteFolder::RemoteFolder() = default;

RemoteFolder::~RemoteFolder() {
    browser_.reset();
    session_.reset();
}

SmbSession* RemoteFolder::CreateSmbSession(ISmbSessionListener* listener) {
    if (session_ == nullptr) {
        session_ = std::make_unique<SmbSession>(this);
        session_->SetSmbSessionListener(listener);
    }
    return session_.get();
}

NetBrowser* RemoteFolder::CreateBrowser() {
    if (browser_ == nullptr && protocol_ == SMB_PROTOCOL_SMB1) {
        browser_ = std::make_unique<SmbBrowser>(this);
    } else if (browser_ == nullptr) {
        browser_ = std::make_unique<Smb2Browser>(this);
    }
    return browser_.get();
}

void RemoteFolder::SmbConnect() {
    if (session_ != nullptr) {
        session_->ConnectA();
    }
}

void RemoteFolder::SmbDisconnect() {
    if (browser_ != nullptr) {
        browser_->Disconnect();
    } else if (session_ != nullptr) {
        session_->Disconnect(RES_OK);
    }
}

void RemoteFolder::DropConnection() {
    browser_.reset();
    session_.reset();
}

void RemoteFolder::SetSessionLogon(const String& userName, const String& password) {
    hasSessionLogon_ = true;
    sessionUserName_ = userName;
    sessionPassword_ = password;
}

void RemoteFolder::SetPassword(const String& password) {
    if (passwordUnread_ && password.IsEmpty()) {
        return;
    }
    password_ = password;
    passwordUnread_ = false;
}

void RemoteFolder::KeepSessionLogon() {
    if (hasSessionLogon_) {
        userName_ = sessionUserName_;
        SetPassword(sessionPassword_);
        ForgetSessionLogon();
    }
}

void RemoteFolder::ForgetSessionLogon() {
    hasSessionLogon_ = false;
    sessionUserName_ = String();
    sessionPassword_ = String();
}

bool RemoteFolder::IsConnected() const {
    return browser_ != nullptr && browser_->IsShareConnected();
}

template <typename Folder, typename Visit>
void RemoteFolder::ForEachString(Folder& folder, Visit visit) {
    visit(L"NodeName", folder.nodeName_);
    visit(L"ShareName", folder.shareName_);
    visit(L"IpAddress", folder.ipAddress_);
    visit(L"WinsServer", folder.winsServer_);
    visit(L"UserName", folder.userName_);
    visit(kPassword, folder.password_);
}

void RemoteFolder::CopyFrom(const RemoteFolder* other) {
    nodeName_ = other->nodeName_;
    shareName_ = other->shareName_;
    ipAddress_ = other->ipAddress_;
    winsServer_ = other->winsServer_;
    userName_ = other->userName_;
    password_ = other->password_;
    protocol_ = other->protocol_;
    encryption_ = other->encryption_;
    passwordPlace_ = other->passwordPlace_;
    passwordUnread_ = other->passwordUnread_;
}

RemoteFolder* RemoteFolder::CloneN() const {
    auto* folder = new RemoteFolder;
    folder->CopyFrom(this);
    return folder;
}

String RemoteFolder::GetUncName() const {
    String unc(L"\\\\");
    unc += nodeName_.IsEmpty() ? ipAddress_ : nodeName_;
    unc += L'\\';
    unc += shareName_;
    return unc;
}

std::wstring RemoteFolder::GetStorageName(const std::wstring& share) const {
    std::wstring name = L"smb:";
    name += ipAddress_.IsEmpty() ? nodeName_.Units() : ipAddress_.Units();
    name += L'\\';
    name += share;
    MakeLower(&name);
    return name;
}

String RemoteFolder::GetRegSectionName() const {
    String name;
    name.Format(16, L"RF%x", id_);
    return name;
}

void RemoteFolder::SetNewId() {
    id_ = g_nextFreeId++;
}

unsigned int RemoteFolder::GetNextFreeId() {
    return g_nextFreeId;
}

void RemoteFolder::ReserveId(unsigned int id) {
    if (g_nextFreeId <= id) {
        g_nextFreeId = id + 1;
    }
}

void RemoteFolder::LoadGeneralSettings(const Osp::Io::Registry& reg) {
    int next = 0;
    if (reg.GetValue(String(kGeneral), String(kFreeFolderId), next) == RES_OK) {
        g_nextFreeId = static_cast<unsigned int>(next);
    }
}

void RemoteFolder::LoadFromReg(const Osp::Io::Registry& reg, const String& section) {
    int id = 0;
    if (reg.GetValue(section, String(kId), id) == RES_OK) {
        id_ = static_cast<unsigned int>(id);
    }
    int protocol = 0;
    if (reg.GetValue(section, String(kProtocol), protocol) == RES_OK && protocol >= SMB_PROTOCOL_AUTOMATIC &&
        protocol <= SMB_PROTOCOL_SMB1) {
        protocol_ = static_cast<TSmbProtocol>(protocol);
    }
    int encryption = 0;
    if (reg.GetValue(section, String(kEncryption), encryption) == RES_OK &&
        encryption >= ENCRYPTION_WHEN_OFFERED && encryption <= ENCRYPTION_WHEN_REQUIRED) {
        encryption_ = static_cast<TEncryption>(encryption);
    }
    ForEachString(*this, [&](const wchar_t* key, String& field) {
        String value;
        if (reg.GetValue(section, String(key), value) == RES_OK) {
            field = value;
        }
    });
    int inKeyring = 0;
    const bool marked =
        reg.GetValue(section, String(kPasswordInKeyring), inKeyring) == RES_OK && inKeyring == 1;
    passwordPlace_ = marked && password_.IsEmpty() ? PASSWORD_IN_KEYRING : PASSWORD_IN_FILE;
}

Osp::Base::result RemoteFolder::SaveToReg(Osp::Io::Registry& reg, bool isNew) const {
    String section = GetRegSectionName();
    // A section that has gone from the file since the folder was loaded is made again.
    reg.AddSection(section);
    Osp::Base::result first = SetRegValue(reg, section, String(kId), static_cast<int>(id_));
    if (isNew) {
        reg.AddSection(String(kGeneral));
        Osp::Base::result r =
            SetRegValue(reg, String(kGeneral), String(kFreeFolderId), static_cast<int>(g_nextFreeId));
        first = first != RES_OK ? first : r;
    }
    Osp::Base::result saved = SetRegValue(reg, section, String(kProtocol), static_cast<int>(protocol_));
    first = first != RES_OK ? first : saved;
    saved = SetRegValue(reg, section, String(kEncryption), static_cast<int>(encryption_));
    first = first != RES_OK ? first : saved;
    const bool inKeyring = passwordPlace_ == PASSWORD_IN_KEYRING;
    ForEachString(*this, [&](const wchar_t* key, const String& field) {
        const bool kept = inKeyring && std::wstring(key) == kPassword;
        Osp::Base::result r = SetRegValue(reg, section, String(key), kept ? String() : field);
        first = first != RES_OK ? first : r;
    });
    const Osp::Base::result marked = inKeyring ? SetRegValue(reg, section, String(kPasswordInKeyring), 1)
                                               : reg.RemoveValue(section, String(kPasswordInKeyring));
    if (marked != RES_OK && marked != RES_KEY_NOT_FOUND) {
        first = first != RES_OK ? first : marked;
    }
    return first;
}

Osp::Base::result RemoteFolder::DeleteFromReg(Osp::Io::Registry& reg) const {
    return reg.RemoveSection(GetRegSectionName());
}
