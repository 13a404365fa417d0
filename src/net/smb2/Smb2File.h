#pragma once
// An open file of an SMB 2/3 share. Reads, writes and seeks run on the browser's worker in its order of
// requests. Reads answer when the data is there. A file opened for reading only reads the next block of
// the same size ahead while its reader handles the last one, so that the worker never waits for the
// user-interface thread between blocks; a read elsewhere or a seek drops that block. A write answers once the
// data is taken, while at most a few blocks wait for the server, so that the next block can be read
// meanwhile; the first failure of the server comes with the next write, and the empty write answers only
// after every write before it was confirmed by the server. A file belongs to the connection it was opened on:
// once that connection ends (a disconnect, or the browser's end) every call fails with RES_DISCONNECTED, also
// after the browser connected again, and the file may outlive its browser. The server copies between two
// files of one connection by itself (CopyFromA). Used on the user-interface thread only.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "fs/IFsFile.h"
#include "fs/IFsFileListener.h"

class Smb2Browser;
class Smb2Worker;

enum TReadAhead { READ_AHEAD_NONE, READ_AHEAD_NEXT_BLOCK };

class Smb2File : public IFsFile {
public:
    // Opens path (in the library's form) on the worker; the answer is listener->OnCreateN.
    static void Open(Smb2Browser* browser, IFsFileListener* listener, const std::string& path, TFileMode mode,
                     TFileDisp disp);
    ~Smb2File() override;

    unsigned long ReadA(void* buffer, unsigned int size) override;
    unsigned long WriteA(const void* buffer, unsigned int size) override;
    unsigned long SeekA(TPosition origin, int offset) override;
    // The server copies from a file of the same connection (so of the same share).
    unsigned long CopyFromA(IFsFile* source, unsigned int size) override;
    unsigned long long Tell64() const override { return position_; }
    unsigned long Tell() const override { return static_cast<unsigned long>(position_); }
    void CloseA() override;

    // What the worker keeps of an open file: the library's handle and the first failed write.
    struct SState {
        int handle = -1;
        int writeError = 0;
    };

private:
    // A read on its way or done on the worker: filled there, then handed over with its answer.
    struct SBlock {
        unsigned long long at = 0;
        unsigned int size = 0;
        std::vector<unsigned char> data;
        unsigned long result = 0;
        unsigned int count = 0;
        bool arrived = false;
        // The reader's buffer, once a ReadA waits for this block.
        void* owedTo = nullptr;
    };

    Smb2File(std::weak_ptr<Smb2Worker> connection, IFsFileListener* listener, int handle,
             unsigned long long position, TReadAhead readAhead);
    // The worker of the file's connection, or null once that connection has ended.
    Smb2Worker* Worker() const;
    // A write the worker finished: answers a write that waited for room, or records the failure.
    void OnWriteDone(unsigned long result);
    void PostWriteAnswer(unsigned long result, unsigned int count);
    // Reads size bytes at the worker's position of the file; the block answers OnBlockArrived.
    std::shared_ptr<SBlock> StartRead(Smb2Worker* worker, unsigned int size);
    void OnBlockArrived(const std::shared_ptr<SBlock>& block);
    // Answers the oldest read the reader waits for when its block is there: fills the reader's buffer,
    // starts the next block ahead and then tells the reader.
    void DeliverOldest();
    // Forgets the block read ahead; the worker's position of the file goes back to the reader's.
    void DropReadAhead(Smb2Worker* worker);

    std::weak_ptr<Smb2Worker> connection_;
    IFsFileListener* listener_;
    std::shared_ptr<SState> state_;
    unsigned long long position_;
    TReadAhead readAhead_;
    bool closed_ = false;
    LiveRef<IFsFileListener> target_;
    // The block read ahead of the reader, and the reads the reader waits for, oldest first.
    std::shared_ptr<SBlock> ahead_;
    std::deque<std::shared_ptr<SBlock>> reading_;
    // Writes taken but not yet confirmed, and the size of a write whose answer waits for room.
    int writesInFlight_ = 0;
    unsigned int owedWrite_ = 0;
    unsigned long writeFailure_ = 0;
};
