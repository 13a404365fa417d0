// The folder tree built from an archive's item list: cleaning of outside names, folders implied by their
// items, folder records that later items never replace, and the bounds of a hostile list.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Results.h"
#include "archive/VolumeTree.h"

namespace {

struct SItem {
    const wchar_t* path;
    bool dir;
};

VolumeTree Build(const std::vector<SItem>& items, unsigned long* result = nullptr) {
    VolumeTree tree;
    unsigned long r = tree.Reset(static_cast<unsigned long>(items.size()));
    for (unsigned long i = 0; r == 0 && i < items.size(); ++i) {
        r = tree.AddItem(i, items[i].path, items[i].dir);
    }
    if (r == 0) {
        r = tree.Finish();
    }
    if (result != nullptr) {
        *result = r;
    }
    return tree;
}

// The names of a folder's children in listing order, folders marked with a trailing '/'.
std::wstring Children(const VolumeTree& tree, const std::wstring& path) {
    const VolumeTree::Dir* dir = tree.FindDir(path);
    if (dir == nullptr) {
        return L"<none>";
    }
    std::wstring out;
    for (const auto& [key, index] : dir->children) {
        out += (out.empty() ? L"" : L" ") + tree.NameOf(index) + (tree.IsFolder(index) ? L"/" : L"");
    }
    return out;
}

TEST(VolumeTreeTest, CleansNamesFromOutside) {
    struct {
        const wchar_t* raw;
        const wchar_t* clean;
    } cases[] = {
        {L"a/b.txt", L"a\\b.txt"},
        {L"a\\b.txt", L"a\\b.txt"},
        {L"/etc/passwd", L"etc\\passwd"},
        {L"../../x", L"x"},
        {L"a/./b/../c", L"a\\b\\c"},
        {L"C:\\Windows\\x.dll", L"Windows\\x.dll"},
        {L"c:x", L"x"},
        {L"a//b/", L"a\\b"},
        {L"..", L""},
        {L"./", L""},
        {L"a\x01"
         L"b",
         L"a_b"},
        {L"x:/y", L"y"},
        {L"1:/y", L"1:\\y"},
        // Drives wherever the path would begin, so that a clean path stays as it is.
        {L"c:C:\\a/", L"a"},
        {L"c:/D:/x", L"x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.clean, VolumeTree::CleanPath(c.raw)) << std::wstring(c.raw).size();
        EXPECT_EQ(c.clean, VolumeTree::CleanPath(c.clean));
    }
}

TEST(VolumeTreeTest, BuildsFoldersThatOnlyTheirItemsName) {
    VolumeTree tree = Build({{L"Photos/2020/Beach.JPG", false}, {L"readme", false}});
    EXPECT_EQ(L"Photos/ readme", Children(tree, L""));
    EXPECT_EQ(L"2020/", Children(tree, L"photos"));
    EXPECT_EQ(L"Beach.JPG", Children(tree, L"PHOTOS/2020/"));
    unsigned long index = 0;
    ASSERT_TRUE(tree.FindIndex(L"/photos\\2020/beach.jpg", &index));
    EXPECT_EQ(0u, index);
}

TEST(VolumeTreeTest, FolderRecordsKeepEveryChildWhateverComesLater) {
    struct {
        std::vector<SItem> items;
        const wchar_t* root;
        const wchar_t* inA;
    } cases[] = {
        // The folder's own item after its children, and a second spelling of it after that.
        {{{L"a/x.txt", false}, {L"a/", true}, {L"A/", true}, {L"a/y.txt", false}}, L"a/", L"x.txt y.txt"},
        {{{L"a/", true}, {L"a/x.txt", false}, {L"A/", true}}, L"a/", L"x.txt"},
        // A file and a folder of one name: the folder stays.
        {{{L"a/x.txt", false}, {L"a", false}}, L"a/", L"x.txt"},
        {{{L"a", false}, {L"a/x.txt", false}}, L"a/", L"x.txt"},
        {{{L"a/", true}, {L"a", false}, {L"a/x.txt", false}}, L"a/", L"x.txt"},
        // A later file of the same name replaces the earlier one.
        {{{L"a/x.txt", false}, {L"a/X.TXT", false}}, L"a/", L"X.TXT"},
        // Unnamed and traversing items.
        {{{L"", false}, {L"../a/x.txt", false}, {L"/", true}}, L"a/", L"x.txt"},
    };
    for (const auto& c : cases) {
        VolumeTree tree = Build(c.items);
        EXPECT_EQ(c.root, Children(tree, L""));
        EXPECT_EQ(c.inA, Children(tree, L"a"));
    }
}

TEST(VolumeTreeTest, HostileListsEndWithinBounds) {
    unsigned long r = 0;
    // 600 KB of path in 100,000 levels, built without recursion and refused as too long.
    std::wstring deep;
    for (int i = 0; i < 100000; ++i) {
        deep += L"abcde/";
    }
    Build({{(deep + L"f").c_str(), false}}, &r);
    EXPECT_EQ(RES_CORRUPT_FILE, r);
    // Deep but short enough: every level exists.
    std::wstring fine;
    for (int i = 0; i < 1000; ++i) {
        fine += L"d/";
    }
    VolumeTree tree = Build({{(fine + L"f").c_str(), false}}, &r);
    EXPECT_EQ(0u, r);
    EXPECT_EQ(L"f", Children(tree, fine));
    // An item count the tree cannot index.
    VolumeTree big;
    EXPECT_EQ(RES_CORRUPT_FILE, big.Reset(0xF0000000));
    EXPECT_EQ(RES_CORRUPT_FILE, big.AddItem(0, L"x", false));
}

}  // namespace
