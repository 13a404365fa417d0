// TRANSACTION2 requests, the checking of answers and the reading of listings and information levels.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "WireBytes.h"
#include "app/ByteOrder.h"
#include "app/Results.h"
#include "fs/FsTypes.h"
#include "net/SmbDirEntry.h"
#include "net/smb1/SmbDateTime.h"
#include "net/smb1/Trans2FindFirst2.h"
#include "net/smb1/Trans2FindNext2.h"
#include "net/smb1/Trans2FindResponse.h"
#include "net/smb1/Trans2QueryFsInfo.h"
#include "net/smb1/Trans2QueryPathInfo.h"
#include "net/smb1/Trans2Req.h"
#include "net/smb1/Trans2Resp.h"
#include "net/smb1/Trans2SetPathInfo.h"

namespace {

Bytes Utf16Sz(const std::wstring& s) {
    Bytes b;
    PutUtf16(b, s);
    Put16(b, 0);
    return b;
}

TEST(Trans2Request, FindFirst2ForTheShareRoot) {
    Trans2Req req;
    ASSERT_TRUE(ConstructTrans2FindFirst2Request(req, L"\\"));
    std::unique_ptr<Smb> smb(req.ReleaseSmbN());
    ASSERT_TRUE(smb);
    EXPECT_EQ(req.GetParams(), nullptr);
    EXPECT_EQ(smb->header[4], 0x32);
    EXPECT_EQ(smb->wordCount, 15);
    const unsigned char* w = smb->words;
    EXPECT_EQ(GetUint16(w + 0), 18);    // total parameters
    EXPECT_EQ(GetUint16(w + 2), 0);     // total data
    EXPECT_EQ(GetUint16(w + 4), 10);    // max parameters
    EXPECT_EQ(GetUint16(w + 6), 4096);  // max data
    EXPECT_EQ(GetUint16(w + 18), 18);
    EXPECT_EQ(GetUint16(w + 20), 68);  // parameter offset
    EXPECT_EQ(GetUint16(w + 22), 0);
    EXPECT_EQ(w[26], 1);
    EXPECT_EQ(GetUint16(w + 28), 0x0001);
    Bytes params = Hex("3700 4000 0600 0401 00000000");
    Bytes pattern = Utf16Sz(L"\\*");
    params.insert(params.end(), pattern.begin(), pattern.end());
    EXPECT_EQ(Bytes(smb->header + 68, smb->header + 68 + 18), params);
    EXPECT_EQ(smb->byteCount, 3 + 18);
    EXPECT_EQ(smb->GetSize(), 68u + 18);
}

TEST(Trans2Request, FindNext2QueryAndSetInfoLayouts) {
    Trans2Req next;
    ASSERT_TRUE(ConstructTrans2FindNext2Request(next, 0x0ABC, L"last.txt"));
    Bytes params = Hex("bc0a 4000 0401 00000000 0600");
    Bytes name = Utf16Sz(L"last.txt");
    params.insert(params.end(), name.begin(), name.end());
    EXPECT_EQ(Bytes(next.GetParams(), next.GetParams() + params.size()), params);
    EXPECT_EQ(GetUint16(next.GetSetup()), 0x0002);

    Trans2Req query;
    ASSERT_TRUE(ConstructTrans2QueryInfoRequest(query, kQueryAllInfoLevel, L"\\a"));
    EXPECT_EQ(Bytes(query.GetParams(), query.GetParams() + 12), Hex("0701 00000000 5c006100 0000"));
    std::unique_ptr<Smb> q(query.ReleaseSmbN());
    EXPECT_EQ(GetUint16(q->words + 4), 2);
    EXPECT_EQ(GetUint16(q->words + 6), 1024);

    Trans2Req fs;
    ASSERT_TRUE(ConstructTrans2QueryFsRequest(fs, kQueryFsSizeLevel));
    std::unique_ptr<Smb> f(fs.ReleaseSmbN());
    EXPECT_EQ(GetUint16(f->words + 0), 2);
    EXPECT_EQ(GetUint16(f->words + 4), 0);
    EXPECT_EQ(GetUint16(f->words + 28), 0x0003);
    EXPECT_EQ(GetUint16(f->header + 68), 0x0103);
}

TEST(Trans2Request, SetInfoWritesTheModificationTimeInTheServerZone) {
    Osp::Base::DateTime modified;
    modified.SetValue(2010, 6, 15, 13, 45, 59);
    Trans2Req req;
    ASSERT_TRUE(ConstructTrans2SetInfoRequest(req, L"\\f", modified, -120));
    std::unique_ptr<Smb> smb(req.ReleaseSmbN());
    EXPECT_EQ(GetUint16(smb->words + 2), 22);  // data count
    unsigned paramOffset = GetUint16(smb->words + 20);
    unsigned dataOffset = GetUint16(smb->words + 24);
    EXPECT_EQ(paramOffset, 68u);
    EXPECT_EQ(dataOffset, 68u + 12);  // 12 parameter bytes, already a multiple of 4
    EXPECT_EQ(Bytes(smb->header + 68, smb->header + 80), Hex("0100 00000000 5c006600 0000"));
    const unsigned char* data = smb->header + dataOffset;
    EXPECT_EQ(GetUint16(data + 8), 0x3CCF);
    EXPECT_EQ(GetUint16(data + 10), 0x7DBD);
    EXPECT_EQ(Bytes(data + 12, data + 22), Bytes(10, 0));
}

TEST(Trans2Request, PadsFollowTheLayoutRules) {
    struct {
        unsigned char setup;
        unsigned short params, data;
        std::wstring name;
        unsigned paramOffset, dataOffset, byteCount;
    } cases[] = {
        {1, 18, 0, L"", 68, 86, 21},  // odd setup: 3 pad bytes
        {2, 6, 0, L"", 68, 74, 7},    // even setup: 1 pad byte
        {1, 6, 22, L"", 68, 76, 3 + 6 + 2 + 22},
        {1, 0, 10, L"", 65, 68, 13},  // no parameters: the data takes the first pad
        {2, 0, 80, L"\\PIPE\\", 82, 82, 15 + 80},
        {1, 4, 4, L"\\P", 74, 78, 7 + 2 + 4 + 4},  // name present: one pad byte fewer
    };
    for (const auto& c : cases) {
        Trans2Req req;
        ASSERT_TRUE(req.Construct(0x25, c.setup, c.params, c.data, 0, 0, 0, c.name));
        std::unique_ptr<Smb> smb(req.ReleaseSmbN());
        SCOPED_TRACE(testing::Message() << int(c.setup) << "/" << c.params << "/" << c.data);
        EXPECT_EQ(GetUint16(smb->words + 20), c.paramOffset);
        EXPECT_EQ(GetUint16(smb->words + 24), c.dataOffset);
        EXPECT_EQ(smb->byteCount, c.byteCount);
    }
}

TEST(Trans2Request, TooLongToFitIsRefused) {
    Trans2Req req;
    EXPECT_FALSE(ConstructTrans2FindFirst2Request(req, std::wstring(33000, L'x')));
    EXPECT_EQ(req.ReleaseSmbN(), nullptr);
    EXPECT_FALSE(req.Construct(0x32, 1, 0xFFFF, 0xFFFF, 0, 0, 0, L""));
}

TEST(SmbDateTime, PacksTheServerLocalTime) {
    struct {
        int year, month, day, hour, minute, second;
        short zone;
        unsigned short date, time;
    } cases[] = {
        {2010, 6, 15, 13, 45, 59, -120, 0x3CCF, 0x7DBD},
        {1980, 1, 1, 0, 0, 0, 0, 0x0021, 0x0000},
        {1980, 1, 1, 0, 30, 0, 60, 0x0021, 0x0000},  // before the first day: clamped
        {2200, 1, 1, 0, 0, 0, 0, (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
    };
    for (const auto& c : cases) {
        Osp::Base::DateTime t;
        t.SetValue(c.year, c.month, c.day, c.hour, c.minute, c.second);
        unsigned short date = 0, time = 0;
        ToSmbDateTime(t, c.zone, &date, &time);
        EXPECT_EQ(date, c.date) << c.year;
        EXPECT_EQ(time, c.time) << c.year;
    }
}

// Hands `resp` a received copy of `message` that the response owns, as the session does.
unsigned FromBytes(Trans2Resp& resp, const Bytes& message) {
    unsigned char* buffer = new unsigned char[message.size()];
    std::copy(message.begin(), message.end(), buffer);
    Smb* smb = new Smb;
    EXPECT_TRUE(smb->ReceiveFrom(buffer, static_cast<unsigned>(message.size()), true));
    return resp.FromSmb(smb);
}

TEST(Trans2Response, SplitsACompleteAnswer) {
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(Hex("0102"), Hex("aabbccdd"))), RES_OK);
    EXPECT_EQ(Bytes(resp.GetParams(), resp.GetParams() + resp.GetParamCount()), Hex("0102"));
    EXPECT_EQ(Bytes(resp.GetData(), resp.GetData() + resp.GetDataCount()), Hex("aabbccdd"));
    EXPECT_EQ(resp.GetSetupCount(), 0);
    std::unique_ptr<const Smb> released(resp.ReleaseSmbN());
    EXPECT_NE(released, nullptr);
    EXPECT_EQ(resp.GetData(), nullptr);
}

TEST(Trans2Response, RefusesPartialAndInconsistentAnswers) {
    Bytes twoParts = TransResponse(Hex("0102"), Hex("aabb"), {.totalParams = -1, .totalData = 4});
    Bytes laterPart = TransResponse(Hex("0102"), Hex("aabb"), {.dataDisplacement = 2});
    Bytes laterParams = TransResponse(Hex("0102"), Hex(""), {.paramDisplacement = 2});
    Bytes dataOutside = TransResponse(Hex("0102"), Hex("aabbccdd"));
    SetUint16(dataOutside.data() + 4 + 33 + 14, 0xFFF0);  // data offset
    Bytes paramsOutside = TransResponse(Hex("0102"), Hex("aabbccdd"));
    SetUint16(paramsOutside.data() + 4 + 33 + 6, 0x0100);  // parameter count past the message (total too)
    SetUint16(paramsOutside.data() + 4 + 33 + 0, 0x0100);
    Bytes setupPastWords = TransResponse(Hex("0102"), Hex(""));
    setupPastWords[4 + 33 + 18] = 1;  // one setup word, but the words end there
    Bytes fewWords = SmbMessage(0x32, 0, Bytes(18, 0), Bytes());
    int index = 0;
    for (const Bytes* m :
         {&twoParts, &laterPart, &laterParams, &dataOutside, &paramsOutside, &setupPastWords, &fewWords}) {
        Trans2Resp resp;
        EXPECT_EQ(FromBytes(resp, *m), RES_BAD_RESPONSE) << index++;
        EXPECT_EQ(resp.GetData(), nullptr);
        EXPECT_EQ(resp.GetParamCount(), 0);
    }
}

TEST(Trans2Response, AnswerWithoutWordsIsAnErrorForTheCallerToRead) {
    Trans2Resp resp;
    EXPECT_EQ(FromBytes(resp, SmbMessage(0x32, 0xC0000022, Bytes(), Bytes())), RES_OK);
    EXPECT_EQ(resp.GetParams(), nullptr);
    EXPECT_EQ(resp.GetDataCount(), 0);
    EXPECT_TRUE(resp.GetSmb()->Header().IsFailure());
}

struct SEntryRow {
    std::wstring name;
    unsigned attributes = 0x20;
    unsigned long long size = 0;
    int nextOffset = -1;  // -1: the entry's own length rounded up to 8, 0 for the last
};

Bytes Entry(const SEntryRow& e, bool last) {
    Bytes b;
    unsigned length = 94 + 2 * static_cast<unsigned>(e.name.size());
    unsigned padded = (length + 7) / 8 * 8;
    Put32(b, e.nextOffset >= 0 ? static_cast<unsigned>(e.nextOffset) : (last ? 0 : padded));
    Put32(b, 0);
    Put64(b, 1);                      // creation
    Put64(b, 2);                      // access
    Put64(b, 129000000000000000ull);  // write
    Put64(b, 4);                      // change
    Put64(b, e.size);
    Put64(b, (e.size + 4095) / 4096 * 4096);
    Put32(b, e.attributes);
    Put32(b, 2 * static_cast<unsigned>(e.name.size()));
    Put32(b, 0);
    b.resize(94, 0);
    PutUtf16(b, e.name);
    if (!last) {
        b.resize(padded, 0);
    }
    return b;
}

Bytes Entries(const std::vector<SEntryRow>& rows) {
    Bytes data;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Bytes e = Entry(rows[i], i + 1 == rows.size());
        data.insert(data.end(), e.begin(), e.end());
    }
    return data;
}

