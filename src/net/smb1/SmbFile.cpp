#include "net/smb1/SmbFile.h"

#include <algorithm>
#include <cstring>

#include "app/Results.h"
#include "fs/IFsFileListener.h"
#include "net/smb1/SmbClose.h"
#include "net/smb1/SmbEvent.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbNtCreate.h"
#include "net/smb1/SmbRead.h"
#include "net/smb1/SmbSession.h"
#include "net/smb1/SmbStatus.h"
#include "net/smb1/SmbWrite.h"

namespace {

// A read at or past the end of the file; not a failure, just nothing more to read.
constexpr unsigned int kStatusEndOfFile = 0xC0000011;

// The data of a READ_ANDX answer for up to asked bytes, or the failure it reports.
unsigned long ParseReadAnswer(const Smb& response, unsigned int asked, const unsigned char** data,
                              unsigned int* count) {
    *count = 0;
    unsigned int status = response.Header().GetStatus();
    if (status == kStatusEndOfFile) {
        return RES_OK;
    }
    // A pipe's message longer than the read: this part is good, and the next read gives the rest.
    unsigned long result = status == STATUS_BUFFER_OVERFLOW ? RES_OK : SmbStatusToBadaResult(status);
    if (result == RES_OK) {
        result = ParseReadResponse(response, asked, data, count);
    }
    if (result != RES_OK) {
        *count = 0;
    }
    return result;
}

// The result of a WRITE_ANDX answer for a block of size bytes.
unsigned long ParseWriteAnswer(const Smb& response, unsigned int size) {
    unsigned long result = SmbStatusToBadaResult(response.Header().GetStatus());
    unsigned int count = 0;
    if (result == RES_OK) {
        result = ParseWriteResponse(response, size, &count);
    }
    // A block taken only in part is a failed write: the writer would otherwise go on as if all of it
    // were on the server.
    if (result == RES_OK && count != size) {
        result = RES_FAILURE;
    }
    return result;
}

}  // namespace

unsigned int SmbFile::ReadBlockSize(const SmbSession& session) {
    return (session.GetCapabilities() & CAP_LARGE_READX) != 0 ? kLargeBlockSize : kBlockSize;
}

unsigned int SmbFile::WriteBlockSize(const SmbSession& session) {
    return (session.GetCapabilities() & CAP_LARGE_WRITEX) != 0 ? kLargeBlockSize : kBlockSize;
}

SmbFile::SmbFile(SmbSession* session, IFsFileListener* listener, int sendFlags)
    : session_(session), listener_(listener), sendFlags_(sendFlags) {}

SmbFile::~SmbFile() {
    CloseA();
}

unsigned int SmbFile::Window() const {
    // One request of those the session announced is left to everything else.
    SmbSession* session = session_.Get();
    int announced = session != nullptr ? session->GetMaxMpx() : 1;
    return static_cast<unsigned int>(std::clamp(announced - 1, 1, static_cast<int>(kWindow)));
}

bool SmbFile::OnItsConnection() const {
    SmbSession* session = session_.Get();
    return session != nullptr && session->IsConnected() && session->GetConnectionNumber() == connection_;
}

void SmbFile::Open(const std::wstring& path, TFileMode mode, TFileDisp disp) {
    pending_ = PENDING_OPEN;
    mode_ = mode;
    Smb* request = CreateSmbNtCreateRequestN(path, mode, disp, false);
    if (request == nullptr) {
        OnOpened(RES_FAILURE, nullptr);
        return;
    }
    session_.Get()->SendSmbA(request, this, sendFlags_);
}

bool SmbFile::Send(Smb* request, unsigned short* mid) {
    SmbSession* session = session_.Get();
    if (session == nullptr) {
        delete request;
        Drop(RES_DISCONNECTED);
        return false;
    }
    LiveRef<ISmbRequestListener> self(this);
    sending_ = true;
    *mid = session->SendSmbA(request, this, SmbSession::SEND_WHEN_CONNECTED);
    if (self.Get() == nullptr) {
        return false;
    }
    sending_ = false;
    // Requests are only sent while the file has not failed: a failure now came with this send.
    return failure_ == RES_OK;
}

