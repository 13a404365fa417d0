#pragma once
// An answer of the SMB client that is delivered later, posted with the session as its handler: a request
// that never went out (201), the end of a listing (203), and the end of a read (204), write (205) or seek
// (206) of a remote file. The targets are remembered with their liveness, so an answer whose target has
// died meanwhile is dropped.

#include "app/LiveTarget.h"
#include "app/UserEvent.h"

class IFsDirEnumListener;
class IFsFile;
class IFsFileListener;
class ISmbRequestListener;

class SmbEvent : public UserEvent {
public:
    enum TId {
        EVENT_NOT_SENT = 201,
        EVENT_ENUM_END = 203,
        EVENT_READ = 204,
        EVENT_WRITE = 205,
        EVENT_SEEK = 206,
    };

    // The request with `command` and `mid` ends with `result` and no response.
    static SmbEvent* NotSentN(ISmbRequestListener* listener, unsigned char command, unsigned short mid,
                              unsigned long result);
    // OnGetEntry(result, nullptr).
    static SmbEvent* EnumEndN(IFsDirEnumListener* listener, unsigned long result);
    // OnRead, OnWrite or OnSeek of file, by id.
    static SmbEvent* FileAnswerN(TId id, IFsFileListener* listener, IFsFile* file, unsigned long result,
                                 unsigned int count);

    // Calls the target unless it is gone. Nothing of the event is touched after the call.
    void Deliver();

private:
    explicit SmbEvent(TId id) : UserEvent(id) {}

    LiveRef<ISmbRequestListener> requestListener_;
    LiveRef<IFsDirEnumListener> enumListener_;
    LiveRef<IFsFileListener> fileListener_;
    LiveRef<IFsFile> file_;
    unsigned char command_ = 0;
    unsigned short mid_ = 0;
    unsigned int count_ = 0;
    unsigned long result_ = 0;
};
