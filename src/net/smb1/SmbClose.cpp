#include "net/smb1/SmbClose.h"

#include "app/ByteOrder.h"

Smb* CreateSmbCloseRequestN(unsigned short fid) {
    Smb* smb = CreateSmbRequestN(SMB_COM_CLOSE, 3, 0);
    SetUint16(smb->words, fid);
    return smb;
}
