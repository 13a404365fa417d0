#pragma once
// NetrShareEnum (srvsvc operation 15, information level 1) over the "\srvsvc" pipe: the DCE/RPC request,
// the TRANSACTION that carries it, and the reading of the answer into share records. The answer comes from
// the server: every NDR count, pointer and string is checked against the answer's data before it is used.
// Stateless; any thread.

#include <string>
#include <vector>

#include "net/WireReader.h"
#include "net/smb1/Trans2Req.h"
#include "net/smb1/Trans2Resp.h"

struct SShareInfo {
    unsigned int type = 0;  // 0 is a disk share
    std::wstring name;
    std::wstring remark;
};

// The request packet's length for `server` ("\\" and the computer name).
unsigned int dceNetShareEnumAllPacketLen(const std::wstring& server);

// Writes the request into `packet`, a zero-filled buffer of dceNetShareEnumAllPacketLen(server) bytes.
void FillDceNetShareEnumAllPacket(unsigned char* packet, unsigned short callId, unsigned short maxFragment,
                                  const std::wstring& server);

// A TRANSACTION on the open pipe `fid` carrying the request for "\\" + `computer`. False when the name is
// too long for one message.
bool ConstructTransShareEnumAllRequest(Trans2Req& req, unsigned short callId, unsigned short maxFragment,
                                       const std::wstring& computer, unsigned short fid);

// One NDR conformant varying string: maximum count, offset, actual count (counting the terminator), the
// units and the terminator. An actual count of 0 is the empty string. Fails the reader when the offset is
// not 0, the actual count exceeds the maximum, or the units run past the data.
std::wstring ReadDceString(WireReader& reader);

// Appends the answer's shares to *shares. RES_BAD_RESPONSE, appending nothing, when the answer runs past
// its data or its counts disagree; an answer without a share list appends nothing and succeeds.
unsigned int ParseShareEnumAllResponse(const Trans2Resp& resp, std::vector<SShareInfo>* shares);
// The same for the answer's packet of `length` bytes at `packet`, collected off the pipe.
unsigned int ParseShareEnumAllPacket(const unsigned char* packet, unsigned int length,
                                     std::vector<SShareInfo>* shares);
