#pragma once
// An open file of a browser, from IFsBrowser::CreateFileA. Every answer goes to the IFsFileListener given
// to CreateFileA, on the user-interface thread; the result of a call says only whether the request could
// be started. Deleting the file closes it, and drops its answers that are still on their way.
// Used on the user-interface thread only; the file belongs to whoever received it in OnCreateN.

#include "app/LiveTarget.h"
#include "app/Results.h"
#include "fs/FsTypes.h"

class IFsFile : public LiveTarget {
public:
    virtual ~IFsFile() = default;

    // Up to size bytes; the answer is OnRead. The end of the file is not a failure: result 0 with fewer
    // bytes, 0 at the very end.
    virtual unsigned long ReadA(void* buffer, unsigned int size) = 0;
    // The answer is OnWrite with size bytes on success and 0 on failure. buffer must stay valid until then.
    // A file may answer once it has taken the data, before its store confirms it (a share's file does):
    // a failure then comes with a later write. A write of 0 bytes is answered only when everything
    // written before it is stored, with the first failure or 0: a writer makes one before it counts its
    // data as safe, since closing has no answer.
    virtual unsigned long WriteA(const void* buffer, unsigned int size) = 0;
    // The answer is OnSeek.
    virtual unsigned long SeekA(TPosition origin, int offset) = 0;
    // Has the storage copy up to size bytes from source's position to this file's position by itself,
    // without the data passing through the phone (a share's server copies within its share). The answer is
    // OnWrite with the bytes copied, 0 at the source's end; both positions move on by them. A failure
    // leaves both positions where they were, so that the copy can go on block by block from there.
    // RES_UNSUPPORTED_METHOD, and nothing asked, when the two files cannot copy so.
    virtual unsigned long CopyFromA(IFsFile* source, unsigned int size) { return RES_UNSUPPORTED_METHOD; }
    virtual unsigned long long Tell64() const = 0;
    virtual unsigned long Tell() const = 0;
    // Flushes what was written; there is no answer.
    virtual void CloseA() = 0;
};
