#include "fs/Cache.h"

#include <algorithm>
#include <cwchar>
#include <vector>

#include "Osp/Io/Directory.h"
#include "Osp/Io/File.h"
#include "Osp/System/SystemTime.h"
#include "app/PathUtils.h"
#include "app/Results.h"

namespace {

// The longest file name that the common local file systems take, in bytes of the host's UTF-8.
constexpr std::size_t kMaxNameBytes = 255;

// What a unit can take on the host at most: a surrogate pair takes four bytes for its two units, so three
// per unit never falls short.
std::size_t HostBytes(wchar_t unit) {
    const auto u = static_cast<unsigned int>(unit) & 0xFFFF;
    return u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
}

std::size_t HostBytes(const std::wstring& text) {
    std::size_t bytes = 0;
    for (wchar_t unit : text) {
        bytes += HostBytes(unit);
    }
    return bytes;
}

// Cuts units off the end of text until it takes at most bytes, never leaving half of a surrogate pair.
void TrimToBytes(std::wstring* text, std::size_t bytes) {
    std::size_t kept = 0;
    std::size_t used = 0;
    while (kept < text->size() && used + HostBytes((*text)[kept]) <= bytes) {
        used += HostBytes((*text)[kept]);
        ++kept;
    }
    if (kept > 0 && kept < text->size()) {
        const auto last = static_cast<unsigned int>((*text)[kept - 1]) & 0xFFFF;
        if (last >= 0xD800 && last <= 0xDBFF) {
            --kept;
        }
    }
    text->resize(kept);
}

Osp::Base::DateTime NowUtc() {
    Osp::Base::DateTime now;
    Osp::System::SystemTime::GetCurrentTime(now);
    return now;
}

}  // namespace

Cache::Cache(IFsBrowser* browser) : browser_(browser) {}

void Cache::Construct(const std::wstring& folder, unsigned int limit) {
    folder_ = folder;
    if (!folder_.empty() && folder_.back() != folder_.front()) {
        folder_ += folder_.front();
    }
    limit_ = limit;
    Osp::Io::Directory dir;
    if (dir.Construct(Osp::Base::String(folder_)) != RES_OK) {
        Osp::Io::Directory::Create(Osp::Base::String(folder_), true);
    }
    PurgeCache();
}

int Cache::GetHash(unsigned long id, const std::wstring& path) {
    unsigned int hash = 0;
    for (wchar_t c : path) {
        hash = hash * 31 + static_cast<unsigned int>(c & 0xFFFF);
    }
    return static_cast<int>(hash + static_cast<unsigned int>(id));
}

std::wstring Cache::MakeCacheName(const std::wstring& path, int key) {
    std::wstring dir, name = path, base, ext;
    ParseFileName(path, &dir, &name, 0);
    SplitFileName(name, &base, &ext);
    wchar_t hex[16];
    std::swprintf(hex, 16, L"%X", static_cast<unsigned int>(key));
    // The key keeps a shortened name apart from other sources, so the base gives way first; only an
    // extension too long for any name is cut as well.
    const std::wstring tail = std::wstring(L"_") + hex + L".";
    const std::size_t room = kMaxNameBytes - HostBytes(tail);
    TrimToBytes(&ext, room);
    TrimToBytes(&base, room - HostBytes(ext));
    return base + tail + ext;
}

std::map<int, Cache::SFile>::iterator Cache::Find(unsigned long id, const std::wstring& path) {
    return std::find_if(files_.begin(), files_.end(),
                        [&](const auto& slot) { return slot.second.id == id && slot.second.path == path; });
}

void Cache::Remove(std::map<int, SFile>::iterator it) {
    Osp::Io::File::Remove(Osp::Base::String(folder_ + it->second.name));
    used_ -= std::min(used_, it->second.bytes);
    files_.erase(it);
}

std::wstring Cache::FindFile(unsigned long id, const std::wstring& path, unsigned long long size,
                             const Osp::Base::DateTime& modified) {
    auto it = Find(id, path);
    if (it == files_.end() || it->second.writing) {
        return std::wstring();
    }
    SFile& file = it->second;
    const std::wstring full = folder_ + file.name;
    if (file.size == size && file.modified == modified &&
        Osp::Io::File::IsFileExist(Osp::Base::String(full))) {
        file.lastUse = NowUtc();
        return full;
    }
    Remove(it);
    return std::wstring();
}

std::wstring Cache::CreateNewFile(unsigned long id, const std::wstring& path, unsigned long long size,
                                  const Osp::Base::DateTime& modified) {
    auto old = Find(id, path);
    if (old != files_.end()) {
        Remove(old);
    }
    if (size > GetFreeSpace() && (size > limit_ || !FreeSpace(size - GetFreeSpace()))) {
        return std::wstring();
    }
    // A key taken by another source moves this one to the next free key, so that neither its entry
    // nor its file name is shared.
    unsigned int key = static_cast<unsigned int>(GetHash(id, path));
    while (files_.count(static_cast<int>(key)) != 0) {
        ++key;
    }
    SFile& file = files_[static_cast<int>(key)];
    file.id = id;
    file.path = path;
    file.name = MakeCacheName(path, static_cast<int>(key));
    file.size = size;
    file.bytes = size;
    file.modified = modified;
    used_ += size;
    return folder_ + file.name;
}

void Cache::FinalizeFile(unsigned long result, unsigned long id, const std::wstring& path,
                         unsigned long long* size, Osp::Base::DateTime* modified) {
    auto it = Find(id, path);
    if (it == files_.end()) {
        return;
    }
    if (result != RES_OK) {
        Remove(it);
        return;
    }
    SFile& file = it->second;
    file.writing = false;
    file.lastUse = NowUtc();
    // A source that changed while it was copied takes what was really written.
    Osp::Io::FileAttributes attributes;
    if (Osp::Io::File::GetAttributes(Osp::Base::String(folder_ + file.name), attributes) == RES_OK) {
        const auto written = static_cast<unsigned long long>(attributes.GetFileSize());
        used_ = used_ - std::min(used_, file.bytes) + written;
        file.bytes = written;
    }
    if (size != nullptr) {
        *size = file.size;
    }
    if (modified != nullptr) {
        *modified = file.modified;
    }
}

void Cache::RemoveFile(unsigned long id, const std::wstring& path) {
    auto it = Find(id, path);
    if (it != files_.end()) {
        Remove(it);
    }
}

bool Cache::FreeSpace(unsigned long long bytes) {
    // Oldest use first; equal ages go by key, so that every copy has its own place in the order.
    const Osp::Base::DateTime now = NowUtc();
    std::vector<std::pair<long long, int>> order;
    for (const auto& [key, file] : files_) {
        if (!file.writing) {
            order.emplace_back((now.GetTime() - file.lastUse.GetTime()).GetTicks(), key);
        }
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    for (const auto& [age, key] : order) {
        auto it = files_.find(key);
        const unsigned long long released = it->second.bytes;
        Remove(it);
        if (released >= bytes) {
            return true;
        }
        bytes -= released;
    }
    return false;
}

void Cache::PurgeCache() {
    // Copies still being written lose their files as well; their transfers then fail and finalize.
    files_.clear();
    used_ = 0;
    if (!folder_.empty()) {
        Osp::Io::Directory::RemoveFiles(Osp::Base::String(folder_));
    }
}
