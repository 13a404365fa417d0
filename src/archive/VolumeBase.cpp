#include "archive/VolumeBase.h"

#include <memory>

#include "app/Results.h"
#include "app/Time.h"
#include "archive/ArcDirEntry.h"
#include "archive/ArcValue.h"
#include "archive/IOutStreamSync.h"
#include "archive/IPasswordListener.h"
#include "archive/Streams.h"
#include "archive/ZipVolDir.h"
#include "fs/FsTypes.h"

namespace {

using namespace arclib;

constexpr unsigned int kAttribReadOnly = 0x01;
constexpr unsigned int kAttribHidden = 0x02;
constexpr unsigned int kAttribSystem = 0x04;
// Error flags that mean the library did not read the archive whole.
constexpr std::uint32_t kIncomplete =
    kErrorIsNotArc | kErrorHeaders | kErrorEncryptedHeaders | kErrorUnavailableStart | kErrorUnexpectedEnd;

// name without its last extension, with the packed file's extension when the format maps that one.
std::wstring SingleName(const std::wstring& name, const SVolClassInfo* info) {
    std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0) {
        return name;
    }
    std::wstring base = name.substr(0, dot);
    std::wstring ext = name.substr(dot + 1);
    for (wchar_t& c : ext) {
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    for (unsigned int i = 0; info != nullptr && i < info->mappingCount; ++i) {
        if (ext == info->mappings[i].archiveExt) {
            return base + L"." + info->mappings[i].packedExt;
        }
    }
    return base;
}

}  // namespace

VolumeBase::VolumeBase() = default;

VolumeBase::~VolumeBase() {
    if (archive_ != nullptr) {
        archive_->Close();
        archive_->Release();
    }
    if (inStream_ != nullptr) {
        inStream_->Release();
    }
}

unsigned long VolumeBase::ToResult(HRESULT r) {
    if (r >= 0) {
        return 0;
    }
    if (r == E_OUTOFMEMORY) {
        return RES_OUT_OF_MEMORY;
    }
    if (r == static_cast<HRESULT>(RES_CANCELLED)) {
        return RES_CANCELLED;
    }
    return r == E_NOTIMPL ? RES_UNSUPPORTED_METHOD : RES_FAILURE;
}

unsigned long VolumeBase::Open(const std::wstring& name, IFileSync* file) {
    if (unsigned long r = OpenArchive(file)) {
        return r;
    }
    return BuildTree(name);
}

unsigned long VolumeBase::OpenArchive(IFileSync* file) {
    inStream_ = new InStream(file);
    if (unsigned long r = CreateInArchive(&archive_)) {
        return r;
    }
    passwordAsked_ = false;
    HRESULT h = archive_->Open(inStream_, nullptr, static_cast<IArchiveOpenCallback*>(this));
    ArcValue errors;
    unsigned long long flags = 0;
    bool incomplete = h != S_OK || (archive_->GetArchiveProperty(kpidErrorFlags, errors.Reset()) == S_OK &&
                                    errors.ToUInt64(&flags) && (flags & kIncomplete) != 0);
    if (incomplete) {
        if (passwordAsked_) {
            SetPassword(std::wstring());
            return RES_INVALID_PASSWORD;
        }
        unsigned long r = ToResult(h);
        return r == RES_OUT_OF_MEMORY || r == RES_CANCELLED || r == RES_UNSUPPORTED_METHOD ? r
                                                                                           : RES_CORRUPT_FILE;
    }
    std::uint32_t count = 0;
    h = archive_->GetNumberOfItems(&count);
    if (h != S_OK) {
        return h < 0 ? ToResult(h) : RES_CORRUPT_FILE;
    }
    itemCount_ = count;
    return 0;
}

unsigned long VolumeBase::BuildTree(const std::wstring& name) {
    if (unsigned long r = tree_.Reset(itemCount_)) {
        return r;
    }
    if ((flags_ & SVolClassInfo::FLAG_SINGLE_FILE) != 0 && itemCount_ == 1) {
        singleName_ = VolumeTree::CleanPath(SingleName(name, classInfo_));
        std::wstring stored;
        if (unsigned long r = ItemPath(0, &stored)) {
            return r;
        }
        stored = VolumeTree::CleanPath(stored);
        std::size_t cut = stored.rfind(L'\\');
        tree_.AddSingle(stored.empty()              ? singleName_
                        : cut == std::wstring::npos ? stored
                                                    : stored.substr(cut + 1));
        return 0;
    }
    for (unsigned long i = 0; i < itemCount_; ++i) {
        std::wstring path;
        if (unsigned long r = ItemPath(i, &path)) {
            return r;
        }
        ArcValue isDir;
        if (archive_->GetProperty(i, kpidIsDir, isDir.Reset()) != S_OK) {
            return RES_CORRUPT_FILE;
        }
        if (unsigned long r = tree_.AddItem(i, path, isDir.IsTrue())) {
            return r;
        }
    }
    return tree_.Finish();
}

