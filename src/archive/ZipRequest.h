#pragma once
// One request of the archive browser to its worker and the answer that comes back, and the event that
// carries either. Requests and their answers are made and read on one side at a time: the worker fills a
// request while it serves it, the user-interface thread reads it after the answer has been posted. Stream
// blocks and password questions are the exception: their request lives on the waiting worker, and the
// user-interface thread answers it under the browser's monitor.

#include <atomic>
#include <memory>
#include <string>

#include "app/LiveTarget.h"
#include "app/UserEvent.h"
#include "archive/IVolDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsDirEnumListener.h"
#include "fs/IFsDirListener.h"
#include "fs/IFsOpListener.h"

enum TZipRequest {
    ZRQ_INIT = 1213,
    ZRQ_OPEN_ROOT = 1214,
    ZRQ_OPEN_FOLDER = 1215,
    ZRQ_OPEN_ENUMERATOR = 1216,
    ZRQ_ENUMERATE = 1217,
    ZRQ_ENTRY = 1218,
    ZRQ_OPEN_SUBFOLDER = 1219,
    ZRQ_EXTRACT = 1220,
    ZRQ_STREAM_BLOCK = 1221,
    ZRQ_STREAM_END = 1222,
    ZRQ_PASSWORD = 1223,
    ZRQ_FILE_INFO = 1224,
};

// What an enumeration's worker loop and its enumerator on the user-interface thread share.
struct ZipEnumState {
    std::shared_ptr<IVolDirEnum> volEnum;
    std::atomic<bool> stop{false};
    bool ended = false;  // user-interface thread: the end mark has been delivered
    LiveRef<IFsDirEnumListener> listener;
};

struct Zrp {
    unsigned long result = 0;
    std::shared_ptr<IVolDir> volDir;       // a folder's, or a folder opened for the answer
    std::unique_ptr<IVolDirEnum> volEnum;  // an enumerator opened for the answer
    std::unique_ptr<IFsDirEntry> entry;
    LiveRef<IFsOpListener> opListener;
    LiveRef<IFsDirListener> dirListener;
    std::shared_ptr<ZipEnumState> enumState;
    int tag = 0;        // the caller's request id
    std::wstring text;  // a path inside the archive, or a password
    // A stream block or password question, answered under the monitor.
    const void* data = nullptr;
    unsigned int size = 0;
    unsigned int written = 0;
    bool answered = false;
};

class ZipEvent : public UserEvent {
public:
    // An event that owns its request, or (stream blocks and passwords) one that only points at it.
    ZipEvent(TZipRequest code, bool isAnswer, std::unique_ptr<Zrp> owned)
        : UserEvent(code), isAnswer_(isAnswer), owned_(std::move(owned)), zrp_(owned_.get()) {}
    ZipEvent(TZipRequest code, Zrp* borrowed) : UserEvent(code), isAnswer_(true), zrp_(borrowed) {}

    bool IsAnswer() const { return isAnswer_; }
    Zrp* Request() const { return zrp_; }
    std::unique_ptr<Zrp> TakeRequest() { return std::move(owned_); }

private:
    bool isAnswer_;
    std::unique_ptr<Zrp> owned_;
    Zrp* zrp_;
};
