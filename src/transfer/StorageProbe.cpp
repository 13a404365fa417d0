#include "transfer/StorageProbe.h"

#include <memory>

#include "app/Results.h"
#include "fs/IFsBrowser.h"
#include "fs/IFsDirEntry.h"
#include "fs/IFsFile.h"
#include "fs/Places.h"
#include "transfer/TransferBase.h"

bool StorageProbe::Needed(const IFsBrowser& src, const IFsBrowser& dst) {
    if (src.GetType() != BROWSER_SMB || dst.GetType() != BROWSER_SMB || SameStorage(src, dst)) {
        return false;
    }
    // A storage's name ends with its share's name, after the server's.
    const std::wstring a = src.GetStorageName();
    const std::wstring b = dst.GetStorageName();
    return a.substr(a.rfind(L'\\') + 1) == b.substr(b.rfind(L'\\') + 1);
}

bool StorageProbe::StartA(IFsBrowser* src, IFsBrowser* dst, const std::wstring& folder, IFsOpListener* owner,
                          int id) {
    src_ = src;
    dst_ = dst;
    owner_ = owner;
    ownerId_ = id;
    marker_ = TransferBase::TempNameFor(folder + L"probe", dst->GetSlash());
    return dst_->CreateFileA(this, marker_, FILE_MODE_WRITE, FILE_DISP_CREATE_NEW) == RES_OK;
}

void StorageProbe::OnCreateN(unsigned long result, IFsFile* file) {
    std::unique_ptr<IFsFile> made(file);
    if (result != RES_OK || made == nullptr) {
        // A folder that takes no file takes no paste either: nothing is at stake.
        Done();
        return;
    }
    made->CloseA();
    made.reset();
    if (src_->GetFileInfoA(OP_LOOK, this, marker_) != RES_OK) {
        OnFsOperationDone(OP_LOOK, 0, RES_FAILURE);
    }
}

void StorageProbe::OnFsOperationDone(int id, std::intptr_t object, unsigned long result) {
    if (id == OP_LOOK) {
        delete reinterpret_cast<IFsDirEntry*>(object);
        if (result == RES_OK) {
            NoteSameStorage(src_->GetStorageName(), dst_->GetStorageName());
        }
        if (dst_->DeleteFileA(OP_REMOVE, this, marker_) != RES_OK) {
            Done();
        }
        return;
    }
    Done();
}

void StorageProbe::Done() {
    owner_->OnFsOperationDone(ownerId_, 0, RES_OK);
}
