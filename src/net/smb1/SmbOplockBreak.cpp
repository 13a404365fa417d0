#include "net/smb1/SmbOplockBreak.h"

#include "app/ByteOrder.h"
#include "net/WireReader.h"

namespace {

const unsigned char kWords = 8;
const unsigned short kBreakMid = 0xFFFF;
const unsigned char kOplockRelease = 0x02;

}  // namespace

bool ParseOplockBreakRequest(const Smb& message, unsigned short* fid) {
    SmbHeader header = message.Header();
    if (header.GetCommand() != SMB_COM_LOCKING_ANDX || header.GetMid() != kBreakMid ||
        message.wordCount < kWords) {
        return false;
    }
    WireReader words(message.words, 2u * message.wordCount);
    words.Skip(4);  // AndX
    unsigned short handle = words.ReadUint16();
    unsigned char lockType = words.ReadUbyte();
    if (words.Failed() || (lockType & kOplockRelease) == 0) {
        return false;
    }
    *fid = handle;
    return true;
}

Smb* CreateOplockReleaseRequestN(unsigned short fid) {
    Smb* smb = CreateSmbRequestN(SMB_COM_LOCKING_ANDX, kWords, 0);
    unsigned char* w = smb->words;
    SetFinalAndX(w);
    SetUint16(w + 4, fid);
    w[6] = kOplockRelease;
    // New oplock level, time-out and both counts stay 0.
    return smb;
}
