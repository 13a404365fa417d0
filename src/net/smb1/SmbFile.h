#pragma once
// An open file (or named pipe) of a share, from SmbBrowser::CreateFileA: NT_CREATE_ANDX to open it,
// READ_ANDX and WRITE_ANDX in blocks of at most 61,440 bytes at its own position (larger ones where the
// server offers large reads or writes), CLOSE when it closes.
// One caller operation at a time. Until the open succeeds the file owns itself: a failed open answers
// OnCreateN(result, nullptr) and deletes the file. Every answer goes to the IFsFileListener on the
// user-interface thread; reads, writes and seeks are answered through events posted by the session, which
// are dropped when the file or its listener has died. Results: the mapped NT status, RES_BAD_RESPONSE for
// an answer that does not fit its request, RES_DISCONNECTED when the session drops a request or the
// connection that opened the file is gone, and RES_FAILURE for a write the server took only in part.
//
// Reading: a file opened for reading keeps several blocks on their way, so that the server works on the
// next ones while the caller handles the last. Only a read that follows on from the last one with the same
// size takes them (a shorter answer would read as the end of the file); a seek elsewhere or a read of
// another size drops them.
//
// Writing: a write is answered as soon as its block is on its way while fewer than a window of blocks
// wait for the server's confirmation; otherwise once the oldest is confirmed. A failure the server
// reports for any block fails the file: the next write (or read) answers it, and nothing more is sent.
// A write of 0 bytes is answered only when every block before it is confirmed, with the first failure or
// 0; a writer does it before it counts its data as stored, since closing has no answer. A read waits
// until the blocks written before it are confirmed.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/LiveTarget.h"
#include "fs/IFsFile.h"
#include "net/smb1/ISmbRequestListener.h"

class IFsFileListener;
class SmbSession;

class SmbFile : public IFsFile, public ISmbRequestListener {
public:
    // The largest block one request carries.
    static constexpr unsigned int kBlockSize = 61440;
    // The same for a server that offers large reads (or writes).
    static constexpr unsigned int kLargeBlockSize = 130048;

    // The block of a read (or write) over session as it is now logged on.
    static unsigned int ReadBlockSize(const SmbSession& session);
    static unsigned int WriteBlockSize(const SmbSession& session);
    // The most blocks of one file on their way at once; fewer when the session announced fewer requests.
    static constexpr unsigned int kWindow = 8;

    // sendFlags (SmbSession::TSendFlags) are those of the open; the file's later requests only go over
    // the connection that opened it. The file may outlive session (its folder was removed): it then
    // answers RES_DISCONNECTED and sends nothing.
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
    void OnSmbReceivedN(unsigned long result, unsigned short mid, std::unique_ptr<Smb> response) override;
    void OnTransReceived(unsigned long result, unsigned short mid, const Trans2Resp* response) override;
    void OnTrans2Received(unsigned long result, unsigned short mid, const Trans2Resp* response) override;

private:
    enum TPending { PENDING_NONE, PENDING_OPEN, PENDING_READ, PENDING_WRITE };

    // A block asked of the server, in file order; the front one is the caller's next.
    struct SRead {
        unsigned short mid = 0;
        unsigned long long offset = 0;
        unsigned int asked = 0;
        bool arrived = false;
        unsigned long result = 0;
        // The answer, kept until the caller takes its data.
        std::unique_ptr<Smb> answer;
        const unsigned char* data = nullptr;
        unsigned int count = 0;
    };
    // A block written and not yet confirmed.
    struct SWrite {
        unsigned short mid = 0;
        unsigned int size = 0;
    };

    static std::unique_ptr<Smb> CopyOf(const Smb& message);
    unsigned int Window() const;
    // True while the connection that opened the file is the session's, logged on.
    bool OnItsConnection() const;
    // Sends request on the file's connection. False when the send dropped the connection (the pending
    // operation has then been answered) or destroyed the file: the caller returns at once.
    bool Send(Smb* request, unsigned short* mid);

    void OnOpened(unsigned long result, const Smb* response);
    void StartRead();
    bool SendRead(unsigned long long offset, unsigned int count);
    void FillReadWindow();
    void OnReadAnswer(std::size_t index, std::unique_ptr<Smb> response);
    // Hands the front block to the caller's pending read.
    void ServeRead();
    void OnWriteAnswer(std::size_t index, const Smb* response);
    // A request of the file was dropped with result: the connection is gone, and the file with it.
    void Drop(unsigned long result);
    // Answers the caller's pending read or write.
    void Answer(unsigned long result, unsigned int count);
    unsigned long Post(int id, unsigned long result, unsigned int count);

    // All members belong to the user-interface thread.
    LiveRef<SmbSession> session_;
    LiveRef<IFsFileListener> listener_;
    int sendFlags_;
    TFileMode mode_ = FILE_MODE_READ;
    unsigned short fid_ = 0;
    unsigned int connection_ = 0;
    unsigned long long position_ = 0;
    unsigned long long size_ = 0;
    unsigned char* readBuffer_ = nullptr;
    unsigned int requested_ = 0;
    TPending pending_ = PENDING_NONE;
    std::deque<SRead> reads_;
    std::vector<SWrite> writes_;
    // The first failure of a written block or of the connection; the file is of no more use after it.
    unsigned long failure_ = 0;
    // A request is being handed to the session, which may drop it before its multiplex id is known.
    bool sending_ = false;
};
