#pragma once
// A network folder: one share of one server, kept in its own section of the settings file. The
// identifier keys the section ("RF" and the identifier in lower-case hexadecimal) and the cached copies of
// the share's files. New identifiers come from one counter for the whole run, stored as "FreeFolderId"
// of "General". Used on the user-interface thread only.

#include <memory>

#include "Osp/Base/String.h"
#include "Osp/Io/Registry.h"

class ISmbSessionListener;
class NetBrowser;
class SmbSession;

// Which client a network folder connects with.
enum TSmbProtocol {
    SMB_PROTOCOL_AUTOMATIC = 0,  // SMB 3 or 2, else the classic SMB1 client
    SMB_PROTOCOL_SMB2 = 1,       // SMB 3 or 2 only
    SMB_PROTOCOL_SMB1 = 2,       // the classic SMB1 client only
};

// When a folder's SMB 2/3 session encrypts the file data: whenever the server offers it, or only when the
// server requires it (the data then goes in the clear on servers that merely allow encryption, at several
// times the speed). The classic SMB1 client never encrypts.
enum TEncryption {
    ENCRYPTION_WHEN_OFFERED = 0,
    ENCRYPTION_WHEN_REQUIRED = 1,
};

// Where a folder's saved password is kept: in its section of the settings file, or in the desktop's
// keyring, the section saying only that it is there.
enum TPasswordPlace {
    PASSWORD_IN_FILE = 0,
    PASSWORD_IN_KEYRING = 1,
};

class RemoteFolder {
public:
    RemoteFolder();
    // The browser goes first, then the session it uses.
    ~RemoteFolder();
    RemoteFolder(const RemoteFolder&) = delete;
    RemoteFolder& operator=(const RemoteFolder&) = delete;

    void SetNodeName(const Osp::Base::String& name) { nodeName_ = name; }
    void SetShareName(const Osp::Base::String& name) { shareName_ = name; }
    void SetIpAddress(const Osp::Base::String& address) { ipAddress_ = address; }
    void SetWinsServer(const Osp::Base::String& address) { winsServer_ = address; }
    // The stored account, as the settings file keeps it.
    void SetUserName(const Osp::Base::String& name) { userName_ = name; }
    // A password that could not be read from the keyring stays unread until a non-empty one is set.
    void SetPassword(const Osp::Base::String& password);
    void SetProtocol(TSmbProtocol protocol) { protocol_ = protocol; }
    TSmbProtocol GetProtocol() const { return protocol_; }
    void SetEncryption(TEncryption encryption) { encryption_ = encryption; }
    TEncryption GetEncryption() const { return encryption_; }
    const Osp::Base::String& GetNodeName() const { return nodeName_; }
    const Osp::Base::String& GetShareName() const { return shareName_; }
    const Osp::Base::String& GetIpAddress() const { return ipAddress_; }
    const Osp::Base::String& GetWinsServer() const { return winsServer_; }
    // The account the session logs on with: the one given for this run, else the stored one.
    const Osp::Base::String& GetUserName() const { return hasSessionLogon_ ? sessionUserName_ : userName_; }
    const Osp::Base::String& GetPassword() const { return hasSessionLogon_ ? sessionPassword_ : password_; }
    const Osp::Base::String& GetSavedUserName() const { return userName_; }
    const Osp::Base::String& GetSavedPassword() const { return password_; }
    unsigned int GetId() const { return id_; }
    TPasswordPlace GetPasswordPlace() const { return passwordPlace_; }
    void SetPasswordPlace(TPasswordPlace place) { passwordPlace_ = place; }
    // True while the saved password lies in the keyring but could not be read from it this run: the
    // folder then has no password to log on with, and none to move or remove.
    bool IsPasswordUnread() const { return passwordUnread_; }
    void SetPasswordUnread(bool unread) { passwordUnread_ = unread; }

