#pragma once
// The browser of one archive file that lives on another browser (the phone's storage or a network
// share): its folders read-only, its files streamed out one at a time with ExtractFileA. A worker thread
// of its own makes every call into the archive layer; requests are posted to it and the answers posted
// back, delivered on the user-interface thread. The worker waits on the browser's monitor while the
// user-interface thread answers a password question (SetPassword) or a stream block (BytesProcessed).
//
// Lifetime: reference counted, created with count 0; the first root folder handed out holds a reference.
// Deleting the browser stops the worker without waiting on the user-interface thread: waits on the
// monitor and on the host file end with RES_CANCELLED, the library is told to stop, and the worker is
// joined. Answers still on their way to a destroyed listener (or browser) are dropped.
//
// Results: those of the volumes (Part of the archive layer: RES_CORRUPT_FILE, RES_INVALID_PASSWORD,
// RES_UNSUPPORTED_METHOD, RES_NOT_FOUND, RES_OUT_OF_MEMORY, RES_NO_ARCHIVE_LIBRARY), the host file's
// failure when the archive cannot be opened, and RES_CANCELLED when a password question was cancelled.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "Osp/Base/Runtime/Monitor.h"
#include "app/IUserEventHandler.h"
#include "app/LiveTarget.h"
#include "archive/IOutStreamSync.h"
#include "archive/IPasswordListener.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IOutStreamListener.h"

class FileSyncProxy;
class IFsDirListener;
class IVolDir;
class IVolume;
class ZipEvent;
class ZipFolder;
struct ZipEnumState;
struct Zrp;

class ZipBrowser : public IFsBrowser,
                   public IUserEventHandler,
                   public IOutStreamSync,
                   public IPasswordListener {
public:
    ZipBrowser();
    ~ZipBrowser() override;
    ZipBrowser(const ZipBrowser&) = delete;
    ZipBrowser& operator=(const ZipBrowser&) = delete;

    // Opens the archive at path on host (which outlives this browser); the answer is listener's OnOpenDir.
    unsigned long InitAndOpenRootDirA(IFsBrowser* host, const std::wstring& path,
                                      IFsBrowserListener* listener);
    const std::wstring& GetArchiveName() const { return archiveName_; }
    // The browser the archive file lies on; null before InitAndOpenRootDirA.
    IFsBrowser* GetHostBrowser() const { return hostBrowser_; }

    // Requests of the browser's folders and enumerators.
    unsigned long OpenSubDirA(const std::wstring& folderPath, const std::wstring& name,
                              IFsDirListener* listener);
    unsigned long OpenEnumeratorA(std::shared_ptr<IVolDir> volDir, IFsDirListener* listener);
    unsigned long StartEnumA(std::shared_ptr<ZipEnumState> state);

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

    // Worker: serves one request.
    void Serve(ZipEvent* event);

private:
    class ZipThread;

    unsigned long Post(int code, std::unique_ptr<Zrp> request);
    // Worker side.
    void ServeInit(Zrp* request);
    void ServeOpenRoot(Zrp* request);
    void ServeEnumerate(Zrp* request);
    void ServeExtract(Zrp* request);
    void PostAnswer(int code, std::unique_ptr<Zrp> answer);
    // Posts a request that the user-interface thread answers under the monitor, and waits for it.
    bool AskAndWait(int code, Zrp* request);
    unsigned long OnStreamWrite(const void* data, unsigned int size, unsigned int* written) override;
    // Hands the gathered bytes to the receiver; 0 once it has taken them all.
    unsigned long FlushBlock();
    void OnStreamWriteFinished(unsigned long result) override;
    std::wstring OnGetPassword() override;
    // User-interface side.
    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent* event) override;
    void Deliver(int code, std::unique_ptr<Zrp> answer);
    void DeliverEntry(std::unique_ptr<Zrp> answer);
    void DeliverBlock(Zrp* request);
    void DeliverPasswordQuestion(Zrp* request);
    // Makes request the one the worker waits on, unless it was given up or another one waits.
    bool ClaimPending(Zrp* request, int code);
    bool IsPending(int code);
    void AnswerPending(unsigned long result, unsigned int count, const std::wstring& text);
    ZipFolder* MakeFolder(const std::wstring& path, std::shared_ptr<IVolDir> volDir);

    // User-interface thread.
    int refCount_ = 0;
    IFsBrowser* hostBrowser_ = nullptr;
    std::wstring archivePath_;
    std::wstring storageName_;
    std::wstring archiveName_;
    unsigned long id_ = 0;
    LiveRef<IFsBrowserListener> listener_;
    LiveRef<IOutStreamListener> streamListener_;
    bool rootHanded_ = false;
    // Guarded by monitor_: the request the user-interface thread owes the worker an answer to.
    Zrp* pending_ = nullptr;
    int pendingCode_ = 0;
    Osp::Base::Runtime::Monitor monitor_;
    std::unique_ptr<ZipThread> thread_;
    // Worker thread, until it is joined.
    IFileSync* file_ = nullptr;
    FileSyncProxy* proxy_ = nullptr;  // file_ when the host has no synchronous files
    unsigned long initResult_ = 0;
    std::atomic<IVolume*> volume_{nullptr};
    bool streamEnded_ = false;
    std::vector<unsigned char> outBlock_;
    // Any thread.
    std::atomic<bool> stopping_{false};
    std::atomic<bool> passwordCancelled_{false};
    std::atomic<unsigned long> stopResult_{0};
};
