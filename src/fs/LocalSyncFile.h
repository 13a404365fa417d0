#pragma once
// A synchronous open file of the local browser, for the thread that holds it (the archive worker).

#include <string>

#include "Osp/Io/File.h"
#include "fs/IFileSync.h"

class LocalSyncFile : public IFileSync {
public:
    LocalSyncFile() = default;
    ~LocalSyncFile() override;

    unsigned long Open(const std::wstring& path, TFileMode mode, TFileDisp disp);

    unsigned long ReadS(void* buffer, unsigned int size, unsigned int* read) override;
    unsigned long WriteS(const void* buffer, unsigned int size, unsigned int* written) override;
    unsigned long SeekS(TPosition origin, int offset) override;
    unsigned long long Tell64() const override;
    unsigned long Tell() const override;
    void CloseS() override;

private:
    Osp::Io::File file_;
    bool opened_ = false;
};
