// NetBIOS name encodings, the query datagram and the reading of answers.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WireBytes.h"
#include "net/nbns/NbtNsQuery.h"
#include "net/nbns/NbtNsResponse.h"
#include "net/nbns/NetBiosName.h"

namespace {

TEST(NetBiosName, FirstLevelEncoding) {
    struct {
        std::string name;
        unsigned char suffix;
        std::string letters;
    } cases[] = {
        {"fileserver", 0x20,
         "EGEJEMEFFDEFFCFGEFFC"
         "CACACACACA"
         "CA"},
        // The 16th character is dropped.
        {"ABCDEFGHIJKLMNOP", 0x20,
         "EBECEDEEEFEGEHEIEJEKELEMENEOEP"
         "CA"},
        {"*", 0x00,
         "CK"
         "AAAAAAAAAAAAAAAAAAAAAAAAAAAA"
         "AA"},
        {"", 0x1B,
         "CACACACACACACACACACACACACACACA"
         "BL"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToL1NetBiosName(c.name, c.suffix), c.letters) << c.name;
    }
}

TEST(NetBiosName, LettersDecodeBackAndOthersAreRefused) {
    unsigned char byte = 0;
    EXPECT_TRUE(L1Decode("FA", &byte));
    EXPECT_EQ(byte, 0x50);
    EXPECT_FALSE(L1Decode("QA", &byte));
    EXPECT_FALSE(L1Decode("Aa", &byte));
}

TEST(NbtNsQuery, ScopedNameWithItsLabels) {
    int length = 0;
    std::unique_ptr<unsigned char[]> packet(
        PrepareNsQueryPacketN(&length, "SERVER.corp", 0x20, 0x1234, true));
    ASSERT_TRUE(packet);
    Bytes expected = Hex("1234 0110 0001 0000 0000 0000 20");
    std::string letters = ToL1NetBiosName("SERVER", 0x20);
    expected.insert(expected.end(), letters.begin(), letters.end());
    Bytes tail = Hex("04 434f5250 00 0020 0001");  // 4, "CORP", end of name, NB, IN
    expected.insert(expected.end(), tail.begin(), tail.end());
    EXPECT_EQ(Bytes(packet.get(), packet.get() + length), expected);
}

TEST(NbtNsQuery, UnscopedQueryToAServer) {
    int length = 0;
    std::unique_ptr<unsigned char[]> packet(PrepareNsQueryPacketN(&length, "fileserver", 0x20, 7, false));
    ASSERT_EQ(length, 34 + 16);
    EXPECT_EQ(Bytes(packet.get(), packet.get() + 4), Hex("0007 0100"));
    EXPECT_EQ(packet[12], 32);
    EXPECT_EQ(packet[45], 0);
}

TEST(NbtNsQuery, UnencodableScopeGivesNoDatagram) {
    int length = 1;
    EXPECT_EQ(PrepareNsQueryPacketN(&length, "PC." + std::string(64, 'x'), 0x20, 1, true), nullptr);
    EXPECT_EQ(length, 0);
}

Bytes L2(const std::string& name, const std::string& scope = "") {
    std::string encoded = ToL2NetBiosName(name, scope, 0x20);
    return Bytes(encoded.begin(), encoded.end());
}

TEST(ParseL2Name, ReadsNameScopeAndSuffix) {
    Bytes bytes = L2("server", "corp.example");
    bytes.push_back(0x99);  // what follows the name
    std::string name, scope;
    unsigned char suffix = 0;
    const unsigned char* end =
        ParseL2Name(bytes.data(), static_cast<unsigned>(bytes.size()), &name, &scope, &suffix);
    EXPECT_EQ(end, bytes.data() + bytes.size() - 1);
    EXPECT_EQ(name, "SERVER");
    EXPECT_EQ(scope, "CORP.EXAMPLE");
    EXPECT_EQ(suffix, 0x20);
}

TEST(ParseL2Name, RefusesMalformedNames) {
    Bytes good = L2("server", "corp");
    struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"cut inside the letters", Bytes(good.begin(), good.begin() + 20)},
        {"no end of name", Bytes(good.begin(), good.end() - 1)},
        {"label past the end",
         [&] {
             Bytes b = good;
             b[33] = 9;
             return b;
         }()},
        {"first label not 32",
         [&] {
             Bytes b = good;
             b[0] = 31;
             return b;
         }()},
        {"letter outside A-P",
         [&] {
             Bytes b = good;
             b[5] = 'Z';
             return b;
         }()},
        {"label of 64 or more",
         [&] {
             Bytes b(good.begin(), good.begin() + 33);
             b.push_back(0xC0);
             b.push_back(0x0C);
             return b;
         }()},
        {"empty", Bytes()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            ParseL2Name(c.bytes.data(), static_cast<unsigned>(c.bytes.size()), nullptr, nullptr, nullptr),
            nullptr)
            << c.what;
    }
}

struct SEntry {
    unsigned flags;
    unsigned address;
};

void PutBe16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v >> 8));
    b.push_back(static_cast<unsigned char>(v));
}

