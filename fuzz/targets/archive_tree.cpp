// An archive's item list as the folder tree sees it: one item per line, the first byte saying whether
// the library calls it a folder ('D'), the rest its path, each byte or (after a 0xFF) byte pair one unit.
// Whatever the names, the tree hands on no name that holds a separator or is "." or "..", every child of
// every folder is found again by its path, and building ends.

#include <cstdint>
#include <string>
#include <vector>

#include "../FuzzSupport.h"
#include "archive/VolumeTree.h"

namespace {

struct SItem {
    std::wstring path;
    bool dir;
};

std::vector<SItem> Items(const std::uint8_t* data, std::size_t size) {
    std::vector<SItem> items;
    std::size_t i = 0;
    while (i < size) {
        SItem item{std::wstring(), data[i++] == 'D'};
        while (i < size && data[i] != '\n') {
            if (data[i] == 0xFF && i + 2 < size) {
                item.path.push_back(static_cast<wchar_t>(data[i + 1] | (data[i + 2] << 8)));
                i += 3;
            } else {
                item.path.push_back(static_cast<wchar_t>(data[i++]));
            }
        }
        ++i;
        items.push_back(item);
    }
    return items;
}

bool BadName(const std::wstring& name) {
    return name.empty() || name == L"." || name == L".." || name.find(L'/') != std::wstring::npos ||
           name.find(L'\\') != std::wstring::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<SItem> items = Items(data, size);
    VolumeTree tree;
    unsigned long r = tree.Reset(static_cast<unsigned long>(items.size()));
    for (unsigned long i = 0; r == 0 && i < items.size(); ++i) {
        r = tree.AddItem(i, items[i].path, items[i].dir);
    }
    if (r == 0) {
        r = tree.Finish();
    }
    if (r != 0) {
        return 0;
    }
    for (const auto& [key, dir] : tree.Dirs()) {
        FUZZ_CHECK(tree.FindDir(key) == &dir);
        for (const auto& [leaf, index] : dir.children) {
            std::wstring name = tree.NameOf(index);
            FUZZ_CHECK(!BadName(name));
            unsigned long found = 0;
            FUZZ_CHECK(tree.FindIndex(key.empty() ? name : key + L"\\" + name, &found));
            FUZZ_CHECK(found == index);
            FUZZ_CHECK(!tree.IsFolder(index) ||
                       tree.FindDir(key.empty() ? name : key + L"\\" + name) != nullptr);
        }
    }
    return 0;
}
