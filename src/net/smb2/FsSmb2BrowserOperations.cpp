// The folder and file operations of Smb2Browser: each one request to the worker, its answer posted to the
// operation's listener, and the files opened through the worker. Runs on the user-interface thread like
// the rest of the browser; the results are those the browser's contract lists.

#include "net/smb2/FsSmb2Browser.h"

#include "app/Corvane.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "fs/IFsOpListener.h"
#include "net/RemoteFolder.h"
#include "net/SmbDirEntry.h"
#include "net/Utf8Names.h"
#include "net/smb1/FsSmbBrowser.h"
#include "net/smb2/Smb2Dir.h"
#include "net/smb2/Smb2File.h"
#include "net/smb2/Smb2Paths.h"

void Smb2Browser::PostOpDone(int id, IFsOpListener* listener, unsigned long result) {
    LiveRef<IFsOpListener> target(listener);
    Corvane::GetMyInstance()->PostUserEventEx(this, new Smb2Answer([target, id, result] {
                                                  if (IFsOpListener* alive = target.Get()) {
                                                      alive->OnFsOperationDone(id, 0, result);
                                                  }
                                              }));
}

Smb2Worker* Smb2Browser::OperationWorker() {
    if (worker_ == nullptr && !share_.empty()) {
        Connect(share_, true);
    }
    return worker_.get();
}

unsigned long Smb2Browser::RunPathOperation(int id, IFsOpListener* listener, const std::wstring& path,
                                            const std::wstring& other, PathAction action) {
    std::string from;
    std::string to;
    if (OperationWorker() == nullptr || !ToLibraryPath(path, &from) ||
        (!other.empty() && !ToLibraryPath(other, &to))) {
        return Osp::Base::E_INVALID_ARG;
    }
    LiveRef<IFsOpListener> target(listener);
    Smb2Worker* worker = worker_.get();
    worker_->Enqueue([worker, target, id, from, to, action](std::unique_ptr<host::SmbClient>& client) {
        const unsigned long result =
            client == nullptr ? RES_DISCONNECTED : Smb2Result(action(*client, from, to), SMB2_STEP_FILE);
        worker->Answer([target, id, result] {
            if (IFsOpListener* alive = target.Get()) {
                alive->OnFsOperationDone(id, 0, result);
            }
        });
    });
    return RES_OK;
}

unsigned long Smb2Browser::OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) {
    if (fallback_ != nullptr) {
        return fallback_->OpenDirA(id, listener, path);
    }
    std::string where;
    if (OperationWorker() == nullptr || !ToLibraryPath(path, &where)) {
        return Osp::Base::E_INVALID_ARG;
    }
    LiveRef<IFsOpListener> target(listener);
    Smb2Worker* worker = worker_.get();
    std::wstring dirPath = path;
    if (dirPath.empty() || dirPath.back() != L'\\') {
        dirPath += L'\\';
    }
    worker_->Enqueue([this, worker, target, id, where, dirPath](std::unique_ptr<host::SmbClient>& client) {
        host::SmbClientEntry entry;
        int error = client == nullptr ? ENOTCONN : client->Stat(where, &entry);
        if (error == 0 && !entry.isDir) {
            error = ENOTDIR;
        }
        const unsigned long result = Smb2Result(error, SMB2_STEP_FILE);
        worker->Answer([this, target, id, result, dirPath] {
            if (IFsOpListener* alive = target.Get()) {
                alive->OnFsOperationDone(
                    id,
                    result == RES_OK
                        ? reinterpret_cast<std::intptr_t>(static_cast<IFsDir*>(new Smb2Dir(this, dirPath)))
                        : 0,
                    result);
            }
        });
    });
    return RES_OK;
}

unsigned long Smb2Browser::GetFileInfoA(int id, IFsOpListener* listener, const std::wstring& path) {
    if (fallback_ != nullptr) {
        return fallback_->GetFileInfoA(id, listener, path);
    }
    std::string where;
    if (OperationWorker() == nullptr || !ToLibraryPath(path, &where)) {
        return Osp::Base::E_INVALID_ARG;
    }
    LiveRef<IFsOpListener> target(listener);
    Smb2Worker* worker = worker_.get();
    worker_->Enqueue([worker, target, id, where](std::unique_ptr<host::SmbClient>& client) {
        host::SmbClientEntry entry;
        const int error = client == nullptr ? ENOTCONN : client->Stat(where, &entry);
        const unsigned long result = Smb2Result(error, SMB2_STEP_FILE);
        worker->Answer([target, id, result, entry] {
            IFsOpListener* alive = target.Get();
            if (alive == nullptr) {
                return;
            }
            std::wstring name;
            if (result != RES_OK || !FromUtf8Name(entry.name, &name)) {
                alive->OnFsOperationDone(id, 0, result != RES_OK ? result : RES_BAD_RESPONSE);
                return;
            }
            auto* made = static_cast<IFsDirEntry*>(new SmbDirEntry(ToFileInfo(entry), name));
            alive->OnFsOperationDone(id, reinterpret_cast<std::intptr_t>(made), RES_OK);
        });
    });
    return RES_OK;
}

