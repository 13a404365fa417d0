#pragma once
// The browser of the phone's own storage, one per root kind, owned by the application for the whole run.
// Folders, enumerations and file opens answer inside the call; every operation that takes an
// IFsOpListener, and every answer of an open file, is done at once and its answer posted to this browser,
// which hands it to the listener on the user-interface thread. Answers still on their way when the
// browser or their listener is destroyed are dropped. The media roots rename and delete files through the
// phone's media database when they are given one (the application's), and with plain file calls when
// not; a link is no content and is always renamed and deleted as itself. Used on the user-interface
// thread only.

#include <string>

#include "Osp/Content/ContentManager.h"
#include "app/IUserEventHandler.h"
#include "fs/IFsBrowser.h"

class FileEvent;

class LocalBrowser : public IFsBrowser, public IUserEventHandler {
public:
    enum TRoot {
        ROOT_HOME = 1,   // "/Home/", the private files
        ROOT_MEDIA = 2,  // "/Media/", the phone memory
        ROOT_CARD = 3,   // "/Storagecard/Media/", the memory card
    };

    // contentManager is not owned and must outlive the browser; the private files never use it.
    explicit LocalBrowser(TRoot root, Osp::Content::ContentManager* contentManager = nullptr);
    ~LocalBrowser() override;

    // The root folder of a root kind, ending in '/'.
    static const wchar_t* GetRootPath(TRoot root);
    TRoot GetRoot() const { return root_; }

    void AddRef() override;
    void Release() override;
    void SetListener(IFsBrowserListener* listener) override;
    void RemoveListener(IFsBrowserListener* listener) override;
    void SetPassword(unsigned long result, const std::wstring& password) override;
    void SelectShare(const std::wstring& share) override;
    unsigned long OpenRootDirA() override;
    unsigned long OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) override;
    unsigned long RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                              const std::wstring& newPath) override;
    unsigned long RenameFolderA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                const std::wstring& newPath) override;
    // With a null listener, DeleteFileA and RenameFileA work at once and return their result.
    unsigned long DeleteFileA(int id, IFsOpListener* listener, const std::wstring& path) override;
    unsigned long DeleteFolderA(int id, IFsOpListener* listener, const std::wstring& path) override;
    unsigned long CreateFolderA(int id, IFsOpListener* listener, const std::wstring& path,
                                bool failIfExists) override;
    unsigned long GetId() const override;
    unsigned long GetFileInfoA(int id, IFsOpListener* listener, const std::wstring& path) override;
    void SetFileTimeModifiedA(const std::wstring& path, const Osp::Base::DateTime& time) override;
    unsigned long CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                              TFileDisp disp) override;
    unsigned long CreateSyncFileN(IFileSync** out, const std::wstring& path, TFileMode mode,
                                  TFileDisp disp) override;
    unsigned long ExtractFileA(IOutStreamListener* listener, const std::wstring& path) override;
    unsigned long StoreFileA(IInStreamListener* listener, const std::wstring& path) override;
    void BytesProcessed(unsigned long result, unsigned int count) override;
    void StopStreamIoA(unsigned long result) override;
    bool IsTheSameDisk(const IFsBrowser* other) const override;
    std::wstring GetStorageName() const override;
    wchar_t GetSlash() const override;
    bool CapableOf(int mask) const override;
    int GetType() const override;
    unsigned long GetProperty(TProperty property, void* out) override;

    void OnUserEvent(int code) override;
    void OnUserEventEx(UserEvent* event) override;

    // Posts an answer of this browser, its folders or its files; the result is that of the posting.
    unsigned long PostAnswer(FileEvent* event);
    // Posts OnFsOperationDone(id, 0, result); with a null listener it returns result instead.
    unsigned long PostDone(int id, IFsOpListener* listener, unsigned long result);
    // Removes a folder with everything in it, and answers like DeleteFolderA.
    unsigned long DeleteFolderTreeA(int id, IFsOpListener* listener, const std::wstring& path);
    // Makes a link at newPath that points where the link at linkPath points (linkPath may lie in any of
    // the phone's roots); answers like RenameFileA, with RES_ALREADY_EXISTS when newPath is taken.
    unsigned long CopyLinkA(int id, IFsOpListener* listener, const std::wstring& linkPath,
                            const std::wstring& newPath);

private:
    unsigned long DeleteFileNow(const std::wstring& path);
    // Whether the file at path goes through the media database.
    bool UsesContentDatabaseFor(const std::wstring& path) const;

    IFsBrowserListener* listener_ = nullptr;
    TRoot root_;
    int capabilities_;
    Osp::Content::ContentManager* contentManager_;
};
