#pragma once
// The receiver of a file streamed out of a browser by ExtractFileA, called on the user-interface thread.

#include "app/LiveTarget.h"

class IOutStreamListener : public LiveTarget {
public:
    // One block. It stays valid, and the sender waits, until the receiver answers it with the browser's
    // BytesProcessed(result, count).
    virtual unsigned long OnStreamWriteA(const void* data, unsigned int size) = 0;
    // The end of the stream (0) or its failure.
    virtual void OnStreamWriteFinishedA(unsigned long result) = 0;

protected:
    ~IOutStreamListener() = default;
};
