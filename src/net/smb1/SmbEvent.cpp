#include "net/smb1/SmbEvent.h"

#include "fs/IFsDirEnumListener.h"
#include "fs/IFsFile.h"
#include "fs/IFsFileListener.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/Trans2Req.h"

SmbEvent* SmbEvent::NotSentN(ISmbRequestListener* listener, unsigned char command, unsigned short mid,
                             unsigned long result) {
    auto* event = new SmbEvent(EVENT_NOT_SENT);
    event->requestListener_ = LiveRef<ISmbRequestListener>(listener);
    event->command_ = command;
    event->mid_ = mid;
    event->result_ = result;
    return event;
}

SmbEvent* SmbEvent::EnumEndN(IFsDirEnumListener* listener, unsigned long result) {
    auto* event = new SmbEvent(EVENT_ENUM_END);
    event->enumListener_ = LiveRef<IFsDirEnumListener>(listener);
    event->result_ = result;
    return event;
}

SmbEvent* SmbEvent::FileAnswerN(TId id, IFsFileListener* listener, IFsFile* file, unsigned long result,
                                unsigned int count) {
    auto* event = new SmbEvent(id);
    event->fileListener_ = LiveRef<IFsFileListener>(listener);
    event->file_ = LiveRef<IFsFile>(file);
    event->result_ = result;
    event->count_ = count;
    return event;
}

void SmbEvent::Deliver() {
    switch (GetKind()) {
        case EVENT_NOT_SENT:
            if (ISmbRequestListener* listener = requestListener_.Get()) {
                if (command_ == SMB_COM_TRANSACTION2) {
                    listener->OnTrans2Received(result_, mid_, nullptr);
                } else if (command_ == SMB_COM_TRANSACTION) {
                    listener->OnTransReceived(result_, mid_, nullptr);
                } else {
                    listener->OnSmbReceived(result_, mid_, nullptr);
                }
            }
            break;
        case EVENT_ENUM_END:
            if (IFsDirEnumListener* listener = enumListener_.Get()) {
                listener->OnGetEntry(result_, nullptr);
            }
            break;
        default: {
            IFsFileListener* listener = fileListener_.Get();
            IFsFile* file = file_.Get();
            if (listener == nullptr || file == nullptr) {
                break;
            }
            if (GetKind() == EVENT_READ) {
                listener->OnRead(file, result_, count_);
            } else if (GetKind() == EVENT_WRITE) {
                listener->OnWrite(file, result_, count_);
            } else {
                listener->OnSeek(file, result_);
            }
            break;
        }
    }
}
