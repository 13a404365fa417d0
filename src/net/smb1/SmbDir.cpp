#include "net/smb1/SmbDir.h"

#include "app/Results.h"
#include "fs/IFsDirListener.h"
#include "net/SmbDirEntry.h"
#include "net/smb1/FsSmbBrowser.h"
#include "net/smb1/SmbEnumerator.h"

SmbDir::SmbDir(SmbBrowser* browser, const std::wstring& path)
    : browser_(browser), alive_(browser->LivenessRef()), path_(path) {}

std::wstring SmbDir::GetName(bool full) const {
    SmbBrowser* browser = Browser();
    return full && browser != nullptr ? browser->GetFullName(path_) : path_;
}

unsigned long SmbDir::OpenEnumeratorA() {
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

unsigned long SmbDir::OpenSubDirA(const std::wstring& name) {
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

unsigned long SmbDir::RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                  const std::wstring& newName) {
    SmbBrowser* browser = Browser();
    if (browser == nullptr) {
        return RES_DISCONNECTED;
    }
    if (!IsPlainSmbName(oldName) || !IsPlainSmbName(newName)) {
        return browser->RefuseOperation(id, listener);
    }
    return browser->RenameFileA(id, listener, path_ + oldName, path_ + newName);
}

unsigned long SmbDir::RenameSubDirA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                    const std::wstring& newName) {
    SmbBrowser* browser = Browser();
    if (browser == nullptr) {
        return RES_DISCONNECTED;
    }
    if (!IsPlainSmbName(oldName) || !IsPlainSmbName(newName)) {
        return browser->RefuseOperation(id, listener);
    }
    return browser->RenameFolderA(id, listener, path_ + oldName, path_ + newName);
}

unsigned long SmbDir::DeleteFileA(int id, IFsOpListener* listener, const std::wstring& name) {
    SmbBrowser* browser = Browser();
    if (browser == nullptr) {
        return RES_DISCONNECTED;
    }
    if (!IsPlainSmbName(name)) {
        return browser->RefuseOperation(id, listener);
    }
    return browser->DeleteFileA(id, listener, path_ + name);
}

unsigned long SmbDir::DeleteSubDirA(int id, IFsOpListener* listener, const std::wstring& name) {
    SmbBrowser* browser = Browser();
    if (browser == nullptr) {
        return RES_DISCONNECTED;
    }
    if (!IsPlainSmbName(name)) {
        return browser->RefuseOperation(id, listener);
    }
    return browser->DeleteFolderA(id, listener, path_ + name);
}

IFsBrowser* SmbDir::GetBrowser() const {
    return Browser();
}
