// The request builders, byte for byte where the layout is fixed.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WireBytes.h"
#include "app/ByteOrder.h"
#include "net/smb1/NtlmResponse.h"
#include "net/smb1/Smb.h"
#include "net/smb1/SmbClose.h"
#include "net/smb1/SmbDelete.h"
#include "net/smb1/SmbDeleteDir.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbNtCreate.h"
#include "net/smb1/SmbOplockBreak.h"
#include "net/smb1/SmbRead.h"
#include "net/smb1/SmbRename.h"
#include "net/smb1/SmbSessionSetup.h"
#include "net/smb1/SmbTreeConnect.h"
#include "net/smb1/SmbWrite.h"

namespace {

Bytes Wire(const Smb& smb) {
    unsigned size = 0;
    const unsigned char* p = smb.GetBuffer(&size);
    return Bytes(p, p + size);
}

Bytes Utf16Sz(const std::wstring& s) {
    Bytes b;
    PutUtf16(b, s);
    Put16(b, 0);
    return b;
}

Bytes BytesOf(const Smb& smb) {
    return Bytes(smb.bytes, smb.bytes + smb.byteCount);
}

TEST(SmbRequest, NegotiateIsFiftyOneBytes) {
    std::unique_ptr<Smb> smb(CreateSmbNegotiateProtocolRequestN());
    Bytes expected =
        Hex("0000002f ff534d42 72 00000000 18 43c0 000000000000000000000000 0000 0000 0000 0000 00 0c00");
    expected.push_back(0x02);
    for (char c : std::string("NT LM 0.12")) {
        expected.push_back(static_cast<unsigned char>(c));
    }
    expected.push_back(0);
    EXPECT_EQ(Wire(*smb), expected);
    EXPECT_EQ(expected.size(), 51u);
}

TEST(SmbRequest, HeaderIdentifiersAreStampedInPlace) {
    std::unique_ptr<Smb> smb(CreateSmbCloseRequestN(0x1234));
    smb->Header().SetTid(1);
    smb->Header().SetPid(2);
    smb->Header().SetUid(3);
    smb->Header().SetMid(0xBEEF);
    EXPECT_EQ(Bytes(smb->header + 24, smb->header + 32), Hex("0100 0200 0300 efbe"));
    EXPECT_EQ(smb->Header().GetMid(), 0xBEEF);
    EXPECT_EQ(Bytes(smb->words, smb->words + 6), Hex("3412 00000000"));
    EXPECT_EQ(smb->bytes, nullptr);
}

TEST(SmbRequest, TreeConnectPasswordsAndPads) {
    Bytes challengeBytes = Hex("0123456789abcdef");
    unsigned char ntlm[24];
    CreateNtlmResp(ntlm, challengeBytes.data(), L"Password");
    struct {
        const char* what;
        std::wstring password;
        bool encrypt;
        unsigned passwordLength;
        Bytes passwordBytes;  // including any pad byte
    } cases[] = {
        {"empty: one zero byte, no pad", L"", true, 1, Hex("00")},
        {"three characters: no pad", L"abc", false, 3, Hex("616263")},
        {"four characters: one pad", L"abcd", false, 4, Hex("61626364 00")},
        {"low bytes of each unit", L"\u0141x", false, 2, Hex("4178 00")},
        {"encrypted: the response and a pad", L"Password", true, 24,
         [&] {
             Bytes b(ntlm, ntlm + 24);
             b.push_back(0);
             return b;
         }()},
    };
    const std::wstring path = L"\\\\SERVER\\share";
    for (const auto& c : cases) {
        std::unique_ptr<Smb> smb(
            CreateSmbTreeConnectRequestN(c.password, challengeBytes.data(), 0x77, path, c.encrypt));
        ASSERT_TRUE(smb) << c.what;
        EXPECT_EQ(smb->header[4], 0x75);
        EXPECT_EQ(smb->Header().GetUid(), 0x77) << c.what;
        Bytes words = Hex("ff000000 0000");
        Put16(words, c.passwordLength);
        EXPECT_EQ(Bytes(smb->words, smb->words + 8), words) << c.what;
        Bytes expected = c.passwordBytes;
        Bytes name = Utf16Sz(path);
        expected.insert(expected.end(), name.begin(), name.end());
        for (char ch : std::string("?????")) {
            expected.push_back(static_cast<unsigned char>(ch));
        }
        expected.push_back(0);
        EXPECT_EQ(BytesOf(*smb), expected) << c.what;
        // The path starts at an even offset from the header.
        EXPECT_EQ((35 + 8 + c.passwordBytes.size()) % 2, 0u) << c.what;
    }
}

TEST(SmbRequest, WriteOfTheLargestBlock) {
    Bytes data(61440, 0x5A);
    std::unique_ptr<Smb> smb(CreateSmbWriteRequestN(0x4001, 0x0000000123456789ull, data.data(), 61440));
    ASSERT_TRUE(smb);
    EXPECT_EQ(smb->byteCount, 61441);
    EXPECT_EQ(GetUint16(smb->words + 22), 64);  // data offset from the header
    EXPECT_EQ(smb->header[64], 0x5A);
    EXPECT_EQ(smb->header[63], 0);  // the pad byte
    EXPECT_EQ(Bytes(smb->words, smb->words + 28),
              Hex("ff000000 0140 89674523 00000000 0000 0000 0000 00f0 4000 01000000"));
    unsigned size = 0;
    smb->GetBuffer(&size);
    EXPECT_EQ(size, 4u + 35 + 28 + 61441);
}

TEST(SmbRequest, WriteOfALargeBlock) {
    // 130,048 = 0x1FC00: the data length's high word is 1, the byte count keeps the low 16 bits of the
    // pad byte and the data.
    Bytes data(130048, 0x5A);
    std::unique_ptr<Smb> smb(CreateSmbWriteRequestN(0x4001, 0x0000000123456789ull, data.data(), 130048));
    ASSERT_TRUE(smb);
    EXPECT_EQ(Bytes(smb->words, smb->words + 28),
              Hex("ff000000 0140 89674523 00000000 0000 0000 0100 00fc 4000 01000000"));
    EXPECT_EQ(smb->byteCount, 0xFC01);
    EXPECT_EQ(smb->header[63], 0);  // the pad byte
    EXPECT_EQ(smb->header[64], 0x5A);
    EXPECT_EQ(smb->header[64 + 130047], 0x5A);
    unsigned size = 0;
    const unsigned char* wire = smb->GetBuffer(&size);
    EXPECT_EQ(size, 4u + 35 + 28 + 130049);
    // The transport header carries the whole length.
    EXPECT_EQ(Bytes(wire, wire + 4), Hex("00 01fc40"));
}

TEST(SmbRequest, WriteLargerThanOneMessageIsRefused) {
    Bytes data(kMaxSmbLargeWriteCount + 1);
    EXPECT_EQ(CreateSmbWriteRequestN(1, 0, data.data(), kMaxSmbLargeWriteCount + 1), nullptr);
}

TEST(SmbRequest, ReadOfALargeBlockAsksForTheHighBitsToo) {
    std::unique_ptr<Smb> smb(CreateSmbReadRequestN(0x0102, 0x0000000500000010ull, 130048));
    EXPECT_EQ(Bytes(smb->words, smb->words + 24),
              Hex("ff000000 0201 10000000 00fc 0000 01000000 0000 05000000"));
}

TEST(SmbRequest, ReadAsksForTheLow16BitsAtA64BitOffset) {
    std::unique_ptr<Smb> smb(CreateSmbReadRequestN(0x0102, 0x0000000500000010ull, 61440));
    EXPECT_EQ(smb->header[4], 0x2E);
    EXPECT_EQ(Bytes(smb->words, smb->words + 24),
              Hex("ff000000 0201 10000000 00f0 0000 00000000 0000 05000000"));
    EXPECT_EQ(smb->byteCount, 0);
}

TEST(SmbRequest, OplockReleaseAndTheBreakItAnswers) {
    std::unique_ptr<Smb> release(CreateOplockReleaseRequestN(0x4001));
    EXPECT_EQ(release->header[4], 0x24);
    EXPECT_EQ(Bytes(release->words, release->words + 16), Hex("ff000000 0140 02 00 00000000 0000 0000"));
    EXPECT_EQ(release->byteCount, 0);

    // Only the server's unasked request (multiplex id 0xFFFF) with the release bit breaks an oplock.
    struct {
        const char* what;
        unsigned short mid;
        Bytes words;
        bool isBreak;
    } cases[] = {
        {"break to none", 0xFFFF, Hex("ff000000 0240 02 00 00000000 0000 0000"), true},
        {"break to level II", 0xFFFF, Hex("ff000000 0240 02 01 00000000 0000 0000"), true},
        {"an answer to a lock", 0x0007, Hex("ff000000 0240 02 00 00000000 0000 0000"), false},
        {"no release bit", 0xFFFF, Hex("ff000000 0240 00 00 00000000 0000 0000"), false},
        {"words cut short", 0xFFFF, Hex("ff000000 0240"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes message = SmbMessage(0x24, 0, c.words, {});
        message[4 + 30] = static_cast<unsigned char>(c.mid);
        message[4 + 31] = static_cast<unsigned char>(c.mid >> 8);
        Smb smb;
        ASSERT_TRUE(smb.ReceiveFrom(message.data(), static_cast<unsigned>(message.size()), false));
        unsigned short fid = 0;
        EXPECT_EQ(ParseOplockBreakRequest(smb, &fid), c.isBreak);
        if (c.isBreak) {
            EXPECT_EQ(fid, 0x4002);
        }
    }
}

TEST(SmbRequest, NtCreateDispositionsAccessAndOptions) {
    struct {
        TFileMode mode;
        TFileDisp disp;
        bool directory;
        unsigned access, share, disposition, options;
    } cases[] = {
        {FILE_MODE_READ, FILE_DISP_OPEN_EXISTING, false, 0x01, 0x01, 1, 0x40},
        {FILE_MODE_WRITE, FILE_DISP_CREATE_NEW, false, 0x07, 0, 2, 0x40},
        {FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS, false, 0x07, 0, 5, 0x40},
        {FILE_MODE_WRITE, FILE_DISP_CREATE_ALWAYS, true, 0x07, 0, 3, 0x01},
        {FILE_MODE_WRITE, FILE_DISP_CREATE_NEW, true, 0x07, 0, 2, 0x01},
        {FILE_MODE_APPEND, FILE_DISP_OPEN_EXISTING, false, 0x05, 0, 1, 0x40},
        {FILE_MODE_WRITE, static_cast<TFileDisp>(0), false, 0x07, 0, 0, 0x40},
    };
    const std::wstring path = L"\\dir\\file.txt";
    for (const auto& c : cases) {
        std::unique_ptr<Smb> smb(CreateSmbNtCreateRequestN(path, c.mode, c.disp, c.directory));
        const unsigned char* w = smb->words;
        SCOPED_TRACE(testing::Message() << c.mode << "/" << c.disp << "/" << c.directory);
        EXPECT_EQ(smb->wordCount, 24);
        EXPECT_EQ(GetUint16(w + 5), 2 * path.size());
        EXPECT_EQ(GetUint32(w + 7), 6u);
        EXPECT_EQ(GetUint32(w + 15), c.access);
        EXPECT_EQ(GetUint32(w + 27), 0x80u);
        EXPECT_EQ(GetUint32(w + 31), c.share);
        EXPECT_EQ(GetUint32(w + 35), c.disposition);
        EXPECT_EQ(GetUint32(w + 39), c.options);
        EXPECT_EQ(GetUint32(w + 43), 2u);
        EXPECT_EQ(w[47], 3);
        Bytes expected = {0};
        Bytes name = Utf16Sz(path);
        expected.insert(expected.end(), name.begin(), name.end());
        EXPECT_EQ(BytesOf(*smb), expected);
    }
}

TEST(SmbRequest, PathCommandsCarryFormatBytesAndPads) {
    std::unique_ptr<Smb> del(CreateSmbDeleteRequestN(L"\\a.txt"));
    EXPECT_EQ(del->header[4], 0x06);
    EXPECT_EQ(GetUint16(del->words), 0x0036);
    Bytes expected = {0x04};
    Bytes name = Utf16Sz(L"\\a.txt");
    expected.insert(expected.end(), name.begin(), name.end());
    EXPECT_EQ(BytesOf(*del), expected);
    EXPECT_EQ(del->byteCount, 2 * 6 + 3);

    std::unique_ptr<Smb> rmdir(CreateSmbDeleteDirRequestN(L"\\a.txt"));
    EXPECT_EQ(rmdir->header[4], 0x01);
    EXPECT_EQ(rmdir->wordCount, 0);
    EXPECT_EQ(BytesOf(*rmdir), expected);

    std::unique_ptr<Smb> rename(CreateSmbRenameRequestN(L"\\a", L"\\bc"));
    EXPECT_EQ(rename->header[4], 0x07);
    EXPECT_EQ(GetUint16(rename->words), 0x0036);
    EXPECT_EQ(rename->byteCount, 2 * (2 + 3) + 7);
    EXPECT_EQ(BytesOf(*rename), Hex("04 5c006100 0000 04 00 5c0062006300 0000"));
}

TEST(SmbRequest, PathsTooLongForOneMessageAreRefused) {
    std::wstring longPath(40000, L'x');
    EXPECT_EQ(CreateSmbDeleteRequestN(longPath), nullptr);
    EXPECT_EQ(CreateSmbDeleteDirRequestN(longPath), nullptr);
    EXPECT_EQ(CreateSmbRenameRequestN(longPath, L"\\b"), nullptr);
    EXPECT_EQ(CreateSmbNtCreateRequestN(longPath, FILE_MODE_READ, FILE_DISP_OPEN_EXISTING, false), nullptr);
    EXPECT_EQ(CreateSmbTreeConnectRequestN(L"", nullptr, 1, longPath, false), nullptr);
}

// A negotiate answer of 17 words with an 8-byte challenge and the domain behind it.
Bytes NegotiateAnswer(unsigned char securityMode, const Bytes& challenge, const std::wstring& domain) {
    Bytes words;
    Put16(words, 0);  // dialect index
    words.push_back(securityMode);
    Put16(words, 50);          // max mpx
    Put16(words, 1);           // VCs
    Put32(words, 16644);       // max buffer
    Put32(words, 65536);       // raw size
    Put32(words, 0xA1B2C3D4);  // session key
    Put32(words, 0x8000E3FD);  // capabilities
    Put64(words, 0);
    Put16(words, static_cast<unsigned>(-120) & 0xFFFF);
    words.push_back(static_cast<unsigned char>(challenge.size()));
    Bytes bytes = challenge;
    PutUtf16(bytes, domain);
    Put16(bytes, 0);
    return SmbMessage(0x72, 0, words, bytes);
}

TEST(SmbRequest, SessionSetupWithEncryptedPassword) {
    Bytes answer = NegotiateAnswer(0x03, Hex("0123456789abcdef"), L"WORKGROUP");
    Smb negotiate;
    ASSERT_TRUE(negotiate.ReceiveFrom(answer.data(), static_cast<unsigned>(answer.size()), false));
    std::unique_ptr<Smb> smb(
        CreateSessionSetupRequestN(L"User", L"Password", &negotiate, 0xC0DC, 8192, 8, true, true));
    ASSERT_TRUE(smb);
    EXPECT_EQ(smb->header[4], 0x73);
    EXPECT_EQ(Bytes(smb->words, smb->words + 26),
              Hex("ff000000 0020 0800 0000 d4c3b2a1 1800 1800 00000000 dcc00000"));
    Bytes expected = Hex("67c43011f30298a2ad35ece64f16331c44bdbed927841f94");
    expected.insert(expected.end(), expected.begin(), expected.end());
    expected.push_back(0);
    for (const wchar_t* s : {L"User", L"WORKGROUP", L"Bada", L"Bada"}) {
        Bytes b = Utf16Sz(s);
        expected.insert(expected.end(), b.begin(), b.end());
    }
    EXPECT_EQ(BytesOf(*smb), expected);
    EXPECT_EQ(smb->byteCount, 2 * 5 + 2 * 10 + 20 + 1 + 48);
}

TEST(SmbRequest, SessionSetupPasswordBlocks) {
    struct {
        const char* what;
        std::wstring password;
        bool userLevel, encrypt;
        unsigned oem, unicode;
        Bytes block;
    } cases[] = {
        {"share level without password", L"", false, true, 0, 0, Bytes()},
        {"plain user-level password", L"pw", true, false, 0, 4, Hex("70007700")},
        {"empty user-level password still gets a response", L"", true, true, 24, 24, Bytes()},
    };
    Bytes answer = NegotiateAnswer(0x03, Hex("0123456789abcdef"), L"");
    Smb negotiate;
    ASSERT_TRUE(negotiate.ReceiveFrom(answer.data(), static_cast<unsigned>(answer.size()), false));
    for (const auto& c : cases) {
        std::unique_ptr<Smb> smb(
            CreateSessionSetupRequestN(L"u", c.password, &negotiate, 0, 8192, 8, c.userLevel, c.encrypt));
        ASSERT_TRUE(smb) << c.what;
        EXPECT_EQ(GetUint16(smb->words + 14), c.oem) << c.what;
        EXPECT_EQ(GetUint16(smb->words + 16), c.unicode) << c.what;
        unsigned blockSize = c.oem + c.unicode;
        EXPECT_EQ(smb->byteCount, blockSize + 1 + 4 + 2 + 20) << c.what;
        if (!c.block.empty()) {
            EXPECT_EQ(Bytes(smb->bytes, smb->bytes + blockSize), c.block) << c.what;
        }
        EXPECT_EQ(smb->bytes[blockSize], 0) << c.what;  // pad, so that the user name starts even
    }
}

TEST(SmbRequest, SessionSetupNeedsAUsableNegotiateAnswer) {
    Bytes shortChallenge = NegotiateAnswer(0x03, Hex("01020304"), L"");
    Smb negotiate;
    ASSERT_TRUE(
        negotiate.ReceiveFrom(shortChallenge.data(), static_cast<unsigned>(shortChallenge.size()), false));
    EXPECT_EQ(CreateSessionSetupRequestN(L"u", L"p", &negotiate, 0, 8192, 8, true, true), nullptr);
    EXPECT_EQ(CreateSessionSetupRequestN(L"u", L"p", nullptr, 0, 8192, 8, true, true), nullptr);
}

}  // namespace
