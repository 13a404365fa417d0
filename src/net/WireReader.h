#pragma once
// A bounded cursor over bytes that came from outside (a server's answer, a datagram). Every read is
// checked against the end of the range before it touches memory; the first read that would go past the
// end marks the reader failed, and from then on every read returns zero (or an empty result) without
// moving. A parser therefore reads a whole layout and checks Failed() once at the end. The reader never
// owns the bytes; they must outlive it. Any thread may use its own reader.

#include <cstddef>
#include <string>

class WireReader {
public:
    WireReader(const void* data, std::size_t length);

    bool Failed() const { return failed_; }
    // Marks the input as malformed for a reason the caller found (a count that disagrees, say).
    void Fail() { failed_ = true; }

    std::size_t Offset() const { return offset_; }
    std::size_t Remaining() const { return length_ - offset_; }
    const unsigned char* Start() const { return data_; }

    unsigned char ReadUbyte();
    unsigned short ReadUint16();
    unsigned int ReadUint32();
    unsigned long long ReadUint64();
    unsigned short ReadUint16Be();
    unsigned int ReadUint32Be();

    // The next count bytes, or null (and failed) when fewer remain.
    const unsigned char* ReadBytes(std::size_t count);
    // Exactly units 16-bit little-endian units.
    std::wstring ReadUtf16(std::size_t units);

    void Skip(std::size_t count);
    // Moves to an offset from the start; the end itself is a valid position.
    void SeekTo(std::size_t offset);
    // Moves forward to the next multiple of `multiple` counted from the start.
    void AlignTo(std::size_t multiple);

private:
    const unsigned char* Take(std::size_t count);

    const unsigned char* data_;
    std::size_t length_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};
