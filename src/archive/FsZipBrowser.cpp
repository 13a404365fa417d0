#include "archive/FsZipBrowser.h"

#include "Osp/Base/Collection/ArrayList.h"
#include "Osp/Base/Runtime/Thread.h"
#include "app/PathUtils.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "archive/IVolume.h"
#include "archive/ZipFolder.h"
#include "archive/ZipRequest.h"
#include "fs/FileSyncProxy.h"
#include "fs/IFsDirEnumListener.h"

namespace {

constexpr int kCapabilities = CAP_STREAM;

bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring::npos &&
           name.find(L'\\') == std::wstring::npos;
}

// A path inside the archive as a folder's: '/'-separated, beginning and ending with '/'.
std::wstring FolderPath(std::wstring path) {
    ReplaceSymbol(&path, L'\\', L'/');
    if (path.empty() || path[0] != L'/') {
        path.insert(path.begin(), L'/');
    }
    AddTrailingSymbol(&path, L'/');
    return path;
}

}  // namespace

// The worker: an event-driven thread whose events each carry one request.
class ZipBrowser::ZipThread : public Osp::Base::Runtime::Thread {
public:
    explicit ZipThread(ZipBrowser* browser) : browser_(browser) {}
    ~ZipThread() override = default;

    void OnUserEventReceivedN(Osp::Base::Runtime::RequestId, Osp::Base::Collection::IList* args) override {
        auto* list = dynamic_cast<Osp::Base::Collection::ArrayList*>(args);
        if (list != nullptr && list->GetCount() == 1) {
            if (auto* event = dynamic_cast<ZipEvent*>(list->GetAt(0))) {
                browser_->Serve(event);
            }
        }
        if (list != nullptr) {
            list->RemoveAll(true);
        }
        delete args;
    }

private:
    ZipBrowser* browser_;
};

ZipBrowser::ZipBrowser() = default;

ZipBrowser::~ZipBrowser() {
    // Nothing the worker waits for may wait for this thread: end every wait, then join.
    stopping_.store(true);
    if (IVolume* volume = volume_.load()) {
        volume->StopIoOperation();
    }
    monitor_.Enter();
    monitor_.NotifyAll();
    monitor_.Exit();
    if (thread_ != nullptr) {
        thread_->Stop();
        if (proxy_ != nullptr) {
            proxy_->Abort();
        }
        thread_->Join();
    }
    delete volume_.load();
    delete file_;
}

unsigned long ZipBrowser::InitAndOpenRootDirA(IFsBrowser* host, const std::wstring& path,
                                              IFsBrowserListener* listener) {
    if (thread_ != nullptr || host == nullptr) {
        return RES_FAILURE;
    }
    hostBrowser_ = host;
    archivePath_ = path;
    // An archive is a storage of its own, named after the place of its file.
    storageName_ = L"archive:" + host->GetStorageName() + L"|" + path;
    std::wstring dir;
    if (!ParseFileName(path, &dir, &archiveName_, host->GetSlash())) {
        archiveName_ = path;
    }
    Osp::Base::String lower(path);
    lower.ToLowerCase();
    id_ = static_cast<unsigned long>(static_cast<unsigned int>(lower.GetHashCode()));
    listener_ = LiveRef<IFsBrowserListener>(listener);
    thread_ = std::make_unique<ZipThread>(this);
    if (thread_->Construct(Osp::Base::Runtime::THREAD_TYPE_EVENT_DRIVEN) != 0 || thread_->Start() != 0) {
        thread_.reset();
        return RES_FAILURE;
    }
    if (unsigned long r = Post(ZRQ_INIT, std::make_unique<Zrp>())) {
        return r;
    }
    return Post(ZRQ_OPEN_ROOT, std::make_unique<Zrp>());
}

