#include "net/smb1/FsSmbBrowser.h"

#include <set>
#include <vector>

#include "app/Results.h"
#include "fs/IFsBrowserListener.h"
#include "fs/Places.h"
#include "net/RemoteFolder.h"
#include "net/smb1/DceResponse.h"
#include "net/smb1/DceShareEnumAll.h"
#include "net/smb1/DceSrvsvcBind.h"
#include "net/smb1/SmbDir.h"
#include "net/smb1/SmbFile.h"
#include "net/smb1/SmbSession.h"
#include "net/smb1/SmbStatus.h"

namespace {

constexpr int kCapabilities = CAP_ENUM_TIMES | CAP_WRITE | CAP_CREATE_FOLDER | CAP_FILE_IO;
constexpr unsigned int kPipeBufferSize = 4096;
// The bind's answer is read in one piece of this size; its content is not looked at.
constexpr unsigned int kBindAnswerSize = 1024;
constexpr unsigned short kDceCallId = 1;
// Room left in the negotiated buffer for the headers around a DCE/RPC fragment.
constexpr unsigned short kDceFragmentReserve = 100;
constexpr wchar_t kIpcShare[] = L"IPC$";
constexpr wchar_t kSrvsvcPipe[] = L"\\srvsvc";
constexpr unsigned int kDiskShare = 0;

}  // namespace

SmbBrowser::SmbBrowser(RemoteFolder* folder) : folder_(folder) {}

SmbBrowser::~SmbBrowser() {
    pipe_.reset();
    shareReply_.reset();
    if (session_ != nullptr) {
        session_->SetSmbSessionListener(nullptr);
    }
}

SmbSession* SmbBrowser::Session() {
    if (session_ == nullptr) {
        session_ = folder_->CreateSmbSession(this);
    }
    session_->SetSmbSessionListener(this);
    return session_;
}

bool SmbBrowser::IsLoggedOn() const {
    return session_ != nullptr && session_->IsConnected();
}

bool SmbBrowser::IsShareConnected() const {
    return session_ != nullptr && session_->HasTreeSession();
}

std::wstring SmbBrowser::DescribeConnection() const {
    return IsShareConnected() ? L"SMB1 (NT LM 0.12)" : L"";
}

void SmbBrowser::CancelConnecting() {
    if (session_ != nullptr) {
        session_->Disconnect(RES_CANCELLED);
    }
}

void SmbBrowser::Disconnect() {
    if (session_ != nullptr) {
        session_->Disconnect(RES_OK);
    }
}

bool SmbBrowser::AskDiskSizeA(IDiskSizeListener*) {
    return false;
}

void SmbBrowser::AddRef() {}

void SmbBrowser::Release() {}

void SmbBrowser::SetListener(IFsBrowserListener* listener) {
    listener_ = listener;
}

void SmbBrowser::RemoveListener(IFsBrowserListener* listener) {
    if (listener_ == listener) {
        listener_ = nullptr;
    }
}

void SmbBrowser::SetPassword(unsigned long, const std::wstring&) {}

unsigned long SmbBrowser::OpenRootDirA() {
    SmbSession* session = Session();
    if (session->HasTreeSession()) {
        if (listener_ != nullptr) {
            listener_->OnOpenDir(RES_OK, new SmbDir(this, L"\\"));
        }
        return RES_OK;
    }
    rootPending_ = true;
    if (!session->IsConnected()) {
        if (listener_ != nullptr) {
            listener_->ShowPopup(Osp::Base::String(L"Connecting..."), true);
        }
        folder_->SmbConnect();
    } else if (folder_->GetShareName().IsEmpty()) {
        StartShareEnumeration();
    } else {
        session->TreeConnectA(folder_->GetNodeName().Units(), folder_->GetShareName().Units());
    }
    return RES_OK;
}

void SmbBrowser::AnswerRoot(unsigned long result) {
    if (!rootPending_) {
        return;
    }
    rootPending_ = false;
    if (listener_ != nullptr) {
        listener_->HidePopup();
        listener_->OnOpenDir(result, result == RES_OK ? new SmbDir(this, L"\\") : nullptr);
    }
}

void SmbBrowser::OnConnected(unsigned long result) {
    if (result != RES_OK) {
        AnswerRoot(result);
        return;
    }
    if (!rootPending_) {
        // A request of this browser made the connection; the session connects the tree it needs.
        return;
    }
    if (folder_->GetShareName().IsEmpty()) {
        StartShareEnumeration();
    } else {
        session_->TreeConnectA(folder_->GetNodeName().Units(), folder_->GetShareName().Units());
    }
}

void SmbBrowser::OnTreeConnected(unsigned long result) {
    if (rootPending_ && listener_ != nullptr) {
        listener_->HidePopup();
    }
    if ((flags_ & FLAG_ENUMERATING_SHARES) == 0) {
        AnswerRoot(result);
        return;
    }
    if (result != RES_OK) {
        flags_ &= ~FLAG_ENUMERATING_SHARES;
        AnswerRoot(result);
        return;
    }
    auto* pipe = new SmbFile(session_, this, SmbSession::SEND_WHEN_CONNECTED);
    pipe->Open(kSrvsvcPipe, FILE_MODE_WRITE, FILE_DISP_OPEN_EXISTING);
}

