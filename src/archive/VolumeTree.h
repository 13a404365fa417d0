#pragma once
// The folder tree of an archive, built from the flat list of item paths that the archive library reports.
// Item paths are outside data and are cleaned before use: '/' and '\' both separate, empty, "." and ".."
// parts and a leading drive are dropped, control characters become '_', and an item left without a name
// is skipped; no name the tree hands on holds a separator or is "." or "..". Folders that the items imply
// but the archive does not list are made as virtual folders. A folder is never replaced by a later item
// of the same name; a later file replaces an earlier file. Building is iterative and bounded in path
// length, depth, total size and item count. Lookups ignore case. Pure data: any one thread.

#include <map>
#include <string>
#include <vector>

class VolumeTree {
public:
    static constexpr unsigned long ROOT_INDEX = 0xFFFFFFFF;
    static constexpr unsigned long VIRTUAL_BASE = 0xF0000000;

    struct Dir {
        unsigned long index = ROOT_INDEX;
        // Lower-case name of each direct child and its index.
        std::map<std::wstring, unsigned long> children;
    };
    using DirMap = std::map<std::wstring, Dir>;

    // The path with '\' between its cleaned parts; empty when nothing is left.
    static std::wstring CleanPath(const std::wstring& raw);

    // Starts a tree of count items with only the root; RES_CORRUPT_FILE when the tree cannot index them.
    unsigned long Reset(unsigned long count);
    // First pass, in index order: one item and whether the library calls it a folder.
    unsigned long AddItem(unsigned long index, const std::wstring& rawPath, bool isDir);
    // Second pass: the items whose folder was not known yet, with virtual folders made for them.
    unsigned long Finish();
    // The one item of a one-file archive, named name, in the root.
    void AddSingle(const std::wstring& name);

    // The folder at path (any separators, any case); null when there is none.
    const Dir* FindDir(const std::wstring& path, DirMap::const_iterator* position = nullptr) const;
    // The item or folder index at path, or false.
    bool FindIndex(const std::wstring& path, unsigned long* index) const;

    bool IsVirtual(unsigned long index) const { return index >= VIRTUAL_BASE && index != ROOT_INDEX; }
    // Whether the index stands for a folder: a virtual one, or an item that the tree keeps as a folder.
    bool IsFolder(unsigned long index) const;
    // The name to show for an index, spelled as the archive spells it.
    std::wstring NameOf(unsigned long index) const;
    const DirMap& Dirs() const { return dirs_; }

private:
    Dir& EnsureDir(const std::wstring& key, const std::wstring& spelled);
    void AddChild(Dir& parent, const std::wstring& childKey, const std::wstring& leafKey,
                  unsigned long index);
    unsigned long Place(unsigned long index);
    unsigned long Charge(std::size_t units);

    DirMap dirs_;
    std::vector<std::wstring> names_;   // the cleaned path of each item, as spelled; empty when skipped
    std::vector<bool> folders_;         // items that hold a folder record
    std::vector<unsigned long> later_;  // items for the second pass
    std::vector<std::wstring> virtualNames_;
    std::size_t units_ = 0;  // path units kept, against the tree's bound
};
