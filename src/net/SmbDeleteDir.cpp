#include "net/SmbDeleteDir.h"

#include "net/SmbPathRequest.h"

Smb* CreateSmbDeleteDirRequestN(const std::wstring& path) {
    Smb* smb = CreateSmbRequestN(SMB_COM_DELETE_DIRECTORY, 0, SmbPathBytes(path));
    if (!smb) {
        return nullptr;
    }
    WriteSmbPath(smb->bytes, path);
    return smb;
}
