#include "net/smb1/SmbEcho.h"

#include "app/ByteOrder.h"

Smb* CreateSmbEchoRequestN() {
    Smb* smb = CreateSmbRequestN(SMB_COM_ECHO, 1, 1);
    SetUint16(smb->words, 1);  // the server answers once
    return smb;
}
