#pragma once
// An open folder of a share over the classic client. Its path is '\'-separated from the share's root,
// begins and ends with '\'. It may outlive its browser (a form may keep it while its network folder is
// removed): it then starts nothing and answers RES_DISCONNECTED. Names handed to it must each be one plain
// component of a path; others are refused with E_INVALID_ARG without asking the server. Used on the
// user-interface thread only.

#include <string>

#include "app/IUserEventHandler.h"
#include "app/LiveTarget.h"
#include "fs/IFsDir.h"

class SmbBrowser;

class SmbDir : public IFsDir {
public:
    // browser need not outlive the folder.
    SmbDir(SmbBrowser* browser, const std::wstring& path);

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
    SmbBrowser* Browser() const { return alive_.Get() != nullptr ? browser_ : nullptr; }

    SmbBrowser* browser_;
    LiveRef<IUserEventHandler> alive_;
    std::wstring path_;  // begins and ends with '\'
    IFsDirListener* listener_ = nullptr;
};
