// The worker side of ZipBrowser: every call into the archive layer, made on the browser's own thread one
// request at a time, its answers posted to the user-interface thread. The library's password questions
// and stream blocks are asked of the user-interface thread under the browser's monitor, and the worker
// waits for them; a browser on its way out ends every wait with RES_CANCELLED and takes no more answers.

#include "archive/FsZipBrowser.h"

#include <new>

#include "app/Corvane.h"
#include "app/Results.h"
#include "archive/IVolume.h"
#include "archive/VolumeDb.h"
#include "archive/ZipRequest.h"
#include "fs/FileSyncProxy.h"

namespace {

// Bytes gathered from the library's writes before they go to the receiver as one block.
constexpr std::size_t kStreamBlock = 256 * 1024;

}  // namespace

void ZipBrowser::Serve(ZipEvent* event) {
    std::unique_ptr<Zrp> request = event->TakeRequest();
    if (request == nullptr || stopping_.load()) {
        return;
    }
    int code = event->GetKind();
    IVolume* volume = volume_.load();
    try {
        switch (code) {
            case ZRQ_INIT:
                ServeInit(request.get());
                return;
            case ZRQ_OPEN_ROOT:
                ServeOpenRoot(request.get());
                break;
            case ZRQ_OPEN_FOLDER:
            case ZRQ_OPEN_SUBFOLDER: {
                IVolDir* dir = nullptr;
                request->result = volume != nullptr ? volume->OpenDirN(request->text, &dir) : RES_NOT_FOUND;
                request->volDir.reset(dir);
                break;
            }
            case ZRQ_OPEN_ENUMERATOR:
                request->volEnum.reset(request->volDir != nullptr ? request->volDir->OpenEnumeratorN()
                                                                  : nullptr);
                request->result = request->volEnum != nullptr ? 0 : RES_FAILURE;
                break;
            case ZRQ_ENUMERATE:
                ServeEnumerate(request.get());
                return;
            case ZRQ_EXTRACT:
                ServeExtract(request.get());
                return;
            case ZRQ_FILE_INFO: {
                IFsDirEntry* entry = nullptr;
                request->result =
                    volume != nullptr ? volume->GetFileInfo(request->text, &entry) : RES_NOT_FOUND;
                request->entry.reset(request->result == 0 ? entry : nullptr);
                if (request->result != 0) {
                    delete entry;
                }
                break;
            }
            default:
                return;
        }
    } catch (const std::bad_alloc&) {
        // The request ends with its error; whatever it made so far goes with it.
        request->volDir.reset();
        request->volEnum.reset();
        request->entry.reset();
        request->result = RES_OUT_OF_MEMORY;
    }
    PostAnswer(code, std::move(request));
}

void ZipBrowser::PostAnswer(int code, std::unique_ptr<Zrp> answer) {
    // A browser on its way out takes no more answers.
    if (!stopping_.load()) {
        Corvane::GetMyInstance()->PostUserEventEx(
            this, new ZipEvent(static_cast<TZipRequest>(code), true, std::move(answer)));
    }
}

