#include "fs/FsLocalBrowser.h"

#include <memory>
#include <vector>

#include "Osp/Io/Directory.h"
#include "Osp/Io/File.h"
#include "Osp/Io/FileAttributes.h"
#include "app/Corvane.h"
#include "app/PathUtils.h"
#include "app/Results.h"
#include "app/StringUtils.h"
#include "fs/FileEvent.h"
#include "fs/IFsBrowserListener.h"
#include "fs/IFsDirEnum.h"
#include "fs/IFsDirEnumListener.h"
#include "fs/IFsDirListener.h"
#include "fs/LocalContent.h"
#include "fs/LocalFile.h"
#include "fs/LocalSyncFile.h"

namespace {

using Osp::Base::String;

constexpr int kBlockSize = 0x40000;
constexpr unsigned long kBadName = Osp::Base::E_INVALID_ARG;

// Entries of "/Home" that belong to the system rather than to the user: the settings file and the file
// named after the application's store identifier are never listed, the cache folder is listed hidden.
constexpr wchar_t kSettingsFileName[] = L"RF.reg";
constexpr wchar_t kStoreFileName[] = L"zq93tfx1mv";
constexpr wchar_t kCacheFolderName[] = L"Cache";

// The phone keeps its installed applications in this folder of the memory card; nobody may browse it.
constexpr wchar_t kCardDataArea[] = L"/storagecard/media/others/__@@bada_applications@@__/zq93tfx1mv";

// The path as the platform resolves it: empty and "." components dropped, ".." taking the one before it.
// The data-area check looks at this form, so that no spelling of a path slips past it.
std::wstring ResolvedPath(const std::wstring& path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'/', start);
        if (end == std::wstring::npos) {
            end = path.size();
        }
        std::wstring part = path.substr(start, end - start);
        if (part == L"..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring resolved;
    for (const std::wstring& part : parts) {
        resolved += L'/';
        resolved += part;
    }
    return resolved + L'/';
}

bool IsInCardDataArea(const std::wstring& path) {
    std::wstring lower = ResolvedPath(path);
    MakeLower(&lower);
    return lower.compare(0, std::size(kCardDataArea) - 1, kCardDataArea) == 0;
}

// A name inside a folder: not empty, not "." or "..", and without a separator, so that an operation on a
// child can never reach the folder itself, its parent or anything deeper.
bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring::npos;
}

// The entry flags of what the platform tells of a file (its DirEntry or FileAttributes).
template <typename Facts>
int EntryType(const Facts& facts, bool forceHidden) {
    return (facts.IsDirectory() ? ENTRY_DIRECTORY : 0) |
           (forceHidden || facts.IsHidden() ? ENTRY_HIDDEN : 0) | (facts.IsReadOnly() ? ENTRY_READONLY : 0) |
           (facts.IsLink() ? ENTRY_LINK : 0) | (facts.IsSpecial() ? ENTRY_SPECIAL : 0);
}

// An entry of an enumeration: it reads the enumerator's current platform entry, so it is valid only
// until the enumerator moves on.
class LocalDirEntry : public IFsDirEntry {
public:
    LocalDirEntry(const Osp::Io::DirEntry* entry, const Osp::Base::DateTime& modified, bool forceHidden)
        : entry_(entry), modified_(modified), forceHidden_(forceHidden) {}

    std::wstring GetName() const override { return entry_->GetName().Units(); }
    unsigned long long GetSize() const override {
        return static_cast<unsigned long long>(entry_->GetFileSize());
    }
    int GetType() const override { return EntryType(*entry_, forceHidden_); }
    Osp::Base::DateTime GetTimeModified() const override { return modified_; }

private:
    const Osp::Io::DirEntry* entry_;  // the enumerator's
    Osp::Base::DateTime modified_;
    bool forceHidden_;
};