unsigned long ZipBrowser::Post(int code, std::unique_ptr<Zrp> request) {
    if (thread_ == nullptr) {
        return RES_FAILURE;
    }
    auto* list = new Osp::Base::Collection::ArrayList;
    list->Construct(1);
    list->Add(new ZipEvent(static_cast<TZipRequest>(code), false, std::move(request)));
    if (thread_->SendUserEvent(code, list) != 0) {
        list->RemoveAll(true);
        delete list;
        return RES_FAILURE;
    }
    return 0;
}

// ---- User-interface thread ------------------------------------------------------------------------------

void ZipBrowser::OnUserEvent(int) {}

void ZipBrowser::OnUserEventEx(UserEvent* event) {
    auto* zipEvent = dynamic_cast<ZipEvent*>(event);
    if (zipEvent == nullptr || !zipEvent->IsAnswer()) {
        return;
    }
    int code = zipEvent->GetKind();
    if (code == ZRQ_STREAM_BLOCK) {
        DeliverBlock(zipEvent->Request());
    } else if (code == ZRQ_PASSWORD) {
        DeliverPasswordQuestion(zipEvent->Request());
    } else {
        Deliver(code, zipEvent->TakeRequest());
    }
}

ZipFolder* ZipBrowser::MakeFolder(const std::wstring& path, std::shared_ptr<IVolDir> volDir) {
    bool root = !rootHanded_;
    rootHanded_ = true;
    return new ZipFolder(this, FolderPath(path), std::move(volDir), root);
}

void ZipBrowser::Deliver(int code, std::unique_ptr<Zrp> answer) {
    if (answer == nullptr) {
        return;
    }
    unsigned long r = answer->result;
    switch (code) {
        case ZRQ_OPEN_ROOT: {
            IFsBrowserListener* listener = listener_.Get();
            ZipFolder* folder =
                r == 0 && answer->volDir != nullptr ? MakeFolder(L"/", answer->volDir) : nullptr;
            if (listener == nullptr) {
                // The last thing this may do: the folder's reference may be the browser's last.
                delete folder;
                return;
            }
            listener->OnOpenDir(folder != nullptr ? 0 : (r != 0 ? r : RES_FAILURE), folder);
            return;
        }
        case ZRQ_OPEN_FOLDER: {
            IFsOpListener* listener = answer->opListener.Get();
            if (listener != nullptr) {
                ZipFolder* folder =
                    r == 0 ? new ZipFolder(this, FolderPath(answer->text), answer->volDir, false) : nullptr;
                listener->OnFsOperationDone(answer->tag, reinterpret_cast<std::intptr_t>(folder), r);
            }
            return;
        }
        case ZRQ_OPEN_SUBFOLDER: {
            IFsDirListener* listener = answer->dirListener.Get();
            if (listener != nullptr) {
                ZipFolder* folder =
                    r == 0 ? new ZipFolder(this, FolderPath(answer->text), answer->volDir, false) : nullptr;
                listener->OnOpenSubDir(r, folder);
            }
            return;
        }
        case ZRQ_OPEN_ENUMERATOR: {
            IFsDirListener* listener = answer->dirListener.Get();
            if (listener != nullptr) {
                ZipDirEnum* walk = nullptr;
                if (r == 0) {
                    auto state = std::make_shared<ZipEnumState>();
                    state->volEnum = std::move(answer->volEnum);
                    walk = new ZipDirEnum(this, state);
                }
                listener->OnOpenEnumerator(r, walk);
            }
            return;
        }
        case ZRQ_ENTRY:
            DeliverEntry(std::move(answer));
            return;
        case ZRQ_FILE_INFO: {
            IFsOpListener* listener = answer->opListener.Get();
            if (listener != nullptr) {
                listener->OnFsOperationDone(answer->tag,
                                            reinterpret_cast<std::intptr_t>(answer->entry.release()), r);
            }
            return;
        }
        case ZRQ_STREAM_END: {
            IOutStreamListener* listener = streamListener_.Get();
            streamListener_ = LiveRef<IOutStreamListener>();
            if (listener != nullptr) {
                listener->OnStreamWriteFinishedA(r);
            }
            return;
        }
        default:
            return;
    }
}

