#include "net/nbns/NbtNsNodeStatus.h"

#include "net/WireReader.h"
#include "net/nbns/NetBiosName.h"

namespace {

constexpr unsigned short kTypeNbStat = 0x0021;
constexpr unsigned short kClassIn = 0x0001;
constexpr unsigned short kFlagResponse = 0x8000;
constexpr unsigned short kMaskOpcodeAndResult = 0x780F;
constexpr unsigned short kNameFlagGroup = 0x8000;
constexpr unsigned char kSuffixWorkstation = 0x00;
constexpr unsigned char kSuffixFileServer = 0x20;
constexpr std::size_t kNameEntryLength = 18;  // 15 characters, suffix, flags

// Printable ASCII only, trailing blanks removed; empty for anything else.
std::string CleanName(const unsigned char* bytes) {
    std::string name(reinterpret_cast<const char*>(bytes), kNetBiosNameChars);
    name.erase(name.find_last_not_of(' ') + 1);
    for (char c : name) {
        if (c < 0x21 && c != ' ') {
            return std::string();
        }
        if (static_cast<unsigned char>(c) > 0x7E) {
            return std::string();
        }
    }
    return name;
}

void Put16(std::vector<unsigned char>* out, unsigned short value) {
    out->push_back(static_cast<unsigned char>(value >> 8));
    out->push_back(static_cast<unsigned char>(value));
}

}  // namespace

std::vector<unsigned char> PrepareNodeStatusRequest(unsigned short transId) {
    std::vector<unsigned char> packet;
    Put16(&packet, transId);
    Put16(&packet, 0);  // a plain query: no recursion, not broadcast
    Put16(&packet, 1);
    Put16(&packet, 0);
    Put16(&packet, 0);
    Put16(&packet, 0);
    const std::string name = ToL2NetBiosName("*", "", 0);
    packet.insert(packet.end(), name.begin(), name.end());
    Put16(&packet, kTypeNbStat);
    Put16(&packet, kClassIn);
    return packet;
}

bool ParseNodeStatusResponse(const unsigned char* packet, unsigned int length, unsigned short transId,
                             NbtNsNodeStatus* out) {
    WireReader reader(packet, length);
    const unsigned short id = reader.ReadUint16Be();
    const unsigned short flags = reader.ReadUint16Be();
    const unsigned short questions = reader.ReadUint16Be();
    const unsigned short answers = reader.ReadUint16Be();
    reader.Skip(4);
    if (reader.Failed() || id != transId || (flags & kFlagResponse) == 0 ||
        (flags & kMaskOpcodeAndResult) != 0 || questions != 0 || answers != 1) {
        return false;
    }
    const unsigned char* behindName = ParseL2Name(
        packet + reader.Offset(), static_cast<unsigned int>(reader.Remaining()), nullptr, nullptr, nullptr);
    if (behindName == nullptr) {
        return false;
    }
    reader.SeekTo(static_cast<std::size_t>(behindName - packet));
    const unsigned short type = reader.ReadUint16Be();
    reader.Skip(2 + 4);  // class, time to live
    const unsigned short dataLength = reader.ReadUint16Be();
    const unsigned char count = reader.ReadUbyte();
    if (reader.Failed() || type != kTypeNbStat || dataLength < 1 ||
        static_cast<std::size_t>(count) * kNameEntryLength > static_cast<std::size_t>(dataLength - 1)) {
        return false;
    }
    const unsigned char* entries = reader.ReadBytes(static_cast<std::size_t>(count) * kNameEntryLength);
    if (entries == nullptr) {
        return false;
    }
    NbtNsNodeStatus status;
    std::string workstation;
    for (unsigned int i = 0; i < count; ++i) {
        const unsigned char* entry = entries + i * kNameEntryLength;
        const std::string name = CleanName(entry);
        const unsigned char suffix = entry[kNetBiosNameChars];
        const bool group = ((entry[16] << 8 | entry[17]) & kNameFlagGroup) != 0;
        if (name.empty()) {
            continue;
        }
        if (!group && suffix == kSuffixFileServer && status.computerName.empty()) {
            status.computerName = name;
        } else if (!group && suffix == kSuffixWorkstation && workstation.empty()) {
            workstation = name;
        } else if (group && suffix == kSuffixWorkstation && status.workgroup.empty()) {
            status.workgroup = name;
        }
    }
    if (status.computerName.empty()) {
        status.computerName = workstation;
    }
    if (status.computerName.empty()) {
        return false;
    }
    *out = status;
    return true;
}
