#include "archive/VolumeTree.h"

#include "app/Results.h"
#include "app/StringUtils.h"

namespace {

constexpr wchar_t kSeparator = L'\\';
// Bounds of one item path after cleaning, and of all paths the tree keeps together.
constexpr std::size_t kMaxPathUnits = 32768;
constexpr std::size_t kMaxDepth = 1024;
constexpr std::size_t kMaxTotalUnits = std::size_t{1} << 26;

// Whether part begins with a drive letter and its colon.
bool IsDrive(const std::wstring& part) {
    if (part.size() < 2 || part[1] != L':') {
        return false;
    }
    wchar_t c = part[0];
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

void SplitLast(const std::wstring& path, std::wstring* parent, std::wstring* leaf) {
    std::size_t cut = path.rfind(kSeparator);
    if (cut == std::wstring::npos) {
        parent->clear();
        *leaf = path;
    } else {
        *parent = path.substr(0, cut);
        *leaf = path.substr(cut + 1);
    }
}

std::wstring Lower(std::wstring text) {
    MakeLower(&text);
    return text;
}

}  // namespace

std::wstring VolumeTree::CleanPath(const std::wstring& raw) {
    std::wstring out;
    std::wstring part;
    auto flush = [&] {
        // Drives go wherever the path would still begin, so that cleaning a clean path changes nothing.
        while (out.empty() && IsDrive(part)) {
            part.erase(0, 2);
        }
        if (part.empty() || part == L"." || part == L"..") {
            part.clear();
            return;
        }
        if (!out.empty()) {
            out.push_back(kSeparator);
        }
        out += part;
        part.clear();
    };
    for (wchar_t c : raw) {
        if (c == L'/' || c == L'\\') {
            flush();
        } else {
            part.push_back(c < 0x20 ? L'_' : c);
        }
    }
    flush();
    return out;
}

unsigned long VolumeTree::Reset(unsigned long count) {
    dirs_.clear();
    names_.clear();
    folders_.clear();
    later_.clear();
    virtualNames_.clear();
    units_ = 0;
    dirs_[std::wstring()].index = ROOT_INDEX;
    if (count >= VIRTUAL_BASE) {
        return RES_CORRUPT_FILE;
    }
    names_.resize(count);
    folders_.resize(count);
    return 0;
}

unsigned long VolumeTree::Charge(std::size_t units) {
    units_ += units;
    return units_ > kMaxTotalUnits ? RES_CORRUPT_FILE : 0;
}

unsigned long VolumeTree::AddItem(unsigned long index, const std::wstring& rawPath, bool isDir) {
    if (index >= names_.size()) {
        return RES_CORRUPT_FILE;
    }
    std::wstring path = CleanPath(rawPath);
    if (path.empty()) {
        return 0;
    }
    if (path.size() > kMaxPathUnits || CountChar(path, kSeparator) >= kMaxDepth) {
        return RES_CORRUPT_FILE;
    }
    if (unsigned long r = Charge(path.size() * 2)) {
        return r;
    }
    names_[index] = path;
    std::wstring key = Lower(path);
    if (isDir && dirs_.find(key) == dirs_.end()) {
        dirs_[key].index = index;
        folders_[index] = true;
    }
    std::wstring parentKey;
    std::wstring leafKey;
    SplitLast(key, &parentKey, &leafKey);
    auto parent = dirs_.find(parentKey);
    if (parent == dirs_.end()) {
        later_.push_back(index);
    } else {
        AddChild(parent->second, key, leafKey, index);
    }
    return 0;
}

unsigned long VolumeTree::Finish() {
    for (unsigned long index : later_) {
        if (unsigned long r = Place(index)) {
            return r;
        }
    }
    later_.clear();
    return 0;
}

unsigned long VolumeTree::Place(unsigned long index) {
    const std::wstring& path = names_[index];
    std::wstring key = Lower(path);
    std::wstring parentPath;
    std::wstring leaf;
    SplitLast(path, &parentPath, &leaf);
    std::wstring parentKey;
    std::wstring leafKey;
    SplitLast(key, &parentKey, &leafKey);
    if (dirs_.find(parentKey) == dirs_.end()) {
        // Every missing level, outermost first; each costs its key and its name.
        std::size_t missing = 0;
        for (std::wstring level = parentKey; !level.empty() && dirs_.find(level) == dirs_.end();) {
            missing += level.size();
            std::size_t cut = level.rfind(kSeparator);
            level.resize(cut == std::wstring::npos ? 0 : cut);
        }
        if (unsigned long r = Charge(missing * 2)) {
            return r;
        }
        if (virtualNames_.size() + CountChar(parentKey, kSeparator) + 1 >= ROOT_INDEX - VIRTUAL_BASE) {
            return RES_CORRUPT_FILE;
        }
        EnsureDir(parentKey, parentPath);
    }
    AddChild(dirs_[parentKey], key, leafKey, index);
    return 0;
}

VolumeTree::Dir& VolumeTree::EnsureDir(const std::wstring& key, const std::wstring& spelled) {
    // Walks down from the root, making each missing level; no recursion however deep the path.
    std::size_t start = 0;
    Dir* parent = &dirs_[std::wstring()];
    for (;;) {
        std::size_t end = key.find(kSeparator, start);
        std::size_t stop = end == std::wstring::npos ? key.size() : end;
        std::wstring levelKey = key.substr(0, stop);
        auto found = dirs_.find(levelKey);
        if (found == dirs_.end()) {
            unsigned long index = VIRTUAL_BASE + static_cast<unsigned long>(virtualNames_.size());
            virtualNames_.push_back(spelled.substr(start, stop - start));
            found = dirs_.emplace(levelKey, Dir{index, {}}).first;
            AddChild(*parent, levelKey, key.substr(start, stop - start), index);
        }
        parent = &found->second;
        if (end == std::wstring::npos) {
            return *parent;
        }
        start = end + 1;
    }
}

void VolumeTree::AddChild(Dir& parent, const std::wstring& childKey, const std::wstring& leafKey,
                          unsigned long index) {
    // A folder keeps its place: the child is the folder's own record whenever there is one.
    auto folder = dirs_.find(childKey);
    parent.children[leafKey] = folder != dirs_.end() ? folder->second.index : index;
}

void VolumeTree::AddSingle(const std::wstring& name) {
    if (names_.empty() || name.empty()) {
        return;
    }
    names_[0] = name;
    dirs_[std::wstring()].children[Lower(name)] = 0;
}

const VolumeTree::Dir* VolumeTree::FindDir(const std::wstring& path, DirMap::const_iterator* position) const {
    auto found = dirs_.find(Lower(CleanPath(path)));
    if (found == dirs_.end()) {
        return nullptr;
    }
    if (position != nullptr) {
        *position = found;
    }
    return &found->second;
}

bool VolumeTree::FindIndex(const std::wstring& path, unsigned long* index) const {
    std::wstring key = Lower(CleanPath(path));
    if (key.empty()) {
        return false;
    }
    std::wstring parentKey;
    std::wstring leafKey;
    SplitLast(key, &parentKey, &leafKey);
    auto parent = dirs_.find(parentKey);
    if (parent == dirs_.end()) {
        return false;
    }
    auto child = parent->second.children.find(leafKey);
    if (child == parent->second.children.end()) {
        return false;
    }
    *index = child->second;
    return true;
}

bool VolumeTree::IsFolder(unsigned long index) const {
    if (IsVirtual(index)) {
        return true;
    }
    return index < folders_.size() && folders_[index];
}

std::wstring VolumeTree::NameOf(unsigned long index) const {
    if (IsVirtual(index)) {
        std::size_t n = index - VIRTUAL_BASE;
        return n < virtualNames_.size() ? virtualNames_[n] : std::wstring();
    }
    if (index >= names_.size()) {
        return std::wstring();
    }
    const std::wstring& path = names_[index];
    std::size_t cut = path.rfind(kSeparator);
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}
