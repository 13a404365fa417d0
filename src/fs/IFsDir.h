#pragma once
// An open folder of a browser. It keeps a plain pointer to its browser, which must outlive it. Operations
// whose name ends in A answer through a listener, inside the call or later; their result says only
// whether the work could start. Used on the user-interface thread only.

#include <string>

class IFsBrowser;
class IFsDirListener;
class IFsOpListener;

class IFsDir {
public:
    virtual ~IFsDir() = default;

    virtual void SetListener(IFsDirListener* listener) = 0;
    // The folder's path within its browser, or with full set a name that also tells the storage, for
    // display. A local folder answers its absolute path, ending in '/', either way.
    virtual std::wstring GetName(bool full) const = 0;
    // The answer is IFsDirListener::OnOpenEnumerator.
    virtual unsigned long OpenEnumeratorA() = 0;
    // Opens a child folder by name; the answer is IFsDirListener::OnOpenSubDir.
    virtual unsigned long OpenSubDirA(const std::wstring& name) = 0;
    // As the browser's operations, with names relative to this folder; answer OnFsOperationDone(id, 0, r).
    virtual unsigned long RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                      const std::wstring& newName) = 0;
    virtual unsigned long RenameSubDirA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                        const std::wstring& newName) = 0;
    virtual unsigned long DeleteFileA(int id, IFsOpListener* listener, const std::wstring& name) = 0;
    virtual unsigned long DeleteSubDirA(int id, IFsOpListener* listener, const std::wstring& name) = 0;
    virtual IFsBrowser* GetBrowser() const = 0;

    // The name to show for the folder: the last component of GetName(true), without its separator.
    std::wstring GetProperName() const;
};
