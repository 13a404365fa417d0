#include "net/SmbSession.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "Osp/Net/Ip4Address.h"
#include "Osp/Ui/Controls/MessageBox.h"
#include "app/ByteOrder.h"
#include "app/Corvane.h"
#include "app/Results.h"
#include "app/StringConv.h"
#include "net/ISmbRequestListener.h"
#include "net/ISmbSessionListener.h"
#include "net/NbtNsClient.h"
#include "net/RemoteFolder.h"
#include "net/SmbEvent.h"
#include "net/SmbNegotiate.h"
#include "net/SmbOplockBreak.h"
#include "net/SmbSessionSetup.h"
#include "net/SmbStatus.h"
#include "net/SmbTreeConnect.h"
#include "net/Trans2Req.h"
#include "net/Trans2Resp.h"

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
// A transport header's 32 bits, type byte included, must lie in this range for a session message the
// client takes; it bounds the buffer one message may claim.
constexpr unsigned int kMinMessageLength = 20;
constexpr unsigned int kMaxMessageLengthSpan = 65500;
// A keep-alive of the session service: type 0x85, no body.
constexpr unsigned int kKeepAlive = 0x85000000;
constexpr int kWifiCancelledEvent = 202;
constexpr unsigned char kSmbMark[4] = {0xFF, 'S', 'M', 'B'};

unsigned short g_serverPort = kDefaultPort;
unsigned short g_nextPid = 0;

}  // namespace

void SmbSession::SetServerPort(unsigned short port) {
    g_serverPort = port;
}

unsigned short SmbSession::NextPid() {
    if (g_nextPid == 0) {
        std::srand(static_cast<unsigned int>(std::time(nullptr)));
        while (g_nextPid == 0) {
            g_nextPid = static_cast<unsigned short>((std::rand() & 0xFFFF) + std::rand());
        }
    }
    unsigned short pid = g_nextPid++;
    if (g_nextPid == 0) {
        g_nextPid = 1;
    }
    return pid;
}

SmbSession::SmbSession(RemoteFolder* folder) : folder_(folder), pid_(NextPid()) {
    timer_.Construct(*this);
}

