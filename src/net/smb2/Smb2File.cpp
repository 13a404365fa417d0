#include "net/smb2/Smb2File.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "app/Results.h"
#include "fs/IFsFileListener.h"
#include "net/smb2/FsSmb2Browser.h"

namespace {

// Blocks that may wait for the server before a write's answer waits too: enough that the worker always
// finds the next block queued, even when the user-interface thread is late to hand it over on a busy
// machine (with 2, the worker stood idle for a third of an upload or more); the classic client's window.
constexpr int kWritesAhead = 8;

bool OpenHow(TFileMode mode, TFileDisp disp, host::SmbClient::TOpen* how) {
    switch (mode) {
        case FILE_MODE_READ:
            *how = host::SmbClient::OPEN_READ;
            return true;
        case FILE_MODE_APPEND:
            *how = host::SmbClient::OPEN_APPEND;
            return true;
        case FILE_MODE_WRITE:
            break;
        default:
            return false;
    }
    switch (disp) {
        case FILE_DISP_OPEN_EXISTING:
            *how = host::SmbClient::OPEN_READ_WRITE;
            return true;
        case FILE_DISP_CREATE_NEW:
            *how = host::SmbClient::OPEN_CREATE_NEW;
            return true;
        case FILE_DISP_CREATE_ALWAYS:
            *how = host::SmbClient::OPEN_CREATE_ALWAYS;
            return true;
    }
    return false;
}

}  // namespace

void Smb2File::Open(Smb2Browser* browser, IFsFileListener* listener, const std::string& path, TFileMode mode,
                    TFileDisp disp) {
    LiveRef<IFsFileListener> target(listener);
    std::weak_ptr<Smb2Worker> connection = browser->Connection();
    Smb2Worker* worker = browser->Worker();
    host::SmbClient::TOpen how = host::SmbClient::OPEN_READ;
    if (!OpenHow(mode, disp, &how)) {
        worker->Answer([target] {
            if (IFsFileListener* alive = target.Get()) {
                alive->OnCreateN(Osp::Base::E_INVALID_ARG, nullptr);
            }
        });
        return;
    }
    const TReadAhead readAhead = mode == FILE_MODE_READ ? READ_AHEAD_NEXT_BLOCK : READ_AHEAD_NONE;
    worker->Enqueue(
        [connection, worker, target, path, how, readAhead](std::unique_ptr<host::SmbClient>& client) {
            const int handle = client == nullptr ? -ENOTCONN : client->OpenFile(path, how);
            const long long position = handle >= 0 ? client->Seek(handle, 0, 1) : 0;
            const unsigned long result = Smb2Result(handle >= 0 ? 0 : -handle, SMB2_STEP_FILE);
            worker->Answer([connection, worker, target, handle, position, result, readAhead] {
                IFsFileListener* alive = target.Get();
                if (alive == nullptr) {
                    if (handle >= 0) {
                        worker->Enqueue([handle](std::unique_ptr<host::SmbClient>& c) {
                            if (c != nullptr) {
                                c->CloseFile(handle);
                            }
                        });
                    }
                    return;
                }
                if (result != RES_OK) {
                    alive->OnCreateN(result, nullptr);
                    return;
                }
                const unsigned long long at = position > 0 ? static_cast<unsigned long long>(position) : 0;
                alive->OnCreateN(RES_OK, new Smb2File(connection, alive, handle, at, readAhead));
            });
        });
}

Smb2File::Smb2File(std::weak_ptr<Smb2Worker> connection, IFsFileListener* listener, int handle,
                   unsigned long long position, TReadAhead readAhead)
    : connection_(std::move(connection)),
      listener_(listener),
      state_(std::make_shared<SState>()),
      position_(position),
      readAhead_(readAhead),
      target_(listener) {
    state_->handle = handle;
}

Smb2Worker* Smb2File::Worker() const {
    // The browser owns the connection's worker: the pointer stays valid while this call runs.
    return connection_.lock().get();
}

Smb2File::~Smb2File() {
    CloseA();
}

void Smb2File::CloseA() {
    Smb2Worker* worker = Worker();
    if (closed_ || worker == nullptr) {
        return;
    }
    closed_ = true;
    ahead_.reset();
    reading_.clear();
    std::shared_ptr<SState> state = state_;
    worker->Enqueue([state](std::unique_ptr<host::SmbClient>& client) {
        if (client != nullptr) {
            client->CloseFile(state->handle);
        }
    });
}

