#pragma once
// An open file (or named pipe) of a share, from SmbBrowser::CreateFileA: NT_CREATE_ANDX to open it,
// READ_ANDX and WRITE_ANDX in blocks of at most 61,440 bytes at its own position, CLOSE when it closes.
// One operation at a time. Until the open succeeds the file owns itself: a failed open answers
// OnCreateN(result, nullptr) and deletes the file. Every answer goes to the IFsFileListener on the
// user-interface thread; reads, writes and seeks are answered through events posted by the session, which
// are dropped when the file or its listener has died. Results: the mapped NT status, RES_BAD_RESPONSE for
// an answer that does not fit its request, RES_DISCONNECTED when the session drops the request, and
// RES_FAILURE for a write the server took only in part. A file opened for reading asks for the block after
// the one being read ahead of time, so that the server works on it while the caller handles the last one;
// a seek elsewhere or a smaller read drops it.

#include <string>
#include <vector>

#include "app/LiveTarget.h"
#include "fs/IFsFile.h"
#include "net/ISmbRequestListener.h"

class IFsFileListener;
class SmbSession;

class SmbFile : public IFsFile, public ISmbRequestListener {
public:
    // The largest block one request carries.
    static constexpr unsigned int kBlockSize = 61440;

    // sendFlags (SmbSession::TSendFlags) are those of the open; the file's later requests only go over a
    // session that is logged on.
    SmbFile(SmbSession* session, IFsFileListener* listener, int sendFlags);
    ~SmbFile() override;

    // Sends the open. The answer may come inside the call; the file must not be touched after it.
    void Open(const std::wstring& path, TFileMode mode, TFileDisp disp);
    unsigned short GetFid() const { return fid_; }

    unsigned long ReadA(void* buffer, unsigned int size) override;
    unsigned long WriteA(const void* buffer, unsigned int size) override;
    unsigned long SeekA(TPosition origin, int offset) override;
    unsigned long long Tell64() const override { return position_; }
    unsigned long Tell() const override { return static_cast<unsigned long>(position_); }
    void CloseA() override;

    void OnSmbReceived(unsigned long result, unsigned short mid, const Smb* response) override;
    void OnTransReceived(unsigned long result, unsigned short mid, const Trans2Resp* response) override;
    void OnTrans2Received(unsigned long result, unsigned short mid, const Trans2Resp* response) override;

private:
    enum TPending { PENDING_NONE, PENDING_OPEN, PENDING_READ, PENDING_WRITE };

    // The block that follows the one being read, asked for before the caller wants it.
    struct SReadAhead {
        bool active = false;
        bool arrived = false;
        unsigned short mid = 0;
        unsigned long long offset = 0;
        unsigned int asked = 0;
        unsigned long result = 0;
        std::vector<unsigned char> data;
    };

    void OnOpened(unsigned long result, const Smb* response);
    void OnReadDone(unsigned long result, const Smb* response);
    // The data of a READ_ANDX answer for up to asked bytes, or the failure.
    unsigned long ReadAnswer(unsigned long result, const Smb* response, unsigned int asked,
                             const unsigned char** data, unsigned int* count);
    void ReadAhead(unsigned long long offset, unsigned int count);
    void OnReadAhead(unsigned long result, const Smb* response);
    void ServeFromReadAhead();
    void DropReadAhead() { ahead_ = SReadAhead(); }
    void OnWriteDone(unsigned long result, const Smb* response);
    unsigned long Post(int id, unsigned long result, unsigned int count);

    // All members belong to the user-interface thread.
    SmbSession* session_;
    LiveRef<IFsFileListener> listener_;
    int sendFlags_;
    TFileMode mode_ = FILE_MODE_READ;
    unsigned short fid_ = 0;
    unsigned long long position_ = 0;
    unsigned long long size_ = 0;
    unsigned char* readBuffer_ = nullptr;
    unsigned int requested_ = 0;
    TPending pending_ = PENDING_NONE;
    // The multiplex id of the pending read or write; answers of dropped read-aheads carry others.
    unsigned short requestMid_ = 0;
    SReadAhead ahead_;
    // The pending read is to be answered from the read-ahead when it arrives.
    bool waitingForAhead_ = false;
};
