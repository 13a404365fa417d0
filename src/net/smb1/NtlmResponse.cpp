#include "net/smb1/NtlmResponse.h"

#include <vector>

#include "app/ByteOrder.h"
#include "net/smb1/Des.h"
#include "net/smb1/Md4.h"

void CreateNtlmResp(unsigned char* out, const unsigned char* challenge, const std::wstring& password) {
    std::vector<unsigned char> units(password.size() * 2);
    for (std::size_t i = 0; i < password.size(); ++i) {
        SetUint16(&units[2 * i], static_cast<unsigned short>(password[i]));
    }
    // The 16-byte hash is padded with zeros to three 7-byte DES keys.
    unsigned char keys[21] = {};
    Md4 md4;
    md4.Add(units.data(), static_cast<unsigned int>(units.size()));
    md4.GetHash(keys);

    Des des;
    for (int i = 0; i < 3; ++i) {
        unsigned char* block = out + 8 * i;
        for (unsigned int j = 0; j < kNtlmChallengeLength; ++j) {
            block[j] = challenge[j];
        }
        des.Construct(keys + 7 * i, Des::KEY_7_BYTES);
        des.Encrypt(block);
    }
}
