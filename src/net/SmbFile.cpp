#include "net/SmbFile.h"

#include <algorithm>
#include <cstring>

#include "app/Results.h"
#include "fs/IFsFileListener.h"
#include "net/SmbClose.h"
#include "net/SmbEvent.h"
#include "net/SmbNtCreate.h"
#include "net/SmbRead.h"
#include "net/SmbSession.h"
#include "net/SmbStatus.h"
#include "net/SmbWrite.h"

namespace {

// A read at or past the end of the file; not a failure, just nothing more to read.
constexpr unsigned int kStatusEndOfFile = 0xC0000011;

}  // namespace

SmbFile::SmbFile(SmbSession* session, IFsFileListener* listener, int sendFlags)
    : session_(session), listener_(listener), sendFlags_(sendFlags) {}

SmbFile::~SmbFile() {
    CloseA();
}

void SmbFile::Open(const std::wstring& path, TFileMode mode, TFileDisp disp) {
    pending_ = PENDING_OPEN;
    mode_ = mode;
    Smb* request = CreateSmbNtCreateRequestN(path, mode, disp, false);
    if (request == nullptr) {
        OnOpened(RES_FAILURE, nullptr);
        return;
    }
    session_->SendSmbA(request, this, sendFlags_);
}

unsigned long SmbFile::ReadA(void* buffer, unsigned int size) {
    if (fid_ == 0 || pending_ != PENDING_NONE) {
        return RES_FAILURE;
    }
    requested_ = std::min(size, kBlockSize);
    readBuffer_ = static_cast<unsigned char*>(buffer);
    pending_ = PENDING_READ;
    // Only a read of the same size takes the block read ahead: a shorter answer would look like the end
    // of the file to the caller.
    if (ahead_.active && ahead_.offset == position_ && ahead_.asked == requested_) {
        waitingForAhead_ = true;
        if (ahead_.arrived) {
            ServeFromReadAhead();
        }
        return RES_OK;
    }
    DropReadAhead();
    requestMid_ = session_->SendSmbA(CreateSmbReadRequestN(fid_, position_, requested_), this,
                                     SmbSession::SEND_WHEN_CONNECTED);
    ReadAhead(position_ + requested_, requested_);
    return RES_OK;
}

void SmbFile::ReadAhead(unsigned long long offset, unsigned int count) {
    if (mode_ != FILE_MODE_READ || offset >= size_ || count == 0) {
        return;
    }
    ahead_ = SReadAhead();
    ahead_.active = true;
    ahead_.offset = offset;
    ahead_.asked = count;
    ahead_.mid =
        session_->SendSmbA(CreateSmbReadRequestN(fid_, offset, count), this, SmbSession::SEND_WHEN_CONNECTED);
}

void SmbFile::OnReadAhead(unsigned long result, const Smb* response) {
    const unsigned char* data = nullptr;
    unsigned int count = 0;
    ahead_.result = ReadAnswer(result, response, ahead_.asked, &data, &count);
    ahead_.data.assign(data, data + count);
    ahead_.arrived = true;
    if (waitingForAhead_) {
        ServeFromReadAhead();
    }
}

void SmbFile::ServeFromReadAhead() {
    waitingForAhead_ = false;
    pending_ = PENDING_NONE;
    SReadAhead served = std::move(ahead_);
    DropReadAhead();
    unsigned int count = served.result == RES_OK ? static_cast<unsigned int>(served.data.size()) : 0;
    if (count > 0) {
        std::memcpy(readBuffer_, served.data.data(), count);
        position_ += count;
    }
    readBuffer_ = nullptr;
    // A full block suggests more to come; a short one is the end of the file.
    if (served.result == RES_OK && count == served.asked) {
        ReadAhead(position_, requested_);
    }
    Post(SmbEvent::EVENT_READ, served.result, count);
}

unsigned long SmbFile::WriteA(const void* buffer, unsigned int size) {
    if (fid_ == 0 || pending_ != PENDING_NONE) {
        return RES_FAILURE;
    }
    requested_ = std::min(size, kBlockSize);
    pending_ = PENDING_WRITE;
    DropReadAhead();
    requestMid_ = session_->SendSmbA(CreateSmbWriteRequestN(fid_, position_, buffer, requested_), this,
                                     SmbSession::SEND_WHEN_CONNECTED);
    return RES_OK;
}

