#pragma once
// The browser of a network share over SMB 2 and 3: the file-system interfaces over Samba's client
// library, which runs on the folder's own worker thread (Smb2Worker). Every operation is a task of the
// worker; its answer is posted back and delivered on the user-interface thread, and dropped when its
// listener has died. Paths are '\'-separated from the share's root, as with the SMB1 browser.
//
// On "Automatic" a server that speaks no SMB 2 (or a folder without an address, which only the classic
// client's name service can find) is handed to the classic SMB1 browser, which from then on answers every
// call of this one. One browser per RemoteFolder, which owns it; AddRef and Release do nothing.
//
// Results: Smb2Result of the library's error for the step; RES_CANCELLED when the user picks no share.

#include <memory>
#include <string>
#include <vector>

#include "app/IUserEventHandler.h"
#include "net/NetBrowser.h"
#include "net/smb2/Smb2Status.h"
#include "net/smb2/Smb2Worker.h"

class SmbBrowser;

class Smb2Browser : public NetBrowser, private IUserEventHandler {
public:
    // folder outlives the browser.
    explicit Smb2Browser(RemoteFolder* folder);
    ~Smb2Browser() override;
    Smb2Browser(const Smb2Browser&) = delete;
    Smb2Browser& operator=(const Smb2Browser&) = delete;

    // How long a call may wait for the server, for every browser made from now on; tests shorten it.
    static void SetDeadline(int milliseconds);
    // The size of the blocks files are read and written in: of the sizes measured against Samba, the
    // fastest both ways (the library splits a block into the server's largest requests and keeps several
    // on the wire).
    static constexpr unsigned int kBlockSize = 1024 * 1024;

    RemoteFolder* GetFolder() const override { return folder_; }
    bool IsLoggedOn() const override;
    bool IsShareConnected() const override;
    std::wstring DescribeConnection() const override;
    void CancelConnecting() override;
    void Disconnect() override;
    bool AskDiskSizeA(IDiskSizeListener* listener) override;

    void AddRef() override;
    void Release() override;
    void SetListener(IFsBrowserListener* listener) override;
    void RemoveListener(IFsBrowserListener* listener) override;
    void SetPassword(unsigned long result, const std::wstring& password) override;
    void SelectShare(const std::wstring& share) override;
    unsigned long OpenRootDirA() override;
    unsigned long OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) override;
    unsigned long RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                              const std::wstring& newPath) override;
    unsigned long RenameFolderA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                const std::wstring& newPath) override;
    unsigned long DeleteFileA(int id, IFsOpListener* listener, const std::wstring& path) override;
    unsigned long DeleteFolderA(int id, IFsOpListener* listener, const std::wstring& path) override;
    unsigned long CreateFolderA(int id, IFsOpListener* listener, const std::wstring& path,
                                bool failIfExists) override;
    unsigned long GetId() const override;
    unsigned long GetFileInfoA(int id, IFsOpListener* listener, const std::wstring& path) override;
    void SetFileTimeModifiedA(const std::wstring& path, const Osp::Base::DateTime& time) override;
    unsigned long CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                              TFileDisp disp) override;
    unsigned long CreateSyncFileN(IFileSync** out, const std::wstring& path, TFileMode mode,
                                  TFileDisp disp) override;
    unsigned long ExtractFileA(IOutStreamListener* listener, const std::wstring& path) override;
    unsigned long StoreFileA(IInStreamListener* listener, const std::wstring& path) override;
    void BytesProcessed(unsigned long result, unsigned int count) override;
    void StopStreamIoA(unsigned long result) override;
    bool IsTheSameDisk(const IFsBrowser* other) const override;
    std::wstring GetStorageName() const override;
    wchar_t GetSlash() const override;
    bool CapableOf(int mask) const override;
    int GetType() const override;
    unsigned long GetProperty(TProperty property, void* out) override;

    // The folder's UNC name (with the connected share when the folder names none) followed by path.
    std::wstring GetFullName(const std::wstring& path) const override;
    // The worker, for the folders and enumerators of this browser.
    Smb2Worker* Worker() { return worker_.get(); }
    // The worker of the connection as it is now, for a file opened on it: the reference expires when
    // that connection ends, so that the file never reaches a later connection, whose handles are another
    // client's.
    std::weak_ptr<Smb2Worker> Connection() const { return worker_; }
    // The worker a new operation goes to: after a disconnect the share that was connected is connected
    // again first, as the classic client does. Null when the folder was never connected.
    Smb2Worker* OperationWorker();
    // Posts result to the operation's listener, unless it died.
    void PostOpDone(int id, IFsOpListener* listener, unsigned long result);

private:
    // A path operation of the share: action runs on the worker with the path in the library's form.
    using PathAction = int (*)(host::SmbClient& client, const std::string& path, const std::string& other);
    unsigned long RunPathOperation(int id, IFsOpListener* listener, const std::wstring& path,
                                   const std::wstring& other, PathAction action);
    // Logs on and connects share (none: the share choice follows); quiet when an operation needs the
    // connection again after a disconnect, and no root waits on the answer.
    void Connect(const std::wstring& share, bool quiet = false);
    // What a connection turned out to be.
    struct SConnection {
        std::string dialect;
        bool encrypted = false;
    };
    void OnConnectAnswer(unsigned long result, const SConnection& connection,
                         const std::vector<std::wstring>& shares, const std::wstring& share, bool quiet);

    void AnswerRoot(unsigned long result);
    // Tells the main list that the connection came or went.
    void RefreshFolder();
    // Hands the folder to the classic client and opens its root there.
    void FallBackToSmb1();
    SmbBrowser* Fallback() const { return fallback_.get(); }

    // IUserEventHandler.
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent* event) override;

    // All members belong to the user-interface thread.
    RemoteFolder* folder_;
    IFsBrowserListener* listener_ = nullptr;
    // Retired (never deleted) when the browser lets go of it; files keep only weak references.
    std::shared_ptr<Smb2Worker> worker_;
    std::unique_ptr<SmbBrowser> fallback_;
    bool connecting_ = false;
    // The number of the latest connection attempt; answers of earlier ones are dropped.
    int attempt_ = 0;
    bool connected_ = false;
    std::wstring share_;
    std::string dialect_;
    // Whether the connected share's messages go encrypted.
    bool encrypted_ = false;
};
