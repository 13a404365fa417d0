#pragma once
// A client of SMB 2 and 3 servers over Samba's client library. One object holds one library context and
// serves one thread: the library is not thread-safe, and the few settings it keeps for the whole process
// (protocol range, configuration) are taken under one lock shared by every client, together with each
// call. Calls block until the server answers or the deadline passes.
//
// The library is kept to the address it is given: the client writes its own configuration (no name
// resolution, no broadcasts, no NetBIOS), logs on with NTLMv2 only (no Kerberos, no anonymous retry),
// signs when the server requires it and encrypts as its settings ask: whenever the server offers it, or
// only when the server requires it. The password reaches the library only through its credentials
// callback.
//
// Failures come back as the library's error numbers (the <cerrno> values), 0 for success; what a number
// means depends on the step that gave it, which the caller knows. A number can stand for several of the
// server's answers (a wrong password and a disabled account are both EACCES), so a refused logon also
// keeps the server's own status when the library told it.

#include <memory>
#include <string>
#include <vector>

namespace host {

struct SmbClientSettings {
    SmbClientSettings() = default;
    SmbClientSettings(const SmbClientSettings&) = default;
    SmbClientSettings& operator=(const SmbClientSettings&) = default;
    // Every copy overwrites its password before its memory goes back to the allocator.
    ~SmbClientSettings();

    std::string address;  // a dotted IPv4 address, never a name
    unsigned short port = 445;
    std::string user;
    std::string password;
    std::string workgroup;
    int timeoutMs = 20000;
    // The dialects to try, newest first, in the library's names ("SMB3_11", "SMB2_02", ...). Each is tried
    // alone so that the one in use is known.
    std::vector<std::string> dialects;
    enum TEncryption { ENCRYPT_WHEN_OFFERED, ENCRYPT_WHEN_REQUIRED };
    TEncryption encryption = ENCRYPT_WHEN_OFFERED;
};

struct SmbClientEntry {
    std::string name;  // UTF-8
    bool isDir = false;
    bool hidden = false;
    bool readOnly = false;
    // A reparse point (a junction, a symbolic link, a DFS link): what it leads to may lie outside the
    // share, and the library follows it when asked for what is below it.
    bool reparsePoint = false;
    unsigned long long size = 0;
    long long mtime = 0;  // seconds since 1970 UTC
};

class SmbClient {
public:
    SmbClient();
    ~SmbClient();
    SmbClient(const SmbClient&) = delete;
    SmbClient& operator=(const SmbClient&) = delete;

    // Makes the library context; the settings stay for every later call. 0 or an error number.
    int Open(const SmbClientSettings& settings);
    // Logs on and lists the server's disk shares, trying the dialects in order until one is accepted.
    // The error of the last dialect tried comes back when none is.
    int ListShares(std::vector<std::string>* shares);
    // Connects to share (logging on when not yet done); 0 or an error number.
    int ConnectShare(const std::string& share);
    // The dialect the connection uses, in the library's names; empty before a connection.
    const std::string& Dialect() const { return dialect_; }
    // When the last ListShares or ConnectShare failed before the server accepted its logon: the status the
    // server refused the negotiation or the logon with (an NT status such as 0xC000006D). 0 when the logon
    // was accepted or the library did not tell.
    unsigned int LogonRefusal() const { return logonRefusal_; }
    // Whether the last ConnectShare that succeeded found the share's traffic encrypted.
    bool Encrypted() const { return encrypted_; }

    // Paths are '/'-separated within the connected share, UTF-8, starting with '/'.
    int List(const std::string& path, std::vector<SmbClientEntry>* entries);
    int Stat(const std::string& path, SmbClientEntry* entry);
    int MakeDir(const std::string& path);
    int RemoveDir(const std::string& path);
    int Unlink(const std::string& path);
    int Rename(const std::string& from, const std::string& to);
    int SetModified(const std::string& path, long long mtime);
    int DiskSize(unsigned long long* total, unsigned long long* available);

    enum TOpen { OPEN_READ, OPEN_READ_WRITE, OPEN_CREATE_NEW, OPEN_CREATE_ALWAYS, OPEN_APPEND };
    // A handle (>= 0) or a negative error number.
    int OpenFile(const std::string& path, TOpen how);
    // Bytes moved, or a negative error number.
    long long Read(int handle, void* buffer, unsigned int size);
    long long Write(int handle, const void* buffer, unsigned int size);
    // origin 0 start, 1 current, 2 end: the new position or a negative error number.
    long long Seek(int handle, long long offset, int origin);
    // Closes on the server; 0 or the error of the close.
    int CloseFile(int handle);
    // Has the server copy up to limit bytes from the position of file from to the position of file to, both
    // open on this client's share, without the data crossing the network; both positions move on by what
    // was copied. The bytes copied (0 at the source's end), or minus an error number with both positions
    // where they were: the server may refuse to copy (older servers, other file systems).
    long long CopyRange(int from, int to, unsigned long long limit);

private:
    struct Impl;
    std::string Url(const std::string& path) const;
    int TryDialects(const std::string& url);

    std::unique_ptr<Impl> impl_;
    std::string share_;
    std::string dialect_;
    unsigned int logonRefusal_ = 0;
    bool encrypted_ = false;
};

}  // namespace host