void ZipBrowser::ServeInit(Zrp* request) {
    if (hostBrowser_->CapableOf(CAP_SYNC_FILE)) {
        IFileSync* file = nullptr;
        initResult_ =
            hostBrowser_->CreateSyncFileN(&file, archivePath_, FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
        file_ = initResult_ == 0 ? file : nullptr;
        if (initResult_ != 0) {
            delete file;
        }
    } else {
        auto proxy = std::make_unique<FileSyncProxy>();
        initResult_ = proxy->Open(hostBrowser_, archivePath_, FILE_MODE_READ);
        if (initResult_ == 0) {
            proxy_ = proxy.get();
            file_ = proxy.release();
        }
    }
    if (initResult_ == 0 && file_ == nullptr) {
        initResult_ = RES_FAILURE;
    }
    request->result = initResult_;
}

void ZipBrowser::ServeOpenRoot(Zrp* request) {
    // Without an archive file there is nothing to recognise: the open fails as the file's opening did.
    if (file_ == nullptr) {
        request->result = initResult_ != 0 ? initResult_ : RES_FAILURE;
        return;
    }
    passwordCancelled_.store(false);
    IVolume* volume = nullptr;
    unsigned long r = VolumeDb::CreateVolumeN(archiveName_, file_, this, &volume);
    if (r == RES_INVALID_PASSWORD && passwordCancelled_.load()) {
        r = RES_CANCELLED;
    }
    request->result = r;
    if (r != 0) {
        return;
    }
    volume_.store(volume);
    IVolDir* dir = nullptr;
    request->result = volume->OpenDirN(std::wstring(), &dir);
    request->volDir.reset(dir);
}

void ZipBrowser::ServeEnumerate(Zrp* request) {
    std::shared_ptr<ZipEnumState> state = request->enumState;
    for (;;) {
        auto answer = std::make_unique<Zrp>();
        answer->enumState = state;
        if (!state->stop.load() && !stopping_.load()) {
            IFsDirEntry* entry = nullptr;
            answer->result = state->volEnum->GetEntryN(&entry);
            answer->entry.reset(entry);
        }
        bool last = answer->result != 0 || answer->entry == nullptr;
        PostAnswer(ZRQ_ENTRY, std::move(answer));
        if (last) {
            return;
        }
    }
}

void ZipBrowser::ServeExtract(Zrp* request) {
    streamEnded_ = false;
    outBlock_.clear();
    passwordCancelled_.store(false);
    stopResult_.store(0);
    IVolume* volume = volume_.load();
    unsigned long r = volume != nullptr ? volume->ExtractFile(this, request->text) : RES_NOT_FOUND;
    // A file that was never found has heard nothing yet: it hears its failure now.
    if (!streamEnded_) {
        OnStreamWriteFinished(r != 0 ? r : RES_FAILURE);
    }
}

bool ZipBrowser::AskAndWait(int code, Zrp* request) {
    monitor_.Enter();
    if (stopping_.load()) {
        monitor_.Exit();
        return false;
    }
    Corvane::GetMyInstance()->PostUserEventEx(this, new ZipEvent(static_cast<TZipRequest>(code), request));
    while (!request->answered && !stopping_.load()) {
        monitor_.Wait();
    }
    bool answered = request->answered;
    // An answer may still be on its way: it finds no pending request once this one has given up.
    if (pending_ == request) {
        pending_ = nullptr;
    }
    request->answered = true;
    monitor_.Exit();
    return answered;
}

unsigned long ZipBrowser::OnStreamWrite(const void* data, unsigned int size, unsigned int* written) {
    *written = 0;
    if (stopping_.load()) {
        return RES_CANCELLED;
    }
    // The library writes in small pieces; the receiver gets them gathered, one round trip per block.
    try {
        const auto* bytes = static_cast<const unsigned char*>(data);
        outBlock_.insert(outBlock_.end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        return RES_OUT_OF_MEMORY;
    }
    if (outBlock_.size() >= kStreamBlock) {
        if (unsigned long r = FlushBlock()) {
            return r;
        }
    }
    *written = size;
    return 0;
}

unsigned long ZipBrowser::FlushBlock() {
    unsigned long r = 0;
    std::size_t offset = 0;
    while (r == 0 && offset < outBlock_.size()) {
        Zrp block;
        block.data = outBlock_.data() + offset;
        block.size = static_cast<unsigned int>(outBlock_.size() - offset);
        try {
            r = AskAndWait(ZRQ_STREAM_BLOCK, &block) ? block.result : RES_CANCELLED;
        } catch (const std::bad_alloc&) {
            r = RES_OUT_OF_MEMORY;
        }
        // A receiver that takes nothing would be offered the same bytes for ever.
        if (r == 0 && (block.written == 0 || block.written > block.size)) {
            r = RES_FAILURE;
        }
        offset += r == 0 ? block.written : 0;
    }
    outBlock_.clear();
    return r;
}

void ZipBrowser::OnStreamWriteFinished(unsigned long result) {
    streamEnded_ = true;
    if (result == 0) {
        result = FlushBlock();
    }
    outBlock_.clear();
    if (result == RES_INVALID_PASSWORD && passwordCancelled_.load()) {
        result = RES_CANCELLED;
    }
    if (result != 0 && stopResult_.load() != 0) {
        result = stopResult_.load();
    }
    try {
        auto answer = std::make_unique<Zrp>();
        answer->result = result;
        PostAnswer(ZRQ_STREAM_END, std::move(answer));
    } catch (const std::bad_alloc&) {
        // Without memory for the answer the receiver is told nothing; its stream stays unconfirmed.
    }
}

std::wstring ZipBrowser::OnGetPassword() {
    Zrp question;
    bool answered = false;
    try {
        answered = AskAndWait(ZRQ_PASSWORD, &question);
    } catch (const std::bad_alloc&) {
        answered = false;
    }
    passwordCancelled_.store(!answered || question.result != 0);
    return answered && question.result == 0 ? question.text : std::wstring();
}
