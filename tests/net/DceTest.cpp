// The srvsvc bind and share-enumeration packets, and reading the server's list of shares.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "WireBytes.h"
#include "app/ByteOrder.h"
#include "app/Results.h"
#include "net/smb1/DceResponse.h"
#include "net/smb1/DceShareEnumAll.h"
#include "net/smb1/DceSrvsvcBind.h"

namespace {

TEST(DceSrvsvcBind, SeventyTwoBytes) {
    unsigned length = 0;
    std::unique_ptr<unsigned char[]> packet(PrepareDceSrvsvcBindPacket(&length, 1, 8092));
    ASSERT_EQ(length, 72u);
    EXPECT_EQ(Bytes(packet.get(), packet.get() + 72),
              Hex("05000b03 10000000 4800 0000 01000000"   // header: bind, 72 bytes, call 1
                  "9c1f 9c1f 00000000 01000000 0000 0100"  // fragments, group, one context id 0, one syntax
                  "c84f324b7016d30112785a47bf6ee188 03000000"
                  "045d888aeb1cc9119fe808002b104860 02000000"));
}

TEST(DceShareEnumAll, PacketLengthsAndPadding) {
    struct {
        std::wstring computer;
        unsigned length;
        bool pad;
    } cases[] = {
        {L"PC", 80, true},    // "\\PC": n = 4, five units with the terminator
        {L"PC1", 80, false},  // n = 5, six units
        {L"FILESERVER", 96, true},
    };
    for (const auto& c : cases) {
        std::wstring server = L"\\\\" + c.computer;
        unsigned length = dceNetShareEnumAllPacketLen(server);
        EXPECT_EQ(length, c.length) << length;
        Bytes packet(length, 0);
        FillDceNetShareEnumAllPacket(packet.data(), 1, 8092, server);
        EXPECT_EQ(Bytes(packet.begin(), packet.begin() + 24), [&] {
            Bytes h = Hex("05000003 10000000");
            Put16(h, length);
            Put16(h, 0);
            Put32(h, 1);
            Put32(h, length - 24);
            Put16(h, 0);
            Put16(h, 15);
            return h;
        }());
        unsigned n = static_cast<unsigned>(server.size());
        EXPECT_EQ(GetUint32(packet.data() + 24), 0x00020000u);
        EXPECT_EQ(GetUint32(packet.data() + 28), n + 1);
        EXPECT_EQ(GetUint32(packet.data() + 36), n + 1);
        EXPECT_EQ(GetUint16(packet.data() + 40), '\\');
        unsigned tail = 40 + 2 * (n + 1) + (c.pad ? 2 : 0);
        EXPECT_EQ(tail % 4, 0u);
        EXPECT_EQ(Bytes(packet.begin() + tail, packet.end()),
                  Hex("01000000 01000000 04000200 00000000 00000000 ffffffff 00000000"));
    }
}

TEST(DceShareEnumAll, TransactionOnThePipe) {
    Trans2Req req;
    ASSERT_TRUE(ConstructTransShareEnumAllRequest(req, 1, 8092, L"PC", 0x4007));
    std::unique_ptr<Smb> smb(req.ReleaseSmbN());
    EXPECT_EQ(smb->header[4], 0x25);
    EXPECT_EQ(smb->wordCount, 16);
    EXPECT_EQ(GetUint16(smb->words + 2), 80);  // total data
    EXPECT_EQ(GetUint16(smb->words + 6), 4096);
    EXPECT_EQ(GetUint16(smb->words + 28), 0x0026);
    EXPECT_EQ(GetUint16(smb->words + 30), 0x4007);
    unsigned dataOffset = GetUint16(smb->words + 24);
    EXPECT_EQ(smb->header[dataOffset], 5);
    EXPECT_EQ(GetUint16(smb->header + dataOffset + 8), 80);
    Bytes name = Hex("00 5c0050004900500045005c00 0000");  // a zero byte, then "\PIPE\"
    EXPECT_EQ(Bytes(smb->bytes, smb->bytes + name.size()), name);
}

void PutDceString(Bytes& b, const std::wstring& s, bool empty = false) {
    unsigned count = empty ? 0 : static_cast<unsigned>(s.size() + 1);
    Put32(b, count);
    Put32(b, 0);
    Put32(b, count);
    if (!empty) {
        PutUtf16(b, s);
        Put16(b, 0);
    }
    while (b.size() % 4 != 0) {
        b.push_back(0);
    }
}

struct SShareRow {
    std::wstring name;
    unsigned type;
    std::wstring remark;
    bool nullRemark = false;
};

// An answer's data: the 24 bytes ahead of the body, then level 1's container.
Bytes ShareAnswer(const std::vector<SShareRow>& shares, int arrayMaxCount = -1) {
    Bytes b = Hex("05000203 10000000 0000 0000 01000000 00000000 0000 0000");
    Put32(b, 1);
    Put32(b, 1);
    Put32(b, 0x00020000);
    Put32(b, static_cast<unsigned>(shares.size()));
    Put32(b, 0x00020004);
    Put32(b, arrayMaxCount < 0 ? static_cast<unsigned>(shares.size()) : static_cast<unsigned>(arrayMaxCount));
    unsigned referent = 0x00020008;
    for (const auto& s : shares) {
        Put32(b, referent++);
        Put32(b, s.type);
        Put32(b, s.nullRemark ? 0 : referent++);
    }
    for (const auto& s : shares) {
        PutDceString(b, s.name);
        if (!s.nullRemark) {
            PutDceString(b, s.remark, s.remark.empty());
        }
    }
    Put32(b, static_cast<unsigned>(shares.size()));  // total entries
    Put32(b, 0);                                     // resume handle
    Put32(b, 0);                                     // status
    return b;
}

unsigned Parse(const Bytes& data, std::vector<SShareInfo>* shares) {
    Trans2Resp resp;
    Smb* smb = new Smb;
    Bytes message = TransResponse(Bytes(), data, {}, 0x25);
    EXPECT_TRUE(smb->ReceiveFrom(message.data(), static_cast<unsigned>(message.size()), false));
    EXPECT_EQ(resp.FromSmb(smb), RES_OK);
    return ParseShareEnumAllResponse(resp, shares);
}

TEST(DceShareEnumAll, ReadsSharesInOrder) {
    std::vector<SShareInfo> shares;
    ASSERT_EQ(Parse(ShareAnswer({{L"public", 0, L""},
                                 {L"IPC$", 3, L"IPC Service (Samba)"},
                                 {L"docs", 0, L"Team", true},
                                 {L"odd", 0, L"x"}}),
                    &shares),
              RES_OK);
    ASSERT_EQ(shares.size(), 4u);
    EXPECT_EQ(shares[0].name, L"public");
    EXPECT_EQ(shares[0].remark, L"");
    EXPECT_EQ(shares[1].name, L"IPC$");  // read from the multiple of 4 behind an empty remark
    EXPECT_EQ(shares[1].type, 3u);
    EXPECT_EQ(shares[1].remark, L"IPC Service (Samba)");
    EXPECT_EQ(shares[2].name, L"docs");
    EXPECT_EQ(shares[2].remark, L"");  // a null remark pointer has no string behind it
    EXPECT_EQ(shares[3].name, L"odd");
    EXPECT_EQ(shares[3].remark, L"x");
}

TEST(DceShareEnumAll, RefusesAnswersThatDisagreeOrRunOut) {
    Bytes good = ShareAnswer({{L"public", 0, L"files"}, {L"music", 0, L""}});
    Bytes hugeCount = good;
    SetUint32(hugeCount.data() + 24 + 12, 0x10000000);  // entries read
    SetUint32(hugeCount.data() + 24 + 20, 0x10000000);  // and the array's maximum count
    Bytes badString = good;
    // The first name's actual count beyond its maximum count.
    std::size_t firstString = 24 + 24 + 2 * 12;
    SetUint32(badString.data() + firstString + 8, 8);
    Bytes badOffset = good;
    SetUint32(badOffset.data() + firstString + 4, 1);
    Bytes longString = good;
    SetUint32(longString.data() + firstString, 5000);
    SetUint32(longString.data() + firstString + 8, 5000);
    struct {
        const char* what;
        Bytes data;
    } cases[] = {
        {"array count disagrees with entries read", ShareAnswer({{L"a", 0, L""}}, 2)},
        {"count far beyond the data", hugeCount},
        {"actual count above maximum", badString},
        {"string offset not 0", badOffset},
        {"string past the data", longString},
        {"cut in the entries", Bytes(good.begin(), good.begin() + 24 + 24 + 8)},
        {"cut in the header", Bytes(good.begin(), good.begin() + 20)},
        {"cut in the last string", Bytes(good.begin(), good.end() - 12 - 6)},
    };
    for (const auto& c : cases) {
        std::vector<SShareInfo> shares(1);
        EXPECT_EQ(Parse(c.data, &shares), RES_BAD_RESPONSE) << c.what;
        EXPECT_EQ(shares.size(), 1u) << c.what;
    }
}

TEST(DceShareEnumAll, AnswerWithoutAListAddsNothing) {
    std::vector<SShareInfo> shares;
    EXPECT_EQ(Parse(ShareAnswer({}), &shares), RES_OK);
    EXPECT_TRUE(shares.empty());
}

}  // namespace