// An entry of GetFileInfoA, holding all it tells.
class AttrDirEntry : public IFsDirEntry {
public:
    AttrDirEntry(const Osp::Io::FileAttributes& attributes, const std::wstring& name)
        : attributes_(attributes), name_(name) {}

    std::wstring GetName() const override { return name_; }
    unsigned long long GetSize() const override {
        return static_cast<unsigned long long>(attributes_.GetFileSize());
    }
    int GetType() const override { return EntryType(attributes_, false); }
    Osp::Base::DateTime GetTimeModified() const override { return attributes_.GetLastModifiedTime(); }

private:
    Osp::Io::FileAttributes attributes_;
    std::wstring name_;
};

class LocalDirEnum : public IFsDirEnum {
public:
    LocalDirEnum(std::unique_ptr<Osp::Io::DirEnumerator> entries, const std::wstring& path, bool isHome)
        : entries_(std::move(entries)), path_(path), isHome_(isHome) {
        current_ = entries_->MoveNext();
    }
    ~LocalDirEnum() override {
        if (destroyed_ != nullptr) {
            *destroyed_ = true;
        }
    }

    void SetListener(IFsDirEnumListener* listener) override { listener_ = listener; }
    unsigned long StartEnumA(bool details) override;
    void StopEnumA() override { stop_ = true; }

private:
    // Whether the entry is one of the system's own in "/Home", which are never listed.
    bool IsSkipped(const Osp::Io::DirEntry& entry) const {
        if (!isHome_ || entry.IsDirectory()) {
            return false;
        }
        const String name = entry.GetName();
        return name == kSettingsFileName || name == kStoreFileName;
    }
    bool IsForcedHidden(const Osp::Io::DirEntry& entry) const {
        return isHome_ && entry.IsDirectory() && entry.GetName().Units() == kCacheFolderName;
    }

    std::unique_ptr<Osp::Io::DirEnumerator> entries_;
    IFsDirEnumListener* listener_ = nullptr;
    std::wstring path_;  // ends in '/'
    bool isHome_;
    bool stop_ = false;
    bool started_ = false;
    unsigned long current_;
    // Set while StartEnumA runs: a listener may delete the enumerator from inside OnGetEntry.
    bool* destroyed_ = nullptr;
};

unsigned long LocalDirEnum::StartEnumA(bool details) {
    if (listener_ == nullptr || started_) {
        return RES_FAILURE;
    }
    started_ = true;
    bool destroyed = false;
    destroyed_ = &destroyed;
    for (;;) {
        if (stop_ || current_ != RES_OK) {
            destroyed_ = nullptr;
            listener_->OnGetEntry(RES_OK, nullptr);
            return RES_OK;
        }
        const Osp::Io::DirEntry& entry = entries_->GetCurrentDirEntry();
        if (!IsSkipped(entry)) {
            // The listing looked at each entry already (a link's time is its target's): no second look.
            Osp::Base::DateTime modified = details ? entry.GetLastModifiedTime() : Osp::Base::DateTime();
            listener_->OnGetEntry(RES_OK, new LocalDirEntry(&entry, modified, IsForcedHidden(entry)));
            if (destroyed) {
                return RES_OK;
            }
        }
        current_ = entries_->MoveNext();
    }
}

class LocalDir : public IFsDir {
public:
    LocalDir(LocalBrowser* browser, bool isHome) : browser_(browser), isHome_(isHome) {}

    unsigned long Construct(const std::wstring& path);

