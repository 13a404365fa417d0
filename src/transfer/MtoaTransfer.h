#pragma once
// A file streamed out of a browser that can only extract (an archive): the source pushes blocks, each
// written to the destination and acknowledged with BytesProcessed; at the end of the stream the empty
// write confirms the copy before it counts.

#include "fs/IFsFileListener.h"
#include "fs/IOutStreamListener.h"
#include "transfer/TransferBase.h"

class MtoaTransfer : public TransferBase, public IFsFileListener, public IOutStreamListener {
public:
    MtoaTransfer(IFsTransferListener* listener, TDestination destination, IFsBrowser* src, IFsBrowser* dst);
    ~MtoaTransfer() override;

    void StopA() override;

    void OnCreateN(unsigned long result, IFsFile* file) override;
    void OnRead(IFsFile*, unsigned long, unsigned int) override {}
    void OnWrite(IFsFile* file, unsigned long result, unsigned int count) override;
    void OnSeek(IFsFile*, unsigned long) override {}

    unsigned long OnStreamWriteA(const void* data, unsigned int size) override;
    void OnStreamWriteFinishedA(unsigned long result) override;

protected:
    void StartCopyA() override;

private:
    bool streaming_ = false;  // the source may still push blocks
    bool confirming_ = false;
};