unsigned long Smb2File::ReadA(void* buffer, unsigned int size) {
    Smb2Worker* worker = Worker();
    if (closed_ || worker == nullptr) {
        return RES_DISCONNECTED;
    }
    std::shared_ptr<SBlock> block;
    if (ahead_ != nullptr && reading_.empty() && ahead_->at == position_ && ahead_->size == size) {
        block = std::move(ahead_);
    } else {
        DropReadAhead(worker);
        block = StartRead(worker, size);
    }
    block->owedTo = buffer;
    reading_.push_back(block);
    if (block->arrived) {
        // Answered from the event loop, as every answer, never from within this call.
        LiveRef<IFsFile> self(this);
        worker->Answer([self] {
            if (auto* file = static_cast<Smb2File*>(self.Get())) {
                file->DeliverOldest();
            }
        });
    }
    return RES_OK;
}

std::shared_ptr<Smb2File::SBlock> Smb2File::StartRead(Smb2Worker* worker, unsigned int size) {
    auto block = std::make_shared<SBlock>();
    block->at = position_;
    block->size = size;
    std::shared_ptr<SState> state = state_;
    LiveRef<IFsFile> self(this);
    worker->Enqueue([worker, state, self, block](std::unique_ptr<host::SmbClient>& client) {
        block->data.resize(block->size);
        const long long got =
            client == nullptr ? -ENOTCONN : client->Read(state->handle, block->data.data(), block->size);
        block->result = Smb2Result(got >= 0 ? 0 : static_cast<int>(-got), SMB2_STEP_FILE);
        block->count = got > 0 ? static_cast<unsigned int>(got) : 0;
        worker->Answer([self, block] {
            if (auto* file = static_cast<Smb2File*>(self.Get())) {
                file->OnBlockArrived(block);
            }
        });
    });
    return block;
}

void Smb2File::OnBlockArrived(const std::shared_ptr<SBlock>& block) {
    block->arrived = true;
    if (!reading_.empty() && reading_.front() == block) {
        DeliverOldest();
    }
}

void Smb2File::DeliverOldest() {
    if (reading_.empty() || !reading_.front()->arrived) {
        return;
    }
    const std::shared_ptr<SBlock> block = reading_.front();
    reading_.pop_front();
    // The caller's buffer is filled here, on its own thread, and only while its file lives.
    std::memcpy(block->owedTo, block->data.data(), block->count);
    position_ += block->count;
    Smb2Worker* worker = Worker();
    if (readAhead_ == READ_AHEAD_NEXT_BLOCK && reading_.empty() && worker != nullptr &&
        block->result == RES_OK && block->count == block->size) {
        ahead_ = StartRead(worker, block->size);
    }
    if (IFsFileListener* listener = target_.Get()) {
        listener->OnRead(this, block->result, block->count);
    }
}

void Smb2File::DropReadAhead(Smb2Worker* worker) {
    if (ahead_ == nullptr) {
        return;
    }
    ahead_.reset();
    // Nothing was asked since the block went ahead, so the reader's position is the one the worker's
    // file had before it.
    std::shared_ptr<SState> state = state_;
    const long long back = static_cast<long long>(position_);
    worker->Enqueue([state, back](std::unique_ptr<host::SmbClient>& client) {
        if (client != nullptr) {
            client->Seek(state->handle, back, 0);
        }
    });
}

unsigned long Smb2File::WriteA(const void* buffer, unsigned int size) {
    Smb2Worker* worker = Worker();
    if (closed_ || worker == nullptr) {
        return RES_DISCONNECTED;
    }
    DropReadAhead(worker);
    std::shared_ptr<SState> state = state_;
    LiveRef<IFsFile> self(this);
    if (size == 0) {
        LiveRef<IFsFileListener> target(listener_);
        worker->Enqueue([worker, state, self, target](std::unique_ptr<host::SmbClient>& client) {
            const int error = client == nullptr && state->writeError == 0 ? ENOTCONN : state->writeError;
            const unsigned long result = Smb2Result(error, SMB2_STEP_FILE);
            worker->Answer([self, target, result] {
                IFsFile* file = self.Get();
                if (IFsFileListener* listener = target.Get(); file != nullptr && listener != nullptr) {
                    listener->OnWrite(file, result, 0);
                }
            });
        });
        return RES_OK;
    }
    if (writeFailure_ != RES_OK) {
        PostWriteAnswer(writeFailure_, 0);
        return RES_OK;
    }
    auto data = std::make_shared<std::vector<unsigned char>>(
        static_cast<const unsigned char*>(buffer), static_cast<const unsigned char*>(buffer) + size);
    worker->Enqueue([worker, state, self, data](std::unique_ptr<host::SmbClient>& client) {
        if (state->writeError == 0) {
            const long long put = client == nullptr ? -ENOTCONN
                                                    : client->Write(state->handle, data->data(),
                                                                    static_cast<unsigned int>(data->size()));
            if (put < 0) {
                state->writeError = static_cast<int>(-put);
            } else if (static_cast<unsigned long long>(put) != data->size()) {
                state->writeError = EIO;
            }
        }
        const unsigned long result = Smb2Result(state->writeError, SMB2_STEP_FILE);
        worker->Answer([self, result] {
            if (auto* file = static_cast<Smb2File*>(self.Get())) {
                file->OnWriteDone(result);
            }
        });
    });
    position_ += size;
    if (++writesInFlight_ <= kWritesAhead) {
        PostWriteAnswer(RES_OK, size);
    } else {
        owedWrite_ = size;
    }
    return RES_OK;
}

