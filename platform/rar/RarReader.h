#pragma once
// Reads RAR 4 and RAR 5 archives (and nothing else) through libarchive, over a source that the caller
// supplies. Items come in archive order; the content of the current item is read in blocks. Names are
// handed on as the archive spells them (UTF-16 units, one per wchar_t): cleaning them is the caller's.
// Links are never followed or created: a link item is reported as such and reads as the bytes the
// library gives for it. One reader serves one thread at a time.

#include <memory>
#include <string>

namespace arc {

// Where the archive's bytes come from.
class IRarSource {
public:
    virtual ~IRarSource() = default;
    // Up to size bytes at the current position: the count read (0 at the end), or -1 on failure.
    virtual long long Read(void* data, unsigned int size) = 0;
    // Moves to offset from origin (0 start, 1 current position, 2 end): the new position, or -1.
    virtual long long Seek(long long offset, int origin) = 0;
};

struct RarItem {
    std::wstring path;  // as stored, '/' or '\' separated
    bool isDir = false;
    bool isLink = false;  // a symbolic or hard link
    bool sizeKnown = false;
    unsigned long long size = 0;
    bool timeKnown = false;
    long long mtime = 0;  // seconds since 1970 UTC
    long mtimeNsec = 0;
    bool encrypted = false;
};

class RarReader {
public:
    enum TStatus {
        STATUS_OK = 0,
        STATUS_END,          // no further item, or the end of the item's content
        STATUS_CORRUPT,      // not a RAR archive, or broken data
        STATUS_UNSUPPORTED,  // encryption or a method the library cannot read
        STATUS_NO_MEMORY,
        STATUS_STOPPED,  // the source failed
    };

    RarReader();
    ~RarReader();
    RarReader(const RarReader&) = delete;
    RarReader& operator=(const RarReader&) = delete;

    // Starts reading at the source's start; source is not owned and must outlive the reader's use.
    TStatus Open(IRarSource* source);
    // The next item's header. STATUS_END after the last one.
    TStatus Next(RarItem* item);
    // Up to size bytes of the current item's content; *got is 0 with STATUS_END at its end.
    TStatus ReadData(void* data, unsigned int size, unsigned int* got);
    // The offset in the archive of the current item's header.
    long long HeaderPosition() const;
    void Close();

private:
    struct Impl;
    TStatus Failure(int code) const;
    std::unique_ptr<Impl> impl_;
};

}  // namespace arc