// One response fragment around body, whose header claims length bytes (its real length when negative);
// flags 0x01 first, 0x02 last.
Bytes Fragment(const Bytes& body, unsigned char flags, int length = -1, unsigned authLength = 0) {
    Bytes f = {5, 0, 2, flags, 0x10, 0, 0, 0};
    Put16(f, static_cast<unsigned>(length < 0 ? 24 + body.size() : length));
    Put16(f, authLength);
    Put32(f, 1);
    Put32(f, static_cast<unsigned>(body.size()));
    Put32(f, 0);
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

TEST(DceResponse, FragmentsInAnyPiecesMakeOnePacket) {
    Bytes first = Fragment(Hex("01020304 0506"), 0x01);
    Bytes second = Fragment(Hex("0708"), 0x00);
    Bytes last = Fragment(Hex("090a0b"), 0x02);
    Bytes stream = first;
    stream.insert(stream.end(), second.begin(), second.end());
    stream.insert(stream.end(), last.begin(), last.end());
    Bytes expected(first.begin(), first.begin() + 24);
    for (int i = 1; i <= 11; ++i) {
        expected.push_back(static_cast<unsigned char>(i));
    }
    // Whole, then byte by byte, then in pieces that cut across the fragments' headers.
    for (size_t piece : {stream.size(), size_t{1}, size_t{7}, size_t{29}}) {
        DceResponse reply;
        DceResponse::TState state = DceResponse::STATE_MORE;
        for (size_t at = 0; at < stream.size(); at += piece) {
            ASSERT_EQ(state, DceResponse::STATE_MORE) << piece;
            size_t n = std::min(piece, stream.size() - at);
            state = reply.Add(stream.data() + at, static_cast<unsigned>(n));
        }
        EXPECT_EQ(state, DceResponse::STATE_DONE) << piece;
        EXPECT_EQ(reply.Packet(), expected) << piece;
    }
}

TEST(DceResponse, RefusesWhatIsNoAnswer) {
    Bytes tooLong = Fragment(Bytes(60000), 0x00);
    struct {
        const char* what;
        Bytes stream;
        DceResponse::TState state;
    } cases[] = {
        {"not yet whole", Fragment(Hex("0102"), 0x03, 30), DceResponse::STATE_MORE},
        {"shorter than its header", Fragment(Bytes(), 0x03, 20), DceResponse::STATE_BAD},
        {"with authentication", Fragment(Hex("01"), 0x03, -1, 8), DceResponse::STATE_BAD},
        {"bytes behind the last fragment", Fragment(Hex("01"), 0x03, 24), DceResponse::STATE_BAD},
    };
    for (const auto& c : cases) {
        DceResponse reply;
        EXPECT_EQ(reply.Add(c.stream.data(), static_cast<unsigned>(c.stream.size())), c.state) << c.what;
    }
    // An answer that keeps growing is cut off at the bound.
    DceResponse reply;
    DceResponse::TState state = DceResponse::STATE_MORE;
    for (int i = 0; i < 20 && state == DceResponse::STATE_MORE; ++i) {
        state = reply.Add(tooLong.data(), static_cast<unsigned>(tooLong.size()));
    }
    EXPECT_EQ(state, DceResponse::STATE_BAD);
}
