#include "archive/ZipFolder.h"

#include "app/Results.h"
#include "archive/FsZipBrowser.h"
#include "archive/ZipRequest.h"

ZipFolder::ZipFolder(ZipBrowser* browser, const std::wstring& path, std::shared_ptr<IVolDir> volDir,
                     bool ownsReference)
    : browser_(browser), path_(path), volDir_(std::move(volDir)), ownsReference_(ownsReference) {
    if (ownsReference_) {
        browser_->AddRef();
    }
}

ZipFolder::~ZipFolder() {
    if (ownsReference_) {
        browser_->Release();
    }
}

std::wstring ZipFolder::GetName(bool full) const {
    return full ? browser_->GetArchiveName() + path_ : path_;
}

unsigned long ZipFolder::OpenEnumeratorA() {
    return browser_->OpenEnumeratorA(volDir_, listener_);
}

unsigned long ZipFolder::OpenSubDirA(const std::wstring& name) {
    return browser_->OpenSubDirA(path_, name, listener_);
}

unsigned long ZipFolder::RenameFileA(int, IFsOpListener*, const std::wstring&, const std::wstring&) {
    return 0;
}

unsigned long ZipFolder::RenameSubDirA(int, IFsOpListener*, const std::wstring&, const std::wstring&) {
    return 0;
}

unsigned long ZipFolder::DeleteFileA(int, IFsOpListener*, const std::wstring&) {
    return 0;
}

unsigned long ZipFolder::DeleteSubDirA(int, IFsOpListener*, const std::wstring&) {
    return 0;
}

IFsBrowser* ZipFolder::GetBrowser() const {
    return browser_;
}

void ZipDirEnum::SetListener(IFsDirEnumListener* listener) {
    state_->listener = LiveRef<IFsDirEnumListener>(listener);
}

unsigned long ZipDirEnum::StartEnumA(bool) {
    if (started_) {
        return RES_FAILURE;
    }
    started_ = true;
    return browser_->StartEnumA(state_);
}

void ZipDirEnum::StopEnumA() {
    state_->stop.store(true);
}
