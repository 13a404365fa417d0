#pragma once
// One storage shown as folders: the phone's own file system, an archive or a network share. Contract of
// the whole family (IFsDir, IFsDirEnum, IFsDirEntry, IFsFile, IFileSync and their listeners):
// - Browsers, folders, enumerators, entries and files are used on the user-interface thread only, except
//   IFileSync objects, which belong to the thread that holds them. All listener calls come on the
//   user-interface thread.
// - An operation whose name ends in A answers through a listener, either inside the call or later through
//   a posted event; its result only says whether the work could start. A caller never touches an object
//   after a call that may already have answered with its deletion.
// - A new object handed to a listener belongs to the listener, which deletes it through the interface;
//   a failure carries a null object. A function ending in N returns a new object the caller owns.
// - Listeners are not owned by what calls them. They are cleared before they die; an answer still on its
//   way to a listener that has died is dropped.
// - The browser outlives its folders, enumerators, entries and files.
// - Request identifiers are the caller's own and come back unchanged in OnFsOperationDone.

#include <string>

#include "Osp/Base/DateTime.h"
#include "fs/FsTypes.h"

class IFsBrowserListener;
class IFsFileListener;
class IFsOpListener;
class IFileSync;
class IInStreamListener;
class IOutStreamListener;

class IFsBrowser {
public:
    // Preferred block sizes for file input and output, written as an unsigned int through GetProperty.
    enum TProperty {
        PROP_READ_BLOCK = 1,
        PROP_WRITE_BLOCK = 2,
    };

    virtual ~IFsBrowser() = default;

    // Reference counting; only the archive browser deletes itself on the last Release.
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    // The one listener of the browser; a later call replaces it.
    virtual void SetListener(IFsBrowserListener* listener) = 0;
    virtual void RemoveListener(IFsBrowserListener* listener) = 0;
    // The answer to OnPasswordRequestA: result 0 with the password, anything else for a cancel.
    virtual void SetPassword(unsigned long result, const std::wstring& password) = 0;
    // The answer to OnSelectShareA; an empty name cancels.
    virtual void SelectShare(const std::wstring& share) = 0;
    // The answer is IFsBrowserListener::OnOpenDir.
    virtual unsigned long OpenRootDirA() = 0;
    // The answer is OnFsOperationDone(id, new IFsDir, result).
    virtual unsigned long OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) = 0;
    // Rename or move within the browser; the answer is OnFsOperationDone(id, 0, result).
    virtual unsigned long RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                      const std::wstring& newPath) = 0;
    virtual unsigned long RenameFolderA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                        const std::wstring& newPath) = 0;
    virtual unsigned long DeleteFileA(int id, IFsOpListener* listener, const std::wstring& path) = 0;
    // Removes an empty folder only.
    virtual unsigned long DeleteFolderA(int id, IFsOpListener* listener, const std::wstring& path) = 0;
    // Without failIfExists a folder that is already there counts as created.
    virtual unsigned long CreateFolderA(int id, IFsOpListener* listener, const std::wstring& path,
                                        bool failIfExists) = 0;
    // The key of the storage for cached copies: 0 for the local file system.
    virtual unsigned long GetId() const = 0;
    // The answer is OnFsOperationDone(id, new IFsDirEntry describing path, result).
    virtual unsigned long GetFileInfoA(int id, IFsOpListener* listener, const std::wstring& path) = 0;
    // Where the storage allows it; there is no answer.
    virtual void SetFileTimeModifiedA(const std::wstring& path, const Osp::Base::DateTime& time) = 0;
    // The answer is IFsFileListener::OnCreateN; that listener also receives every answer of the file.
    virtual unsigned long CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                                      TFileDisp disp) = 0;
    // *out gets the new file, or null on failure.
    virtual unsigned long CreateSyncFileN(IFileSync** out, const std::wstring& path, TFileMode mode,
                                          TFileDisp disp) = 0;
    // Streams a file's content to the listener (archives only).
    virtual unsigned long ExtractFileA(IOutStreamListener* listener, const std::wstring& path) = 0;
    // The writing counterpart of ExtractFileA; no browser implements it.
    virtual unsigned long StoreFileA(IInStreamListener* listener, const std::wstring& path) = 0;
    // The stream listener's acknowledgement of one block.
    virtual void BytesProcessed(unsigned long result, unsigned int count) = 0;
    // Ends a running stream with result.
    virtual void StopStreamIoA(unsigned long result) = 0;
    // Whether both browsers work on the same disk, so that a move can be a rename; other may be null.
    virtual bool IsTheSameDisk(const IFsBrowser* other) const = 0;
    // Names the storage the browser's paths lead into, so that places are compared by what they are and
    // never by which object serves them: browsers with equal names reach one file through one path (see
    // fs/Places.h). Browsers that are different objects over the same storage give the same name.
    virtual std::wstring GetStorageName() const = 0;
    // The path separator.
    virtual wchar_t GetSlash() const = 0;
    // True when every bit of mask (TBrowserCapability) is among the browser's bits.
    virtual bool CapableOf(int mask) const = 0;
    // TBrowserKind.
    virtual int GetType() const = 0;
    // Writes the property as an unsigned int through out; an unsupported property returns 0x80000000
    // and leaves out alone.
    virtual unsigned long GetProperty(TProperty property, void* out) = 0;
};
