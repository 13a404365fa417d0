#include "net/smb1/DceSrvsvcBind.h"

#include <cstring>

#include "app/ByteOrder.h"
#include "net/smb1/DceHeader.h"

namespace {

// 4b324fc8-1670-01d3-1278-5a47bf6ee188 in the little-endian UUID layout.
const unsigned char kSrvsvcUuid[16] = {0xc8, 0x4f, 0x32, 0x4b, 0x70, 0x16, 0xd3, 0x01,
                                       0x12, 0x78, 0x5a, 0x47, 0xbf, 0x6e, 0xe1, 0x88};
const unsigned int kSrvsvcVersion = 3;
// 8a885d04-1ceb-11c9-9fe8-08002b104860, the NDR transfer syntax.
const unsigned char kNdrUuid[16] = {0x04, 0x5d, 0x88, 0x8a, 0xeb, 0x1c, 0xc9, 0x11,
                                    0x9f, 0xe8, 0x08, 0x00, 0x2b, 0x10, 0x48, 0x60};
const unsigned int kNdrVersion = 2;

}  // namespace

unsigned char* PrepareDceSrvsvcBindPacket(unsigned int* length, unsigned short callId,
                                          unsigned short maxFragment) {
    unsigned char* packet = new unsigned char[kDceSrvsvcBindLength]();
    SetDceHeader(packet, DCE_PACKET_BIND, kDceSrvsvcBindLength, callId);
    SetUint16(packet + 16, maxFragment);  // transmit
    SetUint16(packet + 18, maxFragment);  // receive
    packet[24] = 1;                       // one presentation context, id 0
    packet[30] = 1;                       // with one transfer syntax
    std::memcpy(packet + 32, kSrvsvcUuid, sizeof(kSrvsvcUuid));
    SetUint32(packet + 48, kSrvsvcVersion);
    std::memcpy(packet + 52, kNdrUuid, sizeof(kNdrUuid));
    SetUint32(packet + 68, kNdrVersion);
    *length = kDceSrvsvcBindLength;
    return packet;
}
