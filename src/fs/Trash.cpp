#include "fs/Trash.h"

#include <atomic>
#include <memory>

#include "Osp/Io/Directory.h"
#include "Osp/Io/File.h"
#include "Osp/System/SystemTime.h"
#include "app/Results.h"
#include "fs/TrashInfo.h"
#include "host/Trash.h"

namespace {

using Osp::Base::String;
using Osp::Io::Directory;
using Osp::Io::File;

constexpr wchar_t kInfoSuffix[] = L".trashinfo";
// How many numbered names are tried before a deletion gives up on the trash.
constexpr int kMaxNameTries = 10000;

std::wstring LastComponent(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ParentOf(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos || slash == 0 ? std::wstring(L"/") : path.substr(0, slash);
}

// "song.mp3" as "song.2.mp3"; a name without an extension (or a folder's, or a hidden file's) as "name.2".
std::wstring Numbered(const std::wstring& name, int number) {
    const size_t dot = name.rfind(L'.');
    const std::wstring mark = L"." + std::to_wstring(number);
    if (dot == std::wstring::npos || dot == 0) {
        return name + mark;
    }
    return name.substr(0, dot) + mark + name.substr(dot);
}

unsigned long WriteWhole(const std::wstring& path, const std::string& bytes) {
    File file;
    unsigned long r = file.Construct(String(path), String(L"w"));
    if (r == RES_OK) {
        r = file.Write(bytes.data(), static_cast<int>(bytes.size()));
    }
    return r;
}

// The file's bytes, up to one more than limit so that a longer file shows as one.
std::string ReadBounded(const std::wstring& path, size_t limit) {
    File file;
    std::string bytes;
    if (file.Construct(String(path), String(L"r")) != RES_OK) {
        return bytes;
    }
    bytes.resize(limit + 1);
    size_t have = 0;
    while (have < bytes.size()) {
        const int n = file.Read(&bytes[have], static_cast<int>(bytes.size() - have));
        if (n <= 0) {
            break;
        }
        have += static_cast<size_t>(n);
    }
    bytes.resize(have);
    return bytes;
}

// The bytes of everything below the folder; links are counted as nothing and never followed. A raised
// stop ends the count early, with what was counted.
unsigned long long TreeSize(const std::wstring& folder, const std::atomic<bool>* stop = nullptr) {
    Directory directory;
    if (directory.Construct(String(folder)) != RES_OK) {
        return 0;
    }
    std::unique_ptr<Osp::Io::DirEnumerator> entries(directory.ReadN());
    unsigned long long bytes = 0;
    while (entries != nullptr && entries->MoveNext() == RES_OK && (stop == nullptr || !*stop)) {
        const Osp::Io::DirEntry& entry = entries->GetCurrentDirEntry();
        if (entry.IsLink() || entry.IsSpecial()) {
            continue;
        }
        if (entry.IsDirectory()) {
            bytes += TreeSize(folder + L"/" + entry.GetName().Units(), stop);
        } else if (entry.GetFileSize() > 0) {
            bytes += static_cast<unsigned long long>(entry.GetFileSize());
        }
    }
    return bytes;
}

}  // namespace

Trash::Trash(std::wstring folder) : folder_(std::move(folder)) {}

std::wstring Trash::FilesPath(const std::wstring& name) const {
    return folder_ + L"files/" + name;
}

std::wstring Trash::InfoPath(const std::wstring& name) const {
    return folder_ + L"info/" + name + kInfoSuffix;
}

unsigned long Trash::Put(const std::wstring& path) {
    std::string original;
    unsigned long r = host::TrashedPathOf(folder_, path, original);
    if (r != RES_OK) {
        return r;
    }
    Osp::Base::DateTime now;
    Osp::System::SystemTime::GetCurrentTime(Osp::System::WALL_TIME, now);
    std::wstring name;
    r = ReserveName(LastComponent(path), FormatTrashInfo(original, now), &name);
    if (r != RES_OK) {
        return r;
    }
    r = File::Move(String(path), String(FilesPath(name)));
    if (r != RES_OK) {
        File::Remove(String(InfoPath(name)));
    }
    return r;
}

unsigned long Trash::ReserveName(const std::wstring& base, const std::string& info, std::wstring* name) {
    // Written under a name of its own first, then renamed without replacing anything: the rename is what
    // claims the name, against every other program that puts things into this trash.
    long long ticks = 0;
    Osp::System::SystemTime::GetTicks(ticks);
    static unsigned int attempt = 0;
    const std::wstring partial =
        folder_ + L"info/.partial-" + std::to_wstring(ticks) + L"-" + std::to_wstring(++attempt);
    unsigned long r = WriteWhole(partial, info);
    for (int number = 1; r == RES_OK && number <= kMaxNameTries; ++number) {
        const std::wstring candidate = number == 1 ? base : Numbered(base, number);
        if (File::IsFileExist(String(FilesPath(candidate)))) {
            continue;
        }
        r = File::Move(String(partial), String(InfoPath(candidate)));
        if (r == RES_OK) {
            *name = candidate;
            return RES_OK;
        }
        if (r == RES_ALREADY_EXISTS) {
            r = RES_OK;
        }
    }
    File::Remove(String(partial));
    return r == RES_OK ? RES_ALREADY_EXISTS : r;
}

STrashItem Trash::Describe(const std::wstring& name, bool isFolder, long long size) const {
    STrashItem item;
    item.name = name;
    item.isFolder = isFolder;
    item.size = isFolder ? TreeSize(FilesPath(name)) : static_cast<unsigned long long>(size > 0 ? size : 0);
    STrashInfo info;
    if (ParseTrashInfo(ReadBounded(InfoPath(name), kMaxTrashInfoBytes), &info)) {
        item.deletedAt = info.deletedAt;
        std::wstring original;
        if (host::RestorePathOf(folder_, info.path, original) == RES_OK) {
            item.originalPath = original;
        }
    }
    return item;
}

unsigned long long Trash::HeldBytes(const std::wstring& folder, size_t* items,
                                    const std::atomic<bool>& stop) {
    Directory files;
    if (files.Construct(String(folder + L"files")) != RES_OK) {
        return 0;
    }
    std::unique_ptr<Osp::Io::DirEnumerator> entries(files.ReadN());
    unsigned long long bytes = 0;
    while (entries != nullptr && entries->MoveNext() == RES_OK && !stop) {
        const Osp::Io::DirEntry& entry = entries->GetCurrentDirEntry();
        ++*items;
        if (entry.IsLink()) {
            continue;
        }
        if (entry.IsDirectory()) {
            bytes += TreeSize(folder + L"files/" + entry.GetName().Units(), &stop);
        } else if (entry.GetFileSize() > 0) {
            bytes += static_cast<unsigned long long>(entry.GetFileSize());
        }
    }
    return bytes;
}

std::vector<STrashItem> Trash::List() const {
    std::vector<STrashItem> items;
    Directory files;
    if (files.Construct(String(folder_ + L"files")) != RES_OK) {
        return items;
    }
    std::unique_ptr<Osp::Io::DirEnumerator> entries(files.ReadN());
    while (entries != nullptr && entries->MoveNext() == RES_OK) {
        const Osp::Io::DirEntry& entry = entries->GetCurrentDirEntry();
        const bool isFolder = entry.IsDirectory() && !entry.IsLink();
        items.push_back(
            Describe(entry.GetName().Units(), isFolder, entry.IsLink() ? 0 : entry.GetFileSize()));
    }
    return items;
}

unsigned long Trash::Restore(const STrashItem& item, const std::wstring& target, TReplace replace) {
    const std::wstring parent = ParentOf(target);
    if (!File::IsFileExist(String(parent))) {
        const unsigned long r = Directory::Create(String(parent), true);
        if (r != RES_OK) {
            return r;
        }
    }
    if (replace == TRASH_OCCUPANT && File::IsFileExist(String(target))) {
        const unsigned long r = Put(target);
        if (r != RES_OK) {
            return r;
        }
    }
    const unsigned long r = File::Move(String(FilesPath(item.name)), String(target));
    if (r == RES_OK) {
        File::Remove(String(InfoPath(item.name)));
    }
    return r;
}

unsigned long Trash::Erase(const STrashItem& item) {
    const String path(FilesPath(item.name));
    const unsigned long r = item.isFolder ? Directory::Remove(path, true) : File::Remove(path);
    if (r == RES_OK) {
        File::Remove(String(InfoPath(item.name)));
    }
    return r;
}

unsigned long Trash::Empty() {
    unsigned long first = RES_OK;
    for (const STrashItem& item : List()) {
        const unsigned long r = Erase(item);
        if (first == RES_OK) {
            first = r;
        }
    }
    return first;
}