unsigned long VolumeBase::ItemPath(unsigned long index, std::wstring* path) {
    // An item without a name of its own is left with an empty one, which the tree skips.
    ArcValue value;
    HRESULT h = archive_->GetProperty(index, kpidPath, value.Reset());
    if (h != S_OK) {
        return h < 0 ? ToResult(h) : RES_CORRUPT_FILE;
    }
    *path = value.String();
    return 0;
}

bool VolumeBase::ItemIsEncrypted(unsigned long index) {
    ArcValue value;
    return archive_->GetProperty(index, kpidEncrypted, value.Reset()) == S_OK && value.IsTrue();
}

int VolumeBase::GetItemAttributes(unsigned long index) {
    ArcValue value;
    unsigned long long attrib = 0;
    if (archive_->GetProperty(index, kpidAttrib, value.Reset()) != S_OK || !value.ToUInt64(&attrib)) {
        return 0;
    }
    int type = 0;
    if ((attrib & kAttribReadOnly) != 0) {
        type |= ENTRY_READONLY;
    }
    if ((attrib & (kAttribHidden | kAttribSystem)) != 0) {
        type |= ENTRY_HIDDEN;
    }
    return type;
}

IFsDirEntry* VolumeBase::GetEntryN(unsigned long index) {
    if (tree_.IsVirtual(index)) {
        return new ArcDirEntry(tree_.NameOf(index), 0, ENTRY_DIRECTORY, Osp::Base::DateTime());
    }
    if (index >= itemCount_) {
        return nullptr;
    }
    ArcValue size;
    unsigned long long bytes = 0;
    if (archive_->GetProperty(index, kpidSize, size.Reset()) != S_OK) {
        return nullptr;
    }
    if (size.IsEmpty()) {
        if (archive_->GetProperty(index, kpidPackSize, size.Reset()) != S_OK) {
            return nullptr;
        }
    }
    size.ToUInt64(&bytes);
    ArcValue time;
    if (archive_->GetProperty(index, kpidMTime, time.Reset()) != S_OK) {
        return nullptr;
    }
    Osp::Base::DateTime modified;
    if (time.IsFileTime()) {
        SFileTime ft{time.Get().filetime.dwLowDateTime, time.Get().filetime.dwHighDateTime};
        FiletimeToDateTime(ft, modified);
    }
    int type = GetItemAttributes(index) & ~ENTRY_DIRECTORY;
    if (tree_.IsFolder(index)) {
        type |= ENTRY_DIRECTORY;
    }
    return new ArcDirEntry(tree_.NameOf(index), bytes, type, modified);
}

unsigned long VolumeBase::OpenDirN(const std::wstring& path, IVolDir** out) {
    *out = nullptr;
    VolumeTree::DirMap::const_iterator position;
    if (archive_ == nullptr || tree_.FindDir(path, &position) == nullptr) {
        return RES_NOT_FOUND;
    }
    *out = new ZipVolDir(this, position);
    return 0;
}

unsigned long VolumeBase::GetFileInfo(const std::wstring& path, IFsDirEntry** out) {
    *out = nullptr;
    unsigned long index = 0;
    if (archive_ == nullptr || !tree_.FindIndex(path, &index)) {
        return RES_NOT_FOUND;
    }
    *out = GetEntryN(index);
    return *out != nullptr ? 0 : RES_CORRUPT_FILE;
}

void VolumeBase::StopIoOperation() {
    stopRequested_.store(true);
    if (inStream_ != nullptr) {
        inStream_->Stop();
    }
}

void VolumeBase::SetPassword(const std::wstring& password) {
    std::lock_guard<std::mutex> guard(passwordLock_);
    password_ = password;
}

unsigned long VolumeBase::ExtractFile(IOutStreamSync* out, const std::wstring& path) {
    stopRequested_.store(false);
    unsigned long index = 0;
    // Folders and virtual folders never reach the library.
    if (archive_ == nullptr || !tree_.FindIndex(path, &index) || tree_.IsFolder(index) ||
        index >= itemCount_) {
        return RES_NOT_FOUND;
    }
    ArcValue size;
    {
        std::lock_guard<std::mutex> guard(lock_);
        out_ = out;
        skipping_ = false;
        encrypted_ = ItemIsEncrypted(index);
        sizeKnown_ =
            archive_->GetProperty(index, kpidSize, size.Reset()) == S_OK && size.ToUInt64(&expected_);
        written_ = 0;
        failure_ = 0;
        result_ = 0;
        index_ = index;
    }
    inStream_->Reset();
    const std::uint32_t one = static_cast<std::uint32_t>(index);
    HRESULT h = archive_->Extract(&one, 1, 0, static_cast<IArchiveExtractCallback*>(this));
    std::lock_guard<std::mutex> guard(lock_);
    if (out_ != nullptr) {
        // The library ended without a result of the item: that is never a success.
        unsigned long r = failure_ != 0 ? failure_ : h < 0 ? ToResult(h) : RES_CORRUPT_FILE;
        Finish(r == RES_FAILURE && stopRequested_.load() ? RES_CANCELLED : r);
    }
    inStream_->Reset();
    return result_;
}

