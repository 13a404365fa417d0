#pragma once
// An open folder of an SMB 2/3 share. Its path is '\'-separated from the share's root and ends in '\'.
// Listing runs on the browser's worker; the answer comes through a posted event. Used on the
// user-interface thread only.

#include <string>

#include "app/LiveTarget.h"
#include "fs/IFsDir.h"

class Smb2Browser;

class Smb2Dir : public IFsDir, public LiveTarget {
public:
    Smb2Dir(Smb2Browser* browser, const std::wstring& path) : browser_(browser), path_(path) {}

    void SetListener(IFsDirListener* listener) override { listener_ = listener; }
    std::wstring GetName(bool full) const override;
    unsigned long OpenEnumeratorA() override;
    unsigned long OpenSubDirA(const std::wstring& name) override;
    unsigned long RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldName,
                              const std::wstring& newName) override;
    unsigned long RenameSubDirA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                const std::wstring& newName) override;
    unsigned long DeleteFileA(int id, IFsOpListener* listener, const std::wstring& name) override;
    unsigned long DeleteSubDirA(int id, IFsOpListener* listener, const std::wstring& name) override;
    IFsBrowser* GetBrowser() const override;

private:
    Smb2Browser* browser_;
    std::wstring path_;
    IFsDirListener* listener_ = nullptr;
};
