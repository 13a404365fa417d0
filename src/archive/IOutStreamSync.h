#pragma once
// The receiver of one file extracted by a volume, called on the thread that runs the extraction (and,
// for some formats, on the library's own threads, one call at a time).

class IOutStreamSync {
public:
    // One block; *written gets the bytes taken. A non-zero result ends the extraction.
    virtual unsigned long OnStreamWrite(const void* data, unsigned int size, unsigned int* written) = 0;
    // The end of the extraction: 0, or its failure. Called exactly once per extraction that found its item.
    virtual void OnStreamWriteFinished(unsigned long result) = 0;

protected:
    ~IOutStreamSync() = default;
};
