#include "net/smb1/SmbSession.h"

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
#include "net/RemoteFolder.h"
#include "net/nbns/NbtNsClient.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/ISmbSessionListener.h"
#include "net/smb1/SmbEcho.h"
#include "net/smb1/SmbEvent.h"
#include "net/smb1/SmbFile.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbOplockBreak.h"
#include "net/smb1/SmbReceiver.h"
#include "net/smb1/SmbSessionSetup.h"
#include "net/smb1/SmbStatus.h"
#include "net/smb1/SmbTreeConnect.h"
#include "net/smb1/Trans2Req.h"
#include "net/smb1/Trans2Resp.h"

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
// The longest message the client takes; a large read's answer, when the server offers them, is longer.
constexpr unsigned int kMaxMessageLength = 65520;
// A large read's answer: the data behind the header, the read's twelve words and a pad.
constexpr unsigned int kMaxLargeReadMessageLength = kSmbFixedLength + 24 + 1 + SmbFile::kLargeBlockSize;
constexpr int kWifiCancelledEvent = 202;
// How long a request may wait for its answer; a server that stays silent longer is taken for gone.
constexpr int kDefaultRequestTimeoutMs = 30000;
// After this long without a word from the server, a cheap echo goes ahead of the next request, with a
// shorter deadline of its own: a connection that died while idle shows it soon.
constexpr int kDefaultIdleProbeAfterMs = 60000;
constexpr int kProbeTimeoutMs = 5000;
// The multiplex id of the server's own oplock breaks; no request of the client carries it.
constexpr unsigned short kServerMid = 0xFFFF;

unsigned short g_serverPort = kDefaultPort;
int g_requestTimeoutMs = kDefaultRequestTimeoutMs;
int g_idleProbeAfterMs = kDefaultIdleProbeAfterMs;
unsigned short g_nextPid = 0;

}  // namespace

void SmbSession::SetServerPort(unsigned short port) {
    g_serverPort = port;
}

unsigned short SmbSession::GetServerPort() {
    return g_serverPort;
}

void SmbSession::SetRequestTimeout(int milliseconds) {
    g_requestTimeoutMs = milliseconds;
}

int SmbSession::GetRequestTimeout() {
    return g_requestTimeoutMs;
}

void SmbSession::SetIdleProbeAfter(int milliseconds) {
    g_idleProbeAfterMs = milliseconds;
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
    requestTimer_.Construct(*this);
}

SmbSession::~SmbSession() {
    timer_.Cancel();
    requestTimer_.Cancel();
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

void SmbSession::CloseSocket() {
    socket_.reset();
    receiver_.Reset(kMaxMessageLength);
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
    // Every name and path goes out in Unicode; a server without it would read them as other names.
    if ((capabilities_ & CAP_UNICODE) == 0) {
        Cancel(RES_NO_UNICODE);
        return;
    }
    bool userLevel = (securityMode_ & SECURITY_USER_LEVEL) != 0;
    bool encrypt = (securityMode_ & SECURITY_CHALLENGE_RESPONSE) != 0;
    std::wstring password = userLevel ? L"" : folder_->GetPassword().Units();
    Smb* request = CreateSmbTreeConnectRequestN(password, challenge_.data(), uid_, path, encrypt);
    if (request == nullptr) {
        EndTreeConnect(RES_BAD_SHARE);
        return;
    }
    treeConnectDeadline_ = Clock::now() + std::chrono::milliseconds(g_requestTimeoutMs);
    ArmRequestTimer();
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
        StampWaitingRequests();
        SendQueued();
    }
}

void SmbSession::TreeDisconnect() {
    state_ &= ~STATE_TREE_CONNECT_SENT;
    tid_ = 0;
}

