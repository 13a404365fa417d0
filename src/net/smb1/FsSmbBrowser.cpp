#include "net/smb1/FsSmbBrowser.h"

#include <set>
#include <vector>

#include "app/Corvane.h"
#include "app/Results.h"
#include "fs/FileEvent.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDir.h"
#include "fs/IFsDirListener.h"
#include "fs/Places.h"
#include "net/RemoteFolder.h"
#include "net/SmbDirEntry.h"
#include "net/smb1/DceResponse.h"
#include "net/smb1/DceShareEnumAll.h"
#include "net/smb1/DceSrvsvcBind.h"
#include "net/smb1/SmbClose.h"
#include "net/smb1/SmbDelete.h"
#include "net/smb1/SmbDeleteDir.h"
#include "net/smb1/SmbEnumerator.h"
#include "net/smb1/SmbEvent.h"
#include "net/smb1/SmbFile.h"
#include "net/smb1/SmbNtCreate.h"
#include "net/smb1/SmbRename.h"
#include "net/smb1/SmbSession.h"
#include "net/smb1/SmbStatus.h"
#include "net/smb1/Trans2QueryPathInfo.h"
#include "net/smb1/Trans2SetPathInfo.h"

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

// The path as the server's path commands take it: a folder without its trailing '\', the root as "\".
std::wstring QueryPath(const std::wstring& path) {
    std::wstring out = path;
    while (out.size() > 1 && out.back() == L'\\') {
        out.pop_back();
    }
    return out.empty() ? L"\\" : out;
}

// A folder of the share. It may outlive its browser (a form may keep it while its network folder is
// removed): it then starts nothing and answers RES_DISCONNECTED.
class SmbDir : public IFsDir {
public:
    SmbDir(SmbBrowser* browser, const std::wstring& path)
        : browser_(browser), alive_(browser->LivenessRef()), path_(path) {}

    void SetListener(IFsDirListener* listener) override { listener_ = listener; }
    std::wstring GetName(bool full) const override {
        SmbBrowser* browser = Browser();
        return full && browser != nullptr ? browser->GetFullName(path_) : path_;
    }
    unsigned long OpenEnumeratorA() override {
        SmbBrowser* browser = Browser();
        if (browser == nullptr) {
            return RES_DISCONNECTED;
        }
        if (listener_ == nullptr) {
            return RES_FAILURE;
        }
        listener_->OnOpenEnumerator(RES_OK, new SmbEnumerator(browser->GetSession(), path_));
        return RES_OK;
    }
    unsigned long OpenSubDirA(const std::wstring& name) override {
        SmbBrowser* browser = Browser();
        if (browser == nullptr) {
            return RES_DISCONNECTED;
        }
        if (listener_ == nullptr) {
            return RES_FAILURE;
        }
        if (!IsPlainSmbName(name)) {
            listener_->OnOpenSubDir(Osp::Base::E_INVALID_ARG, nullptr);
        } else {
            listener_->OnOpenSubDir(RES_OK, new SmbDir(browser, path_ + name + L'\\'));
        }
        return RES_OK;
    }
    unsigned long RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldName,
                              const std::wstring& newName) override {
        SmbBrowser* browser = Browser();
        if (browser == nullptr) {
            return RES_DISCONNECTED;
        }
        if (!IsPlainSmbName(oldName) || !IsPlainSmbName(newName)) {
            return browser->RefuseOperation(id, listener);
        }
        return browser->RenameFileA(id, listener, path_ + oldName, path_ + newName);
    }
    unsigned long RenameSubDirA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                const std::wstring& newName) override {
        SmbBrowser* browser = Browser();
        if (browser == nullptr) {
            return RES_DISCONNECTED;
        }
        if (!IsPlainSmbName(oldName) || !IsPlainSmbName(newName)) {
            return browser->RefuseOperation(id, listener);
        }
        return browser->RenameFolderA(id, listener, path_ + oldName, path_ + newName);
    }
    unsigned long DeleteFileA(int id, IFsOpListener* listener, const std::wstring& name) override {
        SmbBrowser* browser = Browser();
        if (browser == nullptr) {
            return RES_DISCONNECTED;
        }
        if (!IsPlainSmbName(name)) {
            return browser->RefuseOperation(id, listener);
        }
        return browser->DeleteFileA(id, listener, path_ + name);
    }
    unsigned long DeleteSubDirA(int id, IFsOpListener* listener, const std::wstring& name) override {
        SmbBrowser* browser = Browser();
        if (browser == nullptr) {
            return RES_DISCONNECTED;
        }
        if (!IsPlainSmbName(name)) {
            return browser->RefuseOperation(id, listener);
        }
        return browser->DeleteFolderA(id, listener, path_ + name);
    }
    IFsBrowser* GetBrowser() const override { return Browser(); }