    // An account typed in when a logon was refused: used from now on during this run, and never written
    // to the settings file unless KeepSessionLogon makes it the stored one.
    void SetSessionLogon(const Osp::Base::String& userName, const Osp::Base::String& password);
    void KeepSessionLogon();
    void ForgetSessionLogon();

    // Copies the six settings strings, the protocol, the encryption and where the password is kept; the
    // identifier stays.
    void CopyFrom(const RemoteFolder* other);
    // A new folder with the settings of this one.
    RemoteFolder* CloneN() const;

    // Two backslashes, the node name (or the address when there is none), a backslash and the share.
    Osp::Base::String GetUncName() const;
    Osp::Base::String GetRegSectionName() const;
    // The storage name (IFsBrowser::GetStorageName) of share on the folder's server: the server as the
    // folder reaches it (its address, else its name) and the share, in lower case, since neither tells
    // case apart.
    std::wstring GetStorageName(const std::wstring& share) const;

    // Takes the next free identifier.
    void SetNewId();
    static unsigned int GetNextFreeId();
    // Makes sure identifiers handed out later are all greater than id, so that a new folder never takes
    // the section of one that is already stored, whatever "FreeFolderId" said.
    static void ReserveId(unsigned int id);

    // Reads "FreeFolderId" of "General" into the next free identifier, when it is there.
    static void LoadGeneralSettings(const Osp::Io::Registry& reg);
    // Reads the identifier, the six strings, the protocol and the encryption of section; a missing value
    // leaves its field alone (a folder saved before the protocol or the encryption was a setting is
    // "Automatic", encrypted whenever the server offers it). The password is in the
    // keyring when the section says so and holds none itself; a password in the section wins, since an
    // older version may have written it there since.
    void LoadFromReg(const Osp::Io::Registry& reg, const Osp::Base::String& section);
    // Writes the folder's section (and, for a new folder, "FreeFolderId"); an empty string removes its
    // key, and a password kept in the keyring is written only as the mark that it is there. Returns the
    // first failure.
    Osp::Base::result SaveToReg(Osp::Io::Registry& reg, bool isNew) const;
    Osp::Base::result DeleteFromReg(Osp::Io::Registry& reg) const;

    // The folder's session, made on first use with listener; owned by the folder.
    SmbSession* CreateSmbSession(ISmbSessionListener* listener);
    SmbSession* GetSmbSession() const { return session_.get(); }
    // The folder's browser for its protocol, made on first use; owned by the folder.
    NetBrowser* CreateBrowser();
    // The folder's browser, or null when none was made.
    NetBrowser* GetBrowser() const { return browser_.get(); }
    // Starts the session's connection; nothing without a session.
    void SmbConnect();
    // Closes the connection of the folder's browser (or of its session, when there is no browser).
    void SmbDisconnect();
    // Destroys the browser and the session, so that the next use starts afresh (after the server
    // changed). Nothing may use the browser any more.
    void DropConnection();
    // The browser is connected to a share.
    bool IsConnected() const;

private:
    // The six strings with their keys, in the order they are written.
    template <typename Folder, typename Visit>
    static void ForEachString(Folder& folder, Visit visit);

    Osp::Base::String nodeName_;
    Osp::Base::String shareName_;
    Osp::Base::String ipAddress_;
    Osp::Base::String winsServer_;
    Osp::Base::String userName_;
    Osp::Base::String password_;
    bool hasSessionLogon_ = false;
    Osp::Base::String sessionUserName_;
    Osp::Base::String sessionPassword_;
    TSmbProtocol protocol_ = SMB_PROTOCOL_AUTOMATIC;
    TEncryption encryption_ = ENCRYPTION_WHEN_OFFERED;
    TPasswordPlace passwordPlace_ = PASSWORD_IN_FILE;
    bool passwordUnread_ = false;
    unsigned int id_ = 0;
    std::unique_ptr<SmbSession> session_;
    std::unique_ptr<NetBrowser> browser_;
};
