// The logon of SmbSession: the server's address (given, or asked of the name service), the TCP
// connection, NEGOTIATE and SESSION_SETUP_ANDX, and the question whether to turn Wi-Fi on. Runs on the
// user-interface thread like the rest of the session. A failed step ends the attempt through Cancel with
// the result the session's contract names; a logon ends with OnConnected and sends what waited for it.

#include "net/smb1/SmbSession.h"

#include <algorithm>

#include "Osp/Net/Ip4Address.h"
#include "Osp/Ui/Controls/MessageBox.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "app/StringConv.h"
#include "net/RemoteFolder.h"
#include "net/nbns/NbtNsClient.h"
#include "net/smb1/ISmbSessionListener.h"
#include "net/smb1/SmbFile.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbSessionSetup.h"
#include "net/smb1/SmbStatus.h"

namespace {

using namespace Osp::Net::Sockets;

constexpr unsigned short kDefaultPort = 445;
// The logon must be done this long after the TCP connect starts; longer when Wi-Fi is still coming up.
constexpr int kLogonTimeoutMs = 5000;
constexpr int kLogonTimeoutWifiOffMs = 20000;
// What the client announces: its own limits, whatever the server offers.
constexpr unsigned int kMaxBuffer = 8192;
constexpr unsigned short kMaxMpx = 8;
// Unicode, large files, NT SMBs, NT status, level II oplocks, large read and large write; never
// extended security.
constexpr unsigned long kClientCapsMask = 0xC0DC;
constexpr unsigned char kFileServerSuffix = 0x20;
// A large read's answer: the data behind the header, the read's twelve words and a pad.
constexpr unsigned int kMaxLargeReadMessageLength = kSmbFixedLength + 24 + 1 + SmbFile::kLargeBlockSize;
constexpr int kWifiCancelledEvent = 202;

unsigned short g_serverPort = kDefaultPort;

}  // namespace

void SmbSession::SetServerPort(unsigned short port) {
    g_serverPort = port;
}

unsigned short SmbSession::GetServerPort() {
    return g_serverPort;
}

void SmbSession::ConnectA() {
    if ((state_ & (STATE_LOGGED_ON | STATE_CONNECTING)) != 0) {
        return;
    }
    state_ |= STATE_CONNECTING;
    uid_ = tid_ = 0;
    if (wifi_ == nullptr) {
        wifi_ = std::make_unique<Osp::Net::Wifi::WifiManager>();
        wifi_->Construct(*this);
    }
    if (!wifi_->IsConnected() && !wifi_->IsActivated()) {
        if (!AskToTurnWifiOn()) {
            // The refusal ends the attempt from the loop, as every other failure does.
            Corvane* app = Corvane::GetMyInstance();
            if (app == nullptr || app->PostUserEvent(this, kWifiCancelledEvent) != RES_OK) {
                Disconnect(RES_CANCELLED);
            }
            return;
        }
        wifi_->Activate();
    }
    const std::wstring& ip = folder_->GetIpAddress().Units();
    if (!ip.empty()) {
        Osp::Net::Ip4Address address;
        if (Osp::Net::Ip4Address::Parse(folder_->GetIpAddress(), address) != RES_OK) {
            Cancel(RES_SERVER_NOT_FOUND);
            return;
        }
        StartTcpConnection(address.GetAddress());
        return;
    }
    // The name service carries names as bytes of plain text; any other character would be cut down to a
    // byte and ask for another computer.
    const std::wstring& node = folder_->GetNodeName().Units();
    if (std::any_of(node.begin(), node.end(), [](wchar_t c) { return c < 0x20 || c > 0x7E; })) {
        Cancel(RES_BAD_NODE_NAME);
        return;
    }
    nameClient_ = std::make_unique<NbtNsClient>(this, ToStlString(folder_->GetWinsServer()));
    nameClient_->QueryNsA(ToStlString(folder_->GetNodeName()), kFileServerSuffix);
}

bool SmbSession::AskToTurnWifiOn() {
    Osp::Ui::Controls::MessageBox question;
    int answer = Osp::Ui::Controls::MSGBOX_RESULT_CLOSE;
    if (question.Construct(Osp::Base::String(L""), Osp::Base::String(L"Turn Wi-Fi on?"),
                           Osp::Ui::Controls::MSGBOX_STYLE_YESNO) != RES_OK ||
        question.ShowAndWait(answer) != RES_OK) {
        return false;
    }
    return answer == Osp::Ui::Controls::MSGBOX_RESULT_YES;
}

void SmbSession::OnNbtNsQueryFinished(unsigned long result, unsigned long address) {
    if (result == RES_OK && address != 0) {
        nameClient_.reset();
        StartTcpConnection(address);
    } else {
        Cancel(RES_SERVER_NOT_FOUND);
    }
}

