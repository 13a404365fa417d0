#include "fs/Cache.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Osp/Base/Runtime/Thread.h"
#include "Osp/Io/File.h"
#include "PhoneRoot.h"
#include "net/Utf8Names.h"

namespace {

// Tests write copies by host path, as a transfer into the cache would.
class CacheTest : public ::testing::Test {
protected:
    void SetUp() override { cache_.Construct(L"/Home/Cache", 1000); }

    // Reserves, writes and finalizes a copy of size bytes; returns its path in the cache.
    std::wstring Put(const std::wstring& source, unsigned long long size) {
        std::wstring path = cache_.CreateNewFile(7, source, size, date_);
        if (!path.empty()) {
            Write(path, size);
            cache_.FinalizeFile(0, 7, source, nullptr, nullptr);
        }
        return path;
    }
    void Write(const std::wstring& path, unsigned long long size) {
        root_.Write(Relative(path), std::string(size, 'x'));
    }
    bool Exists(const std::wstring& path) { return root_.Exists(Relative(path)); }
    static std::string Relative(const std::wstring& path) {
        return std::string(path.begin() + 1, path.end());
    }

    PhoneRoot root_;
    Cache cache_{nullptr};
    Osp::Base::DateTime date_ = Osp::Base::DateTime::FromUnixSeconds(1600000000);
};

TEST_F(CacheTest, NamesCarryTheKeyInHexadecimal) {
    EXPECT_EQ(Cache::MakeCacheName(L"\\dir\\photo.jpg", 47), L"photo_2F.jpg");
    EXPECT_EQ(Cache::MakeCacheName(L"/README", 47), L"README_2F.");
    EXPECT_EQ(Cache::MakeCacheName(L"/a.b", -1), L"a_FFFFFFFF.b");
    EXPECT_EQ(Cache::GetHash(3, L"/x"), Cache::GetHash(0, L"/x") + 3);
}

// Regression: a source name longer than a local file system takes (legal in archives and on shares) gave
// a copy that could not be made, so the file could not be opened.
TEST_F(CacheTest, LongNamesAreShortenedToWhatTheHostTakes) {
    const std::wstring pair = L"\xD83D\xDE00";  // one character of four bytes
    struct Case {
        const char* what;
        std::wstring name;
        std::wstring ext;  // what the copy must end in after the key
    };
    const Case cases[] = {
        {"ascii", std::wstring(300, L'a') + L".jpg", L".jpg"},
        {"three-byte characters", std::wstring(120, L'\x65E5') + L".txt", L".txt"},
        {"surrogate pairs",
         [&] {
             std::wstring s;
             for (int i = 0; i < 90; ++i)
                 s += pair;
             return s;
         }() +
             L".png",
         L".png"},
        {"an extension too long alone", L"a." + std::wstring(300, L'e'), L"."},
        {"fits as it is", std::wstring(240, L'b') + L".txt", L".txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = L"/s/" + c.name;
        const std::wstring name = Cache::MakeCacheName(path, Cache::GetHash(7, path));
        std::string host;
        ASSERT_TRUE(ToUtf8Name(name, &host));
        EXPECT_LE(host.size(), 255u);
        const size_t underscore = name.rfind(L'_');
        ASSERT_NE(underscore, std::wstring::npos);
        EXPECT_EQ(c.name.compare(0, underscore, name, 0, underscore), 0)
            << "the copy keeps the start of its name";
        const size_t dot = name.find(L'.', underscore);
        ASSERT_NE(dot, std::wstring::npos);
        EXPECT_EQ(name.substr(dot, c.ext.size()), c.ext);
        const wchar_t last = name.back();
        EXPECT_FALSE(last >= 0xD800 && last <= 0xDBFF) << "no half of a surrogate pair";
        // The copy can be made on the host.
        const std::wstring copy = cache_.CreateNewFile(7, path, 3, date_);
        ASSERT_EQ(copy, L"/Home/Cache/" + name);
        Osp::Io::File file;
        ASSERT_EQ(file.Construct(Osp::Base::String(copy), Osp::Base::String(L"w+")), Osp::Base::E_SUCCESS);
        EXPECT_EQ(file.Write("abc", 3), Osp::Base::E_SUCCESS);
        cache_.FinalizeFile(0, 7, path, nullptr, nullptr);
        EXPECT_EQ(cache_.FindFile(7, path, 3, date_), copy);
    }
}

TEST_F(CacheTest, FindsAnUnchangedCopyAndDropsAChangedOne) {
    const std::wstring path = Put(L"/share/a.jpg", 10);
    ASSERT_EQ(path, L"/Home/Cache/" + Cache::MakeCacheName(L"/a.jpg", Cache::GetHash(7, L"/share/a.jpg")));
    EXPECT_EQ(cache_.FindFile(7, L"/share/a.jpg", 10, date_), path);
    EXPECT_EQ(cache_.FindFile(8, L"/share/a.jpg", 10, date_), L"");  // another storage

    Osp::Base::DateTime later = date_;
    later.AddSeconds(1);
    EXPECT_EQ(cache_.FindFile(7, L"/share/a.jpg", 10, later), L"");
    EXPECT_FALSE(Exists(path));
    EXPECT_EQ(cache_.GetFreeSpace(), 1000u);
}

// Regression: two sources whose keys collided shared one slot, so the second was served the first's copy.
TEST_F(CacheTest, SourcesWithCollidingKeysKeepTheirOwnCopies) {
    ASSERT_EQ(Cache::GetHash(7, L"/s/Aa"), Cache::GetHash(7, L"/s/BB"));
    const std::wstring first = Put(L"/s/Aa", 10);
    EXPECT_EQ(cache_.FindFile(7, L"/s/BB", 10, date_), L"");
    const std::wstring second = Put(L"/s/BB", 10);
    EXPECT_NE(first, second);
    EXPECT_EQ(cache_.FindFile(7, L"/s/Aa", 10, date_), first);
    EXPECT_EQ(cache_.FindFile(7, L"/s/BB", 10, date_), second);
    EXPECT_TRUE(Exists(first));
    EXPECT_TRUE(Exists(second));
}

TEST_F(CacheTest, ANewCopyOfTheSameSourceReplacesTheOld) {
    const std::wstring first = Put(L"/s/a.txt", 100);
    Write(first, 100);
    const std::wstring second = cache_.CreateNewFile(7, L"/s/a.txt", 50, date_);
    EXPECT_EQ(cache_.GetFreeSpace(), 950u);
    EXPECT_FALSE(Exists(first));
    // A copy being written is not found, and a failed one goes with its file.
    EXPECT_EQ(cache_.FindFile(7, L"/s/a.txt", 50, date_), L"");
    Write(second, 20);
    cache_.FinalizeFile(0x80000000, 7, L"/s/a.txt", nullptr, nullptr);
    EXPECT_FALSE(Exists(second));
    EXPECT_EQ(cache_.GetFreeSpace(), 1000u);
}

TEST_F(CacheTest, FinalizeGivesTheSourceSizeAndTimeAndCountsWhatWasWritten) {
    const std::wstring path = cache_.CreateNewFile(7, L"/s/grew.bin", 100, date_);
    Write(path, 300);  // the source grew while it was copied
    unsigned long long size = 0;
    Osp::Base::DateTime modified;
    cache_.FinalizeFile(0, 7, L"/s/grew.bin", &size, &modified);
    EXPECT_EQ(size, 100u);
    EXPECT_EQ(modified, date_);
    EXPECT_EQ(cache_.GetFreeSpace(), 700u);
}

TEST_F(CacheTest, EvictsTheLeastRecentlyUsedButNeverACopyBeingWritten) {
    const std::wstring a = Put(L"/s/a", 300);
    Osp::Base::Runtime::Thread::Sleep(5);
    const std::wstring b = Put(L"/s/b", 300);
    Osp::Base::Runtime::Thread::Sleep(5);
    const std::wstring writing = cache_.CreateNewFile(7, L"/s/w", 300, date_);
    Write(writing, 300);
    Osp::Base::Runtime::Thread::Sleep(5);
    EXPECT_EQ(cache_.FindFile(7, L"/s/a", 300, date_), a);  // a is now used more recently than b

    // Larger than the whole cache: refused, nothing evicted.
    EXPECT_EQ(cache_.CreateNewFile(7, L"/s/huge", 1001, date_), L"");
    EXPECT_TRUE(Exists(a) && Exists(b));

    // Needs 200 more bytes: b goes, a and the copy being written stay.
    EXPECT_NE(cache_.CreateNewFile(7, L"/s/c", 300, date_), L"");
    EXPECT_FALSE(Exists(b));
    EXPECT_TRUE(Exists(a));
    EXPECT_TRUE(Exists(writing));

    // Needs everything but the copy being written: not possible, so it is refused.
    EXPECT_EQ(cache_.CreateNewFile(7, L"/s/d", 800, date_), L"");
    EXPECT_TRUE(Exists(writing));
}

TEST_F(CacheTest, PurgeRemovesStrayFilesOnlyAndRefusesALinkedFolder) {
    root_.Write("Home/Cache/stray.jpg", "old run");
    root_.Write("Home/Cache/sub/keep.txt", "folder");
    root_.Write("Home/outside.txt", "outside");
    std::filesystem::create_symlink(root_.Host("Home/outside.txt"), root_.Host("Home/Cache/link"));
    Cache fresh(nullptr);
    fresh.Construct(L"/Home/Cache/", 1000);
    EXPECT_FALSE(root_.Exists("Home/Cache/stray.jpg"));
    EXPECT_TRUE(root_.Exists("Home/Cache/sub/keep.txt"));
    EXPECT_TRUE(std::filesystem::is_symlink(root_.Host("Home/Cache/link")));
    EXPECT_EQ(root_.Read("Home/outside.txt"), "outside");

    // A cache folder that is a link to another folder: the other folder's files stay.
    root_.Write("Home/elsewhere/precious.txt", "mine");
    std::filesystem::create_directory_symlink(root_.Host("Home/elsewhere"), root_.Host("Home/Linked"));
    Cache linked(nullptr);
    linked.Construct(L"/Home/Linked/", 1000);
    EXPECT_EQ(root_.Read("Home/elsewhere/precious.txt"), "mine");
}

}  // namespace