unsigned long SmbFile::ReadA(void* buffer, unsigned int size) {
    if (fid_ == 0 || pending_ != PENDING_NONE) {
        return RES_FAILURE;
    }
    requested_ = std::min(size, OnItsConnection() ? ReadBlockSize(*session_.Get()) : kBlockSize);
    readBuffer_ = static_cast<unsigned char*>(buffer);
    pending_ = PENDING_READ;
    if (failure_ != RES_OK || !OnItsConnection()) {
        Answer(failure_ != RES_OK ? failure_ : RES_DISCONNECTED, 0);
    } else if (writes_.empty()) {
        StartRead();
    }
    return RES_OK;
}

void SmbFile::StartRead() {
    if (!reads_.empty() && reads_.front().offset == position_ && reads_.front().asked == requested_) {
        if (reads_.front().arrived) {
            ServeRead();
        }
        return;
    }
    reads_.clear();
    if (SendRead(position_, requested_)) {
        FillReadWindow();
    }
}

bool SmbFile::SendRead(unsigned long long offset, unsigned int count) {
    unsigned short mid = 0;
    if (!Send(CreateSmbReadRequestN(fid_, offset, count), &mid)) {
        return false;
    }
    SRead read;
    read.mid = mid;
    read.offset = offset;
    read.asked = count;
    reads_.push_back(std::move(read));
    return true;
}

void SmbFile::FillReadWindow() {
    if (mode_ != FILE_MODE_READ || requested_ == 0) {
        return;
    }
    while (reads_.size() < Window()) {
        unsigned long long next = reads_.empty() ? position_ : reads_.back().offset + reads_.back().asked;
        if (next >= size_ || !SendRead(next, requested_)) {
            return;
        }
    }
}

void SmbFile::OnReadAnswer(std::size_t index, std::unique_ptr<Smb> response) {
    SRead& read = reads_[index];
    read.result = ParseReadAnswer(*response, read.asked, &read.data, &read.count);
    read.answer = std::move(response);
    read.arrived = true;
    if (index == 0 && pending_ == PENDING_READ) {
        ServeRead();
    }
}

void SmbFile::ServeRead() {
    const SRead& front = reads_.front();
    unsigned long result = front.result;
    unsigned int count = result == RES_OK ? front.count : 0;
    bool whole = result == RES_OK && count == front.asked;
    if (count > 0) {
        std::memcpy(readBuffer_, front.data, count);
    }
    reads_.pop_front();
    position_ += count;
    // A short block is the end of the file and a failed one ends the run: what was asked after it
    // means nothing.
    if (!whole) {
        reads_.clear();
    }
    Answer(result, count);
    if (whole) {
        FillReadWindow();
    }
}

unsigned long SmbFile::WriteA(const void* buffer, unsigned int size) {
    if (fid_ == 0 || pending_ != PENDING_NONE) {
        return RES_FAILURE;
    }
    requested_ = std::min(size, OnItsConnection() ? WriteBlockSize(*session_.Get()) : kBlockSize);
    pending_ = PENDING_WRITE;
    reads_.clear();
    if (requested_ == 0 && writes_.empty()) {
        Answer(failure_, 0);
        return RES_OK;
    }
    if (failure_ != RES_OK || !OnItsConnection()) {
        Answer(failure_ != RES_OK ? failure_ : RES_DISCONNECTED, 0);
        return RES_OK;
    }
    if (requested_ == 0) {
        return RES_OK;  // answered when the last block is confirmed
    }
    unsigned short mid = 0;
    if (!Send(CreateSmbWriteRequestN(fid_, position_, buffer, requested_), &mid)) {
        return RES_OK;
    }
    writes_.push_back({mid, requested_});
    position_ += requested_;
    if (writes_.size() < Window()) {
        Answer(RES_OK, requested_);
    }
    return RES_OK;
}