// A positive answer to query `transId` whose answer name is given in place or as `name` bytes.
Bytes Answer(unsigned short transId, const std::vector<SEntry>& entries, const Bytes& name = L2("SERVER"),
             unsigned flags = 0x8500) {
    Bytes b;
    PutBe16(b, transId);
    PutBe16(b, flags);
    PutBe16(b, 0);
    PutBe16(b, 1);
    PutBe16(b, 0);
    PutBe16(b, 0);
    b.insert(b.end(), name.begin(), name.end());
    b.insert(b.end(), {0x00, 0x20, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00});
    PutBe16(b, static_cast<unsigned>(entries.size() * 6));
    for (const SEntry& e : entries) {
        PutBe16(b, e.flags);
        PutBe16(b, e.address >> 16);
        PutBe16(b, e.address & 0xFFFF);
    }
    return b;
}

const unsigned kA = 0xC0A80105;  // 192.168.1.5
const unsigned kB = 0xC0A80107;  // 192.168.1.7

TEST(NbtNsResponse, PicksTheUniqueAddress) {
    struct {
        const char* what;
        std::vector<SEntry> entries;
        unsigned long preferred;
        bool takeFirst;
        unsigned long expected;
    } cases[] = {
        {"group first, unique second", {{0x8000, kA}, {0x0000, kB}}, 0, true, kB},
        {"the sender's own address preferred", {{0, kA}, {0, kB}}, kB, false, kB},
        {"sender not listed: the first", {{0, kA}, {0, kB}}, 0x01020304, false, kA},
        {"to a server: the first even when the sender is listed", {{0, kA}, {0, kB}}, kB, true, kA},
        {"a preferred group entry is not taken", {{0x8000, kB}, {0, kA}}, kB, false, kA},
    };
    for (const auto& c : cases) {
        Bytes packet = Answer(0x4242, c.entries);
        unsigned long address = 0;
        EXPECT_TRUE(ParseNsResponsePacket(&address, packet.data(), static_cast<unsigned>(packet.size()),
                                          0x4242, c.preferred, c.takeFirst))
            << c.what;
        EXPECT_EQ(address, c.expected) << c.what;
    }
}

// The answer's name starts right behind the 12-byte header, so a compression pointer there could only
// lead into the header (or to itself, or forward): none of those can hold a name, and all are refused.
TEST(NbtNsResponse, RefusesPointersIntoTheHeaderOrForward) {
    for (Bytes pointer : {Hex("c000"), Hex("c00c"), Hex("c00e"), Hex("c0ff"), Hex("ffff")}) {
        Bytes packet = Answer(1, {{0, kA}}, pointer);
        unsigned long address = 0;
        EXPECT_FALSE(
            ParseNsResponsePacket(&address, packet.data(), static_cast<unsigned>(packet.size()), 1, 0, true))
            << int(pointer[1]);
    }
}

TEST(NbtNsResponse, RefusesWhatIsNotAPositiveAnswer) {
    Bytes good = Answer(9, {{0, kA}});
    struct {
        const char* what;
        Bytes packet;
        unsigned short transId;
    } cases[] = {
        {"other transaction", good, 10},
        {"a query, not a response", Answer(9, {{0, kA}}, L2("SERVER"), 0x0500), 9},
        {"negative response", Answer(9, {{0, kA}}, L2("SERVER"), 0x8503), 9},
        {"another opcode", Answer(9, {{0, kA}}, L2("SERVER"), 0xA800), 9},
        {"no unique entry", Answer(9, {{0x8000, kA}}), 9},
        {"data length past the end", Bytes(good.begin(), good.end() - 1), 9},
        {"data length not a multiple of 6",
         [&] {
             Bytes b = good;
             b.push_back(0);
             b[good.size() - 7] = 7;
             return b;
         }(),
         9},
        {"short header", Bytes(good.begin(), good.begin() + 11), 9},
        {"fields cut after the name", Bytes(good.begin(), good.begin() + 12 + 34 + 9), 9},
        {"question count not 0",
         [&] {
             Bytes b = good;
             b[5] = 1;
             return b;
         }(),
         9},
        {"two answers",
         [&] {
             Bytes b = good;
             b[7] = 2;
             return b;
         }(),
         9},
    };
    for (const auto& c : cases) {
        unsigned long address = 0x11111111;
        EXPECT_FALSE(ParseNsResponsePacket(&address, c.packet.data(), static_cast<unsigned>(c.packet.size()),
                                           c.transId, 0, true))
            << c.what;
        EXPECT_EQ(address, 0x11111111u) << c.what;
    }
}

TEST(NbtNsResponse, TransactionIdNeedsAWholeHeader) {
    Bytes packet = Answer(0xBEEF, {{0, kA}});
    EXPECT_EQ(GetNsResponseTransId(packet.data(), static_cast<unsigned>(packet.size())), 0xBEEF);
    EXPECT_EQ(GetNsResponseTransId(packet.data(), 11), 0);
}

}  // namespace