unsigned long SmbFile::SeekA(TPosition origin, int offset) {
    long long base;
    switch (origin) {
        case POS_BEGIN:
            base = 0;
            break;
        case POS_CURRENT:
            base = static_cast<long long>(position_);
            break;
        case POS_END:
            base = static_cast<long long>(size_);
            break;
        default:
            return Post(SmbEvent::EVENT_SEEK, RES_OK, 0);
    }
    long long target = base + offset;
    position_ = target < 0 ? 0 : std::min(static_cast<unsigned long long>(target), size_);
    if (ahead_.offset != position_) {
        DropReadAhead();
    }
    return Post(SmbEvent::EVENT_SEEK, RES_OK, 0);
}

void SmbFile::CloseA() {
    DropReadAhead();
    if (fid_ != 0) {
        session_->SendSmbA(CreateSmbCloseRequestN(fid_), nullptr, SmbSession::SEND_WHEN_CONNECTED);
        fid_ = 0;
    }
}

unsigned long SmbFile::Post(int id, unsigned long result, unsigned int count) {
    return session_->PostSmbEvent(
        SmbEvent::FileAnswerN(static_cast<SmbEvent::TId>(id), listener_.Get(), this, result, count));
}

void SmbFile::OnSmbReceived(unsigned long result, unsigned short mid, const Smb* response) {
    if (ahead_.active && !ahead_.arrived && mid == ahead_.mid) {
        OnReadAhead(result, response);
        return;
    }
    // The open may be answered before its multiplex id is known; reads and writes never are.
    if (pending_ == PENDING_NONE || (pending_ != PENDING_OPEN && (mid != requestMid_ || waitingForAhead_))) {
        return;
    }
    TPending pending = pending_;
    pending_ = PENDING_NONE;
    switch (pending) {
        case PENDING_OPEN:
            OnOpened(result, response);
            break;
        case PENDING_READ:
            OnReadDone(result, response);
            break;
        case PENDING_WRITE:
            OnWriteDone(result, response);
            break;
        default:
            break;
    }
}

void SmbFile::OnOpened(unsigned long result, const Smb* response) {
    if (result == RES_OK) {
        unsigned int status = response->Header().GetStatus();
        result = SmbStatusToBadaResult(status);
        if (result == RES_OK) {
            result = ParseNtCreateResponse(*response, &fid_, &size_);
        }
    }
    IFsFileListener* listener = listener_.Get();
    if (result != RES_OK || listener == nullptr) {
        // Nobody takes the file: it goes, closing what the server may have opened.
        if (listener != nullptr) {
            listener->OnCreateN(result, nullptr);
        }
        delete this;
        return;
    }
    listener->OnCreateN(RES_OK, this);
}

unsigned long SmbFile::ReadAnswer(unsigned long result, const Smb* response, unsigned int asked,
                                  const unsigned char** data, unsigned int* count) {
    *count = 0;
    if (result != RES_OK) {
        return result;
    }
    unsigned int status = response->Header().GetStatus();
    if (status == kStatusEndOfFile) {
        return RES_OK;
    }
    result = SmbStatusToBadaResult(status);
    if (result == RES_OK) {
        result = ParseReadResponse(*response, asked, data, count);
    }
    if (result != RES_OK) {
        *count = 0;
    }
    return result;
}

void SmbFile::OnReadDone(unsigned long result, const Smb* response) {
    const unsigned char* data = nullptr;
    unsigned int count = 0;
    result = ReadAnswer(result, response, requested_, &data, &count);
    if (count > 0) {
        std::memcpy(readBuffer_, data, count);
        position_ += count;
    }
    readBuffer_ = nullptr;
    Post(SmbEvent::EVENT_READ, result, count);
}

void SmbFile::OnWriteDone(unsigned long result, const Smb* response) {
    unsigned int count = 0;
    if (result == RES_OK) {
        result = SmbStatusToBadaResult(response->Header().GetStatus());
        if (result == RES_OK) {
            result = ParseWriteResponse(*response, requested_, &count);
        }
        if (result == RES_OK) {
            position_ += count;
            // A block taken only in part is a failed write: the caller would otherwise go on as if all of
            // it were on the server.
            if (count != requested_) {
                result = RES_FAILURE;
            }
        }
    }
    Post(SmbEvent::EVENT_WRITE, result, result == RES_OK ? count : 0);
}

void SmbFile::OnTransReceived(unsigned long, unsigned short, const Trans2Resp*) {}

void SmbFile::OnTrans2Received(unsigned long, unsigned short, const Trans2Resp*) {}
