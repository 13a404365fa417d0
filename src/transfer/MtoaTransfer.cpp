#include "transfer/MtoaTransfer.h"

#include "app/Results.h"
#include "fs/IFsBrowser.h"

MtoaTransfer::MtoaTransfer(IFsTransferListener* listener, TDestination destination, IFsBrowser* src,
                           IFsBrowser* dst)
    : TransferBase(listener, destination, src, dst) {}

MtoaTransfer::~MtoaTransfer() {
    if (streaming_) {
        srcBrowser_->StopStreamIoA(RES_CANCELLED);
    }
}

void MtoaTransfer::StartCopyA() {
    CreateDestFileA(this);
}

void MtoaTransfer::StopA() {
    TransferBase::StopA();
    if (streaming_) {
        srcBrowser_->StopStreamIoA(RES_CANCELLED);
    }
}

void MtoaTransfer::OnCreateN(unsigned long result, IFsFile* file) {
    if (!OnDestCreated(result, file)) {
        return;
    }
    streaming_ = true;
    unsigned long r = srcBrowser_->ExtractFileA(this, srcPath_);
    if (r != RES_OK) {
        streaming_ = false;
        Fail(r);
    }
}

unsigned long MtoaTransfer::OnStreamWriteA(const void* data, unsigned int size) {
    if (size == 0 || stopped_ || dstFile_ == nullptr) {
        return RES_CANCELLED;
    }
    return dstFile_->WriteA(data, size);
}

void MtoaTransfer::OnWrite(IFsFile*, unsigned long result, unsigned int count) {
    if (confirming_) {
        confirming_ = false;
        OnConfirmed(result);
        return;
    }
    if (result == RES_OK) {
        bytesDone_ += count;
        Progress(false);
    }
    // The source goes on, or ends the stream with this failure.
    srcBrowser_->BytesProcessed(result, count);
}

void MtoaTransfer::OnStreamWriteFinishedA(unsigned long result) {
    streaming_ = false;
    if (result != RES_OK || stopped_) {
        Fail(stopped_ ? RES_CANCELLED : result);
        return;
    }
    confirming_ = true;
    ConfirmA();
}
