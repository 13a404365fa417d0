#include "fs/LocalSyncFile.h"

#include "fs/LocalFileIo.h"

LocalSyncFile::~LocalSyncFile() {
    CloseS();
}

unsigned long LocalSyncFile::Open(const std::wstring& path, TFileMode mode, TFileDisp disp) {
    unsigned long r = OpenLocalFile(file_, path, mode, disp);
    opened_ = r == 0;
    return r;
}

unsigned long LocalSyncFile::ReadS(void* buffer, unsigned int size, unsigned int* read) {
    return ReadLocalFile(file_, buffer, size, read);
}

unsigned long LocalSyncFile::WriteS(const void* buffer, unsigned int size, unsigned int* written) {
    return WriteLocalFile(file_, buffer, size, written);
}

unsigned long LocalSyncFile::SeekS(TPosition origin, int offset) {
    return SeekLocalFile(file_, origin, offset);
}

unsigned long long LocalSyncFile::Tell64() const {
    return TellLocalFile(file_);
}

unsigned long LocalSyncFile::Tell() const {
    return static_cast<unsigned long>(TellLocalFile(file_));
}

void LocalSyncFile::CloseS() {
    if (opened_) {
        file_.Flush();
        opened_ = false;
    }
}