Bytes FindFirstParams(unsigned count, unsigned endOfSearch, unsigned lastNameOffset) {
    Bytes p;
    Put16(p, 0x0042);
    Put16(p, count);
    Put16(p, endOfSearch);
    Put16(p, 0);
    Put16(p, lastNameOffset);
    return p;
}

TEST(FindResponse, ReadsEntriesAndTheResumeName) {
    Bytes data = Entries({{L"a.txt", 0x21, 1000}, {L"dir", 0x10}, {L"b.bin", 0x22, 5}});
    unsigned lastOffset = 2 * 104;  // each earlier entry pads to 104 bytes
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(FindFirstParams(3, 0, lastOffset), data)), RES_OK);
    SFindResponse find;
    ASSERT_EQ(ParseFindResponse(resp, FIND_FIRST, &find), RES_OK);
    EXPECT_EQ(find.sid, 0x42);
    EXPECT_FALSE(find.endOfSearch);
    EXPECT_TRUE(find.canResume);
    EXPECT_EQ(find.resumeName, L"b.bin");
    ASSERT_EQ(find.entries.size(), 3u);
    EXPECT_EQ(find.entries[0].name, L"a.txt");
    EXPECT_EQ(find.entries[0].endOfFile, 1000u);
    EXPECT_EQ(find.entries[0].allocationSize, 4096u);
    EXPECT_EQ(find.entries[0].attributes, 0x21u);
    EXPECT_EQ(find.entries[0].creationTime, 1u);
    EXPECT_EQ(find.entries[0].accessTime, 2u);
    EXPECT_EQ(find.entries[0].writeTime, 129000000000000000ull);
    EXPECT_EQ(find.entries[1].name, L"dir");
    EXPECT_EQ(find.entries[2].name, L"b.bin");
}

