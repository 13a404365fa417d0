#include "net/nbns/NbtNsResponse.h"

#include "net/WireReader.h"
#include "net/nbns/NetBiosName.h"

namespace {

const unsigned int kHeaderLength = 12;
const unsigned short kFlagResponse = 0x8000;
const unsigned short kFlagsOpcode = 0x7800;
const unsigned short kFlagsResult = 0x000F;
const unsigned char kPointerBits = 0xC0;
const unsigned short kPointerOffsetMask = 0x0FFF;
const unsigned short kEntryGroupBit = 0x8000;
const unsigned int kEntryLength = 6;

// Checks the answer's name, which starts at the reader's position either in place or as a compression
// pointer, and moves the reader behind it. A pointer must lead backwards to a whole name that ends no
// later than the pointer; since that name must begin with its 32-letter label, a pointer to a pointer is
// refused, so no chain or loop of pointers is ever followed.
bool SkipAnswerName(WireReader& reader, const unsigned char* packet, unsigned int length) {
    std::size_t at = reader.Offset();
    if (at < length && (packet[at] & kPointerBits) == kPointerBits) {
        std::size_t target = reader.ReadUint16Be() & kPointerOffsetMask;
        return !reader.Failed() && target < at &&
               ParseL2Name(packet + target, static_cast<unsigned int>(at - target), nullptr, nullptr,
                           nullptr);
    }
    const unsigned char* end =
        ParseL2Name(packet + at, static_cast<unsigned int>(length - at), nullptr, nullptr, nullptr);
    if (!end) {
        return false;
    }
    reader.SeekTo(static_cast<std::size_t>(end - packet));
    return true;
}

}  // namespace

unsigned short GetNsResponseTransId(const unsigned char* packet, unsigned int length) {
    if (length < kHeaderLength) {
        return 0;
    }
    return static_cast<unsigned short>((packet[0] << 8) | packet[1]);
}

bool ParseNsResponsePacket(unsigned long* address, const unsigned char* packet, unsigned int length,
                           unsigned short transId, unsigned long preferred, bool takeFirst) {
    if (length < kHeaderLength || GetNsResponseTransId(packet, length) != transId) {
        return false;
    }
    WireReader reader(packet, length);
    reader.Skip(2);
    unsigned short flags = reader.ReadUint16Be();
    unsigned short questions = reader.ReadUint16Be();
    unsigned short answers = reader.ReadUint16Be();
    reader.Skip(4);
    if ((flags & kFlagResponse) == 0 || (flags & (kFlagsOpcode | kFlagsResult)) != 0 || questions != 0 ||
        answers != 1) {
        return false;
    }
    if (!SkipAnswerName(reader, packet, length)) {
        return false;
    }
    reader.Skip(8);  // type, class and time to live
    unsigned short dataLength = reader.ReadUint16Be();
    if (reader.Failed() || dataLength > reader.Remaining() || dataLength % kEntryLength != 0) {
        return false;
    }
    bool found = false;
    unsigned long first = 0;
    for (unsigned int i = 0; i < dataLength / kEntryLength; ++i) {
        unsigned short entryFlags = reader.ReadUint16Be();
        unsigned long entryAddress = reader.ReadUint32Be();
        if (entryFlags & kEntryGroupBit) {
            continue;
        }
        if (!takeFirst && entryAddress == preferred) {
            *address = entryAddress;
            return true;
        }
        if (!found) {
            found = true;
            first = entryAddress;
            if (takeFirst) {
                break;
            }
        }
    }
    if (found) {
        *address = first;
    }
    return found;
}
