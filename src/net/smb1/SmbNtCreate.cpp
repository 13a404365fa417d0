#include "net/smb1/SmbNtCreate.h"

#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/WireReader.h"

namespace {

const unsigned char kWords = 24;
const unsigned int kFlagsOplocks = 0x00000006;
const unsigned int kAttributeNormal = 0x80;
const unsigned int kShareRead = 0x01;
const unsigned int kOptionDirectory = 0x01;
const unsigned int kOptionNonDirectory = 0x40;
const unsigned int kImpersonation = 2;
const unsigned char kSecurityFlags = 0x03;
const unsigned int kResponseFid = 5;
const unsigned int kResponseEndOfFile = 55;

unsigned int DesiredAccess(TFileMode mode) {
    switch (mode) {
        case FILE_MODE_WRITE:
            return 0x07;  // read, write and append data
        case FILE_MODE_APPEND:
            return 0x05;  // read and append data
        default:
            return 0x01;  // read data
    }
}

unsigned int CreateDisposition(TFileDisp disp, bool directory) {
    if (disp == 0) {
        return 0;  // supersede
    }
    if (disp == FILE_DISP_OPEN_EXISTING) {
        return 1;  // open
    }
    if (disp == FILE_DISP_CREATE_NEW) {
        return 2;  // create
    }
    return directory ? 3 : 5;  // open-if for a folder, overwrite-if for a file
}

}  // namespace

Smb* CreateSmbNtCreateRequestN(const std::wstring& path, TFileMode mode, TFileDisp disp, bool directory) {
    Smb* smb = CreateSmbRequestN(SMB_COM_NT_CREATE_ANDX, kWords, 2 * path.size() + 3);
    if (!smb) {
        return nullptr;
    }
    unsigned char* w = smb->words;
    SetFinalAndX(w);
    SetUint16(w + 5, static_cast<unsigned short>(2 * path.size()));
    SetUint32(w + 7, kFlagsOplocks);
    SetUint32(w + 15, DesiredAccess(mode));
    SetUint32(w + 27, kAttributeNormal);
    SetUint32(w + 31, mode == FILE_MODE_READ ? kShareRead : 0);
    SetUint32(w + 35, CreateDisposition(disp, directory));
    SetUint32(w + 39, directory ? kOptionDirectory : kOptionNonDirectory);
    SetUint32(w + 43, kImpersonation);
    w[47] = kSecurityFlags;
    WriteUnicodeSz(smb->bytes + 1, path);
    return smb;
}

unsigned int ParseNtCreateResponse(const Smb& response, unsigned short* fid, unsigned long long* endOfFile) {
    WireReader words(response.words, 2u * response.wordCount);
    words.SeekTo(kResponseFid);
    unsigned short readFid = words.ReadUint16();
    words.SeekTo(kResponseEndOfFile);
    unsigned long long readEndOfFile = words.ReadUint64();
    if (words.Failed()) {
        return RES_BAD_RESPONSE;
    }
    *fid = readFid;
    *endOfFile = readEndOfFile;
    return RES_OK;
}