// Regression: the entries kept only the folder, hidden and read-only attributes, so a junction or a link
// on the server looked like a real folder and a delete, details or copy walked into what it leads to.
TEST(FindResponse, EntriesOfReparsePointsAreLinks) {
    struct Case {
        const wchar_t* name;
        unsigned attributes;
        int type;
    };
    const Case cases[] = {
        {L"plain.txt", 0x20, 0},
        {L"folder", 0x10, ENTRY_DIRECTORY},
        {L"junction", 0x410,
         ENTRY_DIRECTORY | ENTRY_LINK},  // as Samba lists a DFS link, and Windows a junction
        {L"hidden link", 0x412, ENTRY_DIRECTORY | ENTRY_LINK | ENTRY_HIDDEN},
        {L"file link", 0x420, ENTRY_LINK},
        {L"read-only", 0x01, ENTRY_READONLY},
    };
    std::vector<SEntryRow> rows;
    for (const Case& c : cases) {
        rows.push_back({c.name, c.attributes});
    }
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(FindFirstParams(static_cast<unsigned>(rows.size()), 1, 0),
                                            Entries(rows))),
              RES_OK);
    SFindResponse find;
    ASSERT_EQ(ParseFindResponse(resp, FIND_FIRST, &find), RES_OK);
    ASSERT_EQ(find.entries.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(cases[i].name)));
        const SmbDirEntry entry(find.entries[i], find.entries[i].name);
        EXPECT_EQ(entry.GetType(), cases[i].type);
    }
}