void SmbFile::OnWriteAnswer(std::size_t index, const Smb* response) {
    unsigned int size = writes_[index].size;
    writes_.erase(writes_.begin() + static_cast<std::ptrdiff_t>(index));
    unsigned long result = ParseWriteAnswer(*response, size);
    if (result != RES_OK && failure_ == RES_OK) {
        failure_ = result;
    }
    if (pending_ == PENDING_WRITE) {
        if (failure_ != RES_OK) {
            Answer(failure_, 0);
        } else if (requested_ == 0 ? writes_.empty() : writes_.size() < Window()) {
            Answer(RES_OK, requested_);
        }
    } else if (pending_ == PENDING_READ && writes_.empty()) {
        if (failure_ != RES_OK) {
            Answer(failure_, 0);
        } else {
            StartRead();
        }
    }
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
    if (!reads_.empty() && reads_.front().offset != position_) {
        reads_.clear();
    }
    return Post(SmbEvent::EVENT_SEEK, RES_OK, 0);
}

void SmbFile::CloseA() {
    reads_.clear();
    // A handle belongs to the connection that opened it: on a later one the same number may be another
    // file's.
    if (fid_ != 0 && OnItsConnection()) {
        session_.Get()->SendSmbA(CreateSmbCloseRequestN(fid_), nullptr, SmbSession::SEND_WHEN_CONNECTED);
    }
    fid_ = 0;
}

void SmbFile::Drop(unsigned long result) {
    if (failure_ == RES_OK) {
        failure_ = result;
    }
    reads_.clear();
    writes_.clear();
    if (pending_ == PENDING_READ || pending_ == PENDING_WRITE) {
        Answer(failure_, 0);
    }
}

void SmbFile::Answer(unsigned long result, unsigned int count) {
    int id = pending_ == PENDING_READ ? SmbEvent::EVENT_READ : SmbEvent::EVENT_WRITE;
    pending_ = PENDING_NONE;
    readBuffer_ = nullptr;
    Post(id, result, result == RES_OK ? count : 0);
}

unsigned long SmbFile::Post(int id, unsigned long result, unsigned int count) {
    return SmbSession::PostSmbEvent(
        session_.Get(),
        SmbEvent::FileAnswerN(static_cast<SmbEvent::TId>(id), listener_.Get(), this, result, count));
}

std::unique_ptr<Smb> SmbFile::CopyOf(const Smb& message) {
    unsigned int size = 0;
    const unsigned char* bytes = message.GetBuffer(&size);
    auto* copy = new unsigned char[size];
    std::memcpy(copy, bytes, size);
    auto smb = std::make_unique<Smb>();
    smb->ReceiveFrom(copy, size, true);
    return smb;
}

void SmbFile::OnSmbReceived(unsigned long result, unsigned short mid, const Smb* response) {
    // An answer that is not handed over (the session's are) is kept as a copy.
    OnSmbReceivedN(result, mid, response != nullptr ? CopyOf(*response) : nullptr);
}

void SmbFile::OnSmbReceivedN(unsigned long result, unsigned short mid, std::unique_ptr<Smb> response) {
    // The open may be answered before its multiplex id is known, and it is the only request then.
    if (pending_ == PENDING_OPEN) {
        pending_ = PENDING_NONE;
        OnOpened(result, response.get());
        return;
    }
    auto read = std::find_if(reads_.begin(), reads_.end(), [mid](const SRead& r) { return r.mid == mid; });
    auto write =
        std::find_if(writes_.begin(), writes_.end(), [mid](const SWrite& w) { return w.mid == mid; });
    bool ours = read != reads_.end() || write != writes_.end();
    // Without a response the request was dropped: the connection is gone, and the handle with it. The
    // request being sent may be dropped before its multiplex id is known.
    if (result != RES_OK) {
        if (ours || sending_) {
            Drop(result);
        }
        return;
    }
    if (read != reads_.end()) {
        OnReadAnswer(static_cast<std::size_t>(read - reads_.begin()), std::move(response));
    } else if (write != writes_.end()) {
        OnWriteAnswer(static_cast<std::size_t>(write - writes_.begin()), response.get());
    }
    // Anything else answers a block read ahead and dropped since.
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
    connection_ = session_.Get()->GetConnectionNumber();
    listener->OnCreateN(RES_OK, this);
}

void SmbFile::OnTransReceived(unsigned long, unsigned short, const Trans2Resp*) {}

void SmbFile::OnTrans2Received(unsigned long, unsigned short, const Trans2Resp*) {}
