#include "net/smb1/SmbPathRequest.h"

#include "app/ByteOrder.h"

unsigned char* WriteSmbPath(unsigned char* p, const std::wstring& path) {
    p = WriteUbyte(p, kSmbBufferFormatAscii);
    return WriteUnicodeSz(p, path);
}