TEST(FindResponse, StopsAtTheCountAndAtTheEndOfSearch) {
    Bytes data = Entries({{L"a"}, {L"b"}, {L"c"}});
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(FindFirstParams(2, 1, 96), data)), RES_OK);
    SFindResponse find;
    ASSERT_EQ(ParseFindResponse(resp, FIND_FIRST, &find), RES_OK);
    EXPECT_EQ(find.entries.size(), 2u);
    EXPECT_TRUE(find.endOfSearch);
    EXPECT_FALSE(find.canResume);
}

TEST(FindResponse, NamesThatCannotBeEntriesAreSkipped) {
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    const wchar_t loneLow[] = {static_cast<wchar_t>(0xDC00), 0};
    const wchar_t pair[] = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), 0};
    const wchar_t zero[] = {L'a', 0, L'b'};
    std::vector<SEntryRow> rows = {{L"."}, {L".."},   {L""},  {L"a\\b"},   {L"a/b"}, {std::wstring(zero, 3)},
                                   {lone}, {loneLow}, {pair}, {L"ok .txt"}};
    Bytes data = Entries(rows);
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(FindFirstParams(static_cast<unsigned>(rows.size()), 1, 0), data)),
              RES_OK);
    SFindResponse find;
    ASSERT_EQ(ParseFindResponse(resp, FIND_FIRST, &find), RES_OK);
    ASSERT_EQ(find.entries.size(), 2u);
    EXPECT_EQ(find.entries[0].name, std::wstring(pair));
    EXPECT_EQ(find.entries[1].name, L"ok .txt");
}