void Smb2File::OnWriteDone(unsigned long result) {
    --writesInFlight_;
    if (result != RES_OK && writeFailure_ == RES_OK) {
        writeFailure_ = result;
    }
    if (owedWrite_ != 0) {
        const unsigned int count = owedWrite_;
        owedWrite_ = 0;
        if (IFsFileListener* listener = listener_) {
            listener->OnWrite(this, writeFailure_, writeFailure_ == RES_OK ? count : 0);
        }
    }
}

void Smb2File::PostWriteAnswer(unsigned long result, unsigned int count) {
    LiveRef<IFsFile> self(this);
    LiveRef<IFsFileListener> target(listener_);
    Smb2Worker* worker = Worker();
    if (worker == nullptr) {
        return;
    }
    worker->Answer([self, target, result, count] {
        IFsFile* file = self.Get();
        if (IFsFileListener* listener = target.Get(); file != nullptr && listener != nullptr) {
            listener->OnWrite(file, result, count);
        }
    });
}

unsigned long Smb2File::SeekA(TPosition origin, int offset) {
    Smb2Worker* worker = Worker();
    if (closed_ || worker == nullptr) {
        return RES_DISCONNECTED;
    }
    DropReadAhead(worker);
    std::shared_ptr<SState> state = state_;
    LiveRef<IFsFile> self(this);
    LiveRef<IFsFileListener> target(listener_);
    const int from = origin == POS_CURRENT ? 1 : origin == POS_END ? 2 : 0;
    worker->Enqueue([worker, state, self, target, from, offset](std::unique_ptr<host::SmbClient>& client) {
        const long long at = client == nullptr ? -ENOTCONN : client->Seek(state->handle, offset, from);
        const unsigned long result = Smb2Result(at >= 0 ? 0 : static_cast<int>(-at), SMB2_STEP_FILE);
        worker->Answer([self, target, result, at] {
            auto* file = static_cast<Smb2File*>(self.Get());
            IFsFileListener* listener = target.Get();
            if (file == nullptr || listener == nullptr) {
                return;
            }
            if (result == RES_OK) {
                file->position_ = static_cast<unsigned long long>(at);
            }
            listener->OnSeek(file, result);
        });
    });
    return RES_OK;
}

unsigned long Smb2File::CopyFromA(IFsFile* source, unsigned int size) {
    Smb2Worker* worker = Worker();
    if (closed_ || worker == nullptr) {
        return RES_DISCONNECTED;
    }
    auto* from = dynamic_cast<Smb2File*>(source);
    if (from == nullptr || from->closed_ || from->Worker() != worker) {
        return RES_UNSUPPORTED_METHOD;
    }
    // The library copies from the files' own positions, which must be the readers'.
    from->DropReadAhead(worker);
    DropReadAhead(worker);
    std::shared_ptr<SState> in = from->state_;
    std::shared_ptr<SState> out = state_;
    LiveRef<IFsFile> self(this);
    LiveRef<IFsFile> origin(from);
    LiveRef<IFsFileListener> target(listener_);
    worker->Enqueue([worker, in, out, self, origin, target, size](std::unique_ptr<host::SmbClient>& client) {
        long long copied = -ENOTCONN;
        if (client != nullptr) {
            copied =
                out->writeError != 0 ? -out->writeError : client->CopyRange(in->handle, out->handle, size);
        }
        const unsigned long result = Smb2Result(copied >= 0 ? 0 : static_cast<int>(-copied), SMB2_STEP_FILE);
        const unsigned int count = copied > 0 ? static_cast<unsigned int>(copied) : 0;
        worker->Answer([self, origin, target, result, count] {
            auto* file = static_cast<Smb2File*>(self.Get());
            if (file == nullptr) {
                return;
            }
            file->position_ += count;
            if (auto* from = static_cast<Smb2File*>(origin.Get())) {
                from->position_ += count;
            }
            if (IFsFileListener* listener = target.Get()) {
                listener->OnWrite(file, result, count);
            }
        });
    });
    return RES_OK;
}
