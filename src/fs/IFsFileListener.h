#pragma once
// Receives the answers of one file, on the user-interface thread.

#include "app/LiveTarget.h"

class IFsFile;

class IFsFileListener : public LiveTarget {
public:
    // The answer of CreateFileA. With result 0 the file belongs to the listener; a failure carries null.
    virtual void OnCreateN(unsigned long result, IFsFile* file) = 0;
    virtual void OnRead(IFsFile* file, unsigned long result, unsigned int count) = 0;
    virtual void OnWrite(IFsFile* file, unsigned long result, unsigned int count) = 0;
    virtual void OnSeek(IFsFile* file, unsigned long result) = 0;

protected:
    ~IFsFileListener() = default;
};