unsigned long Smb2Browser::RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                       const std::wstring& newPath) {
    if (fallback_ != nullptr) {
        return fallback_->RenameFileA(id, listener, oldPath, newPath);
    }
    // The library replaces a file that already has the new name; a rename here never does, as on every
    // other browser. Only a change of case alone finds the file itself under the new name.
    std::wstring oldLower = oldPath;
    std::wstring newLower = newPath;
    MakeLower(&oldLower);
    MakeLower(&newLower);
    if (oldLower == newLower) {
        return RunPathOperation(id, listener, oldPath, newPath,
                                [](host::SmbClient& c, const std::string& from, const std::string& to) {
                                    return c.Rename(from, to);
                                });
    }
    return RunPathOperation(id, listener, oldPath, newPath,
                            [](host::SmbClient& c, const std::string& from, const std::string& to) {
                                host::SmbClientEntry there;
                                return c.Stat(to, &there) == 0 ? EEXIST : c.Rename(from, to);
                            });
}

unsigned long Smb2Browser::RenameFolderA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                         const std::wstring& newPath) {
    return RenameFileA(id, listener, oldPath, newPath);
}

unsigned long Smb2Browser::DeleteFileA(int id, IFsOpListener* listener, const std::wstring& path) {
    if (fallback_ != nullptr) {
        return fallback_->DeleteFileA(id, listener, path);
    }
    return RunPathOperation(
        id, listener, path, L"",
        [](host::SmbClient& c, const std::string& p, const std::string&) { return c.Unlink(p); });
}

unsigned long Smb2Browser::DeleteFolderA(int id, IFsOpListener* listener, const std::wstring& path) {
    if (fallback_ != nullptr) {
        return fallback_->DeleteFolderA(id, listener, path);
    }
    return RunPathOperation(
        id, listener, path, L"",
        [](host::SmbClient& c, const std::string& p, const std::string&) { return c.RemoveDir(p); });
}

unsigned long Smb2Browser::CreateFolderA(int id, IFsOpListener* listener, const std::wstring& path,
                                         bool failIfExists) {
    if (fallback_ != nullptr) {
        return fallback_->CreateFolderA(id, listener, path, failIfExists);
    }
    if (failIfExists) {
        return RunPathOperation(
            id, listener, path, L"",
            [](host::SmbClient& c, const std::string& p, const std::string&) { return c.MakeDir(p); });
    }
    return RunPathOperation(id, listener, path, L"",
                            [](host::SmbClient& c, const std::string& p, const std::string&) {
                                const int error = c.MakeDir(p);
                                host::SmbClientEntry entry;
                                return error == EEXIST && c.Stat(p, &entry) == 0 && entry.isDir ? 0 : error;
                            });
}

unsigned long Smb2Browser::GetId() const {
    return folder_->GetId();
}

void Smb2Browser::SetFileTimeModifiedA(const std::wstring& path, const Osp::Base::DateTime& time) {
    if (fallback_ != nullptr) {
        fallback_->SetFileTimeModifiedA(path, time);
        return;
    }
    std::string where;
    if (OperationWorker() == nullptr || !ToLibraryPath(path, &where)) {
        return;
    }
    const long long seconds = time.ToUnixSeconds();
    worker_->Enqueue([where, seconds](std::unique_ptr<host::SmbClient>& client) {
        if (client != nullptr) {
            client->SetModified(where, seconds);
        }
    });
}

unsigned long Smb2Browser::CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                                       TFileDisp disp) {
    if (fallback_ != nullptr) {
        return fallback_->CreateFileA(listener, path, mode, disp);
    }
    std::string where;
    if (OperationWorker() == nullptr || !ToLibraryPath(path, &where)) {
        return Osp::Base::E_INVALID_ARG;
    }
    Smb2File::Open(this, listener, where, mode, disp);
    return RES_OK;
}

unsigned long Smb2Browser::CreateSyncFileN(IFileSync** out, const std::wstring&, TFileMode, TFileDisp) {
    if (out != nullptr) {
        *out = nullptr;
    }
    return RES_FAILURE;
}
