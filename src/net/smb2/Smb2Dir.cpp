#include <cerrno>

#include "net/smb2/Smb2Dir.h"

#include "app/Results.h"
#include "fs/IFsDirListener.h"
#include "net/SmbDirEntry.h"
#include "net/Utf8Names.h"
#include "net/smb2/FsSmb2Browser.h"
#include "net/smb2/Smb2Enumerator.h"
#include "net/smb2/Smb2Paths.h"

std::wstring Smb2Dir::GetName(bool full) const {
    return full ? browser_->GetFullName(path_) : path_;
}

IFsBrowser* Smb2Dir::GetBrowser() const {
    return browser_;
}

unsigned long Smb2Dir::OpenEnumeratorA() {
    std::string where;
    Smb2Worker* worker = browser_->OperationWorker();
    if (listener_ == nullptr || worker == nullptr || !ToLibraryPath(path_, &where)) {
        return RES_FAILURE;
    }
    LiveRef<Smb2Dir> self(this);
    worker->Enqueue([worker, self, where](std::unique_ptr<host::SmbClient>& client) {
        std::vector<host::SmbClientEntry> found;
        const int error = client == nullptr ? ENOTCONN : client->List(where, &found);
        Smb2Enumerator::Entries entries;
        entries.reserve(found.size());
        for (const host::SmbClientEntry& entry : found) {
            std::wstring name;
            // A name the system could not show or use again is left out.
            if (FromUtf8Name(entry.name, &name) && IsPlainSmbName(name)) {
                entries.emplace_back(std::move(name), ToFileInfo(entry));
            }
        }
        const unsigned long result = Smb2Result(error, SMB2_STEP_FILE);
        worker->Answer([self, result, entries = std::move(entries)]() mutable {
            Smb2Dir* dir = self.Get();
            if (dir == nullptr || dir->listener_ == nullptr) {
                return;
            }
            dir->listener_->OnOpenEnumerator(
                result, result == RES_OK ? new Smb2Enumerator(std::move(entries)) : nullptr);
        });
    });
    return RES_OK;
}

unsigned long Smb2Dir::OpenSubDirA(const std::wstring& name) {
    if (listener_ == nullptr) {
        return RES_FAILURE;
    }
    if (!IsPlainSmbName(name)) {
        listener_->OnOpenSubDir(Osp::Base::E_INVALID_ARG, nullptr);
    } else {
        listener_->OnOpenSubDir(RES_OK, new Smb2Dir(browser_, path_ + name + L'\\'));
    }
    return RES_OK;
}

unsigned long Smb2Dir::RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                   const std::wstring& newName) {
    if (!IsPlainSmbName(oldName) || !IsPlainSmbName(newName)) {
        browser_->PostOpDone(id, listener, Osp::Base::E_INVALID_ARG);
        return RES_OK;
    }
    return browser_->RenameFileA(id, listener, path_ + oldName, path_ + newName);
}

unsigned long Smb2Dir::RenameSubDirA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                     const std::wstring& newName) {
    return RenameFileA(id, listener, oldName, newName);
}

unsigned long Smb2Dir::DeleteFileA(int id, IFsOpListener* listener, const std::wstring& name) {
    if (!IsPlainSmbName(name)) {
        browser_->PostOpDone(id, listener, Osp::Base::E_INVALID_ARG);
        return RES_OK;
    }
    return browser_->DeleteFileA(id, listener, path_ + name);
}

unsigned long Smb2Dir::DeleteSubDirA(int id, IFsOpListener* listener, const std::wstring& name) {
    if (!IsPlainSmbName(name)) {
        browser_->PostOpDone(id, listener, Osp::Base::E_INVALID_ARG);
        return RES_OK;
    }
    return browser_->DeleteFolderA(id, listener, path_ + name);
}
