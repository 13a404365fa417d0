// The node status request and the reading of its answer: the computer name and workgroup out of a
// host's name table, and answers that lie about their length.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/nbns/NbtNsNodeStatus.h"
#include "net/nbns/NetBiosName.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v >> 8));
    b.push_back(static_cast<unsigned char>(v));
}

struct Entry {
    std::string name;
    unsigned char suffix;
    unsigned flags;
};

// An answer as nmbd sends it: the "*" name, NBSTAT, the name table, then the statistics.
Bytes StatusAnswer(unsigned short transId, const std::vector<Entry>& entries, int countDelta = 0) {
    Bytes a;
    Put16(a, transId);
    Put16(a, 0x8400);
    Put16(a, 0);
    Put16(a, 1);
    Put16(a, 0);
    Put16(a, 0);
    const std::string name = ToL2NetBiosName("*", "", 0);
    a.insert(a.end(), name.begin(), name.end());
    Put16(a, 0x21);
    Put16(a, 1);
    Put16(a, 0);
    Put16(a, 0);
    Put16(a, static_cast<unsigned>(1 + 18 * entries.size() + 46));
    a.push_back(static_cast<unsigned char>(static_cast<int>(entries.size()) + countDelta));
    for (const Entry& e : entries) {
        std::string padded = e.name;
        padded.resize(15, ' ');
        a.insert(a.end(), padded.begin(), padded.end());
        a.push_back(e.suffix);
        Put16(a, e.flags);
    }
    a.insert(a.end(), 46, 0);
    return a;
}

TEST(NodeStatus, RequestAsksForTheWildcardName) {
    const Bytes request = PrepareNodeStatusRequest(0x1234);
    ASSERT_EQ(request.size(), 12u + 34u + 4u);
    EXPECT_EQ(request[0], 0x12);
    EXPECT_EQ(request[1], 0x34);
    EXPECT_EQ(std::string(request.begin() + 13, request.begin() + 15), "CK");
    EXPECT_EQ(request[request.size() - 3], 0x21);
}

TEST(NodeStatus, TableOfNameTables) {
    const std::vector<Entry> samba = {{"CORVNAS", 0x00, 0x0400},
                                      {"CORVNAS", 0x03, 0x0400},
                                      {"CORVNAS", 0x20, 0x0400},
                                      {"CORVGROUP", 0x00, 0x8400},
                                      {"CORVGROUP", 0x1E, 0x8400}};
    const Bytes whole = StatusAnswer(7, samba);
    const struct {
        const char* what;
        Bytes answer;
        bool ok;
        std::string computer;
        std::string workgroup;
    } cases[] = {
        {"samba", StatusAnswer(7, samba), true, "CORVNAS", "CORVGROUP"},
        {"workstation name only", StatusAnswer(7, {{"PC1", 0x00, 0x0400}}), true, "PC1", ""},
        {"group names only", StatusAnswer(7, {{"CORVGROUP", 0x00, 0x8400}}), false, "", ""},
        {"other query", StatusAnswer(8, samba), false, "", ""},
        {"count past the data", StatusAnswer(7, samba, 10), false, "", ""},
        {"cut short", Bytes(whole.begin(), whole.begin() + 60), false, "", ""},
        {"data length short of the table", Bytes(whole.begin(), whole.end() - 46), true, "CORVNAS",
         "CORVGROUP"},
        {"empty", Bytes(), false, "", ""},
        {"unprintable name skipped", StatusAnswer(7, {{"\x01X", 0x20, 0x0400}, {"PC2", 0x20, 0x0400}}), true,
         "PC2", ""},
    };
    for (const auto& c : cases) {
        NbtNsNodeStatus status;
        EXPECT_EQ(
            ParseNodeStatusResponse(c.answer.data(), static_cast<unsigned>(c.answer.size()), 7, &status),
            c.ok)
            << c.what;
        EXPECT_EQ(status.computerName, c.computer) << c.what;
        EXPECT_EQ(status.workgroup, c.workgroup) << c.what;
    }
}

}  // namespace