unsigned short SmbSession::SendSmbA(Smb* request, ISmbRequestListener* listener, int flags) {
    std::unique_ptr<Smb> message(request);
    unsigned short mid = NextMid();
    SSmbRequest record;
    record.listener = LiveRef<ISmbRequestListener>(listener);
    record.mid = mid;
    record.command = message != nullptr ? message->Header().GetCommand() : 0;
    record.awaitsAnswer = (flags & SEND_NO_ANSWER) == 0;
    record.timeoutMs = g_requestTimeoutMs;
    if (message == nullptr || mid == 0) {
        if (listener != nullptr) {
            PostSmbEvent(SmbEvent::NotSentN(listener, record.command, mid, RES_FAILURE));
        }
        return mid;
    }
    record.smb = std::move(message);
    if (IsConnected()) {
        bool treeNeeded = (flags & SEND_NEED_TREE) != 0 && tid_ == 0;
        // A request goes to the tree the session has now; one that waits for a tree gets the one it
        // waited for.
        if (!treeNeeded && (state_ & STATE_TREE_CONNECT_SENT) == 0) {
            record.stamped = true;
            record.uid = uid_;
            record.tid = tid_;
        }
        ProbeIfIdle();
        queue_.push_back(std::move(record));
        if (treeNeeded) {
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

unsigned short SmbSession::NextMid() {
    // Ids wrap in a long session: one that still waits for its answer is never given out again.
    for (unsigned int tries = 0; tries <= 0xFFFF; ++tries) {
        unsigned short mid = ++lastMid_;
        if (mid != 0 && mid != kServerMid && !MidInUse(mid)) {
            return mid;
        }
    }
    return 0;
}

bool SmbSession::MidInUse(unsigned short mid) const {
    if (inFlight_.count(mid) != 0) {
        return true;
    }
    return std::any_of(queue_.begin(), queue_.end(), [mid](const SSmbRequest& r) { return r.mid == mid; });
}

void SmbSession::StampWaitingRequests() {
    for (SSmbRequest& request : queue_) {
        if (!request.stamped) {
            request.stamped = true;
            request.uid = uid_;
            request.tid = tid_;
        }
    }
}

void SmbSession::ProbeIfIdle() {
    if (!inFlight_.empty() || !queue_.empty() ||
        Clock::now() - lastHeard_ < std::chrono::milliseconds(g_idleProbeAfterMs)) {
        return;
    }
    SSmbRequest probe;
    probe.smb.reset(CreateSmbEchoRequestN());
    probe.mid = NextMid();
    probe.command = SMB_COM_ECHO;
    probe.stamped = true;
    probe.uid = uid_;
    probe.tid = tid_;
    probe.timeoutMs = std::min(kProbeTimeoutMs, g_requestTimeoutMs);
    if (probe.mid != 0) {
        queue_.push_back(std::move(probe));
    }
}

void SmbSession::ArmRequestTimer() {
    bool any = (state_ & STATE_TREE_CONNECT_SENT) != 0 && IsConnected();
    Clock::time_point nearest = any ? treeConnectDeadline_ : Clock::time_point::max();
    for (const auto& [mid, request] : inFlight_) {
        nearest = std::min(nearest, request.deadline);
        any = true;
    }
    if (!any) {
        requestTimer_.Cancel();
        return;
    }
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nearest - Clock::now()).count();
    requestTimer_.Start(static_cast<int>(std::max<long long>(wait, 0) + 1));
}

void SmbSession::OnRequestTimerExpired() {
    Clock::time_point now = Clock::now();
    bool late = (state_ & STATE_TREE_CONNECT_SENT) != 0 && IsConnected() && treeConnectDeadline_ <= now;
    for (const auto& [mid, request] : inFlight_) {
        late = late || request.deadline <= now;
    }
    if (late) {
        // The server stays silent: whatever waits on this connection would wait until TCP gives up.
        FailConnection(RES_DISCONNECTED);
    } else {
        ArmRequestTimer();
    }
}

unsigned long SmbSession::PostSmbEvent(SmbSession* session, SmbEvent* event) {
    // Answers of files and listings whose folder, and session, are gone.
    class OrphanAnswers : public IUserEventHandler {
        void OnUserEvent(int) override {}
        void OnUserEventEx(UserEvent* event) override {
            if (auto* answer = dynamic_cast<SmbEvent*>(event)) {
                answer->Deliver();
            }
        }
    };
    static OrphanAnswers orphans;
    if (session != nullptr) {
        return session->PostSmbEvent(event);
    }
    Corvane* app = Corvane::GetMyInstance();
    if (app == nullptr) {
        delete event;
        return RES_FAILURE;
    }
    return app->PostUserEventEx(&orphans, event);
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
    FollowServerFlags(*message);
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
    // The server takes no more requests at once than the client announced, whoever sends them.
    if (front.awaitsAnswer && inFlight_.size() >= std::max<unsigned short>(maxMpx_, 1)) {
        return false;
    }
    if (!front.stamped) {
        front.stamped = true;
        front.uid = uid_;
        front.tid = tid_;
    }
    SmbHeader header = front.smb->Header();
    header.SetMid(front.mid);
    header.SetUid(front.uid);
    header.SetTid(front.tid);
    header.SetPid(pid_);
    FollowServerFlags(*front.smb);
    txSmb_ = std::move(front.smb);
    if (front.awaitsAnswer) {
        front.deadline = Clock::now() + std::chrono::milliseconds(front.timeoutMs);
        inFlight_[front.mid] = std::move(front);
        queue_.pop_front();
        ArmRequestTimer();
    } else {
        queue_.pop_front();
    }
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

void SmbSession::FailConnection(unsigned long result) {
    receiver_.Reset(kMaxMessageLength);
    // Once the stream is out of step nothing read from it can be trusted: the attempt or the session ends.
    if ((state_ & STATE_CONNECTING) != 0) {
        Cancel(result);
    } else {
        Disconnect(RES_DISCONNECTED);
    }
}

void SmbSession::FollowServerFlags(Smb& message) const {
    // A server without NT status codes answers in error classes, and is asked in kind.
    if ((capabilities_ & CAP_STATUS32) == 0 && (state_ & STATE_NEGOTIATE_SENT) == 0) {
        SmbHeader header = message.Header();
        header.SetFlags2(header.GetFlags2() & ~SMB_FLAGS2_NT_STATUS);
    }
}

void SmbSession::OnSocketReadyToReceive(Socket& socket) {
    if (&socket != socket_.get()) {
        return;
    }
    LiveRef<IUserEventHandler> self(this);
    // Reads until nothing more waits: each message's transport header, then the message itself straight
    // into a buffer of its size. A callback may have closed this connection and opened another: what
    // waits on the new one is its own events' to read.
    unsigned int connection = connection_;
    while (self.Get() != nullptr && socket_ != nullptr && connection_ == connection) {
        unsigned int room = 0;
        unsigned char* space = receiver_.Space(&room);
        int received = 0;
        unsigned long r = socket_->Receive(space, static_cast<int>(room), received);
        // The end of the stream is the socket's to report (OnSocketClosed), as it is while nothing is read.
        if (r == RES_WOULD_BLOCK || r == Osp::Base::E_CONNECTION_RESET) {
            return;
        }
        if (r != RES_OK) {
            FailConnection(r);
            continue;
        }
        SmbReceiver::TResult result = receiver_.Received(static_cast<unsigned int>(received));
        if (result == SmbReceiver::RESULT_BAD) {
            // A length the client does not take, or a message that is not SMB or whose counts do not fit.
            FailConnection(RES_DISCONNECTED);
        } else if (result == SmbReceiver::RESULT_MESSAGE) {
            OnMessage(receiver_.TakeMessage());
        }
    }
}

void SmbSession::OnMessage(std::unique_ptr<Smb> message) {
    lastHeard_ = Clock::now();
    if (listener_ != nullptr && listener_->OnSmbReceived(message.get())) {
        return;
    }
    Dispatch(std::move(message));
}

void SmbSession::Dispatch(std::unique_ptr<Smb> message) {
    SSmbAwaited awaited;
    awaited.negotiate = (state_ & STATE_NEGOTIATE_SENT) != 0;
    awaited.sessionSetup = (state_ & STATE_SESSION_SETUP_SENT) != 0;
    awaited.treeConnect = (state_ & STATE_TREE_CONNECT_SENT) != 0;
    auto it = inFlight_.find(message->Header().GetMid());
    awaited.requestCommand = it != inFlight_.end() ? it->second.command : -1;
    unsigned short fid = 0;
    switch (RouteSmb(*message, awaited, &fid)) {
        case ROUTE_NEGOTIATE:
            OnNegotiateResponse(*message);
            return;
        case ROUTE_SESSION_SETUP:
            OnSessionSetupResponse(*message);
            return;
        case ROUTE_TREE_CONNECT:
            OnTreeConnectResponse(*message);
            return;
        case ROUTE_OPLOCK_BREAK:
            // Another client wants a file this one holds under an oplock. Nothing is cached here, so the
            // oplock goes at once, after whatever was sent before: the other client need not wait for the
            // time-out.
            SendSmbA(CreateOplockReleaseRequestN(fid), nullptr, SEND_WHEN_CONNECTED | SEND_NO_ANSWER);
            return;
        case ROUTE_OUT_OF_STEP:
            // An answer of another command under a request's id: that request hears what went wrong,
            // the others that the connection is gone.
            if (it != inFlight_.end()) {
                SSmbRequest request = std::move(it->second);
                inFlight_.erase(it);
                LiveRef<IUserEventHandler> self(this);
                DeliverToRequest(request, RES_BAD_RESPONSE, nullptr);
                if (self.Get() == nullptr) {
                    return;
                }
            }
            FailConnection(RES_BAD_RESPONSE);
            return;
        case ROUTE_ANSWER:
            break;
    }
    SSmbRequest request = std::move(it->second);
    inFlight_.erase(it);
    LiveRef<IUserEventHandler> self(this);
    DeliverToRequest(request, RES_OK, std::move(message));
    // A place among the requests on their way came free.
    if (self.Get() != nullptr) {
        SendQueued();
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
    requestTimer_.Cancel();
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
    receiver_.Reset(kMaxMessageLength);
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

void SmbSession::OnTimerExpired(Osp::Base::Runtime::Timer& timer) {
    if (&timer == &requestTimer_) {
        OnRequestTimerExpired();
    } else {
        Disconnect(RES_DISCONNECTED);
    }
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
