#include "net/smb1/SmbTreeConnect.h"

#include "app/ByteOrder.h"
#include "net/smb1/NtlmResponse.h"

namespace {

const unsigned char kWords = 4;
const char kAnyService[] = "?????";

}  // namespace

Smb* CreateSmbTreeConnectRequestN(const std::wstring& password, const unsigned char* challenge,
                                  unsigned short uid, const std::wstring& path, bool encryptPasswords) {
    std::size_t passwordLength;
    std::size_t pad;
    if (password.empty()) {
        passwordLength = 1;
        pad = 0;
    } else if (encryptPasswords) {
        passwordLength = kNtlmResponseLength;
        pad = 1;
    } else {
        passwordLength = password.size();
        pad = passwordLength % 2 == 0 ? 1 : 0;
    }
    std::size_t byteCount = passwordLength + pad + 2 * (path.size() + 1) + sizeof(kAnyService);
    Smb* smb = CreateSmbRequestN(SMB_COM_TREE_CONNECT_ANDX, kWords, byteCount);
    if (!smb) {
        return nullptr;
    }
    smb->Header().SetUid(uid);
    SetFinalAndX(smb->words);
    SetUint16(smb->words + 6, static_cast<unsigned short>(passwordLength));

    unsigned char* p = smb->bytes;
    if (password.empty()) {
        p = WriteUbyte(p, 0);
    } else if (encryptPasswords) {
        CreateNtlmResp(p, challenge, password);
        p += kNtlmResponseLength;
    } else {
        for (wchar_t unit : password) {
            p = WriteUbyte(p, static_cast<unsigned char>(unit & 0xFF));
        }
    }
    p += pad;
    p = WriteUnicodeSz(p, path);
    WriteOemSz(p, kAnyService);
    return smb;
}
