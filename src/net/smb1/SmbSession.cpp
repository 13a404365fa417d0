#include "net/smb1/SmbSession.h"

#include <cstdlib>
#include <ctime>

#include "app/Corvane.h"
#include "app/Results.h"
#include "net/RemoteFolder.h"
#include "net/nbns/NbtNsClient.h"
#include "net/smb1/ISmbSessionListener.h"
#include "net/smb1/SmbEvent.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbOplockBreak.h"
#include "net/smb1/SmbReceiver.h"

namespace {

using namespace Osp::Net::Sockets;

unsigned short g_nextPid = 0;

}  // namespace

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

void SmbSession::OnUserEventEx(UserEvent* event) {
    if (auto* answer = dynamic_cast<SmbEvent*>(event)) {
        answer->Deliver();
    }
}

void SmbSession::OnSocketAccept(Socket&) {}