TEST(FindResponse, RefusesEntriesThatLeaveTheData) {
    struct {
        const char* what;
        std::vector<SEntryRow> rows;
        unsigned count;
        unsigned lastNameOffset;
        int cut;  // bytes taken off the data's end
    } cases[] = {
        {"next offset past the data", {{L"a", 0x20, 0, 4000}, {L"b"}}, 2, 0, 0},
        {"next offset inside the entry", {{L"abc", 0x20, 0, 50}, {L"b"}}, 2, 0, 0},
        {"next offset shorter than the name", {{L"abcdefgh", 0x20, 0, 96}, {L"b"}}, 2, 0, 0},
        {"last name runs past the data", {{L"abc"}}, 1, 0, 1},
        {"fixed part cut", {{L"abc"}}, 1, 0, 20},
        {"resume entry outside the data", {{L"a"}}, 1, 5000, 0},
        {"resume entry too short", {{L"a"}, {L"b"}}, 2, 150, 0},
    };
    for (const auto& c : cases) {
        Bytes data = Entries(c.rows);
        data.resize(data.size() - c.cut);
        Trans2Resp resp;
        ASSERT_EQ(FromBytes(resp, TransResponse(FindFirstParams(c.count, 0, c.lastNameOffset), data)), RES_OK)
            << c.what;
        SFindResponse find;
        EXPECT_EQ(ParseFindResponse(resp, FIND_FIRST, &find), RES_BAD_RESPONSE) << c.what;
    }
}

TEST(FindResponse, OddNameLengthIsRefused) {
    Bytes data = Entries({{L"ab"}});
    SetUint32(data.data() + 60, 3);
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(FindFirstParams(1, 1, 0), data)), RES_OK);
    SFindResponse find;
    EXPECT_EQ(ParseFindResponse(resp, FIND_FIRST, &find), RES_BAD_RESPONSE);
}

TEST(FindResponse, ParameterCountMustMatchTheKind) {
    Bytes data = Entries({{L"a"}});
    Trans2Resp first;
    ASSERT_EQ(FromBytes(first, TransResponse(FindFirstParams(1, 1, 0), data)), RES_OK);
    SFindResponse find;
    EXPECT_EQ(ParseFindResponse(first, FIND_NEXT, &find), RES_BAD_RESPONSE);

    Bytes nextParams = Hex("0100 0100 0000 0000");
    Trans2Resp next;
    ASSERT_EQ(FromBytes(next, TransResponse(nextParams, data)), RES_OK);
    ASSERT_EQ(ParseFindResponse(next, FIND_NEXT, &find), RES_OK);
    EXPECT_EQ(find.entries.size(), 1u);
    EXPECT_EQ(ParseFindResponse(next, FIND_FIRST, &find), RES_BAD_RESPONSE);
}