void ZipBrowser::DeliverEntry(std::unique_ptr<Zrp> answer) {
    ZipEnumState& state = *answer->enumState;
    if (state.ended) {
        return;
    }
    IFsDirEnumListener* listener = state.listener.Get();
    bool end = answer->entry == nullptr || answer->result != 0 || state.stop.load();
    if (end) {
        state.ended = true;
    }
    if (listener == nullptr) {
        return;
    }
    if (end) {
        listener->OnGetEntry(answer->entry == nullptr ? answer->result : 0, nullptr);
    } else {
        listener->OnGetEntry(0, answer->entry.release());
    }
}

bool ZipBrowser::ClaimPending(Zrp* request, int code) {
    monitor_.Enter();
    bool waiting = !request->answered && pending_ == nullptr;
    if (waiting) {
        pending_ = request;
        pendingCode_ = code;
    }
    monitor_.Exit();
    return waiting;
}

bool ZipBrowser::IsPending(int code) {
    monitor_.Enter();
    bool pending = pending_ != nullptr && pendingCode_ == code;
    monitor_.Exit();
    return pending;
}

void ZipBrowser::DeliverBlock(Zrp* request) {
    IOutStreamListener* listener = streamListener_.Get();
    if (!ClaimPending(request, ZRQ_STREAM_BLOCK)) {
        return;
    }
    unsigned long r =
        listener != nullptr ? listener->OnStreamWriteA(request->data, request->size) : RES_CANCELLED;
    if (r != 0) {
        AnswerPending(r, 0, std::wstring());
    }
}

void ZipBrowser::DeliverPasswordQuestion(Zrp* request) {
    IFsBrowserListener* listener = listener_.Get();
    if (!ClaimPending(request, ZRQ_PASSWORD)) {
        return;
    }
    if (listener == nullptr) {
        AnswerPending(RES_CANCELLED, 0, std::wstring());
        return;
    }
    listener->OnPasswordRequestA(this);
}

void ZipBrowser::AnswerPending(unsigned long result, unsigned int count, const std::wstring& text) {
    monitor_.Enter();
    if (pending_ != nullptr) {
        pending_->result = result;
        pending_->written = count;
        pending_->text = text;
        pending_->answered = true;
        pending_ = nullptr;
        monitor_.NotifyAll();
    }
    monitor_.Exit();
}

void ZipBrowser::SetPassword(unsigned long result, const std::wstring& password) {
    if (IsPending(ZRQ_PASSWORD)) {
        AnswerPending(result, 0, result == 0 ? password : std::wstring());
    }
}

void ZipBrowser::BytesProcessed(unsigned long result, unsigned int count) {
    if (IsPending(ZRQ_STREAM_BLOCK)) {
        AnswerPending(result, count, std::wstring());
    }
}

void ZipBrowser::StopStreamIoA(unsigned long result) {
    stopResult_.store(result != 0 ? result : RES_CANCELLED);
    if (IVolume* volume = volume_.load()) {
        volume->StopIoOperation();
    }
    // A block that waits for its acknowledgement would keep the worker from seeing the stop.
    BytesProcessed(stopResult_.load(), 0);
}

// ---- Requests -------------------------------------------------------------------------------------------

unsigned long ZipBrowser::OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) {
    auto request = std::make_unique<Zrp>();
    request->tag = id;
    request->opListener = LiveRef<IFsOpListener>(listener);
    request->text = path;
    return Post(ZRQ_OPEN_FOLDER, std::move(request));
}

unsigned long ZipBrowser::GetFileInfoA(int id, IFsOpListener* listener, const std::wstring& path) {
    auto request = std::make_unique<Zrp>();
    request->tag = id;
    request->opListener = LiveRef<IFsOpListener>(listener);
    request->text = path;
    return Post(ZRQ_FILE_INFO, std::move(request));
}

