// Adopting received messages and reading the fields of answers, all against the message's own bounds.

#include <gtest/gtest.h>

#include <string>

#include "WireBytes.h"
#include "app/Results.h"
#include "net/smb1/Smb.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbNtCreate.h"
#include "net/smb1/SmbRead.h"
#include "net/smb1/SmbSessionSetup.h"
#include "net/smb1/SmbStatus.h"
#include "net/smb1/SmbWrite.h"

namespace {

TEST(SmbFraming, ReceiveFromChecksEveryCountAgainstTheLength) {
    Bytes full = SmbMessage(0x2E, 0, Hex("0100 0200"), Hex("aabbcc"));  // 2 words, 3 bytes: 4 + 35 + 4 + 3
    ASSERT_EQ(full.size(), 46u);
    struct {
        const char* what;
        unsigned length;
        bool ok;
        unsigned wordCount, byteCount;
    } cases[] = {
        {"36 bytes: no word count", 36, false, 0, 0},
        {"words cut", 40, false, 2, 0},
        {"byte count cut", 42, false, 2, 0},
        {"bytes cut", 45, false, 2, 3},
        {"whole", 46, true, 2, 3},
    };
    for (const auto& c : cases) {
        Smb smb;
        EXPECT_EQ(smb.ReceiveFrom(full.data(), c.length, false), c.ok) << c.what;
        EXPECT_EQ(smb.wordCount, c.wordCount) << c.what;
        EXPECT_EQ(smb.byteCount, c.byteCount) << c.what;
        EXPECT_EQ(smb.header, full.data() + 4) << c.what;
    }
    Smb smb;
    ASSERT_TRUE(smb.ReceiveFrom(full.data(), 46, false));
    EXPECT_EQ(smb.words, full.data() + 37);
    EXPECT_EQ(smb.bytes, full.data() + 43);
    EXPECT_EQ(smb.GetSize(), 42u);
    EXPECT_EQ(smb.Header().GetCommand(), 0x2E);
}

TEST(SmbFraming, AtStaysInsideTheMessage) {
    Bytes m = SmbMessage(0x2E, 0, Bytes(), Hex("0102030405"));  // size 40
    Smb smb;
    ASSERT_TRUE(smb.ReceiveFrom(m.data(), static_cast<unsigned>(m.size()), false));
    EXPECT_EQ(smb.At(35, 5), smb.header + 35);
    EXPECT_EQ(smb.At(40, 0), smb.header + 40);
    EXPECT_EQ(smb.At(36, 5), nullptr);
    EXPECT_EQ(smb.At(41, 0), nullptr);
    EXPECT_EQ(smb.At(1, static_cast<std::size_t>(-1)), nullptr);

    Smb unframed;
    EXPECT_FALSE(unframed.ReceiveFrom(m.data(), 38, false));
    EXPECT_EQ(unframed.At(0, 1), nullptr);
}

TEST(SmbFraming, StatusIsReadAsTheNtStatus) {
    Bytes m = SmbMessage(0x73, 0xC000006D, Bytes(), Bytes());
    Smb smb;
    ASSERT_TRUE(smb.ReceiveFrom(m.data(), static_cast<unsigned>(m.size()), false));
    EXPECT_EQ(smb.Header().GetStatus(), 0xC000006Du);
    EXPECT_TRUE(smb.Header().IsFailure());
}

TEST(SmbFraming, ErrorClassesOfServersWithoutNtStatusAreFailures) {
    // flags2 without NT status: the status field is an error class, a reserved byte and a code.
    struct {
        const char* what;
        unsigned char errorClass;
        unsigned short code;
        unsigned int status;
        unsigned long result;
    } cases[] = {
        {"success", 0, 0, 0, RES_OK},
        {"file not found", 1, 2, 0xC0000034, RES_NOT_FOUND},
        {"path not found", 1, 3, 0xC000003A, RES_BAD_SHARE},
        {"access denied", 1, 5, 0xC0000022, RES_ACCESS_DENIED},
        {"no more files", 1, 18, 0x80000006, RES_FAILURE},
        {"sharing violation", 1, 32, 0xC0000043, RES_SHARING_VIOLATION},
        {"file exists", 1, 80, 0xC0000035, RES_ALREADY_EXISTS},
        {"bad password", 2, 2, 0xC000006D, RES_BAD_LOGON},
        {"bad share name", 2, 6, 0xC00000CC, RES_BAD_SHARE},
        {"write protected", 3, 19, 0xC00000A2, RES_READ_ONLY},
        {"an error the client does not know", 1, 0x1234, 0xC0000001, RES_FAILURE},
        {"an unknown class", 0x44, 0, 0xC0000001, RES_FAILURE},
    };
    for (const auto& c : cases) {
        Bytes m = SmbMessage(0x06, 0, Bytes(), Bytes());
        m[4 + 5] = c.errorClass;
        m[4 + 7] = static_cast<unsigned char>(c.code);
        m[4 + 8] = static_cast<unsigned char>(c.code >> 8);
        m[4 + 11] = 0x80;  // Unicode only
        Smb smb;
        ASSERT_TRUE(smb.ReceiveFrom(m.data(), static_cast<unsigned>(m.size()), false)) << c.what;
        EXPECT_EQ(smb.Header().GetStatus(), c.status) << c.what;
        EXPECT_EQ(smb.Header().IsFailure(), c.errorClass != 0) << c.what;
        EXPECT_EQ(SmbStatusToBadaResult(smb.Header().GetStatus()), c.result) << c.what;
    }
}

TEST(SmbFraming, OwnedBufferIsFreed) {
    Bytes m = SmbMessage(0x04, 0, Bytes(), Bytes());
    unsigned char* copy = new unsigned char[m.size()];
    std::copy(m.begin(), m.end(), copy);
    Smb smb;
    EXPECT_TRUE(smb.ReceiveFrom(copy, static_cast<unsigned>(m.size()), true));
    // The sanitizer build reports a leak or a double free here if ownership is wrong.
}

// A READ_ANDX answer with `length` bytes claimed at `offset`.
Bytes ReadAnswer(unsigned length, unsigned offset, unsigned actualBytes) {
    Bytes words = Hex("ff000000 0000 0000 0000");
    Put16(words, length & 0xFFFF);
    Put16(words, offset);
    Put16(words, length >> 16);
    words.resize(24, 0);
    Bytes bytes(1, 0);
    for (unsigned i = 0; i < actualBytes; ++i) {
        bytes.push_back(static_cast<unsigned char>(i));
    }
    return SmbMessage(0x2E, 0, words, bytes);
}

TEST(SmbFraming, ReadAnswerDataMustLieInsideAndFitTheRequest) {
    // Data starts at 32 + 1 + 24 + 2 + 1 = 60.
    struct {
        const char* what;
        Bytes message;
        unsigned maxCount;
        unsigned result;
        unsigned count;
    } cases[] = {
        {"whole data", ReadAnswer(10, 60, 10), 100, RES_OK, 10},
        {"empty read", ReadAnswer(0, 0, 0), 100, RES_OK, 0},
        {"data past the message", ReadAnswer(11, 60, 10), 100, RES_BAD_RESPONSE, 0},
        {"offset past the message", ReadAnswer(1, 0xFFFF, 10), 100, RES_BAD_RESPONSE, 0},
        {"more than was asked for", ReadAnswer(10, 60, 10), 9, RES_BAD_RESPONSE, 0},
        {"high length word counts", ReadAnswer(0x10000, 60, 10), 0xFFFFFFFF, RES_BAD_RESPONSE, 0},
        // A large read's data runs past what the 16-bit byte count says, up to the transport's length.
        {"large read", ReadAnswer(130048, 60, 130048), 130048, RES_OK, 130048},
        {"large read cut short", ReadAnswer(130048, 60, 130047), 130048, RES_BAD_RESPONSE, 0},
        {"too few words", SmbMessage(0x2E, 0, Hex("ff000000"), Bytes()), 100, RES_BAD_RESPONSE, 0},
    };
    for (const auto& c : cases) {
        Smb smb;
        ASSERT_TRUE(smb.ReceiveFrom(c.message.data(), static_cast<unsigned>(c.message.size()), false))
            << c.what;
        const unsigned char* data = nullptr;
        unsigned count = 0;
        EXPECT_EQ(ParseReadResponse(smb, c.maxCount, &data, &count), c.result) << c.what;
        EXPECT_EQ(count, c.count) << c.what;
        if (c.result == RES_OK && count > 0) {
            EXPECT_EQ(data, smb.header + 60) << c.what;
        }
    }
}

TEST(SmbFraming, WriteAnswerCountCannotExceedWhatWasSent) {
    Bytes words = Hex("ff000000 0010 0000 0000 0000");
    Bytes m = SmbMessage(0x2F, 0, words, Bytes());
    Smb smb;
    ASSERT_TRUE(smb.ReceiveFrom(m.data(), static_cast<unsigned>(m.size()), false));
    unsigned count = 0;
    EXPECT_EQ(ParseWriteResponse(smb, 4096, &count), RES_OK);
    EXPECT_EQ(count, 4096u);
    EXPECT_EQ(ParseWriteResponse(smb, 4095, &count), RES_BAD_RESPONSE);
}

TEST(SmbFraming, NtCreateAnswerGivesFidAndEndOfFile) {
    Bytes words(68, 0);
    words[0] = 0xFF;
    words[5] = 0x34;
    words[6] = 0x12;
    words[55] = 0xE8;
    words[56] = 0x03;
    Bytes m = SmbMessage(0xA2, 0, words, Bytes());
    Smb smb;
    ASSERT_TRUE(smb.ReceiveFrom(m.data(), static_cast<unsigned>(m.size()), false));
    unsigned short fid = 0;
    unsigned long long eof = 0;
    EXPECT_EQ(ParseNtCreateResponse(smb, &fid, &eof), RES_OK);
    EXPECT_EQ(fid, 0x1234);
    EXPECT_EQ(eof, 1000u);

    Bytes shortWords(62, 0);
    Bytes bad = SmbMessage(0xA2, 0, shortWords, Bytes());
    Smb badSmb;
    ASSERT_TRUE(badSmb.ReceiveFrom(bad.data(), static_cast<unsigned>(bad.size()), false));
    EXPECT_EQ(ParseNtCreateResponse(badSmb, &fid, &eof), RES_BAD_RESPONSE);
}

Bytes NegotiateWords(unsigned char challengeLength) {
    Bytes words(34, 0);
    words[2] = 0x03;
    words[3] = 50;
    words[7] = 0x04;
    words[8] = 0x41;  // 16644
    words[31] = 0x88;
    words[32] = 0xFF;  // -120
    words[33] = challengeLength;
    return words;
}

TEST(SmbFraming, NegotiateAnswerIsCheckedAndRead) {
    Bytes bytes = Hex("0102030405060708");
    PutUtf16(bytes, L"WG");
    Bytes m = SmbMessage(0x72, 0, NegotiateWords(8), bytes);  // the domain lacks its terminator
    Smb smb;
    ASSERT_TRUE(smb.ReceiveFrom(m.data(), static_cast<unsigned>(m.size()), false));
    SNegotiateInfo info;
    ASSERT_EQ(ParseNegotiateResponse(smb, &info), RES_OK);
    EXPECT_EQ(info.securityMode, 3);
    EXPECT_EQ(info.maxMpx, 50);
    EXPECT_EQ(info.maxBuffer, 16644u);
    EXPECT_EQ(info.serverTimeZone, -120);
    EXPECT_EQ(info.challenge, Hex("0102030405060708"));
    EXPECT_EQ(info.domain, L"WG");

    struct {
        const char* what;
        Bytes message;
    } bad[] = {
        {"challenge longer than the bytes", SmbMessage(0x72, 0, NegotiateWords(9), Hex("0102030405060708"))},
        {"challenge/response with a short challenge",
         SmbMessage(0x72, 0, NegotiateWords(4), Hex("01020304"))},
        {"not 17 words", SmbMessage(0x72, 0, Hex("0000"), Bytes())},
    };
    for (const auto& c : bad) {
        Smb b;
        ASSERT_TRUE(b.ReceiveFrom(c.message.data(), static_cast<unsigned>(c.message.size()), false))
            << c.what;
        EXPECT_EQ(ParseNegotiateResponse(b, &info), RES_BAD_RESPONSE) << c.what;
    }
}

}  // namespace

TEST(SmbFraming, GuestBitOfTheLogonAnswer) {
    struct {
        const char* what;
        Bytes words;
        bool guest;
    } cases[] = {
        {"user", Hex("ff000000 0000"), false},
        {"guest", Hex("ff000000 0100"), true},
        {"guest among other bits", Hex("ff000000 0300"), true},
        {"no action word", Hex("ff000000"), false},
    };
    for (const auto& c : cases) {
        Bytes m = SmbMessage(0x73, 0, c.words, Bytes());
        Smb smb;
        ASSERT_TRUE(smb.ReceiveFrom(m.data(), static_cast<unsigned>(m.size()), false)) << c.what;
        EXPECT_EQ(IsGuestLogon(smb), c.guest) << c.what;
    }
}