Bytes AllInfo(const std::wstring& name, int nameBytes = -1) {
    Bytes d;
    Put64(d, 11);
    Put64(d, 12);
    Put64(d, 13);
    Put64(d, 14);
    Put32(d, 0x11);
    Put32(d, 0);
    Put64(d, 8192);
    Put64(d, 5000);
    Put32(d, 1);
    d.push_back(0);
    d.push_back(1);
    Put16(d, 0);
    Put32(d, 0);
    Put32(d, nameBytes >= 0 ? static_cast<unsigned>(nameBytes) : 2 * static_cast<unsigned>(name.size()));
    PutUtf16(d, name);
    return d;
}

TEST(AllInfoResponse, ReadsTheFixedPartAndTheName) {
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(Hex("0000"), AllInfo(L"\\dir\\x"))), RES_OK);
    SSmbFileInfo info;
    ASSERT_EQ(ParseAllInfoResponse(resp, &info), RES_OK);
    EXPECT_EQ(info.creationTime, 11u);
    EXPECT_EQ(info.accessTime, 12u);
    EXPECT_EQ(info.writeTime, 13u);
    EXPECT_EQ(info.changeTime, 14u);
    EXPECT_EQ(info.attributes, 0x11u);
    EXPECT_EQ(info.allocationSize, 8192u);
    EXPECT_EQ(info.endOfFile, 5000u);
    EXPECT_EQ(info.name, L"\\dir\\x");

    Bytes cut = AllInfo(L"");
    cut.pop_back();
    for (const Bytes& bad : {AllInfo(L"abc", 8), AllInfo(L"abc", 5), cut}) {
        Trans2Resp r;
        ASSERT_EQ(FromBytes(r, TransResponse(Hex("0000"), bad)), RES_OK);
        EXPECT_EQ(ParseAllInfoResponse(r, &info), RES_BAD_RESPONSE) << bad.size();
    }
}

TEST(FsSizeResponse, BytesNeitherCutTheUnitTo32BitsNorWrap) {
    constexpr unsigned long long kMax = ~0ULL;
    const struct {
        unsigned long long units;
        unsigned int sectors;
        unsigned int sectorBytes;
        unsigned long long bytes;
    } cases[] = {
        {1000, 8, 512, 4096000},
        {3, 0x10000, 0x10000, 3ULL << 32},  // a unit of 4 GiB is not cut to 0
        {kMax / 2, 2, 2, kMax},             // held at the largest number
        {kMax, 0, 512, 0},
    };
    for (const auto& c : cases) {
        SFsSizeInfo info;
        info.sectorsPerUnit = c.sectors;
        info.bytesPerSector = c.sectorBytes;
        EXPECT_EQ(info.Bytes(c.units), c.bytes) << c.units;
    }
}

TEST(FsSizeResponse, OnlyTheExactSizeIsRead) {
    Bytes data;
    Put64(data, 1000);
    Put64(data, 250);
    Put32(data, 8);
    Put32(data, 512);
    Trans2Resp resp;
    ASSERT_EQ(FromBytes(resp, TransResponse(Bytes(), data)), RES_OK);
    SFsSizeInfo info;
    ASSERT_EQ(ParseFsSizeResponse(resp, &info), RES_OK);
    EXPECT_EQ(info.totalUnits, 1000u);
    EXPECT_EQ(info.freeUnits, 250u);
    EXPECT_EQ(info.sectorsPerUnit, 8u);
    EXPECT_EQ(info.bytesPerSector, 512u);

    for (std::size_t size : {20u, 28u, 0u}) {
        Bytes other = data;
        other.resize(size, 0);
        Trans2Resp r;
        ASSERT_EQ(FromBytes(r, TransResponse(Bytes(), other)), RES_OK);
        EXPECT_EQ(ParseFsSizeResponse(r, &info), RES_BAD_RESPONSE) << size;
    }
}

}  // namespace
