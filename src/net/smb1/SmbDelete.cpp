#include "net/smb1/SmbDelete.h"

#include "app/ByteOrder.h"
#include "net/smb1/SmbPathRequest.h"

Smb* CreateSmbDeleteRequestN(const std::wstring& path) {
    Smb* smb = CreateSmbRequestN(SMB_COM_DELETE, 1, SmbPathBytes(path));
    if (!smb) {
        return nullptr;
    }
    SetUint16(smb->words, kSmbSearchAttributes);
    WriteSmbPath(smb->bytes, path);
    return smb;
}
