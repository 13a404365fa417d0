#include "net/smb1/DceShareEnumAll.h"

#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/smb1/DceHeader.h"
#include "net/smb1/Trans2Req.h"

namespace {

const unsigned short kOperationNetrShareEnum = 15;
const unsigned int kServerNameReferent = 0x00020000;
const unsigned int kContainerReferent = 0x00020004;
const unsigned int kInfoLevel = 1;
const unsigned int kNoLengthLimit = 0xFFFFFFFF;
// Behind the common header: allocation hint, context id, cancel count and a reserved byte.
const std::size_t kResponseBodyStart = kDceHeaderLength + 8;
// Name pointer, type and remark pointer of one level-1 entry.
const std::size_t kShareEntryLength = 12;
const unsigned short kTransactNamedPipe = 0x0026;
const unsigned short kMaxData = 4096;
const wchar_t kPipeName[] = L"\\PIPE\\";

}  // namespace

unsigned int dceNetShareEnumAllPacketLen(const std::wstring& server) {
    std::size_t n = server.size();
    return static_cast<unsigned int>(2 * (n + 35) + 2 * ((n + 1) % 2));
}

void FillDceNetShareEnumAllPacket(unsigned char* packet, unsigned short callId, unsigned short maxFragment,
                                  const std::wstring& server) {
    unsigned int length = dceNetShareEnumAllPacketLen(server);
    SetDceHeader(packet, DCE_PACKET_REQUEST, static_cast<unsigned short>(length), callId);
    unsigned char* p = packet + kDceHeaderLength;
    p = WriteUint32(p, length - 24);  // allocation hint
    p = WriteUint16(p, 0);            // context id
    p = WriteUint16(p, kOperationNetrShareEnum);
    unsigned long units = static_cast<unsigned long>(server.size() + 1);
    p = WriteUint32(p, kServerNameReferent);
    p = WriteUint32(p, units);  // maximum count
    p = WriteUint32(p, 0);      // offset
    p = WriteUint32(p, units);  // actual count
    p = WriteUnicodeSz(p, server);
    if (units % 2 == 1) {
        p += 2;  // to a multiple of 4
    }
    p = WriteUint32(p, kInfoLevel);
    p = WriteUint32(p, kInfoLevel);  // union switch
    p = WriteUint32(p, kContainerReferent);
    p = WriteUint32(p, 0);  // entries read
    p = WriteUint32(p, 0);  // null array pointer
    p = WriteUint32(p, kNoLengthLimit);
    WriteUint32(p, 0);  // null resume handle
}

bool ConstructTransShareEnumAllRequest(Trans2Req& req, unsigned short callId, unsigned short maxFragment,
                                       const std::wstring& computer, unsigned short fid) {
    std::wstring server = L"\\\\" + computer;
    unsigned int length = dceNetShareEnumAllPacketLen(server);
    if (length > 0xFFFF) {
        return false;
    }
    if (!req.Construct(SMB_COM_TRANSACTION, 2, 0, static_cast<unsigned short>(length), 0, 0, kMaxData,
                       kPipeName)) {
        return false;
    }
    SetUint16(req.GetSetup(), kTransactNamedPipe);
    SetUint16(req.GetSetup() + 2, fid);
    FillDceNetShareEnumAllPacket(req.GetData(), callId, maxFragment, server);
    return true;
}

std::wstring ReadDceString(WireReader& reader) {
    unsigned int maxCount = reader.ReadUint32();
    unsigned int offset = reader.ReadUint32();
    unsigned int actualCount = reader.ReadUint32();
    if (offset != 0 || actualCount > maxCount) {
        reader.Fail();
    }
    if (reader.Failed() || actualCount == 0) {
        return std::wstring();
    }
    std::wstring text = reader.ReadUtf16(actualCount - 1);
    reader.Skip(2);  // terminator
    return text;
}

unsigned int ParseShareEnumAllResponse(const Trans2Resp& resp, std::vector<SShareInfo>* shares) {
    return ParseShareEnumAllPacket(resp.GetData(), resp.GetDataCount(), shares);
}

unsigned int ParseShareEnumAllPacket(const unsigned char* packet, unsigned int length,
                                     std::vector<SShareInfo>* shares) {
    // Alignment is counted from the body's start, itself a multiple of 4 from the data's start.
    WireReader reader(packet, length);
    reader.SeekTo(kResponseBodyStart);
    reader.Skip(8);  // information level, union switch
    unsigned int container = reader.ReadUint32();
    if (!reader.Failed() && container == 0) {
        return RES_OK;
    }
    unsigned int count = reader.ReadUint32();
    unsigned int array = reader.ReadUint32();
    if (!reader.Failed() && array == 0) {
        return count == 0 ? RES_OK : RES_BAD_RESPONSE;
    }
    unsigned int maxCount = reader.ReadUint32();
    if (reader.Failed() || maxCount != count || count > reader.Remaining() / kShareEntryLength) {
        return RES_BAD_RESPONSE;
    }
    struct SPointers {
        unsigned int name;
        unsigned int remark;
    };
    std::vector<SPointers> pointers(count);
    std::vector<SShareInfo> found(count);
    for (unsigned int i = 0; i < count; ++i) {
        pointers[i].name = reader.ReadUint32();
        found[i].type = reader.ReadUint32();
        pointers[i].remark = reader.ReadUint32();
    }
    // The strings follow in the order of the entries; a null pointer has no string behind it.
    for (unsigned int i = 0; i < count && !reader.Failed(); ++i) {
        if (pointers[i].name != 0) {
            reader.AlignTo(4);
            found[i].name = ReadDceString(reader);
        }
        if (pointers[i].remark != 0) {
            reader.AlignTo(4);
            found[i].remark = ReadDceString(reader);
        }
    }
    if (reader.Failed()) {
        return RES_BAD_RESPONSE;
    }
    shares->insert(shares->end(), found.begin(), found.end());
    return RES_OK;
}