private:
    SmbBrowser* Browser() const { return alive_.Get() != nullptr ? browser_ : nullptr; }

    SmbBrowser* browser_;
    LiveRef<IUserEventHandler> alive_;
    std::wstring path_;  // begins and ends with '\'
    IFsDirListener* listener_ = nullptr;
};

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

unsigned long SmbBrowser::SendOperation(int id, IFsOpListener* listener, TOperationKind kind,
                                        const std::wstring& path, Smb* request) {
    SOperation op;
    op.id = id;
    op.kind = kind;
    op.listener = LiveRef<IFsOpListener>(listener);
    op.path = path;
    if (request == nullptr) {
        PostDone(op, RES_FAILURE);
        return RES_OK;
    }
    sending_ = true;
    unsigned short mid =
        Session()->SendSmbA(request, this, SmbSession::SEND_CONNECT | SmbSession::SEND_NEED_TREE);
    sending_ = false;
    auto early = earlyAnswers_.find(mid);
    if (early != earlyAnswers_.end()) {
        unsigned long result = early->second;
        earlyAnswers_.clear();
        PostDone(op, result);
    } else {
        operations_[mid] = std::move(op);
    }
    return RES_OK;
}

unsigned long SmbBrowser::RefuseOperation(int id, IFsOpListener* listener) {
    SOperation op;
    op.id = id;
    op.listener = LiveRef<IFsOpListener>(listener);
    PostDone(op, Osp::Base::E_INVALID_ARG);
    return RES_OK;
}

void SmbBrowser::PostDone(const SOperation& op, unsigned long result) {
    IFsOpListener* listener = op.listener.Get();
    if (listener == nullptr) {
        return;
    }
    Corvane* app = Corvane::GetMyInstance();
    if (app != nullptr) {
        app->PostUserEventEx(this, FileEvent::OperationDoneN(listener, op.id, result));
    }
}

bool SmbBrowser::TakeOperation(unsigned short mid, unsigned long result, SOperation& op) {
    if (sending_) {
        earlyAnswers_[mid] = result;
        return false;
    }
    auto it = operations_.find(mid);
    if (it == operations_.end()) {
        return false;
    }
    op = std::move(it->second);
    operations_.erase(it);
    return true;
}

void SmbBrowser::OnSmbReceived(unsigned long result, unsigned short mid, const Smb* response) {
    SOperation op;
    if (!TakeOperation(mid, result, op)) {
        return;
    }
    if (result == RES_OK) {
        result = SmbStatusToBadaResult(response->Header().GetStatus());
    }
    if (result == RES_OK && op.kind == OP_CREATE_FOLDER) {
        unsigned short fid = 0;
        unsigned long long size = 0;
        if (ParseNtCreateResponse(*response, &fid, &size) == RES_OK) {
            session_->SendSmbA(CreateSmbCloseRequestN(fid), nullptr, SmbSession::SEND_WHEN_CONNECTED);
        }
    }
    PostDone(op, result);
}

void SmbBrowser::OnTrans2Received(unsigned long result, unsigned short mid, const Trans2Resp* response) {
    SOperation op;
    if (!TakeOperation(mid, result, op)) {
        return;
    }
    if (result == RES_OK) {
        result = SmbStatusToBadaResult(response->GetSmb()->Header().GetStatus());
    }
    Answer(op, result, result == RES_OK ? response : nullptr);
}

