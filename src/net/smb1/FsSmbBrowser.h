#pragma once
// The browser of one network share: the file-system interfaces over the folder's SmbSession. It connects
// when its root is opened, asks the user to pick a share when the folder names none (the server's list
// comes over the "\srvsvc" pipe of "IPC$"), lists folders with FIND_FIRST2/FIND_NEXT2, and reads, writes,
// deletes, renames and creates with the plain SMB commands. One browser per RemoteFolder, which owns it;
// AddRef and Release do nothing. Used on the user-interface thread only.
//
// Answers: OpenRootDirA through IFsBrowserListener::OnOpenDir (inside the call when the session already
// has its tree); the other operations through posted events, dropped when their listener has died.
// Results: the mapped NT status of the server's answer, RES_DISCONNECTED for operations the session
// dropped, RES_BAD_RESPONSE for answers that do not parse, RES_NO_SHARES when the server's share list
// cannot be had, RES_CANCELLED when the user picks no share.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "app/IUserEventHandler.h"
#include "app/LiveTarget.h"
#include "fs/IFsFileListener.h"
#include "fs/IFsOpListener.h"
#include "net/NetBrowser.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/ISmbSessionListener.h"

class DceResponse;
class RemoteFolder;
class SmbSession;

class SmbBrowser : public NetBrowser,
                   private ISmbSessionListener,
                   private ISmbRequestListener,
                   private IUserEventHandler,
                   private IFsFileListener {
public:
    // folder outlives the browser; its session is made on first use.
    explicit SmbBrowser(RemoteFolder* folder);
    ~SmbBrowser() override;
    SmbBrowser(const SmbBrowser&) = delete;
    SmbBrowser& operator=(const SmbBrowser&) = delete;

    // A reference that tells whether this browser still exists, for objects that may outlive it.
    LiveRef<IUserEventHandler> LivenessRef() { return LiveRef<IUserEventHandler>(this); }
    SmbSession* GetSession() const { return session_; }
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

    // The display name of a folder of this browser: the folder's UNC name (completed with the share the
    // session is connected to when the folder names none) followed by path.
    std::wstring GetFullName(const std::wstring& path) const override;
    // Answers an operation on a name that is not one plain component of a path with E_INVALID_ARG,
    // without asking the server.
    unsigned long RefuseOperation(int id, IFsOpListener* listener);

private:
    enum TOperationKind {
        OP_DELETE_OR_RENAME = 0,
        OP_OPEN_FOLDER = 1,
        OP_CREATE_FOLDER = 2,
        OP_FILE_INFO = 3,
        OP_SET_TIME = 4,
    };
    enum TFlags {
        FLAG_ENUMERATING_SHARES = 0x2,
    };

    struct SOperation {
        int id = 0;
        TOperationKind kind = OP_DELETE_OR_RENAME;
        LiveRef<IFsOpListener> listener;
        std::wstring path;
    };

    SmbSession* Session();
    unsigned long SendOperation(int id, IFsOpListener* listener, TOperationKind kind,
                                const std::wstring& path, Smb* request);
    // Takes the operation that an answer belongs to; an answer that comes while its request is still being
    // handed to the session is kept for later.
    bool TakeOperation(unsigned short mid, unsigned long result, SOperation& op);
    void Answer(const SOperation& op, unsigned long result, const Trans2Resp* response);
    void PostDone(const SOperation& op, unsigned long result);
    void AnswerRoot(unsigned long result);
    void StartShareEnumeration();
    void CancelBrowsingForShares(unsigned long result);
    void OnShareList(unsigned long result, const Trans2Resp* response);
    // Reads on while the pipe's answer is not whole, then offers its shares.
    void CollectShareList(int state);

    // ISmbSessionListener.
    void OnConnected(unsigned long result) override;
    void OnTreeConnected(unsigned long result) override;
    bool OnSmbReceived(const Smb* message) override;
    void OnDisconnected() override;
    // ISmbRequestListener.
    void OnSmbReceived(unsigned long result, unsigned short mid, const Smb* response) override;
    void OnTransReceived(unsigned long result, unsigned short mid, const Trans2Resp* response) override;
    void OnTrans2Received(unsigned long result, unsigned short mid, const Trans2Resp* response) override;
    // IUserEventHandler.
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent* event) override;
    // IFsFileListener: the "\srvsvc" pipe.
    void OnCreateN(unsigned long result, IFsFile* file) override;
    void OnRead(IFsFile* file, unsigned long result, unsigned int count) override;
    void OnWrite(IFsFile* file, unsigned long result, unsigned int count) override;
    void OnSeek(IFsFile* file, unsigned long result) override;

    // All members belong to the user-interface thread.
    RemoteFolder* folder_;
    SmbSession* session_ = nullptr;  // the folder's
    IFsBrowserListener* listener_ = nullptr;
    int flags_ = 0;
    // Whether OnOpenDir is still owed for an OpenRootDirA.
    bool rootPending_ = false;
    std::map<unsigned short, SOperation> operations_;
    // Answers that came for a request before SendSmbA returned its multiplex id.
    bool sending_ = false;
    std::map<unsigned short, unsigned long> earlyAnswers_;
    std::unique_ptr<IFsFile> pipe_;
    std::unique_ptr<unsigned char[]> pipeBuffer_;
    std::unique_ptr<unsigned char[]> bindPacket_;
    // The share list's answer while its pieces come off the pipe.
    std::unique_ptr<DceResponse> shareReply_;
    unsigned short shareListMid_ = 0;
};