SmbSession::~SmbSession() {
    timer_.Cancel();
    nameClient_.reset();
    CloseSocket();
    ClearUnsendRequests(RES_FAILURE);
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

void SmbSession::CloseSocket() {
    socket_.reset();
    ResetReceive();
    txSmb_.reset();
    directSmb_.reset();
    txSent_ = 0;
}

void SmbSession::RefreshFolder() {
    Corvane* app = Corvane::GetMyInstance();
    if (app != nullptr) {
        app->OnFolderChanged(folder_, false);
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
    if (response.Header().IsFailure() || ParseNegotiateResponse(response, &info) != RES_OK) {
        Cancel(RES_FAILURE);
        return;
    }
    maxBuffer_ = static_cast<unsigned short>(std::min(info.maxBuffer, kMaxBuffer));
    maxMpx_ = std::min(info.maxMpx, kMaxMpx);
    securityMode_ = info.securityMode;
    serverTimeZone_ = info.serverTimeZone;
    challenge_ = info.challenge;
    bool userLevel = (securityMode_ & SECURITY_USER_LEVEL) != 0;
    bool encrypt = (securityMode_ & SECURITY_CHALLENGE_RESPONSE) != 0;
    const std::wstring& password = folder_->GetPassword().Units();
    // A server that does not offer challenge/response would read the password in clear text off the
    // network: the logon is refused instead, unless there is no password to give away.
    if (!encrypt && !password.empty()) {
        Cancel(RES_BAD_LOGON);
        return;
    }
    Smb* setup = CreateSessionSetupRequestN(folder_->GetUserName().Units(), userLevel ? password : L"",
                                            &response, info.capabilities & kClientCapsMask, maxBuffer_,
                                            maxMpx_, userLevel, encrypt);
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
        SendQueued();
    }
}

std::wstring SmbSession::DefaultShare() const {
    const std::wstring& configured = folder_->GetShareName().Units();
    return configured.empty() ? share_ : configured;
}

void SmbSession::TreeConnectA(const std::wstring& node, const std::wstring& share) {
    if (!IsConnected()) {
        // The session went away while the caller was deciding; it hears so at once.
        if (listener_ != nullptr) {
            listener_->OnTreeConnected(RES_DISCONNECTED);
        }
        return;
    }
    if (tid_ != 0 || (state_ & STATE_TREE_CONNECT_SENT) != 0) {
        return;
    }
    std::wstring path = L"\\\\" + (node.empty() ? folder_->GetIpAddress().Units() : node) + L"\\" + share;
    state_ |= STATE_TREE_CONNECT_SENT;
    share_ = share;
    bool userLevel = (securityMode_ & SECURITY_USER_LEVEL) != 0;
    bool encrypt = (securityMode_ & SECURITY_CHALLENGE_RESPONSE) != 0;
    std::wstring password = userLevel ? L"" : folder_->GetPassword().Units();
    Smb* request = CreateSmbTreeConnectRequestN(password, challenge_.data(), uid_, path, encrypt);
    if (request == nullptr) {
        EndTreeConnect(RES_BAD_SHARE);
        return;
    }
    SendDirect(request);
}

void SmbSession::OnTreeConnectResponse(const Smb& response) {
    SmbHeader header = response.Header();
    if (!header.IsFailure()) {
        tid_ = header.GetTid();
    }
    EndTreeConnect(SmbStatusToBadaResult(header.GetStatus()));
}

void SmbSession::EndTreeConnect(unsigned long result) {
    RefreshFolder();
    state_ &= ~(STATE_TREE_CONNECT_SENT | STATE_TREE_WANTED);
    LiveRef<IUserEventHandler> self(this);
    if (listener_ != nullptr) {
        listener_->OnTreeConnected(result);
    }
    if (self.Get() == nullptr) {
        return;
    }
    if (result != RES_OK) {
        Disconnect(result);
    } else {
        SendQueued();
    }
}

void SmbSession::TreeDisconnect() {
    state_ &= ~STATE_TREE_CONNECT_SENT;
    tid_ = 0;
}

unsigned short SmbSession::SendSmbA(Smb* request, ISmbRequestListener* listener, int flags) {
    std::unique_ptr<Smb> message(request);
    unsigned short mid = ++lastMid_;
    if (mid == 0) {
        // Multiplex id 0 belongs to the messages of the logon.
        mid = ++lastMid_;
    }
    SSmbRequest record;
    record.listener = LiveRef<ISmbRequestListener>(listener);
    record.mid = mid;
    record.command = message != nullptr ? message->Header().GetCommand() : 0;
    record.awaitsAnswer = (flags & SEND_NO_ANSWER) == 0;
    if (message == nullptr) {
        if (listener != nullptr) {
            PostSmbEvent(SmbEvent::NotSentN(listener, record.command, mid, RES_FAILURE));
        }
        return mid;
    }
    record.smb = std::move(message);
    if (IsConnected()) {
        queue_.push_back(std::move(record));
        if ((flags & SEND_NEED_TREE) != 0 && tid_ == 0) {
            TreeConnectA(folder_->GetNodeName().Units(), DefaultShare());
        } else {
            SendQueued();
        }
    } else if ((flags & SEND_CONNECT) != 0) {
        queue_.push_back(std::move(record));
        if ((flags & SEND_NEED_TREE) != 0) {
            state_ |= STATE_TREE_WANTED;
        }
        ConnectA();
    } else if (listener != nullptr) {
        PostSmbEvent(SmbEvent::NotSentN(listener, record.command, mid, RES_DISCONNECTED));
    }
    return mid;
}

unsigned long SmbSession::PostSmbEvent(SmbEvent* event) {
    Corvane* app = Corvane::GetMyInstance();
    if (app == nullptr) {
        delete event;
        return RES_FAILURE;
    }
    return app->PostUserEventEx(this, event);
}

void SmbSession::SendDirect(Smb* message) {
    if (message == nullptr || socket_ == nullptr) {
        delete message;
        return;
    }
    if (txSmb_ != nullptr) {
        directSmb_.reset(message);
        return;
    }
    txSmb_.reset(message);
    txSent_ = 0;
    WriteOut();
}

void SmbSession::SendQueued() {
    if (txSmb_ == nullptr && TakeNextMessage()) {
        WriteOut();
    }
}

bool SmbSession::TakeNextMessage() {
    txSent_ = 0;
    if (directSmb_ != nullptr) {
        txSmb_ = std::move(directSmb_);
        return true;
    }
    // Requests wait while a tree connect is on its way, so that each carries the tree it needs.
    if (queue_.empty() || !IsConnected() || (state_ & STATE_TREE_CONNECT_SENT) != 0 || socket_ == nullptr) {
        return false;
    }
    SSmbRequest& front = queue_.front();
    SmbHeader header = front.smb->Header();
    header.SetMid(front.mid);
    header.SetUid(uid_);
    header.SetTid(tid_);
    header.SetPid(pid_);
    txSmb_ = std::move(front.smb);
    if (front.awaitsAnswer) {
        inFlight_[front.mid] = std::move(front);
    }
    queue_.pop_front();
    return true;
}

void SmbSession::WriteOut() {
    while (txSmb_ != nullptr && socket_ != nullptr) {
        unsigned int size = 0;
        const unsigned char* bytes = txSmb_->GetBuffer(&size);
        while (txSent_ < size) {
            int sent = 0;
            unsigned long r = socket_->Send(bytes + txSent_, static_cast<int>(size - txSent_), sent);
            if (r == RES_WOULD_BLOCK) {
                return;
            }
            if (r != RES_OK) {
                // A half-written message leaves the stream unusable, whatever the stage.
                if ((state_ & STATE_CONNECTING) != 0) {
                    Cancel(r);
                } else {
                    Disconnect(RES_DISCONNECTED);
                }
                return;
            }
            txSent_ += static_cast<unsigned int>(sent);
        }
        txSmb_.reset();
        TakeNextMessage();
    }
}

void SmbSession::OnSocketReadyToSend(Socket& socket) {
    if (&socket == socket_.get()) {
        WriteOut();
    }
}

void SmbSession::ResetReceive() {
    rxBuffer_.reset();
    rxExpected_ = 0;
    rxReceived_ = 0;
}

void SmbSession::ReportStreamError(unsigned long result) {
    ResetReceive();
    // Once the stream is out of step nothing read from it can be trusted: the attempt or the session ends.
    if ((state_ & STATE_CONNECTING) != 0) {
        Cancel(result);
    } else {
        Disconnect(RES_DISCONNECTED);
    }
}

void SmbSession::OnSocketReadyToReceive(Socket& socket) {
    if (&socket != socket_.get()) {
        return;
    }
    LiveRef<IUserEventHandler> self(this);
    // Reads until nothing more waits: each message's transport header, then the message itself straight
    // into a buffer of its size.
    while (self.Get() != nullptr && socket_ != nullptr) {
        if (rxBuffer_ == nullptr) {
            rxBuffer_ = std::make_unique<unsigned char[]>(kTransportHeaderLength);
            rxExpected_ = kTransportHeaderLength;
            rxReceived_ = 0;
        }
        int received = 0;
        unsigned long r = socket_->Receive(rxBuffer_.get() + rxReceived_,
                                           static_cast<int>(rxExpected_ - rxReceived_), received);
        // The end of the stream is the socket's to report (OnSocketClosed), as it is while nothing is read.
        if (r == RES_WOULD_BLOCK || r == Osp::Base::E_CONNECTION_RESET) {
            return;
        }
        if (r != RES_OK) {
            ReportStreamError(r);
            continue;
        }
        rxReceived_ += static_cast<unsigned int>(received);
        if (rxReceived_ < rxExpected_) {
            continue;
        }
        if (rxExpected_ == kTransportHeaderLength) {
            unsigned int length = (static_cast<unsigned int>(rxBuffer_[0]) << 24) |
                                  (static_cast<unsigned int>(rxBuffer_[1]) << 16) |
                                  (static_cast<unsigned int>(rxBuffer_[2]) << 8) | rxBuffer_[3];
            if (length == kKeepAlive) {
                ResetReceive();
                continue;
            }
            if (length - kMinMessageLength > kMaxMessageLengthSpan) {
                ReportStreamError(RES_DISCONNECTED);
                continue;
            }
            auto grown = std::make_unique_for_overwrite<unsigned char[]>(kTransportHeaderLength + length);
            std::memcpy(grown.get(), rxBuffer_.get(), kTransportHeaderLength);
            rxBuffer_ = std::move(grown);
            rxExpected_ = kTransportHeaderLength + length;
            continue;
        }
        unsigned int length = rxExpected_;
        std::unique_ptr<unsigned char[]> buffer = std::move(rxBuffer_);
        ResetReceive();
        OnMessage(std::move(buffer), length);
    }
}

void SmbSession::OnMessage(std::unique_ptr<unsigned char[]> buffer, unsigned int length) {
    auto message = std::make_unique<Smb>();
    // A message whose counts do not fit its length, or that is not SMB at all, is dropped unread.
    if (!message->ReceiveFrom(buffer.release(), length, true) ||
        std::memcmp(message->header, kSmbMark, sizeof kSmbMark) != 0) {
        return;
    }
    if (listener_ != nullptr && listener_->OnSmbReceived(message.get())) {
        return;
    }
    Dispatch(std::move(message));
}

void SmbSession::Dispatch(std::unique_ptr<Smb> message) {
    SmbHeader header = message->Header();
    unsigned char command = header.GetCommand();
    // The logon's answers count only while the client waits for them.
    if (command == SMB_COM_NEGOTIATE) {
        if ((state_ & STATE_NEGOTIATE_SENT) != 0) {
            OnNegotiateResponse(*message);
        }
        return;
    }
    if (command == SMB_COM_SESSION_SETUP_ANDX) {
        if ((state_ & STATE_SESSION_SETUP_SENT) != 0) {
            OnSessionSetupResponse(*message);
        }
        return;
    }
    if (command == SMB_COM_TREE_CONNECT_ANDX) {
        if ((state_ & STATE_TREE_CONNECT_SENT) != 0) {
            OnTreeConnectResponse(*message);
        }
        return;
    }
    // Another client wants a file this one holds under an oplock. Nothing is cached here, so the oplock
    // goes at once, after whatever was sent before: the other client need not wait for the time-out.
    unsigned short fid = 0;
    if (ParseOplockBreakRequest(*message, &fid)) {
        SendSmbA(CreateOplockReleaseRequestN(fid), nullptr, SEND_WHEN_CONNECTED | SEND_NO_ANSWER);
        return;
    }
    auto it = inFlight_.find(header.GetMid());
    if (it == inFlight_.end()) {
        return;
    }
    SSmbRequest request = std::move(it->second);
    inFlight_.erase(it);
    if (command != request.command) {
        DeliverToRequest(request, RES_BAD_RESPONSE, nullptr);
    } else {
        DeliverToRequest(request, RES_OK, std::move(message));
    }
}

void SmbSession::DeliverToRequest(const SSmbRequest& request, unsigned long result,
                                  std::unique_ptr<Smb> response) {
    ISmbRequestListener* listener = request.listener.Get();
    if (listener == nullptr) {
        return;
    }
    if (request.command != SMB_COM_TRANSACTION && request.command != SMB_COM_TRANSACTION2) {
        listener->OnSmbReceivedN(result, request.mid, result == RES_OK ? std::move(response) : nullptr);
        return;
    }
    Trans2Resp parsed;
    if (result == RES_OK) {
        result = parsed.FromSmb(response.release());
    }
    const Trans2Resp* answer = result == RES_OK ? &parsed : nullptr;
    if (request.command == SMB_COM_TRANSACTION) {
        listener->OnTransReceived(result, request.mid, answer);
    } else {
        listener->OnTrans2Received(result, request.mid, answer);
    }
}

void SmbSession::ClearUnsendRequests(unsigned long result) {
    std::map<unsigned short, SSmbRequest> inFlight = std::move(inFlight_);
    std::deque<SSmbRequest> queue = std::move(queue_);
    inFlight_.clear();
    queue_.clear();
    txSmb_.reset();
    directSmb_.reset();
    txSent_ = 0;
    for (auto& [mid, request] : inFlight) {
        DeliverToRequest(request, result, nullptr);
    }
    for (SSmbRequest& request : queue) {
        request.smb.reset();
        DeliverToRequest(request, result, nullptr);
    }
}

void SmbSession::Cancel(unsigned long result) {
    timer_.Cancel();
    nameClient_.reset();
    if ((state_ & STATE_CONNECTING) == 0) {
        return;
    }
    CloseSocket();
    RefreshFolder();
    state_ &= ~(STATE_CONNECTING | STATE_NEGOTIATE_SENT | STATE_SESSION_SETUP_SENT);
    unsigned long dropped = result != RES_OK ? result : RES_DISCONNECTED;
    LiveRef<IUserEventHandler> self(this);
    if (listener_ != nullptr) {
        listener_->OnConnected(dropped);
    }
    // Requests that waited for this attempt would otherwise wait for the next one.
    if (self.Get() != nullptr) {
        ClearUnsendRequests(dropped);
    }
}

void SmbSession::Disconnect(unsigned long result) {
    LiveRef<IUserEventHandler> self(this);
    Cancel(result);
    if (self.Get() == nullptr) {
        return;
    }
    state_ &= ~(STATE_LOGGED_ON | STATE_TREE_CONNECT_SENT | STATE_TREE_WANTED);
    uid_ = tid_ = 0;
    CloseSocket();
    ClearUnsendRequests(result != RES_OK ? result : RES_DISCONNECTED);
    if (self.Get() == nullptr) {
        return;
    }
    RefreshFolder();
    if (listener_ != nullptr) {
        listener_->OnDisconnected();
    }
}

void SmbSession::OnSocketClosed(Socket& socket, NetSocketClosedReason) {
    if (&socket != socket_.get()) {
        return;
    }
    // A connection that closes during the logon ends the attempt now, as the timer would later: waiting
    // for the timer would also swallow a retry made meanwhile.
    if ((state_ & STATE_CONNECTING) != 0) {
        Disconnect(RES_DISCONNECTED);
        return;
    }
    state_ &= ~(STATE_TREE_CONNECT_SENT | STATE_LOGGED_ON);
    uid_ = tid_ = 0;
    ResetReceive();
    LiveRef<IUserEventHandler> self(this);
    ClearUnsendRequests(RES_DISCONNECTED);
    if (self.Get() == nullptr) {
        return;
    }
    RefreshFolder();
    if (listener_ != nullptr) {
        listener_->OnDisconnected();
    }
}

void SmbSession::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    Disconnect(RES_DISCONNECTED);
}

void SmbSession::OnUserEvent(int code) {
    if (code == kWifiCancelledEvent) {
        Disconnect(RES_CANCELLED);
    }
}

void SmbSession::OnUserEventEx(UserEvent* event) {
    if (auto* answer = dynamic_cast<SmbEvent*>(event)) {
        answer->Deliver();
    }
}

void SmbSession::OnSocketAccept(Socket&) {}

void SmbSession::OnWifiActivated(Osp::Base::result) {}

void SmbSession::OnWifiConnected(const Osp::Base::String&, Osp::Base::result) {}

void SmbSession::OnWifiDeactivated(Osp::Base::result) {}

void SmbSession::OnWifiDisconnected() {}

void SmbSession::OnWifiRssiChanged(long) {}

void SmbSession::OnWifiScanCompletedN(const Osp::Base::Collection::IList*, Osp::Base::result) {}
