// The folder and file operations of SmbBrowser: each one request on the session, its answer matched by
// multiplex id and posted to the operation's listener, and the files opened on the session. Runs on the
// user-interface thread like the rest of the browser; the results are those the browser's contract lists.

#include "net/smb1/FsSmbBrowser.h"

#include "app/Corvane.h"
#include "app/Results.h"
#include "fs/FileEvent.h"
#include "net/SmbDirEntry.h"
#include "net/smb1/SmbClose.h"
#include "net/smb1/SmbDelete.h"
#include "net/smb1/SmbDeleteDir.h"
#include "net/smb1/SmbDir.h"
#include "net/smb1/SmbFile.h"
#include "net/smb1/SmbNtCreate.h"
#include "net/smb1/SmbRename.h"
#include "net/smb1/SmbSession.h"
#include "net/smb1/SmbStatus.h"
#include "net/smb1/Trans2QueryPathInfo.h"
#include "net/smb1/Trans2SetPathInfo.h"

namespace {

// The path as the server's path commands take it: a folder without its trailing '\', the root as "\".
std::wstring QueryPath(const std::wstring& path) {
    std::wstring out = path;
    while (out.size() > 1 && out.back() == L'\\') {
        out.pop_back();
    }
    return out.empty() ? L"\\" : out;
}

}  // namespace

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