void SmbBrowser::Answer(const SOperation& op, unsigned long result, const Trans2Resp* response) {
    IFsOpListener* listener = op.listener.Get();
    Corvane* app = Corvane::GetMyInstance();
    if (listener == nullptr || app == nullptr) {
        return;
    }
    if (op.kind == OP_OPEN_FOLDER) {
        std::unique_ptr<IFsDir> dir;
        if (result == RES_OK) {
            std::wstring path = op.path;
            if (path.empty() || path.back() != L'\\') {
                path += L'\\';
            }
            dir = std::make_unique<SmbDir>(this, path);
        }
        app->PostUserEventEx(this, FileEvent::DirOpenedN(listener, op.id, std::move(dir), result));
        return;
    }
    if (op.kind == OP_FILE_INFO) {
        SSmbFileInfo info;
        if (result == RES_OK) {
            result = ParseAllInfoResponse(*response, &info);
        }
        std::unique_ptr<IFsDirEntry> entry;
        if (result == RES_OK) {
            std::wstring path = QueryPath(op.path);
            entry = std::make_unique<SmbDirEntry>(info, path.substr(path.find_last_of(L'\\') + 1));
        }
        app->PostUserEventEx(this, FileEvent::EntryReadN(listener, op.id, std::move(entry), result));
        return;
    }
    PostDone(op, result);
}

void SmbBrowser::OnUserEvent(int) {}

void SmbBrowser::OnUserEventEx(UserEvent* event) {
    if (auto* answer = dynamic_cast<FileEvent*>(event)) {
        answer->Deliver();
    }
}

unsigned long SmbBrowser::OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) {
    Trans2Req request;
    bool built = ConstructTrans2QueryInfoRequest(request, kQueryAllInfoLevel, QueryPath(path));
    return SendOperation(id, listener, OP_OPEN_FOLDER, path, built ? request.ReleaseSmbN() : nullptr);
}

unsigned long SmbBrowser::GetFileInfoA(int id, IFsOpListener* listener, const std::wstring& path) {
    Trans2Req request;
    bool built = ConstructTrans2QueryInfoRequest(request, kQueryAllInfoLevel, QueryPath(path));
    return SendOperation(id, listener, OP_FILE_INFO, path, built ? request.ReleaseSmbN() : nullptr);
}

void SmbBrowser::SetFileTimeModifiedA(const std::wstring& path, const Osp::Base::DateTime& time) {
    Trans2Req request;
    if (ConstructTrans2SetInfoRequest(request, path, time, Session()->GetServerTimeZone())) {
        session_->SendSmbA(request.ReleaseSmbN(), nullptr,
                           SmbSession::SEND_CONNECT | SmbSession::SEND_NEED_TREE);
    }
}

unsigned long SmbBrowser::DeleteFileA(int id, IFsOpListener* listener, const std::wstring& path) {
    return SendOperation(id, listener, OP_DELETE_OR_RENAME, path, CreateSmbDeleteRequestN(path));
}

unsigned long SmbBrowser::DeleteFolderA(int id, IFsOpListener* listener, const std::wstring& path) {
    return SendOperation(id, listener, OP_DELETE_OR_RENAME, path, CreateSmbDeleteDirRequestN(path));
}

unsigned long SmbBrowser::RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                      const std::wstring& newPath) {
    return SendOperation(id, listener, OP_DELETE_OR_RENAME, oldPath,
                         CreateSmbRenameRequestN(oldPath, newPath));
}

unsigned long SmbBrowser::RenameFolderA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                        const std::wstring& newPath) {
    return RenameFileA(id, listener, oldPath, newPath);
}

unsigned long SmbBrowser::CreateFolderA(int id, IFsOpListener* listener, const std::wstring& path,
                                        bool failIfExists) {
    TFileDisp disp = failIfExists ? FILE_DISP_CREATE_NEW : FILE_DISP_CREATE_ALWAYS;
    return SendOperation(id, listener, OP_CREATE_FOLDER, path,
                         CreateSmbNtCreateRequestN(QueryPath(path), FILE_MODE_WRITE, disp, true));
}

unsigned long SmbBrowser::CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                                      TFileDisp disp) {
    auto* file = new SmbFile(Session(), listener, SmbSession::SEND_CONNECT | SmbSession::SEND_NEED_TREE);
    file->Open(path, mode, disp);
    return RES_OK;
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
