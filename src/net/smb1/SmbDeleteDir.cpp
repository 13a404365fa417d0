#include "net/smb1/SmbDeleteDir.h"

#include "net/smb1/SmbPathRequest.h"

Smb* CreateSmbDeleteDirRequestN(const std::wstring& path) {
    Smb* smb = CreateSmbRequestN(SMB_COM_DELETE_DIRECTORY, 0, SmbPathBytes(path));
    if (!smb) {
        return nullptr;
    }
    WriteSmbPath(smb->bytes, path);
    return smb;
}
