#include "fs/FileEvent.h"

FileEvent::FileEvent(TKind kind) : UserEvent(kind) {}

FileEvent::~FileEvent() = default;

FileEvent* FileEvent::OperationDoneN(IFsOpListener* listener, int id, unsigned long result) {
    auto* event = new FileEvent(KIND_OPERATION_DONE);
    event->opListener_ = LiveRef<IFsOpListener>(listener);
    event->id_ = id;
    event->result_ = result;
    return event;
}

FileEvent* FileEvent::DirOpenedN(IFsOpListener* listener, int id, std::unique_ptr<IFsDir> dir,
                                 unsigned long result) {
    FileEvent* event = OperationDoneN(listener, id, result);
    event->dir_ = std::move(dir);
    return event;
}

FileEvent* FileEvent::EntryReadN(IFsOpListener* listener, int id, std::unique_ptr<IFsDirEntry> entry,
                                 unsigned long result) {
    FileEvent* event = OperationDoneN(listener, id, result);
    event->entry_ = std::move(entry);
    return event;
}

FileEvent* FileEvent::FileCreatedN(IFsFileListener* listener, std::unique_ptr<IFsFile> file,
                                   unsigned long result) {
    auto* event = new FileEvent(KIND_FILE);
    event->fileListener_ = LiveRef<IFsFileListener>(listener);
    event->answer_ = FILE_CREATE;
    event->newFile_ = std::move(file);
    event->result_ = result;
    return event;
}

FileEvent* FileEvent::FileAnsweredN(IFsFileListener* listener, IFsFile* file, TFileAnswer answer,
                                    unsigned int count, unsigned long result) {
    auto* event = new FileEvent(KIND_FILE);
    event->fileListener_ = LiveRef<IFsFileListener>(listener);
    event->answer_ = answer;
    event->file_ = LiveRef<IFsFile>(file);
    event->count_ = count;
    event->result_ = result;
    return event;
}

void FileEvent::Deliver() {
    if (GetKind() == KIND_OPERATION_DONE) {
        DeliverOperationDone();
    } else {
        DeliverFileAnswer();
    }
}

void FileEvent::DeliverOperationDone() {
    IFsOpListener* listener = opListener_.Get();
    if (listener == nullptr) {
        return;
    }
    std::intptr_t object = 0;
    if (dir_ != nullptr) {
        object = reinterpret_cast<std::intptr_t>(dir_.release());
    } else if (entry_ != nullptr) {
        object = reinterpret_cast<std::intptr_t>(entry_.release());
    }
    listener->OnFsOperationDone(id_, object, result_);
}

void FileEvent::DeliverFileAnswer() {
    IFsFileListener* listener = fileListener_.Get();
    if (listener == nullptr) {
        return;
    }
    if (answer_ == FILE_CREATE) {
        // A file that failed to open never reaches the listener; it goes with the event.
        listener->OnCreateN(result_, result_ == 0 ? newFile_.release() : nullptr);
        return;
    }
    IFsFile* file = file_.Get();
    if (file == nullptr) {
        return;
    }
    switch (answer_) {
        case FILE_READ:
            listener->OnRead(file, result_, count_);
            break;
        case FILE_WRITE:
            listener->OnWrite(file, result_, count_);
            break;
        default:
            listener->OnSeek(file, result_);
            break;
    }
}
