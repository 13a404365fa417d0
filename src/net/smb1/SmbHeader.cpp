#include "net/smb1/SmbHeader.h"

#include <cstring>

#include "app/ByteOrder.h"
#include "net/smb1/SmbStatus.h"

namespace {

const unsigned int kCommand = 4;
const unsigned int kStatus = 5;
const unsigned int kFlags = 9;
const unsigned int kFlags2 = 10;
const unsigned int kTid = 24;
const unsigned int kPid = 26;
const unsigned int kUid = 28;
const unsigned int kMid = 30;

}  // namespace

void SmbHeader::ConstructRequest(unsigned char command) {
    std::memset(bytes_, 0, kSmbHeaderLength);
    bytes_[0] = 0xFF;
    bytes_[1] = 'S';
    bytes_[2] = 'M';
    bytes_[3] = 'B';
    bytes_[kCommand] = command;
    bytes_[kFlags] = SMB_FLAGS_REQUEST;
    SetUint16(bytes_ + kFlags2, SMB_FLAGS2_REQUEST);
}

void SmbHeader::SetTid(unsigned short tid) {
    SetUint16(bytes_ + kTid, tid);
}

void SmbHeader::SetPid(unsigned short pid) {
    SetUint16(bytes_ + kPid, pid);
}

void SmbHeader::SetUid(unsigned short uid) {
    SetUint16(bytes_ + kUid, uid);
}

void SmbHeader::SetMid(unsigned short mid) {
    SetUint16(bytes_ + kMid, mid);
}

unsigned char SmbHeader::GetCommand() const {
    return bytes_[kCommand];
}

unsigned short SmbHeader::GetFlags2() const {
    return GetUint16(bytes_ + kFlags2);
}

void SmbHeader::SetFlags2(unsigned short flags2) {
    SetUint16(bytes_ + kFlags2, flags2);
}

unsigned int SmbHeader::GetStatus() const {
    if ((GetFlags2() & SMB_FLAGS2_NT_STATUS) != 0) {
        return GetUint32(bytes_ + kStatus);
    }
    // Error class, a reserved byte, then the error code.
    return DosErrorToNtStatus(bytes_[kStatus], GetUint16(bytes_ + kStatus + 2));
}

unsigned short SmbHeader::GetTid() const {
    return GetUint16(bytes_ + kTid);
}

unsigned short SmbHeader::GetPid() const {
    return GetUint16(bytes_ + kPid);
}

unsigned short SmbHeader::GetUid() const {
    return GetUint16(bytes_ + kUid);
}

unsigned short SmbHeader::GetMid() const {
    return GetUint16(bytes_ + kMid);
}