unsigned long ZipBrowser::OpenSubDirA(const std::wstring& folderPath, const std::wstring& name,
                                      IFsDirListener* listener) {
    if (!IsPlainName(name)) {
        return RES_NOT_FOUND;
    }
    auto request = std::make_unique<Zrp>();
    request->dirListener = LiveRef<IFsDirListener>(listener);
    request->text = folderPath;
    AddTrailingSymbol(&request->text, L'/');
    request->text += name;
    return Post(ZRQ_OPEN_SUBFOLDER, std::move(request));
}

unsigned long ZipBrowser::OpenEnumeratorA(std::shared_ptr<IVolDir> volDir, IFsDirListener* listener) {
    auto request = std::make_unique<Zrp>();
    request->dirListener = LiveRef<IFsDirListener>(listener);
    request->volDir = std::move(volDir);
    return Post(ZRQ_OPEN_ENUMERATOR, std::move(request));
}

unsigned long ZipBrowser::StartEnumA(std::shared_ptr<ZipEnumState> state) {
    auto request = std::make_unique<Zrp>();
    request->enumState = std::move(state);
    return Post(ZRQ_ENUMERATE, std::move(request));
}

unsigned long ZipBrowser::ExtractFileA(IOutStreamListener* listener, const std::wstring& path) {
    streamListener_ = LiveRef<IOutStreamListener>(listener);
    auto request = std::make_unique<Zrp>();
    request->text = path;
    return Post(ZRQ_EXTRACT, std::move(request));
}

void ZipBrowser::AddRef() {
    ++refCount_;
}

void ZipBrowser::Release() {
    if (--refCount_ == 0) {
        delete this;
    }
}

void ZipBrowser::SetListener(IFsBrowserListener* listener) {
    listener_ = LiveRef<IFsBrowserListener>(listener);
}

void ZipBrowser::RemoveListener(IFsBrowserListener* listener) {
    if (listener_.Get() == listener) {
        listener_ = LiveRef<IFsBrowserListener>();
    }
}

unsigned long ZipBrowser::GetId() const {
    return id_;
}

// An archive is read-only and has no files of its own to open: these answer nothing.
void ZipBrowser::SelectShare(const std::wstring&) {}
unsigned long ZipBrowser::OpenRootDirA() {
    return 0;
}
unsigned long ZipBrowser::RenameFileA(int, IFsOpListener*, const std::wstring&, const std::wstring&) {
    return 0;
}
unsigned long ZipBrowser::RenameFolderA(int, IFsOpListener*, const std::wstring&, const std::wstring&) {
    return 0;
}
unsigned long ZipBrowser::DeleteFileA(int, IFsOpListener*, const std::wstring&) {
    return 0;
}
unsigned long ZipBrowser::DeleteFolderA(int, IFsOpListener*, const std::wstring&) {
    return 0;
}
unsigned long ZipBrowser::CreateFolderA(int, IFsOpListener*, const std::wstring&, bool) {
    return 0;
}
void ZipBrowser::SetFileTimeModifiedA(const std::wstring&, const Osp::Base::DateTime&) {}
unsigned long ZipBrowser::CreateFileA(IFsFileListener*, const std::wstring&, TFileMode, TFileDisp) {
    return 0;
}
unsigned long ZipBrowser::CreateSyncFileN(IFileSync** out, const std::wstring&, TFileMode, TFileDisp) {
    *out = nullptr;
    return RES_FAILURE;
}
unsigned long ZipBrowser::StoreFileA(IInStreamListener*, const std::wstring&) {
    return 0;
}

bool ZipBrowser::IsTheSameDisk(const IFsBrowser*) const {
    return false;
}

std::wstring ZipBrowser::GetStorageName() const {
    return storageName_;
}

wchar_t ZipBrowser::GetSlash() const {
    return L'/';
}

bool ZipBrowser::CapableOf(int mask) const {
    return (mask & kCapabilities) == mask;
}

int ZipBrowser::GetType() const {
    return BROWSER_ARCHIVE;
}

unsigned long ZipBrowser::GetProperty(TProperty, void*) {
    return RES_FAILURE;
}
