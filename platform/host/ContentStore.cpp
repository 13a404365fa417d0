#include "host/ContentStore.h"

#include "Osp/Io/File.h"
#include "host/HostPaths.h"

namespace host {
namespace {

std::wstring AsciiLower(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return text;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.compare(0, std::wstring(prefix).size(), prefix) == 0;
}

}  // namespace

bool IsMediaPath(const std::wstring& virtualPath) {
    std::string hostPath;
    return (StartsWith(virtualPath, L"/Media/") || StartsWith(virtualPath, L"/Storagecard/Media/")) &&
           MapPath(virtualPath, hostPath) == Osp::Base::E_SUCCESS;
}

ContentStore& ContentStore::Instance() {
    static ContentStore* store = new ContentStore;  // used until the process ends
    return *store;
}

Osp::Base::result ContentStore::Add(const std::wstring& path, Osp::Base::UuId& id) {
    std::lock_guard<std::mutex> guard(lock_);
    if (TakeBusy()) {
        return Osp::Base::E_SERVICE_BUSY;
    }
    if (!Osp::Io::File::IsFileExist(Osp::Base::String(path))) {
        return Osp::Base::E_FILE_NOT_FOUND;
    }
    if (IsRefused(path)) {
        return Osp::Base::E_UNSUPPORTED_FORMAT;
    }
    auto it = byPath_.find(path);
    if (it == byPath_.end()) {
        it = byPath_.emplace(path, Osp::Base::UuId::Generate()).first;
    }
    id = it->second;
    return Osp::Base::E_SUCCESS;
}

Osp::Base::result ContentStore::Remove(const Osp::Base::UuId& id) {
    std::lock_guard<std::mutex> guard(lock_);
    if (TakeBusy()) {
        return Osp::Base::E_SERVICE_BUSY;
    }
    for (auto it = byPath_.begin(); it != byPath_.end(); ++it) {
        if (it->second == id) {
            Osp::Base::String path(it->first);
            byPath_.erase(it);
            Osp::Base::result r = Osp::Io::File::Remove(path);
            return r == Osp::Base::E_FILE_NOT_FOUND ? Osp::Base::E_SUCCESS : r;
        }
    }
    return Osp::Base::E_FILE_NOT_FOUND;
}

bool ContentStore::IsRegistered(const std::wstring& path) {
    std::lock_guard<std::mutex> guard(lock_);
    return byPath_.count(path) != 0;
}

void ContentStore::RefuseExtension(const std::wstring& extension) {
    std::lock_guard<std::mutex> guard(lock_);
    refused_.insert(AsciiLower(extension));
}

void ContentStore::SetBusyCount(int calls) {
    std::lock_guard<std::mutex> guard(lock_);
    busyCalls_ = calls;
}

void ContentStore::Reset() {
    std::lock_guard<std::mutex> guard(lock_);
    byPath_.clear();
    refused_.clear();
    busyCalls_ = 0;
}

bool ContentStore::TakeBusy() {
    if (busyCalls_ <= 0) {
        return false;
    }
    --busyCalls_;
    return true;
}

bool ContentStore::IsRefused(const std::wstring& path) const {
    size_t slash = path.rfind(L'/');
    size_t dot = path.rfind(L'.');
    bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return refused_.count(hasExtension ? AsciiLower(path.substr(dot + 1)) : std::wstring()) != 0;
}

}  // namespace host