    void SetListener(IFsDirListener* listener) override { listener_ = listener; }
    std::wstring GetName(bool) const override { return path_; }
    unsigned long OpenEnumeratorA() override;
    unsigned long OpenSubDirA(const std::wstring& name) override;
    unsigned long RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldName,
                              const std::wstring& newName) override {
        if (!IsPlainName(oldName) || !IsPlainName(newName)) {
            return browser_->PostDone(id, listener, kBadName);
        }
        return browser_->RenameFileA(id, listener, path_ + oldName, path_ + newName);
    }
    unsigned long RenameSubDirA(int id, IFsOpListener* listener, const std::wstring& oldName,
                                const std::wstring& newName) override {
        if (!IsPlainName(oldName) || !IsPlainName(newName)) {
            return browser_->PostDone(id, listener, kBadName);
        }
        return browser_->RenameFolderA(id, listener, path_ + oldName, path_ + newName);
    }
    unsigned long DeleteFileA(int id, IFsOpListener* listener, const std::wstring& name) override {
        if (!IsPlainName(name)) {
            return browser_->PostDone(id, listener, kBadName);
        }
        return browser_->DeleteFileA(id, listener, path_ + name);
    }
    unsigned long DeleteSubDirA(int id, IFsOpListener* listener, const std::wstring& name) override {
        if (!IsPlainName(name)) {
            return browser_->PostDone(id, listener, kBadName);
        }
        return browser_->DeleteFolderTreeA(id, listener, path_ + name);
    }
    IFsBrowser* GetBrowser() const override { return browser_; }

private:
    LocalBrowser* browser_;
    bool isHome_;
    std::wstring path_;  // ends in '/'
    Osp::Io::Directory directory_;
    unsigned long constructed_ = RES_FAILURE;
    IFsDirListener* listener_ = nullptr;
};

unsigned long LocalDir::Construct(const std::wstring& path) {
    path_ = path;
    AddTrailingSymbol(&path_, L'/');
    if (!isHome_ && browser_->GetRoot() == LocalBrowser::ROOT_CARD && IsInCardDataArea(path_)) {
        constructed_ = RES_ACCESS_DENIED;
    } else {
        constructed_ = directory_.Construct(String(path_));
    }
    return constructed_;
}

unsigned long LocalDir::OpenEnumeratorA() {
    if (listener_ == nullptr) {
        return RES_FAILURE;
    }
    std::unique_ptr<Osp::Io::DirEnumerator> entries;
    unsigned long r = constructed_;
    if (r == RES_OK) {
        entries.reset(directory_.ReadN());
        r = entries != nullptr ? RES_OK : Osp::Base::GetLastResult();
    }
    // Last thing here: the listener may delete this folder from inside the call.
    if (r != RES_OK) {
        listener_->OnOpenEnumerator(r, nullptr);
    } else {
        listener_->OnOpenEnumerator(RES_OK, new LocalDirEnum(std::move(entries), path_, isHome_));
    }
    return RES_OK;
}

unsigned long LocalDir::OpenSubDirA(const std::wstring& name) {
    if (listener_ == nullptr) {
        return RES_FAILURE;
    }
    auto dir = std::make_unique<LocalDir>(browser_, false);
    unsigned long r = IsPlainName(name) ? dir->Construct(path_ + name) : kBadName;
    listener_->OnOpenSubDir(r, r == RES_OK ? dir.release() : nullptr);
    return RES_OK;
}

}  // namespace

LocalBrowser::LocalBrowser(TRoot root, Osp::Content::ContentManager* contentManager)
    : root_(root),
      capabilities_(CAP_WRITE | CAP_FILE_IO | CAP_SYNC_FILE | (root == ROOT_HOME ? CAP_CREATE_FOLDER : 0)),
      contentManager_(contentManager) {}

LocalBrowser::~LocalBrowser() = default;

const wchar_t* LocalBrowser::GetRootPath(TRoot root) {
    switch (root) {
        case ROOT_HOME:
            return L"/Home/";
        case ROOT_MEDIA:
            return L"/Media/";
        default:
            return L"/Storagecard/Media/";
    }
}

void LocalBrowser::AddRef() {}

void LocalBrowser::Release() {}

void LocalBrowser::SetListener(IFsBrowserListener* listener) {
    listener_ = listener;
}

void LocalBrowser::RemoveListener(IFsBrowserListener* listener) {
    if (listener_ == listener) {
        listener_ = nullptr;
    }
}

