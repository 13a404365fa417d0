#include "net/smb1/DceHeader.h"

#include "app/ByteOrder.h"

namespace {

const unsigned char kVersion = 5;
const unsigned char kFirstAndLastFragment = 0x03;
const unsigned char kLittleEndianAscii = 0x10;

}  // namespace

void SetDceHeader(unsigned char* packet, unsigned char type, unsigned short fragmentLength,
                  unsigned short callId) {
    packet[0] = kVersion;
    packet[1] = 0;
    packet[2] = type;
    packet[3] = kFirstAndLastFragment;
    packet[4] = kLittleEndianAscii;
    SetUint16(packet + 8, fragmentLength);
    SetUint32(packet + 12, callId);
}
