// The requests of SmbSession: the queue of those waiting to go out, the ones on their way keyed by
// multiplex id, each with the deadline of its answer, the echo that probes an idle connection, and the
// answering of a request, its listener skipped when it has died. Runs on the user-interface thread like
// the rest of the session; a request that cannot be sent or is dropped hears the result the session's
// contract names.

#include "net/smb1/SmbSession.h"

#include <algorithm>

#include "app/Results.h"
#include "net/RemoteFolder.h"
#include "net/smb1/ISmbRequestListener.h"
#include "net/smb1/SmbEcho.h"
#include "net/smb1/SmbEvent.h"
#include "net/smb1/Trans2Req.h"
#include "net/smb1/Trans2Resp.h"

namespace {

// How long a request may wait for its answer; a server that stays silent longer is taken for gone.
constexpr int kDefaultRequestTimeoutMs = 30000;
// After this long without a word from the server, a cheap echo goes ahead of the next request, with a
// shorter deadline of its own: a connection that died while idle shows it soon.
constexpr int kDefaultIdleProbeAfterMs = 60000;
constexpr int kProbeTimeoutMs = 5000;
// The multiplex id of the server's own oplock breaks; no request of the client carries it.
constexpr unsigned short kServerMid = 0xFFFF;

int g_requestTimeoutMs = kDefaultRequestTimeoutMs;
int g_idleProbeAfterMs = kDefaultIdleProbeAfterMs;

}  // namespace

void SmbSession::SetRequestTimeout(int milliseconds) {
    g_requestTimeoutMs = milliseconds;
}

int SmbSession::GetRequestTimeout() {
    return g_requestTimeoutMs;
}

void SmbSession::SetIdleProbeAfter(int milliseconds) {
    g_idleProbeAfterMs = milliseconds;
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