bool SmbBrowser::OnSmbReceived(const Smb*) {
    return false;
}

void SmbBrowser::OnDisconnected() {
    if ((flags_ & FLAG_ENUMERATING_SHARES) != 0) {
        flags_ &= ~FLAG_ENUMERATING_SHARES;
        pipe_.reset();
        pipeBuffer_.reset();
        bindPacket_.reset();
        shareReply_.reset();
    }
    std::map<unsigned short, SOperation> operations = std::move(operations_);
    operations_.clear();
    for (const auto& [mid, op] : operations) {
        PostDone(op, RES_DISCONNECTED);
    }
    AnswerRoot(RES_DISCONNECTED);
}

void SmbBrowser::StartShareEnumeration() {
    flags_ |= FLAG_ENUMERATING_SHARES;
    session_->TreeConnectA(folder_->GetNodeName().Units(), kIpcShare);
}

void SmbBrowser::OnCreateN(unsigned long result, IFsFile* file) {
    if (result != RES_OK || (flags_ & FLAG_ENUMERATING_SHARES) == 0) {
        delete file;
        CancelBrowsingForShares(RES_NO_SHARES);
        return;
    }
    pipe_.reset(file);
    unsigned short maxBuffer = session_->GetMaxBuffer();
    unsigned short maxFragment =
        maxBuffer > kDceFragmentReserve ? maxBuffer - kDceFragmentReserve : maxBuffer;
    unsigned int length = 0;
    bindPacket_.reset(PrepareDceSrvsvcBindPacket(&length, kDceCallId, maxFragment));
    if (bindPacket_ == nullptr) {
        CancelBrowsingForShares(RES_OUT_OF_MEMORY);
        return;
    }
    pipe_->WriteA(bindPacket_.get(), length);
}

void SmbBrowser::OnWrite(IFsFile* file, unsigned long result, unsigned int) {
    if (file != pipe_.get()) {
        return;
    }
    bindPacket_.reset();
    if (result != RES_OK) {
        CancelBrowsingForShares(RES_NO_SHARES);
        return;
    }
    pipeBuffer_ = std::make_unique<unsigned char[]>(kPipeBufferSize);
    pipe_->ReadA(pipeBuffer_.get(), kBindAnswerSize);
}

void SmbBrowser::OnRead(IFsFile* file, unsigned long result, unsigned int count) {
    if (file != pipe_.get()) {
        return;
    }
    if (result != RES_OK) {
        CancelBrowsingForShares(RES_NO_SHARES);
        return;
    }
    if (shareReply_ != nullptr) {
        // A piece of the share list; a pipe that gives nothing more would be read for ever.
        if (count == 0) {
            CancelBrowsingForShares(RES_BAD_RESPONSE);
        } else {
            CollectShareList(shareReply_->Add(pipeBuffer_.get(), count));
        }
        return;
    }
    unsigned short maxBuffer = session_->GetMaxBuffer();
    unsigned short maxFragment =
        maxBuffer > kDceFragmentReserve ? maxBuffer - kDceFragmentReserve : maxBuffer;
    std::wstring computer = folder_->GetNodeName().Units();
    if (computer.empty()) {
        computer = folder_->GetIpAddress().Units();
    }
    Trans2Req request;
    auto* pipe = static_cast<SmbFile*>(pipe_.get());
    if (!ConstructTransShareEnumAllRequest(request, kDceCallId, maxFragment, computer, pipe->GetFid())) {
        CancelBrowsingForShares(RES_NO_SHARES);
        return;
    }
    sending_ = true;
    shareListMid_ = session_->SendSmbA(request.ReleaseSmbN(), this, SmbSession::SEND_WHEN_CONNECTED);
    sending_ = false;
    auto early = earlyAnswers_.find(shareListMid_);
    if (early != earlyAnswers_.end()) {
        unsigned long r = early->second;
        earlyAnswers_.clear();
        OnShareList(r, nullptr);
    }
}

void SmbBrowser::OnSeek(IFsFile*, unsigned long) {}

void SmbBrowser::OnTransReceived(unsigned long result, unsigned short mid, const Trans2Resp* response) {
    if (sending_) {
        earlyAnswers_[mid] = result;
        return;
    }
    if (mid == shareListMid_ && (flags_ & FLAG_ENUMERATING_SHARES) != 0) {
        OnShareList(result, response);
    }
}

void SmbBrowser::OnShareList(unsigned long result, const Trans2Resp* response) {
    shareListMid_ = 0;
    unsigned int status = result == RES_OK ? response->GetSmb()->Header().GetStatus() : 0;
    if (result != RES_OK || (status != 0 && status != STATUS_BUFFER_OVERFLOW)) {
        CancelBrowsingForShares(result == RES_BAD_RESPONSE ? RES_BAD_RESPONSE : RES_NO_SHARES);
        return;
    }
    // A list longer than the transaction's answer, or than one fragment, comes in pieces: the rest is
    // read off the pipe.
    shareReply_ = std::make_unique<DceResponse>();
    CollectShareList(shareReply_->Add(response->GetData(), response->GetDataCount()));
}

