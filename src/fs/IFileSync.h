#pragma once
// A synchronous open file, for threads that may block (the archive worker). It belongs to the thread that
// created or received it. Reading at the end of the file is not a failure: result 0 and a short count.
// Deleting the object closes the file.

#include "fs/FsTypes.h"

class IFileSync {
public:
    virtual ~IFileSync() = default;

    virtual unsigned long ReadS(void* buffer, unsigned int size, unsigned int* read) = 0;
    virtual unsigned long WriteS(const void* buffer, unsigned int size, unsigned int* written) = 0;
    virtual unsigned long SeekS(TPosition origin, int offset) = 0;
    virtual unsigned long long Tell64() const = 0;
    virtual unsigned long Tell() const = 0;
    virtual void CloseS() = 0;
};
