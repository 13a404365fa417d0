#include "transfer/FsTransfer.h"

#include <algorithm>

#include "app/Results.h"
#include "fs/IFsBrowser.h"
#include "transfer/MtoaTransfer.h"

namespace {

constexpr unsigned int kDefaultBlock = 0x40000;
// A file listed as small may have grown: the block never shrinks below this.
constexpr unsigned int kSmallestBlock = 0x1000;
// What the storage copies by itself at a time: the transfer counts progress and hears a cancel between
// pieces.
constexpr unsigned int kStoragePiece = 64 * 1024 * 1024;

unsigned int PreferredBlock(IFsBrowser* browser, IFsBrowser::TProperty property) {
    unsigned int block = 0;
    return browser->GetProperty(property, &block) == RES_OK && block != 0 ? block : kDefaultBlock;
}

}  // namespace

IFsTransfer* CreateFsTransferN(IFsTransferListener* listener, TDestination destination, IFsBrowser* src,
                               IFsBrowser* dst) {
    if (src->CapableOf(CAP_FILE_IO)) {
        return new FsTransfer(listener, destination, src, dst);
    }
    if (src->CapableOf(CAP_STREAM)) {
        return new MtoaTransfer(listener, destination, src, dst);
    }
    return nullptr;
}

FsTransfer::FsTransfer(IFsTransferListener* listener, TDestination destination, IFsBrowser* src,
                       IFsBrowser* dst)
    : TransferBase(listener, destination, src, dst) {}

FsTransfer::~FsTransfer() = default;

void FsTransfer::StartCopyA() {
    unsigned long r = srcBrowser_->CreateFileA(this, srcPath_, FILE_MODE_READ, FILE_DISP_OPEN_EXISTING);
    if (r != RES_OK) {
        Fail(r);
    }
}

void FsTransfer::OnCreateN(unsigned long result, IFsFile* file) {
    if (srcFile_ == nullptr) {
        srcFile_.reset(file);
        if (result != RES_OK || file == nullptr) {
            Fail(result != RES_OK ? result : RES_FAILURE);
            return;
        }
        CreateDestFileA(this);
        return;
    }
    if (!OnDestCreated(result, file)) {
        return;
    }
    buffer_.resize(BlockSize());
    if (!CopyNextPiece()) {
        ReadNext();
    }
}

bool FsTransfer::CopyNextPiece() {
    storageCopies_ = dstFile_->CopyFromA(srcFile_.get(), kStoragePiece) == RES_OK;
    return storageCopies_;
}

void FsTransfer::OnPieceCopied(unsigned long result, unsigned int count) {
    if (stopped_) {
        Fail(RES_CANCELLED);
        return;
    }
    if (result != RES_OK) {
        // The storage would not copy (or stopped midway, both files standing where it stopped): the rest
        // goes through the phone. A failure of the connection shows again on the first read.
        storageCopies_ = false;
        ReadNext();
        return;
    }
    if (count == 0) {
        storageCopies_ = false;
        confirming_ = true;
        ConfirmA();
        return;
    }
    bytesDone_ += count;
    Progress(false);
    if (!CopyNextPiece()) {
        ReadNext();
    }
}

unsigned int FsTransfer::BlockSize() const {
    unsigned int block = std::min(PreferredBlock(srcBrowser_, IFsBrowser::PROP_READ_BLOCK),
                                  PreferredBlock(writeBrowser_, IFsBrowser::PROP_WRITE_BLOCK));
    if (size_ < block) {
        block = std::max(static_cast<unsigned int>(size_), kSmallestBlock);
    }
    return block;
}

void FsTransfer::ReadNext() {
    if (stopped_) {
        Fail(RES_CANCELLED);
        return;
    }
    unsigned long r = srcFile_->ReadA(buffer_.data(), static_cast<unsigned int>(buffer_.size()));
    if (r != RES_OK) {
        Fail(r);
    }
}

void FsTransfer::OnRead(IFsFile*, unsigned long result, unsigned int count) {
    if (result != RES_OK && result != RES_END_OF_FILE) {
        Fail(result);
        return;
    }
    if (stopped_) {
        Fail(RES_CANCELLED);
        return;
    }
    // Only a read that gives nothing ends the file: a size listed earlier is not trusted.
    if (count == 0) {
        confirming_ = true;
        ConfirmA();
        return;
    }
    writePos_ = 0;
    remaining_ = std::min(count, static_cast<unsigned int>(buffer_.size()));
    unsigned long r = dstFile_->WriteA(buffer_.data(), remaining_);
    if (r != RES_OK) {
        Fail(r);
    }
}

void FsTransfer::OnWrite(IFsFile*, unsigned long result, unsigned int count) {
    if (confirming_) {
        confirming_ = false;
        OnConfirmed(result);
        return;
    }
    if (storageCopies_) {
        OnPieceCopied(result, count);
        return;
    }
    if (result != RES_OK) {
        Fail(result);
        return;
    }
    if (stopped_) {
        Fail(RES_CANCELLED);
        return;
    }
    count = std::min(count, remaining_);
    if (count == 0) {
        Fail(RES_FAILURE);  // a write that takes nothing would never end
        return;
    }
    bytesDone_ += count;
    if (count == remaining_) {
        Progress(false);
        ReadNext();
        return;
    }
    writePos_ += count;
    remaining_ -= count;
    unsigned long r = dstFile_->WriteA(buffer_.data() + writePos_, remaining_);
    if (r != RES_OK) {
        Fail(r);
    }
}

void FsTransfer::CloseFiles() {
    if (srcFile_ != nullptr) {
        srcFile_->CloseA();
        srcFile_.reset();
    }
    TransferBase::CloseFiles();
}
