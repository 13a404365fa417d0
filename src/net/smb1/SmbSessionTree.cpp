// The tree connection of SmbSession: TREE_CONNECT_ANDX to the folder's share (or the one the user picked)
// with the deadline of its answer, and forgetting the tree. Runs on the user-interface thread like the
// rest of the session. The end is OnTreeConnected; a refused share ends the session with its result.

#include "net/smb1/SmbSession.h"

#include "app/Results.h"
#include "net/RemoteFolder.h"
#include "net/smb1/ISmbSessionListener.h"
#include "net/smb1/SmbNegotiate.h"
#include "net/smb1/SmbStatus.h"
#include "net/smb1/SmbTreeConnect.h"

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
    treeConnectDeadline_ = Clock::now() + std::chrono::milliseconds(GetRequestTimeout());
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
