// The session on its own, against a scripted server: what the session setup announces, the order and
// multiplex ids of queued requests, a keep-alive after the logon, the user declining to turn Wi-Fi on,
// and the status mapping.

#include <gtest/gtest.h>

#include <vector>

#include "ScriptedSmbServer.h"
#include "SmbTestSupport.h"
#include "app/Results.h"
#include "host/WifiState.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/ISmbSessionListener.h"
#include "net/smb1/SmbClose.h"
#include "net/smb1/SmbStatus.h"
#include "testsupport/UiDriver.h"

namespace {

using Reply = SScriptedReply;

class SessionRecorder : public ISmbSessionListener, public ISmbRequestListener {
public:
    void OnConnected(unsigned long r) override { connected.push_back(r); }
    void OnTreeConnected(unsigned long r) override { trees.push_back(r); }
    bool OnSmbReceived(const Smb*) override { return false; }
    void OnDisconnected() override { ++disconnects; }
    void OnSmbReceived(unsigned long r, unsigned short mid, const Smb*) override {
        answers.push_back({r, mid});
    }
    void OnTransReceived(unsigned long r, unsigned short mid, const Trans2Resp*) override {
        answers.push_back({r, mid});
    }
    void OnTrans2Received(unsigned long r, unsigned short mid, const Trans2Resp*) override {
        answers.push_back({r, mid});
    }

    std::vector<unsigned long> connected;
    std::vector<unsigned long> trees;
    int disconnects = 0;
    std::vector<std::pair<unsigned long, unsigned short>> answers;
};

TEST(SmbSessionTest, QueuedRequestsGoOutInOrderAfterTheLogonWithWhatTheSessionAnnounces) {
    ScriptedSmbServer server([](const SScriptedRequest& r) {
        if (r.command != 0x04) {
            return Reply{Reply::IGNORE, {}};
        }
        // A keep-alive ahead of the first answer after the logon is swallowed.
        Bytes bytes = r.mid == 1 ? Hex("85 00 00 00") : Bytes{};
        Bytes answer = SmbAnswer(r, 0, {}, {});
        bytes.insert(bytes.end(), answer.begin(), answer.end());
        return Reply{Reply::SEND, bytes};
    });
    SmbSession::SetServerPort(server.Port());
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    ASSERT_TRUE(RunInApp([&] {
        SessionRecorder recorder;
        SmbSession* session = folder.CreateSmbSession(&recorder);
        const int flags = SmbSession::SEND_CONNECT | SmbSession::SEND_NEED_TREE;
        EXPECT_EQ(session->SendSmbA(CreateSmbCloseRequestN(11), &recorder, flags), 1);
        EXPECT_EQ(session->SendSmbA(CreateSmbCloseRequestN(12), &recorder, flags), 2);
        LoopUntil([&] { return recorder.answers.size() == 2; });
        ASSERT_EQ(recorder.answers.size(), 2u);
        EXPECT_EQ(recorder.answers[0], std::make_pair(0ul, static_cast<unsigned short>(1)));
        EXPECT_EQ(recorder.answers[1], std::make_pair(0ul, static_cast<unsigned short>(2)));
        EXPECT_EQ(recorder.connected, std::vector<unsigned long>{RES_OK});
        EXPECT_EQ(recorder.trees, std::vector<unsigned long>{RES_OK});
        EXPECT_TRUE(session->HasTreeSession());
        folder.SmbDisconnect();
        EXPECT_EQ(recorder.disconnects, 1);
    }));
    SmbSession::SetServerPort(445);
    std::vector<SScriptedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].command, 0x72);
    EXPECT_EQ(requests[1].command, 0x73);
    // The server offered a buffer of 16,644 bytes and 50 requests at once; the client takes its own limits.
    EXPECT_EQ(GetLe16(requests[1].message, 33 + 4), 8192);
    EXPECT_EQ(GetLe16(requests[1].message, 33 + 6), 8);
    // An NTLM response, twice, for the password.
    EXPECT_EQ(GetLe16(requests[1].message, 33 + 14), 24);
    EXPECT_EQ(requests[2].command, 0x75);
    EXPECT_EQ(requests[3].mid, 1);
    EXPECT_EQ(requests[4].mid, 2);
    EXPECT_EQ(GetLe16(requests[3].message, 33 + 0), 11);
}

TEST(SmbSessionTest, ARequestWithoutPermissionToConnectIsAnsweredDisconnected) {
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    ASSERT_TRUE(RunInApp([&] {
        SessionRecorder recorder;
        SmbSession* session = folder.CreateSmbSession(&recorder);
        unsigned short mid =
            session->SendSmbA(CreateSmbCloseRequestN(1), &recorder, SmbSession::SEND_WHEN_CONNECTED);
        EXPECT_TRUE(recorder.answers.empty());
        LoopUntil([&] { return !recorder.answers.empty(); });
        ASSERT_EQ(recorder.answers.size(), 1u);
        EXPECT_EQ(recorder.answers[0], std::make_pair(static_cast<unsigned long>(RES_DISCONNECTED), mid));
        EXPECT_TRUE(recorder.connected.empty());
    }));
}

TEST(SmbSessionTest, DecliningToTurnWifiOnCancelsTheConnection) {
    host::Wifi() = {false, false};
    RemoteFolder folder;
    PointFolderAt(folder, L"share", L"user", L"secret");
    ASSERT_TRUE(RunInApp([&] {
        testsupport::UiDriver ui;
        ui.AnswerNextMessageBox(Osp::Ui::Controls::MSGBOX_RESULT_NO);
        SessionRecorder recorder;
        folder.CreateSmbSession(&recorder)->ConnectA();
        LoopUntil([&] { return recorder.disconnects > 0; });
        EXPECT_EQ(recorder.connected, std::vector<unsigned long>{RES_CANCELLED});
        EXPECT_EQ(recorder.disconnects, 1);
        std::vector<testsupport::ShownMessageBox> boxes = ui.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, L"Turn Wi-Fi on?");
        EXPECT_EQ(boxes[0].title, L"");
        EXPECT_EQ(boxes[0].style, Osp::Ui::Controls::MSGBOX_STYLE_YESNO);
    }));
    host::Wifi() = {true, true};
}

TEST(SmbStatusTest, MapsEachKnownStatusAndEveryOtherFailure) {
    const std::pair<unsigned long, unsigned long> cases[] = {
        {0x00000000, RES_OK},
        {0x00000103, RES_OK},  // a success with information
        {0xC000006D, RES_BAD_LOGON},
        {0xC000006A, RES_BAD_LOGON},
        {0xC000006E, RES_EMPTY_PASSWORD_FORBIDDEN},
        {0xC0000234, RES_ACCOUNT_LOCKED},
        {0xC00000CE, RES_SERVER_BUSY},
        {0xC00000CC, RES_BAD_SHARE},
        {0xC000003A, RES_BAD_SHARE},
        {0xC0000101, RES_DIR_NOT_EMPTY},
        {0xC0000043, RES_SHARING_VIOLATION},
        {0xC00000A2, RES_READ_ONLY},
        {0xC00000CA, RES_ACCESS_DENIED},
        {0xC0000022, RES_ACCESS_DENIED},
        {0xC0000035, RES_ALREADY_EXISTS},
        {0xC0000034, RES_NOT_FOUND},
        {0xC000000F, RES_NOT_FOUND},
        {0x80000005, RES_FAILURE},  // a warning
        {0xC0000001, RES_FAILURE},
    };
    for (const auto& [status, result] : cases) {
        EXPECT_EQ(SmbStatusToBadaResult(status), result) << std::hex << status;
    }
}

}  // namespace
