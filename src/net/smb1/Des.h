#pragma once
// Single-block DES (no chaining), for the NTLM challenge response. Construct builds the round keys from an
// 8-byte key whose parity bits are ignored, or from a 7-byte key that is first spread over 8 bytes of
// 7 bits each. Encrypt and Decrypt transform one 8-byte block in place. One object per key, on one
// thread at a time.

#include <memory>

class Des {
public:
    enum TKeyForm { KEY_8_BYTES, KEY_7_BYTES };

    Des();
    ~Des();
    Des(const Des&) = delete;
    Des& operator=(const Des&) = delete;

    void Construct(const unsigned char* key, TKeyForm form);
    void Encrypt(unsigned char* block) const;
    void Decrypt(unsigned char* block) const;

    // Spreads 56 key bits over 8 bytes: each byte carries 7 of them in bits 7 to 1, bit 0 clear.
    static void SpreadKey(const unsigned char* key7, unsigned char* key8);

private:
    struct State;
    std::unique_ptr<State> state_;
};
