#pragma once
// The posted answer of the local browser: an operation's OnFsOperationDone (kind 1) or a file's answer
// (kind 2). The browser posts it to itself and delivers it on the user-interface thread. Delivery is
// dropped when the listener, or for a read, write or seek the file, has been destroyed since the event
// was made; a new folder, entry or file that the event carries is then deleted with it, unseen.

#include <cstdint>
#include <memory>

#include "app/LiveTarget.h"
#include "app/UserEvent.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsFile.h"
#include "fs/IFsFileListener.h"
#include "fs/IFsOpListener.h"

class FileEvent : public UserEvent {
public:
    enum TKind {
        KIND_OPERATION_DONE = 1,
        KIND_FILE = 2,
    };
    enum TFileAnswer {
        FILE_CREATE = 0,
        FILE_READ = 1,
        FILE_WRITE = 2,
        FILE_SEEK = 3,
    };

    // OnFsOperationDone(id, 0, result).
    static FileEvent* OperationDoneN(IFsOpListener* listener, int id, unsigned long result);
    // OnFsOperationDone(id, dir, result); the event owns dir until it is delivered.
    static FileEvent* DirOpenedN(IFsOpListener* listener, int id, std::unique_ptr<IFsDir> dir,
                                 unsigned long result);
    // OnFsOperationDone(id, entry, result); the event owns entry until it is delivered.
    static FileEvent* EntryReadN(IFsOpListener* listener, int id, std::unique_ptr<IFsDirEntry> entry,
                                 unsigned long result);
    // OnCreateN(result, file), or OnCreateN(result, nullptr) for a failure; the event owns the file until
    // it is delivered with result 0.
    static FileEvent* FileCreatedN(IFsFileListener* listener, std::unique_ptr<IFsFile> file,
                                   unsigned long result);
    // OnRead, OnWrite or OnSeek of file.
    static FileEvent* FileAnsweredN(IFsFileListener* listener, IFsFile* file, TFileAnswer answer,
                                    unsigned int count, unsigned long result);

    ~FileEvent() override;

    // Calls the listener, unless it or the file is gone. The listener may delete the browser, the file
    // or anything else of its own inside the call: nothing of the sender is touched afterwards.
    void Deliver();

private:
    explicit FileEvent(TKind kind);
    void DeliverOperationDone();
    void DeliverFileAnswer();

    unsigned long result_ = 0;
    // Kind 1.
    LiveRef<IFsOpListener> opListener_;
    int id_ = 0;
    std::unique_ptr<IFsDir> dir_;
    std::unique_ptr<IFsDirEntry> entry_;
    // Kind 2.
    LiveRef<IFsFileListener> fileListener_;
    TFileAnswer answer_ = FILE_CREATE;
    std::unique_ptr<IFsFile> newFile_;
    LiveRef<IFsFile> file_;
    unsigned int count_ = 0;
};
