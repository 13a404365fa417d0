#pragma once
// A synchronous file (IFileSync) for a worker thread over a browser whose files are only asynchronous
// (a network share): each call is carried to the user-interface thread as a posted event, performed there
// through IFsFile, and the worker waits for the answer.
//
// Contract:
// - The calls are made by one worker thread, never by the user-interface thread (which would wait for
//   itself): there they fail at once with RES_FAILURE.
// - Create (or Open) must succeed before the other calls.
// - A wait ends with the file's answer, with RES_DISCONNECTED when the share's connection drops (the
//   share's file answers so), with RES_CANCELLED once Abort or AbortAll was called, and at once with the
//   failure of a request that could not be started. After an abort every call fails at once.
// - Data crosses through buffers of the proxy, so an answer that comes after its wait was abandoned
//   never touches the worker's memory.
// - Deleting the proxy closes the file without waiting; any thread may delete it once no call of it is
//   running.

#include <memory>
#include <string>

#include "fs/IFileSync.h"

class FileOpEvent;
class FileSyncEndpoint;
class IFsBrowser;
struct FileSyncShared;

class FileSyncProxy : public IFileSync {
public:
    FileSyncProxy();
    ~FileSyncProxy() override;

    unsigned long Create(IFsBrowser* browser, const std::wstring& path, TFileMode mode, TFileDisp disp);
    unsigned long Open(IFsBrowser* browser, const std::wstring& path, TFileMode mode) {
        return Create(browser, path, mode, FILE_DISP_OPEN_EXISTING);
    }

    // Fills the buffer across the share's blocks; fewer bytes only at the end of the file.
    unsigned long ReadS(void* buffer, unsigned int size, unsigned int* read) override;
    // Writes everything; a write of 0 bytes answers once everything before it is stored.
    unsigned long WriteS(const void* buffer, unsigned int size, unsigned int* written) override;
    unsigned long SeekS(TPosition origin, int offset) override;
    // The position after the last answer, kept by the proxy.
    unsigned long long Tell64() const override;
    unsigned long Tell() const override;
    // Closes the file and waits until it is closed.
    void CloseS() override;

    // Any thread: ends the wait in progress, and fails every later call, with RES_CANCELLED. The owner of
    // a worker calls it before it waits for that worker to end.
    void Abort();
    // Aborts every proxy; the application calls it when the run ends.
    static void AbortAll();

private:
    // Posts the event and waits for its answer; *count (may be null) gets the bytes of a read or write.
    unsigned long Call(FileOpEvent* event, unsigned int* count);
    // Hands the endpoint to a close event; with wait, until the file is closed.
    void Close(bool wait);

    std::shared_ptr<FileSyncShared> shared_;
    // Lives on the user-interface thread until the close is handled; null once the close is posted.
    FileSyncEndpoint* endpoint_;
};