void SmbSession::StartTcpConnection(unsigned long address) {
    bool wifiConnected = wifi_ != nullptr && wifi_->IsConnected();
    timer_.Start(wifiConnected ? kLogonTimeoutMs : kLogonTimeoutWifiOffMs);
    CloseSocket();
    capabilities_ = 0;
    receiver_.Reset(kMaxMessageLength);
    ++connection_;
    auto socket = std::make_unique<Socket>();
    unsigned long r = socket->Construct(NET_SOCKET_AF_IPV4, NET_SOCKET_TYPE_STREAM, NET_SOCKET_PROTOCOL_TCP);
    if (r == RES_OK) {
        // Requests go out whole and at once: several small ones on their way must not wait for each
        // other's acknowledgement.
        r = socket->SetSockOpt(NET_SOCKET_IPPROTO_TCP, NET_SOCKET_TCP_NODELAY, 1);
    }
    if (r == RES_OK) {
        r = socket->AddSocketListener(*this);
    }
    if (r == RES_OK) {
        r = socket->AsyncSelectByListener(NET_SOCKET_EVENT_CONNECT | NET_SOCKET_EVENT_READ |
                                          NET_SOCKET_EVENT_WRITE | NET_SOCKET_EVENT_CLOSE);
    }
    if (r == RES_OK) {
        socket_ = std::move(socket);
        r = socket_->Connect(Osp::Net::NetEndPoint(Osp::Net::Ip4Address(address), g_serverPort));
    }
    if (r != RES_OK && r != RES_WOULD_BLOCK) {
        Cancel(r);
    }
}

void SmbSession::OnSocketConnected(Socket& socket) {
    if (&socket != socket_.get()) {
        return;
    }
    state_ |= STATE_NEGOTIATE_SENT;
    SendDirect(CreateSmbNegotiateProtocolRequestN());
}

void SmbSession::OnNegotiateResponse(const Smb& response) {
    state_ &= ~STATE_NEGOTIATE_SENT;
    SNegotiateInfo info;
    // A refusal, or the one-word answer that names no dialect, is a server that no longer speaks SMB1.
    if (response.Header().IsFailure() || response.wordCount == 1) {
        Cancel(RES_SMB1_REFUSED);
        return;
    }
    if (ParseNegotiateResponse(response, &info) != RES_OK) {
        Cancel(RES_FAILURE);
        return;
    }
    maxBuffer_ = static_cast<unsigned short>(std::min(info.maxBuffer, kMaxBuffer));
    maxMpx_ = std::min(info.maxMpx, kMaxMpx);
    securityMode_ = info.securityMode;
    serverTimeZone_ = info.serverTimeZone;
    challenge_ = info.challenge;
    capabilities_ = info.capabilities & kClientCapsMask;
    receiver_.SetMaxMessageLength((capabilities_ & CAP_LARGE_READX) != 0 ? kMaxLargeReadMessageLength
                                                                         : kMaxMessageLength);
    // Every name and path goes out in Unicode; a server without it would read them as other names.
    if ((capabilities_ & CAP_UNICODE) == 0) {
        Cancel(RES_NO_UNICODE);
        return;
    }
    bool userLevel = (securityMode_ & SECURITY_USER_LEVEL) != 0;
    bool encrypt = (securityMode_ & SECURITY_CHALLENGE_RESPONSE) != 0;
    const std::wstring& password = folder_->GetPassword().Units();
    // A server that does not offer challenge/response would read the password in clear text off the
    // network: the logon is refused instead, unless there is no password to give away.
    if (!encrypt && !password.empty()) {
        Cancel(RES_BAD_LOGON);
        return;
    }
    Smb* setup =
        CreateSessionSetupRequestN(folder_->GetUserName().Units(), userLevel ? password : L"", &response,
                                   capabilities_, maxBuffer_, maxMpx_, userLevel, encrypt);
    if (setup == nullptr) {
        Cancel(RES_FAILURE);
        return;
    }
    state_ |= STATE_SESSION_SETUP_SENT;
    SendDirect(setup);
}

void SmbSession::OnSessionSetupResponse(const Smb& response) {
    state_ &= ~STATE_SESSION_SETUP_SENT;
    SmbHeader header = response.Header();
    if (header.IsFailure()) {
        Cancel(SmbStatusToBadaResult(header.GetStatus()));
        return;
    }
    // A server that maps unknown users to its guest account takes a wrong password too; the user would
    // see the guest's view and never learn why.
    if (IsGuestLogon(response) && !folder_->GetPassword().IsEmpty()) {
        Cancel(RES_GUEST_ONLY);
        return;
    }
    timer_.Cancel();
    uid_ = header.GetUid();
    state_ = (state_ & ~STATE_CONNECTING) | STATE_LOGGED_ON;
    LiveRef<IUserEventHandler> self(this);
    if (listener_ != nullptr) {
        listener_->OnConnected(RES_OK);
    }
    if (self.Get() == nullptr || !IsConnected()) {
        return;
    }
    if ((state_ & STATE_TREE_WANTED) != 0) {
        TreeConnectA(folder_->GetNodeName().Units(), DefaultShare());
    } else {
        StampWaitingRequests();
        SendQueued();
    }
}

void SmbSession::OnUserEvent(int code) {
    if (code == kWifiCancelledEvent) {
        Disconnect(RES_CANCELLED);
    }
}

void SmbSession::OnWifiActivated(Osp::Base::result) {}

void SmbSession::OnWifiConnected(const Osp::Base::String&, Osp::Base::result) {}

void SmbSession::OnWifiDeactivated(Osp::Base::result) {}

void SmbSession::OnWifiDisconnected() {}

void SmbSession::OnWifiRssiChanged(long) {}

void SmbSession::OnWifiScanCompletedN(const Osp::Base::Collection::IList*, Osp::Base::result) {}
