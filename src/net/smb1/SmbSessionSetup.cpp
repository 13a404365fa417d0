#include "net/smb1/SmbSessionSetup.h"

#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/smb1/NtlmResponse.h"
#include "net/smb1/SmbNegotiate.h"

namespace {

const unsigned char kWords = 13;
const wchar_t kNativeName[] = L"Bada";

}  // namespace

Smb* CreateSessionSetupRequestN(const std::wstring& user, const std::wstring& password,
                                const Smb* negotiateResponse, unsigned long capabilities,
                                unsigned short maxBuffer, unsigned short maxMpx, bool userLevel,
                                bool encryptPasswords) {
    SNegotiateInfo negotiate;
    if (!negotiateResponse || ParseNegotiateResponse(*negotiateResponse, &negotiate) != RES_OK) {
        return nullptr;
    }
    if (encryptPasswords && negotiate.challenge.size() < kNtlmChallengeLength) {
        return nullptr;
    }
    std::size_t oemLength = 0;
    std::size_t unicodeLength = 0;
    std::size_t passwordBlock = 0;
    if (userLevel || !password.empty()) {
        if (encryptPasswords) {
            oemLength = unicodeLength = kNtlmResponseLength;
            passwordBlock = 2 * kNtlmResponseLength;
        } else {
            unicodeLength = passwordBlock = 2 * password.size();
        }
    }
    const std::wstring native(kNativeName);
    std::size_t byteCount = passwordBlock + 1 + 2 * (user.size() + 1) + 2 * (negotiate.domain.size() + 1) +
                            4 * (native.size() + 1);
    Smb* smb = CreateSmbRequestN(SMB_COM_SESSION_SETUP_ANDX, kWords, byteCount);
    if (!smb) {
        return nullptr;
    }
    unsigned char* w = smb->words;
    SetFinalAndX(w);
    SetUint16(w + 4, maxBuffer);
    SetUint16(w + 6, maxMpx);
    SetUint32(w + 10, negotiate.sessionKey);
    SetUint16(w + 14, static_cast<unsigned short>(oemLength));
    SetUint16(w + 16, static_cast<unsigned short>(unicodeLength));
    SetUint32(w + 22, capabilities);

    unsigned char* p = smb->bytes;
    if (passwordBlock > 0 && encryptPasswords) {
        // No LAN Manager hash is ever made: the NTLM response goes into both fields.
        CreateNtlmResp(p, negotiate.challenge.data(), password);
        CreateNtlmResp(p + kNtlmResponseLength, negotiate.challenge.data(), password);
        p += passwordBlock;
    } else if (passwordBlock > 0) {
        for (wchar_t unit : password) {
            p = WriteUint16(p, static_cast<unsigned short>(unit));
        }
    }
    p = WriteUbyte(p, 0);
    p = WriteUnicodeSz(p, user);
    p = WriteUnicodeSz(p, negotiate.domain);
    p = WriteUnicodeSz(p, native);
    WriteUnicodeSz(p, native);
    return smb;
}

bool IsGuestLogon(const Smb& response) {
    // The action word follows the AndX block; its lowest bit is the guest bit.
    constexpr unsigned int kActionOffset = 4;
    constexpr unsigned short kActionGuest = 0x0001;
    const unsigned char* action = response.wordCount >= 3 ? response.words + kActionOffset : nullptr;
    return action != nullptr && (GetUint16(action) & kActionGuest) != 0;
}
