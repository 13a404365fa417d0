// The client against a scripted server that breaks the rules: malformed listings, reads and writes,
// framing that does not add up, resets at every step of reading, a trickle, a plain-text password
// request, and a server that goes away in the middle. Every case must end in its result, without a
// crash, a hang or a leak.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptedSmbServer.h"
#include "SmbTestSupport.h"
#include "app/Results.h"

namespace {

using Reply = SScriptedReply;

// One both-directory entry. next < 0 puts the entry's own length there; nameBytes < 0 the name's.
Bytes FindEntry(const std::wstring& name, long long next = -1, long long nameBytes = -1) {
    Bytes e;
    Put32(e, 0);  // next, filled below
    Put32(e, 0);
    for (int i = 0; i < 4; ++i) {
        Put64(e, 130000000000000000ull);
    }
    Put64(e, 42);  // end of file
    Put64(e, 4096);
    Put32(e, 0x20);
    Put32(e, static_cast<unsigned>(nameBytes < 0 ? 2 * name.size() : nameBytes));
    Put32(e, 0);
    e.resize(94, 0);
    PutUtf16(e, name);
    e.resize((e.size() + 7) & ~size_t{7}, 0);
    unsigned n = static_cast<unsigned>(next < 0 ? e.size() : next);
    e[0] = static_cast<unsigned char>(n);
    e[1] = static_cast<unsigned char>(n >> 8);
    e[2] = static_cast<unsigned char>(n >> 16);
    e[3] = static_cast<unsigned char>(n >> 24);
    return e;
}

// A FIND page: the entries in a row, the last one's next offset cleared unless keepLastNext.
struct SPage {
    std::vector<Bytes> entries;
    bool endOfSearch = true;
    bool keepLastNext = false;
    int lastName = -1;  // index of the entry to resume after; -1 for the last
    int count = -1;     // entry count to claim; -1 for the real one
};

Bytes FindAnswer(const SScriptedRequest& request, const SPage& page) {
    Bytes data;
    size_t lastOffset = 0;
    for (size_t i = 0; i < page.entries.size(); ++i) {
        Bytes entry = page.entries[i];
        if (i + 1 == page.entries.size() && !page.keepLastNext) {
            entry[0] = entry[1] = entry[2] = entry[3] = 0;
        }
        if (page.lastName < 0 || static_cast<size_t>(page.lastName) == i) {
            lastOffset = data.size();
        }
        data.insert(data.end(), entry.begin(), entry.end());
    }
    Bytes params;
    if (request.trans2 == 0x0001) {
        Put16(params, 0x0ABC);  // search id
    }
    Put16(params, static_cast<unsigned>(page.count < 0 ? page.entries.size() : page.count));
    Put16(params, page.endOfSearch ? 1 : 0);
    Put16(params, 0);
    Put16(params, static_cast<unsigned>(lastOffset));
    return Trans2Answer(request, params, data);
}

struct SListing {
    unsigned long openResult = 1;
    unsigned long endResult = 1;
    int ends = 0;
    std::vector<std::wstring> names;
};

// Opens the share's root through a browser on the scripted server and lists it.
SListing OpenAndList(ScriptedSmbServer& server, const std::wstring& password = L"secret") {
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", password);
    SListing out;
    bool finished = RunInApp([&] {
        RootRecorder root;
        out.openResult = OpenRoot(*Smb1Browser(folder), root, 15000);
        Smb1Browser(folder)->RemoveListener(&root);
        if (root.dir == nullptr) {
            return;
        }
        EnumRecorder listed = ListDir(*root.dir, 15000);
        out.endResult = listed.endResult;
        out.ends = listed.ends;
        for (const SeenEntry& e : listed.entries) {
            out.names.push_back(e.name);
        }
    });
    EXPECT_TRUE(finished);
    SmbSession::SetServerPort(445);
    return out;
}

struct SListCase {
    const char* what;
    std::function<Reply(const SScriptedRequest&)> onFind;
    unsigned long expected;
    std::vector<std::wstring> names;
};

// Test names say what each case is; the bytes of a case mean nothing in a report.
void PrintTo(const SListCase& c, std::ostream* out) {
    *out << c.what;
}

class HostileListingTest : public testing::TestWithParam<SListCase> {};

TEST_P(HostileListingTest, EndsWithItsResult) {
    const SListCase& c = GetParam();
    ScriptedSmbServer server(
        [&](const SScriptedRequest& r) { return r.command == 0x32 ? c.onFind(r) : Pass(); });
    SListing listing = OpenAndList(server);
    EXPECT_EQ(listing.openResult, RES_OK);
    EXPECT_EQ(listing.ends, 1);
    EXPECT_EQ(listing.endResult, c.expected);
    EXPECT_EQ(listing.names, c.names);
}

SListCase PageCase(const char* what, SPage page, unsigned long expected, std::vector<std::wstring> names) {
    return {what, [page](const SScriptedRequest& r) { return Send(FindAnswer(r, page)); }, expected, names};
}

const std::wstring kLoneSurrogate(1, static_cast<wchar_t>(0xD800));

INSTANTIATE_TEST_SUITE_P(
    Pages, HostileListingTest,
    testing::Values(
        PageCase("good_page", {{FindEntry(L"a.txt"), FindEntry(L"b.txt")}}, RES_OK, {L"a.txt", L"b.txt"}),
        PageCase("next_offset_zero_too_early",
                 {{FindEntry(L"a.txt", 0), FindEntry(L"b.txt")}, /*endOfSearch=*/false}, RES_BAD_RESPONSE,
                 {L"a.txt", L"a.txt"}),
        PageCase("next_offset_backwards", {{FindEntry(L"a.txt", 0xFFFFFFF0), FindEntry(L"b.txt")}},
                 RES_BAD_RESPONSE, {}),
        PageCase("next_offset_past_the_end",
                 {{FindEntry(L"a.txt"), FindEntry(L"b.txt", 4000)}, true, /*keepLastNext=*/true},
                 RES_BAD_RESPONSE, {}),
        PageCase("name_longer_than_what_remains", {{FindEntry(L"a.txt", -1, 400)}}, RES_BAD_RESPONSE, {}),
        PageCase("odd_name_length", {{FindEntry(L"a.txt", -1, 9)}}, RES_BAD_RESPONSE, {}),
        PageCase("names_that_are_not_one_component",
                 {{FindEntry(L".."), FindEntry(L"a/b"), FindEntry(L"a\\b"),
                   FindEntry(std::wstring(L"a\0b", 3)), FindEntry(std::wstring(300, L'n')),
                   FindEntry(L"x" + kLoneSurrogate + L"y"),
                   FindEntry(std::wstring(1, static_cast<wchar_t>(0xDC00)) + L"z"), FindEntry(L"good.txt")}},
                 RES_OK, {L"good.txt"}),
        PageCase("end_of_search_never_set_same_page_again",
                 {{FindEntry(L"a.txt"), FindEntry(L"b.txt")}, /*endOfSearch=*/false}, RES_BAD_RESPONSE,
                 {L"a.txt", L"b.txt", L"a.txt", L"b.txt"}),
        PageCase("empty_page_without_end", {{}, false, false, -1, 0}, RES_OK, {}),
        SListCase{"wrong_parameter_count",
                  [](const SScriptedRequest& r) { return Send(Trans2Answer(r, Bytes(6, 0), {})); },
                  RES_BAD_RESPONSE,
                  {}},
        SListCase{"access_denied",
                  [](const SScriptedRequest& r) { return Send(SmbAnswer(r, 0xC0000022, {}, {})); },
                  RES_ACCESS_DENIED,
                  {}},
        SListCase{"answer_of_another_command",
                  [](const SScriptedRequest& r) {
                      SScriptedRequest other = r;
                      other.command = 0x2E;
                      return Send(SmbAnswer(other, 0, Bytes(24, 0), {}));
                  },
                  RES_BAD_RESPONSE,
                  {}},
        SListCase{"transport_length_above_the_maximum",
                  [](const SScriptedRequest&) { return Send(Hex("00 ff ff ff")); },
                  RES_DISCONNECTED,
                  {}},
        SListCase{"transport_type_not_a_session_message",
                  [](const SScriptedRequest&) { return Send(Hex("83 00 00 40")); },
                  RES_DISCONNECTED,
                  {}},
        SListCase{"server_closes",
                  [](const SScriptedRequest&) {
                      return Reply{Reply::CLOSE, {}};
                  },
                  RES_DISCONNECTED,
                  {}}),
    [](const testing::TestParamInfo<SListCase>& info) { return std::string(info.param.what); });

// A reset at each step of reading an answer: before it, inside the transport header, right after it and
// inside the message.
struct SResetCase {
    unsigned char command;
    size_t cut;
};

void PrintTo(const SResetCase& c, std::ostream* out) {
    *out << "command " << int(c.command) << ", " << c.cut << " bytes";
}

class ResetWhileReadingTest : public testing::TestWithParam<SResetCase> {};

TEST_P(ResetWhileReadingTest, EndsDisconnected) {
    const SResetCase& c = GetParam();
    ScriptedSmbServer server([&](const SScriptedRequest& r) {
        if (r.command != c.command) {
            return Pass();
        }
        Bytes whole = r.command == 0x32 ? FindAnswer(r, {{FindEntry(L"a.txt")}})
                                        : SmbAnswer(r, 0, Hex("ff000000 0000"), {});
        return Reply{Reply::RESET, Bytes(whole.begin(), whole.begin() + static_cast<long>(c.cut))};
    });
    SListing listing = OpenAndList(server);
    if (c.command == 0x32) {
        EXPECT_EQ(listing.openResult, RES_OK);
        EXPECT_EQ(listing.endResult, RES_DISCONNECTED);
    } else {
        EXPECT_EQ(listing.openResult, RES_DISCONNECTED);
    }
    EXPECT_TRUE(listing.names.empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, ResetWhileReadingTest,
                         testing::Values(SResetCase{0x72, 0}, SResetCase{0x72, 2}, SResetCase{0x72, 4},
                                         SResetCase{0x72, 20}, SResetCase{0x73, 0}, SResetCase{0x73, 4},
                                         SResetCase{0x73, 20}, SResetCase{0x75, 0}, SResetCase{0x75, 20},
                                         SResetCase{0x32, 0}, SResetCase{0x32, 2}, SResetCase{0x32, 4},
                                         SResetCase{0x32, 60}),
                         [](const testing::TestParamInfo<SResetCase>& info) {
                             return "command_" + std::to_string(info.param.command) + "_after_" +
                                    std::to_string(info.param.cut) + "_bytes";
                         });

}  // namespace
