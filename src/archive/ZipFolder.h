#pragma once
// A folder of an archive and the enumerator of its children, both answering through their archive
// browser's worker. A folder's path is '/'-separated and begins and ends with '/'; the root's is "/".
// Archives are read-only: renames and deletes answer nothing. Used on the user-interface thread only;
// the browser outlives them (the root folder holds a reference on it).

#include <memory>
#include <string>

#include "fs/IFsDir.h"
#include "fs/IFsDirEnum.h"

class IVolDir;
class ZipBrowser;
struct ZipEnumState;

class ZipFolder : public IFsDir {
public:
    ZipFolder(ZipBrowser* browser, const std::wstring& path, std::shared_ptr<IVolDir> volDir,
              bool ownsReference);
    ~ZipFolder() override;
    ZipFolder(const ZipFolder&) = delete;
    ZipFolder& operator=(const ZipFolder&) = delete;

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
    ZipBrowser* browser_;
    std::wstring path_;
    std::shared_ptr<IVolDir> volDir_;
    bool ownsReference_;
    IFsDirListener* listener_ = nullptr;
};

class ZipDirEnum : public IFsDirEnum {
public:
    ZipDirEnum(ZipBrowser* browser, std::shared_ptr<ZipEnumState> state)
        : browser_(browser), state_(std::move(state)) {}

    void SetListener(IFsDirEnumListener* listener) override;
    unsigned long StartEnumA(bool details) override;
    void StopEnumA() override;

private:
    ZipBrowser* browser_;
    std::shared_ptr<ZipEnumState> state_;
    bool started_ = false;
};
