#pragma once
// An open file of the local browser. Each call is done at once with a platform call, and its answer is
// posted through the browser, so that it reaches the listener on the user-interface thread after the call
// has returned, as with every other storage. The empty write, which puts everything written on the disk
// and may take long after a large file, runs on a worker thread instead, so that the screen stays live;
// the file is not touched until its answer has come (or the file is deleted, which waits for it). Used
// on the user-interface thread only.

#include <memory>

#include <string>

#include "Osp/Io/File.h"
#include "fs/IFsFile.h"

class IFsFileListener;
class LocalBrowser;
class LocalFlushThread;

class LocalFile : public IFsFile {
public:
    LocalFile(LocalBrowser* browser, IFsFileListener* listener);
    ~LocalFile() override;

    unsigned long Open(const std::wstring& path, TFileMode mode, TFileDisp disp);

    unsigned long ReadA(void* buffer, unsigned int size) override;
    unsigned long WriteA(const void* buffer, unsigned int size) override;
    unsigned long SeekA(TPosition origin, int offset) override;
    // The kernel copies from another local file, in pieces short enough for the user-interface thread.
    unsigned long CopyFromA(IFsFile* source, unsigned int size) override;
    unsigned long long Tell64() const override;
    unsigned long Tell() const override;
    void CloseA() override;

private:
    LocalBrowser* browser_;
    IFsFileListener* listener_;
    Osp::Io::File file_;
    bool opened_ = false;
    std::unique_ptr<LocalFlushThread> flush_;
};