void SmbBrowser::CollectShareList(int state) {
    if (state == DceResponse::STATE_MORE) {
        pipe_->ReadA(pipeBuffer_.get(), kPipeBufferSize);
        return;
    }
    std::vector<SShareInfo> shares;
    unsigned long result = RES_BAD_RESPONSE;
    if (state == DceResponse::STATE_DONE) {
        const std::vector<unsigned char>& packet = shareReply_->Packet();
        result = ParseShareEnumAllPacket(packet.data(), static_cast<unsigned int>(packet.size()), &shares);
    }
    shareReply_.reset();
    if (result == RES_OK && shares.empty()) {
        result = RES_NO_SHARES;
    }
    if (result != RES_OK) {
        CancelBrowsingForShares(result == RES_BAD_RESPONSE ? RES_BAD_RESPONSE : RES_NO_SHARES);
        return;
    }
    pipe_.reset();
    pipeBuffer_.reset();
    session_->TreeDisconnect();
    flags_ &= ~FLAG_ENUMERATING_SHARES;
    std::set<std::wstring> names;
    for (const SShareInfo& share : shares) {
        if (share.type == kDiskShare && share.name.find(L'$') == std::wstring::npos) {
            names.insert(share.name);
        }
    }
    if (listener_ != nullptr) {
        listener_->OnSelectShareA(names);
    }
}

void SmbBrowser::CancelBrowsingForShares(unsigned long result) {
    pipe_.reset();
    pipeBuffer_.reset();
    bindPacket_.reset();
    shareReply_.reset();
    flags_ &= ~FLAG_ENUMERATING_SHARES;
    AnswerRoot(result);
    session_->Disconnect(RES_OK);
}

void SmbBrowser::SelectShare(const std::wstring& share) {
    if (session_ == nullptr) {
        return;
    }
    if (share.empty()) {
        rootPending_ = false;
        session_->Disconnect(RES_CANCELLED);
        if (listener_ != nullptr) {
            listener_->OnOpenDir(RES_CANCELLED, nullptr);
        }
        return;
    }
    rootPending_ = true;
    session_->TreeConnectA(folder_->GetNodeName().Units(), share);
}

unsigned long SmbBrowser::GetId() const {
    return folder_->GetId();
}

unsigned long SmbBrowser::CreateSyncFileN(IFileSync** out, const std::wstring&, TFileMode, TFileDisp) {
    if (out != nullptr) {
        *out = nullptr;
    }
    return RES_FAILURE;
}

unsigned long SmbBrowser::ExtractFileA(IOutStreamListener*, const std::wstring&) {
    return RES_FAILURE;
}

unsigned long SmbBrowser::StoreFileA(IInStreamListener*, const std::wstring&) {
    return RES_FAILURE;
}

void SmbBrowser::BytesProcessed(unsigned long, unsigned int) {}

void SmbBrowser::StopStreamIoA(unsigned long) {}

bool SmbBrowser::IsTheSameDisk(const IFsBrowser* other) const {
    return other != nullptr && SameStorage(*this, *other);
}

std::wstring SmbBrowser::GetStorageName() const {
    const bool named = !folder_->GetShareName().IsEmpty() || session_ == nullptr;
    return folder_->GetStorageName(named ? folder_->GetShareName().Units() : session_->GetShare());
}

wchar_t SmbBrowser::GetSlash() const {
    return L'\\';
}

bool SmbBrowser::CapableOf(int mask) const {
    return (mask & ~kCapabilities) == 0;
}

int SmbBrowser::GetType() const {
    return BROWSER_SMB;
}

unsigned long SmbBrowser::GetProperty(TProperty property, void* out) {
    if (property != PROP_READ_BLOCK && property != PROP_WRITE_BLOCK) {
        return RES_FAILURE;
    }
    // Larger blocks where the server offers them; the plain size before the session knows.
    SmbSession* session = session_ != nullptr && session_->IsConnected() ? session_ : nullptr;
    if (session == nullptr) {
        *static_cast<unsigned int*>(out) = SmbFile::kBlockSize;
    } else if (property == PROP_READ_BLOCK) {
        *static_cast<unsigned int*>(out) = SmbFile::ReadBlockSize(*session);
    } else {
        *static_cast<unsigned int*>(out) = SmbFile::WriteBlockSize(*session);
    }
    return RES_OK;
}

std::wstring SmbBrowser::GetFullName(const std::wstring& path) const {
    std::wstring unc = folder_->GetUncName().Units();
    if (folder_->GetShareName().IsEmpty() && session_ != nullptr) {
        unc += session_->GetShare();
    }
    while (!unc.empty() && unc.back() == L'\\') {
        unc.pop_back();
    }
    return unc + path;
}