void LocalBrowser::SetPassword(unsigned long, const std::wstring&) {}

void LocalBrowser::SelectShare(const std::wstring&) {}

unsigned long LocalBrowser::OpenRootDirA() {
    if (listener_ == nullptr) {
        return RES_FAILURE;
    }
    // A root that cannot be opened (no memory card) still answers success: its enumerator reports the
    // failure.
    auto* dir = new LocalDir(this, root_ == ROOT_HOME);
    dir->Construct(GetRootPath(root_));
    listener_->OnOpenDir(RES_OK, dir);
    return RES_OK;
}

unsigned long LocalBrowser::OpenDirA(int id, IFsOpListener* listener, const std::wstring& path) {
    auto dir = std::make_unique<LocalDir>(this, path == L"/Home" || path == L"/Home/");
    unsigned long r = dir->Construct(path);
    if (r != RES_OK) {
        dir.reset();
    }
    return PostAnswer(FileEvent::DirOpenedN(listener, id, std::move(dir), r));
}

unsigned long LocalBrowser::RenameFileA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                        const std::wstring& newPath) {
    unsigned long r = UsesContentDatabaseFor(oldPath)
                          ? LocalContent(*contentManager_).RenameLocalFile(oldPath, newPath)
                          : Osp::Io::File::Move(String(oldPath), String(newPath));
    return PostDone(id, listener, r);
}

unsigned long LocalBrowser::RenameFolderA(int id, IFsOpListener* listener, const std::wstring& oldPath,
                                          const std::wstring& newPath) {
    return PostDone(id, listener, Osp::Io::Directory::Rename(String(oldPath), String(newPath)));
}

unsigned long LocalBrowser::DeleteFileA(int id, IFsOpListener* listener, const std::wstring& path) {
    return PostDone(id, listener, DeleteFileNow(path));
}

unsigned long LocalBrowser::DeleteFolderA(int id, IFsOpListener* listener, const std::wstring& path) {
    return PostDone(id, listener, Osp::Io::Directory::Remove(String(path), false));
}

unsigned long LocalBrowser::DeleteFolderTreeA(int id, IFsOpListener* listener, const std::wstring& path) {
    return PostDone(id, listener, Osp::Io::Directory::Remove(String(path), true));
}

unsigned long LocalBrowser::CreateFolderA(int id, IFsOpListener* listener, const std::wstring& path,
                                          bool failIfExists) {
    if (!failIfExists) {
        Osp::Io::Directory existing;
        if (existing.Construct(String(path)) == RES_OK) {
            return PostDone(id, listener, RES_OK);
        }
    }
    return PostDone(id, listener, Osp::Io::Directory::Create(String(path), false));
}

unsigned long LocalBrowser::GetId() const {
    return 0;
}

unsigned long LocalBrowser::GetFileInfoA(int id, IFsOpListener* listener, const std::wstring& path) {
    std::wstring dir;
    std::wstring name;
    if (!ParseFileName(path, &dir, &name, 0) || name.empty()) {
        return PostAnswer(FileEvent::EntryReadN(listener, id, nullptr, RES_NOT_FOUND));
    }
    Osp::Io::FileAttributes attributes;
    unsigned long r = Osp::Io::File::GetAttributes(String(path), attributes);
    std::unique_ptr<IFsDirEntry> entry;
    if (r == RES_OK) {
        entry = std::make_unique<AttrDirEntry>(attributes, name);
    }
    return PostAnswer(FileEvent::EntryReadN(listener, id, std::move(entry), r));
}

void LocalBrowser::SetFileTimeModifiedA(const std::wstring& path, const Osp::Base::DateTime& time) {
    // The least time stands for one that was never read: the file keeps the time it has.
    if (time != Osp::Base::DateTime::GetMinValue()) {
        Osp::Io::File::SetLastModifiedTime(String(path), time);
    }
}

