#include "net/smb1/SmbRename.h"

#include "app/ByteOrder.h"
#include "net/smb1/SmbPathRequest.h"

Smb* CreateSmbRenameRequestN(const std::wstring& oldPath, const std::wstring& newPath) {
    // The second name gets a pad byte behind its format byte to start at an even offset.
    Smb* smb = CreateSmbRequestN(SMB_COM_RENAME, 1, SmbPathBytes(oldPath) + SmbPathBytes(newPath) + 1);
    if (!smb) {
        return nullptr;
    }
    SetUint16(smb->words, kSmbSearchAttributes);
    unsigned char* p = WriteSmbPath(smb->bytes, oldPath);
    p = WriteUbyte(p, kSmbBufferFormatAscii);
    p = WriteUbyte(p, 0);
    WriteUnicodeSz(p, newPath);
    return smb;
}
