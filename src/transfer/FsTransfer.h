#pragma once
// A file copied block by block between two browsers that open files (IFsFile): read a block, write it,
// until a read gives nothing; then the empty write confirms the copy before it counts. The block is the
// smaller of the two browsers' preferred sizes, and never more than the file needs. Where the two files
// can have their storage copy by itself (a share's server, within its share), it does so in large
// pieces, until a piece gives nothing; should the storage refuse, the copy goes on block by block from
// where it stopped.

#include <memory>
#include <vector>

#include "fs/IFsFileListener.h"
#include "transfer/TransferBase.h"

class FsTransfer : public TransferBase, public IFsFileListener {
public:
    FsTransfer(IFsTransferListener* listener, TDestination destination, IFsBrowser* src, IFsBrowser* dst);
    ~FsTransfer() override;

    void OnCreateN(unsigned long result, IFsFile* file) override;
    void OnRead(IFsFile* file, unsigned long result, unsigned int count) override;
    void OnWrite(IFsFile* file, unsigned long result, unsigned int count) override;
    void OnSeek(IFsFile* file, unsigned long result) override {}

protected:
    void StartCopyA() override;
    void CloseFiles() override;

private:
    void ReadNext();
    // Asks the storage for the next piece; false when it cannot copy so.
    bool CopyNextPiece();
    void OnPieceCopied(unsigned long result, unsigned int count);
    unsigned int BlockSize() const;

    std::unique_ptr<IFsFile> srcFile_;
    std::vector<unsigned char> buffer_;
    unsigned int writePos_ = 0;
    unsigned int remaining_ = 0;
    bool confirming_ = false;
    bool storageCopies_ = false;
};
