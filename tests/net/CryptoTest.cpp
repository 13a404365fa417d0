// MD4, DES and the NTLM response against published vectors.

#include <gtest/gtest.h>

#include <string>

#include "WireBytes.h"
#include "net/smb1/Des.h"
#include "net/smb1/Md4.h"
#include "net/smb1/NtlmResponse.h"

namespace {

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

Bytes Md4Of(const std::string& text) {
    Md4 md4;
    md4.Add(reinterpret_cast<const unsigned char*>(text.data()), static_cast<unsigned>(text.size()));
    Bytes hash(16);
    md4.GetHash(hash.data());
    return hash;
}

// The test suite of RFC 1320, appendix A.5.
TEST(Md4, MatchesTheRfcSuite) {
    struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "31d6cfe0d16ae931b73c59d7e0c089c0"},
        {"a", "bde52cb31de33e46245e05fbdbd6fb24"},
        {"abc", "a448017aaf21d8525fc10ae87aa6729d"},
        {"message digest", "d9130a8164549fe818874806e1c7014b"},
        {"abcdefghijklmnopqrstuvwxyz", "d79e1c308aa5bbcdeea8ed63df412da9"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "043f8582f241db351ce627e153e7f0e4"},
        {Repeat("1234567890", 8), "e33b4ddc9c38f2199c3e7b164fcc0536"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Md4Of(c.message), Hex(c.digest)) << c.message;
    }
}

TEST(Md4, PiecesHashLikeTheWholeAndInitializeStartsOver) {
    Md4 md4;
    md4.Add(reinterpret_cast<const unsigned char*>("garbage"), 7);
    md4.Initialize();
    md4.Add(reinterpret_cast<const unsigned char*>("message "), 8);
    md4.Add(reinterpret_cast<const unsigned char*>("digest"), 6);
    Bytes hash(16);
    md4.GetHash(hash.data());
    EXPECT_EQ(hash, Hex("d9130a8164549fe818874806e1c7014b"));
}

TEST(Des, EncryptsAndDecryptsKnownBlocks) {
    struct {
        const char* key;
        const char* plain;
        const char* cipher;
    } cases[] = {
        // The worked example of the standard's usual walkthrough.
        {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
        // FIPS 81 / NBS validation: key 0123456789abcdef on "Now is t".
        {"0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},
        // A weak key still gets its round keys (NBS variable-plaintext table, first entry).
        {"0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
    };
    for (const auto& c : cases) {
        Des des;
        des.Construct(Hex(c.key).data(), Des::KEY_8_BYTES);
        Bytes block = Hex(c.plain);
        des.Encrypt(block.data());
        EXPECT_EQ(block, Hex(c.cipher)) << c.key;
        des.Decrypt(block.data());
        EXPECT_EQ(block, Hex(c.plain)) << c.key;
    }
}

TEST(Des, SevenByteKeysAreSpreadOverSevenBitsPerByte) {
    unsigned char key8[8];
    Des::SpreadKey(Hex("ffffffffffffff").data(), key8);
    EXPECT_EQ(Bytes(key8, key8 + 8), Hex("fefefefefefefefe"));
    Des::SpreadKey(Hex("80000000000001").data(), key8);
    EXPECT_EQ(Bytes(key8, key8 + 8), Hex("8000000000000002"));

    // The same key given both ways encrypts alike.
    Des seven;
    Des eight;
    seven.Construct(Hex("0123456789abcd").data(), Des::KEY_7_BYTES);
    Des::SpreadKey(Hex("0123456789abcd").data(), key8);
    eight.Construct(key8, Des::KEY_8_BYTES);
    Bytes a = Hex("0011223344556677");
    Bytes b = a;
    seven.Encrypt(a.data());
    eight.Encrypt(b.data());
    EXPECT_EQ(a, b);
}

// The NTLM v1 example of the protocol documentation: password "Password", challenge 0123456789abcdef.
TEST(Ntlm, ResponseMatchesThePublishedExample) {
    unsigned char response[24];
    CreateNtlmResp(response, Hex("0123456789abcdef").data(), L"Password");
    EXPECT_EQ(Bytes(response, response + 24), Hex("67c43011f30298a2ad35ece64f16331c44bdbed927841f94"));
}

TEST(Ntlm, PasswordIsHashedAsTypedWithoutCaseChange) {
    unsigned char lower[24];
    unsigned char upper[24];
    CreateNtlmResp(lower, Hex("0123456789abcdef").data(), L"password");
    CreateNtlmResp(upper, Hex("0123456789abcdef").data(), L"PASSWORD");
    EXPECT_NE(Bytes(lower, lower + 24), Bytes(upper, upper + 24));
}

TEST(Ntlm, EmptyPasswordUsesTheHashOfNothing) {
    const Bytes challenge = Hex("0123456789abcdef");
    unsigned char response[24];
    CreateNtlmResp(response, challenge.data(), L"");

    // MD4 of zero bytes, padded to 21 bytes, gives the three DES keys.
    Bytes keys = Hex("31d6cfe0d16ae931b73c59d7e0c089c0");
    keys.resize(21, 0);
    for (int i = 0; i < 3; ++i) {
        Des des;
        des.Construct(keys.data() + 7 * i, Des::KEY_7_BYTES);
        Bytes block = challenge;
        des.Encrypt(block.data());
        EXPECT_EQ(Bytes(response + 8 * i, response + 8 * i + 8), block) << i;
    }
}

}  // namespace