unsigned long LocalBrowser::CreateFileA(IFsFileListener* listener, const std::wstring& path, TFileMode mode,
                                        TFileDisp disp) {
    auto file = std::make_unique<LocalFile>(this, listener);
    unsigned long r = file->Open(path, mode, disp);
    if (r != RES_OK) {
        file.reset();
    }
    return PostAnswer(FileEvent::FileCreatedN(listener, std::move(file), r));
}

unsigned long LocalBrowser::CreateSyncFileN(IFileSync** out, const std::wstring& path, TFileMode mode,
                                            TFileDisp disp) {
    if (out == nullptr) {
        return kBadName;
    }
    auto file = std::make_unique<LocalSyncFile>();
    unsigned long r = file->Open(path, mode, disp);
    *out = r == RES_OK ? file.release() : nullptr;
    return r;
}

unsigned long LocalBrowser::ExtractFileA(IOutStreamListener*, const std::wstring&) {
    return RES_FAILURE;
}

unsigned long LocalBrowser::StoreFileA(IInStreamListener*, const std::wstring&) {
    return RES_FAILURE;
}

void LocalBrowser::BytesProcessed(unsigned long, unsigned int) {}

void LocalBrowser::StopStreamIoA(unsigned long) {}

bool LocalBrowser::IsTheSameDisk(const IFsBrowser* other) const {
    const auto* local = dynamic_cast<const LocalBrowser*>(other);
    return local != nullptr && local->GetType() == BROWSER_LOCAL && local->root_ == root_;
}

// Every root's paths are full paths of the one phone storage.
std::wstring LocalBrowser::GetStorageName() const {
    return L"local";
}

wchar_t LocalBrowser::GetSlash() const {
    return L'/';
}

bool LocalBrowser::CapableOf(int mask) const {
    return (mask & capabilities_) == mask;
}

int LocalBrowser::GetType() const {
    return BROWSER_LOCAL;
}

unsigned long LocalBrowser::GetProperty(TProperty property, void* out) {
    if ((property != PROP_READ_BLOCK && property != PROP_WRITE_BLOCK) || out == nullptr) {
        return RES_FAILURE;
    }
    *static_cast<unsigned int*>(out) = kBlockSize;
    return RES_OK;
}

void LocalBrowser::OnUserEvent(int) {}

void LocalBrowser::OnUserEventEx(UserEvent* event) {
    if (auto* answer = dynamic_cast<FileEvent*>(event)) {
        answer->Deliver();
    }
}

unsigned long LocalBrowser::PostAnswer(FileEvent* event) {
    Corvane* app = Corvane::GetMyInstance();
    if (app == nullptr) {
        delete event;
        return RES_FAILURE;
    }
    return app->PostUserEventEx(this, event);
}

unsigned long LocalBrowser::DeleteFileNow(const std::wstring& path) {
    return UsesContentDatabaseFor(path) ? LocalContent(*contentManager_).DeleteLocalFile(path)
                                        : Osp::Io::File::Remove(String(path));
}

bool LocalBrowser::UsesContentDatabaseFor(const std::wstring& path) const {
    if (root_ == ROOT_HOME || contentManager_ == nullptr) {
        return false;
    }
    Osp::Io::FileAttributes attributes;
    return Osp::Io::File::GetAttributes(String(path), attributes) != RES_OK || !attributes.IsLink();
}

unsigned long LocalBrowser::CopyLinkA(int id, IFsOpListener* listener, const std::wstring& linkPath,
                                      const std::wstring& newPath) {
    return PostDone(id, listener, Osp::Io::File::CopyLink(String(linkPath), String(newPath)));
}

unsigned long LocalBrowser::PostDone(int id, IFsOpListener* listener, unsigned long result) {
    if (listener == nullptr) {
        return result;
    }
    return PostAnswer(FileEvent::OperationDoneN(listener, id, result));
}
