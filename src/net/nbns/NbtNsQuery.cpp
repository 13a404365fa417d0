#include "net/nbns/NbtNsQuery.h"

#include <cstring>

#include "net/nbns/NetBiosName.h"

namespace {

const unsigned short kQuestionTypeNb = 0x0020;
const unsigned short kQuestionClassIn = 0x0001;
const unsigned int kHeaderLength = 12;

unsigned char* WriteUint16Be(unsigned char* p, unsigned short value) {
    p[0] = static_cast<unsigned char>(value >> 8);
    p[1] = static_cast<unsigned char>(value);
    return p + 2;
}

}  // namespace

unsigned char* PrepareNsQueryPacketN(int* length, const std::string& name, unsigned char suffix,
                                     unsigned short transId, bool broadcast) {
    std::size_t dot = name.find('.');
    std::string scope = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::string encoded = ToL2NetBiosName(name.substr(0, dot), scope, suffix);
    *length = 0;
    if (encoded.empty()) {
        return nullptr;
    }
    int size = static_cast<int>(kHeaderLength + encoded.size() + 4);
    unsigned char* packet = new unsigned char[size]();
    unsigned char* p = WriteUint16Be(packet, transId);
    p = WriteUint16Be(p, broadcast ? kNbtNsFlagsBroadcastQuery : kNbtNsFlagsQuery);
    p = WriteUint16Be(p, 1);
    p += 6;
    std::memcpy(p, encoded.data(), encoded.size());
    p += encoded.size();
    p = WriteUint16Be(p, kQuestionTypeNb);
    WriteUint16Be(p, kQuestionClassIn);
    *length = size;
    return packet;
}
