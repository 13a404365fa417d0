#pragma once
// The node status request of the NetBIOS name service (a question of type NBSTAT for the name "*", sent
// to one host) and the reading of its answer: the names the host holds, from which its computer name
// (its unique file-server or workstation name) and its workgroup (its group name) come. Every field is
// big-endian and checked against the datagram's length. Stateless; any thread.

#include <string>
#include <vector>

struct NbtNsNodeStatus {
    std::string computerName;  // trailing blanks removed; empty when the host lists none
    std::string workgroup;     // empty when the host lists none
};

// The request datagram for transId.
std::vector<unsigned char> PrepareNodeStatusRequest(unsigned short transId);

// False when the datagram is not a positive node status answer to transId, or lists no computer name.
// A name with bytes other than printable ASCII is skipped.
bool ParseNodeStatusResponse(const unsigned char* packet, unsigned int length, unsigned short transId,
                             NbtNsNodeStatus* out);
