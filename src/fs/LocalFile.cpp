#include "fs/LocalFile.h"

#include <algorithm>

#include "Osp/Base/Result.h"
#include "Osp/Base/Runtime/Thread.h"
#include "app/Results.h"
#include "fs/FileEvent.h"
#include "fs/FsLocalBrowser.h"
#include "fs/LocalFileIo.h"

namespace {

// What the kernel copies in one call on the user-interface thread: a few milliseconds of work in the
// page cache, so that the screen stays live through a large copy.
constexpr unsigned int kKernelPiece = 8 * 1024 * 1024;

}  // namespace

// Flushes one file to the disk and posts the answer of its empty write.
class LocalFlushThread : public Osp::Base::Runtime::Thread {
public:
    // The owner of file joins the thread before it goes.
    LocalFlushThread(LocalBrowser* browser, IFsFileListener* listener, IFsFile* owner, Osp::Io::File& file)
        : browser_(browser), listener_(listener), owner_(owner), file_(file) {}
    ~LocalFlushThread() override { Join(); }

    Osp::Base::Object* Run() override {
        const unsigned long r = file_.Flush();
        browser_->PostAnswer(FileEvent::FileAnsweredN(listener_, owner_, FileEvent::FILE_WRITE, 0, r));
        return nullptr;
    }

private:
    LocalBrowser* browser_;
    IFsFileListener* listener_;
    IFsFile* owner_;
    Osp::Io::File& file_;
};

LocalFile::LocalFile(LocalBrowser* browser, IFsFileListener* listener)
    : browser_(browser), listener_(listener) {}

LocalFile::~LocalFile() {
    flush_.reset();
    CloseA();
}

unsigned long LocalFile::Open(const std::wstring& path, TFileMode mode, TFileDisp disp) {
    unsigned long r = OpenLocalFile(file_, path, mode, disp);
    opened_ = r == 0;
    return r;
}

unsigned long LocalFile::ReadA(void* buffer, unsigned int size) {
    flush_.reset();
    if (!opened_) {
        return Osp::Base::E_INVALID_STATE;
    }
    unsigned int count = 0;
    unsigned long r = ReadLocalFile(file_, buffer, size, &count);
    return browser_->PostAnswer(FileEvent::FileAnsweredN(listener_, this, FileEvent::FILE_READ, count, r));
}

unsigned long LocalFile::WriteA(const void* buffer, unsigned int size) {
    flush_.reset();
    if (!opened_) {
        return Osp::Base::E_INVALID_STATE;
    }
    if (size == 0) {
        // The empty write confirms what was written: the data goes to the disk now, so that a failure that
        // closing would swallow is reported here.
        flush_ = std::make_unique<LocalFlushThread>(browser_, listener_, this, file_);
        unsigned long r = flush_->Construct(Osp::Base::Runtime::THREAD_TYPE_WORKER);
        return r != RES_OK ? r : flush_->Start();
    }
    unsigned int count = 0;
    unsigned long r = WriteLocalFile(file_, buffer, size, &count);
    return browser_->PostAnswer(FileEvent::FileAnsweredN(listener_, this, FileEvent::FILE_WRITE, count, r));
}

unsigned long LocalFile::CopyFromA(IFsFile* source, unsigned int size) {
    auto* from = dynamic_cast<LocalFile*>(source);
    if (from == nullptr || !from->opened_ || !opened_) {
        return RES_UNSUPPORTED_METHOD;
    }
    flush_.reset();
    const long long copied = file_.CopyRangeFrom(from->file_, std::min(size, kKernelPiece));
    if (copied < 0 && Osp::Base::GetLastResult() == Osp::Base::E_UNSUPPORTED_METHOD) {
        return RES_UNSUPPORTED_METHOD;
    }
    const unsigned long r = copied < 0 ? Osp::Base::GetLastResult() : RES_OK;
    const unsigned int count = copied > 0 ? static_cast<unsigned int>(copied) : 0;
    return browser_->PostAnswer(FileEvent::FileAnsweredN(listener_, this, FileEvent::FILE_WRITE, count, r));
}

unsigned long LocalFile::SeekA(TPosition origin, int offset) {
    flush_.reset();
    if (!opened_) {
        return Osp::Base::E_INVALID_STATE;
    }
    unsigned long r = SeekLocalFile(file_, origin, offset);
    return browser_->PostAnswer(FileEvent::FileAnsweredN(listener_, this, FileEvent::FILE_SEEK, 0, r));
}

unsigned long long LocalFile::Tell64() const {
    return TellLocalFile(file_);
}

unsigned long LocalFile::Tell() const {
    return static_cast<unsigned long>(TellLocalFile(file_));
}

void LocalFile::CloseA() {
    // Writes reach the host file at once, so nothing is left to flush; making them durable is the empty
    // write's work. The descriptor goes with the object; a closed file takes no more requests.
    opened_ = false;
}