void VolumeBase::Finish(unsigned long result) {
    // An encrypted item that decodes to broken data was decoded with a wrong key, whichever check
    // noticed it first.
    if (encrypted_ && result == RES_CORRUPT_FILE) {
        SetPassword(std::wstring());
        result = RES_INVALID_PASSWORD;
    }
    result_ = result;
    IOutStreamSync* out = out_;
    out_ = nullptr;
    out->OnStreamWriteFinished(result);
}

bool VolumeBase::Cancelled() const {
    return stopRequested_.load();
}

HRESULT VolumeBase::QueryInterface(const GUID& iid, void** out) {
    if (iid == IID_ICryptoGetTextPassword) {
        *out = static_cast<ICryptoGetTextPassword*>(this);
        AddRef();
        return S_OK;
    }
    // No other interface: the library gets no volume callback, so a multi-part archive is read from
    // its one file only.
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG VolumeBase::AddRef() {
    return ++refCount_;
}

ULONG VolumeBase::Release() {
    return --refCount_;
}

HRESULT VolumeBase::SetTotal(const std::uint64_t*, const std::uint64_t*) {
    return Cancelled() ? E_ABORT : S_OK;
}

HRESULT VolumeBase::SetCompleted(const std::uint64_t*, const std::uint64_t*) {
    return Cancelled() ? E_ABORT : S_OK;
}

HRESULT VolumeBase::SetTotal(std::uint64_t) {
    return Cancelled() ? E_ABORT : S_OK;
}

HRESULT VolumeBase::SetCompleted(const std::uint64_t*) {
    return Cancelled() ? E_ABORT : S_OK;
}

HRESULT VolumeBase::GetStream(std::uint32_t index, ISequentialOutStream** outStream, std::int32_t askMode) {
    *outStream = nullptr;
    if (Cancelled()) {
        return E_ABORT;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (askMode == kExtract && index == index_ && out_ != nullptr) {
        *outStream = static_cast<ISequentialOutStream*>(this);
        AddRef();
    }
    return S_OK;
}

HRESULT VolumeBase::PrepareOperation(std::int32_t askMode) {
    std::lock_guard<std::mutex> guard(lock_);
    skipping_ = askMode != kExtract;
    return Cancelled() ? E_ABORT : S_OK;
}

HRESULT VolumeBase::Write(const void* data, std::uint32_t size, std::uint32_t* processedSize) {
    if (processedSize != nullptr) {
        *processedSize = 0;
    }
    if (Cancelled()) {
        return E_ABORT;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (skipping_) {
        if (processedSize != nullptr) {
            *processedSize = size;
        }
        return S_OK;
    }
    if (out_ == nullptr || failure_ != 0) {
        return E_FAIL;
    }
    if (size == 0) {
        return S_OK;
    }
    if (sizeKnown_ && (written_ > expected_ || size > expected_ - written_)) {
        failure_ = RES_CORRUPT_FILE;
        return E_FAIL;
    }
    unsigned int taken = 0;
    unsigned long r = out_->OnStreamWrite(data, size, &taken);
    // A receiver that takes nothing would have the library offer the same block for ever.
    if (r == 0 && (taken == 0 || taken > size)) {
        r = RES_FAILURE;
    }
    if (r != 0) {
        failure_ = r;
        return E_FAIL;
    }
    written_ += taken;
    if (processedSize != nullptr) {
        *processedSize = taken;
    }
    return S_OK;
}

unsigned long VolumeBase::MapOperationResult(std::int32_t opRes) {
    switch (opRes) {
        case kOpOk:
            return 0;
        case kOpUnsupportedMethod:
            return RES_UNSUPPORTED_METHOD;
        case kOpDataError:
        case kOpCrcError:
        case kOpWrongPassword:
            // Only an encrypted item can have a wrong password; broken data of any other is just broken.
            if (encrypted_ || opRes == kOpWrongPassword) {
                SetPassword(std::wstring());
                return RES_INVALID_PASSWORD;
            }
            return RES_CORRUPT_FILE;
        default:
            return RES_CORRUPT_FILE;
    }
}

HRESULT VolumeBase::SetOperationResult(std::int32_t opRes) {
    std::lock_guard<std::mutex> guard(lock_);
    if (skipping_ || out_ == nullptr) {
        return S_OK;
    }
    unsigned long r = failure_ != 0 ? failure_ : MapOperationResult(opRes);
    if (r == 0 && sizeKnown_ && written_ != expected_) {
        r = RES_CORRUPT_FILE;
    }
    Finish(r);
    return S_OK;
}

HRESULT VolumeBase::CryptoGetTextPassword(BSTR* password) {
    *password = nullptr;
    std::lock_guard<std::mutex> guard(passwordLock_);
    passwordAsked_ = true;
    if (password_.empty() && passwordListener_ != nullptr) {
        password_ = passwordListener_->OnGetPassword();
    }
    *password = AllocBstr(password_);
    return *password != nullptr ? S_OK : E_OUTOFMEMORY;
}
