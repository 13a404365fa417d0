#pragma once
// One SMB message in one contiguous buffer: the 4-byte transport header, the 32-byte SMB header, the word
// count, the parameter words, the byte count and the data bytes. The pointers all point into `buffer`.
// Requests are made with Construct and filled in place by the builders; received messages are adopted with
// ReceiveFrom, which checks that the counts fit the received length. A message belongs to one thread at a
// time (the user-interface thread in practice). Not copyable.

#include <cstddef>

#include "net/smb1/SmbHeader.h"

inline constexpr unsigned int kTransportHeaderLength = 4;
// Header, word count and byte count: the size of a message without words and bytes.
inline constexpr unsigned int kSmbFixedLength = kSmbHeaderLength + 3;
inline constexpr unsigned int kMaxSmbByteCount = 0xFFFF;

// Writes the 4 bytes that open every AndX command's words for a command that is not chained.
void SetFinalAndX(unsigned char* andX);

class Smb;

// A new request message (owned by the caller) with its header written for `command`, or null when
// `byteCount` does not fit the message's 16-bit byte count (a path too long for one message, say). With
// `fillsBytes` the caller writes every one of the bytes itself, so they are not zeroed first.
Smb* CreateSmbRequestN(unsigned char command, unsigned char wordCount, std::size_t byteCount,
                       bool fillsBytes = false);
// The same for the one kind of request whose data may pass the byte count (a write of a large block,
// which the server measures by its own length field): up to kMaxLargeSmbBytes bytes, of which the byte
// count carries the low 16 bits.
inline constexpr std::size_t kMaxLargeSmbBytes = 0x20000;
Smb* CreateLargeSmbRequestN(unsigned char command, unsigned char wordCount, std::size_t byteLength);

class Smb {
public:
    Smb() = default;
    ~Smb();
    Smb(const Smb&) = delete;
    Smb& operator=(const Smb&) = delete;

    // Allocates a zero-filled message with room for the words and bytes and writes the transport header and
    // both counts; the caller then fills header, words and bytes. With fillsBytes the bytes are left as
    // they are, for a caller that writes all of them.
    void Construct(unsigned char wordCount, unsigned short byteCount, bool fillsBytes = false);
    // The same with byteLength bytes, of which the byte count keeps the low 16 bits; all of them are the
    // caller's to write.
    void ConstructLarge(unsigned char wordCount, std::size_t byteLength);

    // Adopts `length` received bytes that begin with the transport header, without copying; with `owns`
    // the message frees them with delete[]. True when the word count, the words, the byte count and the
    // bytes all lie within `length`; on false the fields are set only as far as the checks got, and the
    // message must not be used for anything but deletion.
    bool ReceiveFrom(const void* data, unsigned int length, bool owns);

    // The SMB message's size (without the transport header): what its counts add up to for a message
    // constructed here, the length the transport gave for one received.
    unsigned int GetSize() const { return size_; }
    // The bytes to put on the wire; *size gets GetSize() plus the transport header.
    unsigned char* GetBuffer(unsigned int* size);
    const unsigned char* GetBuffer(unsigned int* size) const;

    SmbHeader Header() const { return SmbHeader(header); }

    // The `count` bytes at `offset` from the start of the SMB header, or null when they do not lie wholly
    // inside a message that was constructed or received whole. Offsets found in a received message's fields
    // are resolved through this.
    const unsigned char* At(std::size_t offset, std::size_t count) const;

    unsigned char* buffer = nullptr;
    bool ownsBuffer = false;
    unsigned char* header = nullptr;
    unsigned char wordCount = 0;
    unsigned char* words = nullptr;  // null when wordCount is 0
    unsigned short byteCount = 0;
    unsigned char* bytes = nullptr;  // null when byteCount is 0

private:
    void Release();
    void Allocate(unsigned char wordCount, std::size_t byteLength, std::size_t zeroed);

    bool framed_ = false;  // the counts are known to fit the buffer
    unsigned int size_ = 0;
};
