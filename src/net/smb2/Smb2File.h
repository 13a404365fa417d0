#pragma once
// An open file of an SMB 2/3 share. Reads, writes and seeks run on the browser's worker in its order of
// requests. Reads answer when the data is there. A write answers once the data is taken, while at most
// a few blocks wait for the server, so that the next block can be read meanwhile; the first failure of
// the server comes with the next write, and the empty write answers only after every write before it was
// confirmed by the server. A file belongs to the connection it was opened on: once that connection ends
// (a disconnect, or the browser's end) every call fails with RES_DISCONNECTED, also after the browser
// connected again, and the file may outlive its browser. Used on the user-interface thread only.

#include <memory>
#include <string>

#include "fs/IFsFile.h"

class IFsFileListener;
class Smb2Browser;
class Smb2Worker;

class Smb2File : public IFsFile {
public:
    // Opens path (in the library's form) on the worker; the answer is listener->OnCreateN.
    static void Open(Smb2Browser* browser, IFsFileListener* listener, const std::string& path, TFileMode mode,
                     TFileDisp disp);
    ~Smb2File() override;

    unsigned long ReadA(void* buffer, unsigned int size) override;
    unsigned long WriteA(const void* buffer, unsigned int size) override;
    unsigned long SeekA(TPosition origin, int offset) override;
    unsigned long long Tell64() const override { return position_; }
    unsigned long Tell() const override { return static_cast<unsigned long>(position_); }
    void CloseA() override;

    // What the worker keeps of an open file: the library's handle and the first failed write.
    struct SState {
        int handle = -1;
        int writeError = 0;
    };

private:
    Smb2File(std::weak_ptr<Smb2Worker> connection, IFsFileListener* listener, int handle,
             unsigned long long position);
    // The worker of the file's connection, or null once that connection has ended.
    Smb2Worker* Worker() const;
    // A write the worker finished: answers a write that waited for room, or records the failure.
    void OnWriteDone(unsigned long result);
    void PostWriteAnswer(unsigned long result, unsigned int count);

    std::weak_ptr<Smb2Worker> connection_;
    IFsFileListener* listener_;
    std::shared_ptr<SState> state_;
    unsigned long long position_;
    bool closed_ = false;
    // Writes taken but not yet confirmed, and the size of a write whose answer waits for room.
    int writesInFlight_ = 0;
    unsigned int owedWrite_ = 0;
    unsigned long writeFailure_ = 0;
};
