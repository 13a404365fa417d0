#include "fs/LocalFile.h"

#include "fs/FileEvent.h"
#include "fs/FsLocalBrowser.h"
#include "fs/LocalFileIo.h"

LocalFile::LocalFile(LocalBrowser* browser, IFsFileListener* listener)
    : browser_(browser), listener_(listener) {}

LocalFile::~LocalFile() {
    CloseA();
}

unsigned long LocalFile::Open(const std::wstring& path, TFileMode mode, TFileDisp disp) {
    unsigned long r = OpenLocalFile(file_, path, mode, disp);
    opened_ = r == 0;
    return r;
}

unsigned long LocalFile::ReadA(void* buffer, unsigned int size) {
    unsigned int count = 0;
    unsigned long r = ReadLocalFile(file_, buffer, size, &count);
    return browser_->PostAnswer(FileEvent::FileAnsweredN(listener_, this, FileEvent::FILE_READ, count, r));
}

unsigned long LocalFile::WriteA(const void* buffer, unsigned int size) {
    unsigned int count = 0;
    // The empty write confirms what was written: the data goes to the disk now, so that a failure that
    // closing would swallow is reported here.
    unsigned long r = size == 0 ? file_.Flush() : WriteLocalFile(file_, buffer, size, &count);
    return browser_->PostAnswer(FileEvent::FileAnsweredN(listener_, this, FileEvent::FILE_WRITE, count, r));
}

unsigned long LocalFile::SeekA(TPosition origin, int offset) {
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
    if (opened_) {
        file_.Flush();
        opened_ = false;
    }
}
