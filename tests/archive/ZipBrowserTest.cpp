// The archive browser on the platform's real event loop, over archives on the phone's storage: the root,
// folders, entries and file information; files streamed out with acknowledged blocks; password questions
// answered wrong, cancelled and right; an enumeration stopped from its own callback; a refused block; and
// a browser deleted while its worker waits for the user interface.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "../fs/CorvaneLoop.h"
#include "../fs/PhoneRoot.h"
#include "../fs/Recorders.h"
#include "../platform/LoopUntil.h"
#include "ArchiveFixture.h"
#include "app/Results.h"
#include "archive/FsZipBrowser.h"
#include "fs/FsLocalBrowser.h"

namespace {

// The folder view's part: the root folder, and the answers to password questions from a script (an
// empty answer cancels; no answer leaves the question open).
class BrowserListener : public IFsBrowserListener, public IFsDirListener {
public:
    ~BrowserListener() {
        delete enumerator;
        delete sub;
        delete root;
    }
    void OnOpenDir(unsigned long result, IFsDir* dir) override {
        rootResult = result;
        root = dir;
        ++opened;
    }
    void ShowPopup(const Osp::Base::String&, bool) override {}
    void HidePopup() override {}
    void OnPasswordRequestA(IFsBrowser* browser) override {
        ++asked;
        if (answers.empty()) {
            return;
        }
        std::wstring answer = answers.front();
        answers.erase(answers.begin());
        browser->SetPassword(answer.empty() ? RES_FAILURE : 0, answer);
    }
    void OnSelectShareA(const std::set<std::wstring>&) override {}
    void OnOpenEnumerator(unsigned long result, IFsDirEnum* e) override {
        enumResult = result;
        enumerator = e;
    }
    void OnOpenSubDir(unsigned long result, IFsDir* d) override {
        subResult = result;
        sub = d;
    }

    int opened = 0;
    unsigned long rootResult = 0;
    IFsDir* root = nullptr;
    IFsDir* sub = nullptr;
    unsigned long subResult = 1;
    IFsDirEnum* enumerator = nullptr;
    unsigned long enumResult = 1;
    std::vector<std::wstring> answers;
    int asked = 0;
};

// The streamed transfer's part: takes each block at once unless told to refuse or to hold it.
class StreamListener : public IOutStreamListener {
public:
    explicit StreamListener(IFsBrowser* browser) : browser_(browser) {}
    unsigned long OnStreamWriteA(const void* data, unsigned int size) override {
        ++blocks;
        if (refuse != 0) {
            return refuse;
        }
        bytes.append(static_cast<const char*>(data), size);
        if (!hold) {
            browser_->BytesProcessed(0, size);
        }
        return 0;
    }
    void OnStreamWriteFinishedA(unsigned long result) override {
        ++ends;
        endResult = result;
    }

    std::string bytes;
    int blocks = 0;
    int ends = 0;
    unsigned long endResult = 1;
    unsigned long refuse = 0;
    bool hold = false;

private:
    IFsBrowser* browser_;
};

// An archive on the phone's private files, opened by a new browser that the test holds a reference on.
class OpenArchive {
public:
    OpenArchive(const PhoneRoot& phone, const std::string& name) : host(LocalBrowser::ROOT_HOME) {
        browser = new ZipBrowser;
        browser->AddRef();
        browser->InitAndOpenRootDirA(&host, L"/Home/" + std::wstring(name.begin(), name.end()), &listener);
        (void)phone;
    }
    ~OpenArchive() { Close(); }
    void Close() {
        if (browser != nullptr) {
            delete listener.enumerator;
            listener.enumerator = nullptr;
            delete listener.sub;
            listener.sub = nullptr;
            delete listener.root;
            listener.root = nullptr;
            browser->Release();
            browser = nullptr;
        }
    }
    bool WaitRoot() {
        return LoopUntil([&] { return listener.opened > 0; });
    }
    // The names of the folder's entries in the order they came, folders marked with '/'.
    std::wstring List(IFsDir* dir) {
        listener.enumerator = nullptr;
        dir->SetListener(&listener);
        dir->OpenEnumeratorA();
        listener.enumResult = 1;
        if (!LoopUntil([&] { return listener.enumResult != 1; }) || listener.enumerator == nullptr) {
            return L"<no enumerator: " + std::to_wstring(listener.enumResult) + L">";
        }
        EnumRecorder entries;
        listener.enumerator->SetListener(&entries);
        listener.enumerator->StartEnumA(true);
        LoopUntil([&] { return entries.ends > 0; });
        std::wstring out;
        for (const SeenEntry& e : entries.entries) {
            out += (out.empty() ? L"" : L" ") + e.name + ((e.type & ENTRY_DIRECTORY) != 0 ? L"/" : L"");
        }
        delete listener.enumerator;
        listener.enumerator = nullptr;
        return out;
    }

    LocalBrowser host;
    BrowserListener listener;
    ZipBrowser* browser = nullptr;
};

void MakeArchive(const PhoneRoot& phone, const std::string& command) {
    std::string line = "cd '" + phone.Host("Home") + "' && (" + command + ") >/dev/null 2>&1";
    ASSERT_EQ(0, std::system(line.c_str()));
}

TEST(ZipBrowserTest, BrowsesFoldersAndStreamsFilesOut) {
    PhoneRoot phone;
    phone.Write("Home/src/Docs/Readme.txt", "hello docs\n");
    phone.Write("Home/src/big.bin", NoiseBytes(3000000, 5));
    MakeArchive(phone, "cd src && 7z a -tzip ../t.zip Docs big.bin");
    EXPECT_TRUE(CorvaneLoop::Run([&] {
        OpenArchive arc(phone, "t.zip");
        ASSERT_TRUE(arc.WaitRoot());
        ASSERT_EQ(0u, arc.listener.rootResult);
        EXPECT_EQ(L"/", arc.listener.root->GetName(false));
        EXPECT_EQ(L"t.zip", arc.listener.root->GetProperName());
        EXPECT_EQ(L"big.bin Docs/", arc.List(arc.listener.root));

        arc.listener.root->OpenSubDirA(L"docs");
        ASSERT_TRUE(LoopUntil([&] { return arc.listener.sub != nullptr || arc.listener.subResult != 1; }));
        ASSERT_EQ(0u, arc.listener.subResult);
        EXPECT_EQ(L"/docs/", arc.listener.sub->GetName(false));
        EXPECT_EQ(L"Readme.txt", arc.List(arc.listener.sub));
        EXPECT_EQ(RES_NOT_FOUND, arc.listener.root->OpenSubDirA(L".."));

        OpRecorder ops;
        arc.browser->GetFileInfoA(7, &ops, L"/Docs/README.TXT");
        arc.browser->GetFileInfoA(8, &ops, L"/Docs/none.txt");
        ASSERT_TRUE(LoopUntil([&] { return ops.answers.size() == 2; }));
        EXPECT_EQ(7, ops.answers[0].id);
        ASSERT_EQ(0u, ops.answers[0].result);
        EXPECT_EQ(11u, reinterpret_cast<IFsDirEntry*>(ops.answers[0].object)->GetSize());
        EXPECT_EQ(RES_NOT_FOUND, ops.answers[1].result);
        EXPECT_EQ(0, ops.answers[1].object);

        StreamListener stream(arc.browser);
        arc.browser->ExtractFileA(&stream, L"/big.bin");
        ASSERT_TRUE(LoopUntil([&] { return stream.ends > 0; }));
        EXPECT_EQ(0u, stream.endResult);
        EXPECT_TRUE(stream.bytes == phone.Read("Home/src/big.bin"));
        EXPECT_EQ(1, stream.ends);

        StreamListener folder(arc.browser);
        arc.browser->ExtractFileA(&folder, L"/Docs");
        ASSERT_TRUE(LoopUntil([&] { return folder.ends > 0; }));
        EXPECT_EQ(RES_NOT_FOUND, folder.endResult);
        CorvaneLoop::Quit();
    }));
}

TEST(ZipBrowserTest, PasswordsWrongCancelledAndRight) {
    PhoneRoot phone;
    phone.Write("Home/secret.txt", NoiseBytes(20000, 6));
    MakeArchive(phone, "7z a -tzip -mem=AES256 -pright s.zip secret.txt");
    EXPECT_TRUE(CorvaneLoop::Run([&] {
        OpenArchive arc(phone, "s.zip");
        ASSERT_TRUE(arc.WaitRoot());
        ASSERT_EQ(0u, arc.listener.rootResult);
        struct {
            const wchar_t* answer;
            unsigned long result;
        } rounds[] = {{L"wrong", RES_INVALID_PASSWORD}, {L"", RES_CANCELLED}, {L"right", 0}};
        int asked = 0;
        for (const auto& round : rounds) {
            arc.listener.answers = {round.answer};
            StreamListener stream(arc.browser);
            arc.browser->ExtractFileA(&stream, L"/secret.txt");
            ASSERT_TRUE(LoopUntil([&] { return stream.ends > 0; }));
            EXPECT_EQ(round.result, stream.endResult);
            EXPECT_EQ(++asked, arc.listener.asked);
            EXPECT_EQ(round.result == 0, stream.bytes == phone.Read("Home/secret.txt"));
        }
        CorvaneLoop::Quit();
    }));
}

TEST(ZipBrowserTest, AStoppedEnumerationEndsOnceAndARefusedBlockEndsTheStream) {
    PhoneRoot phone;
    for (int i = 0; i < 50; ++i) {
        phone.Write("Home/src/f" + std::to_string(100 + i) + ".txt", "x");
    }
    phone.Write("Home/src/big.bin", NoiseBytes(2000000, 8));
    MakeArchive(phone, "cd src && 7z a -tzip ../m.zip .");
    EXPECT_TRUE(CorvaneLoop::Run([&] {
        OpenArchive arc(phone, "m.zip");
        ASSERT_TRUE(arc.WaitRoot());
        arc.listener.root->SetListener(&arc.listener);
        arc.listener.root->OpenEnumeratorA();
        ASSERT_TRUE(LoopUntil([&] { return arc.listener.enumerator != nullptr; }));
        EnumRecorder entries;
        IFsDirEnum* walk = arc.listener.enumerator;
        entries.hook = [&] {
            if (entries.entries.size() == 3) {
                walk->StopEnumA();
            }
        };
        walk->SetListener(&entries);
        walk->StartEnumA(false);
        ASSERT_TRUE(LoopUntil([&] { return entries.ends > 0; }));
        LoopUntil([] { return false; }, 200);
        EXPECT_EQ(3u, entries.entries.size());
        EXPECT_EQ(1, entries.ends);
        EXPECT_EQ(0u, entries.endResult);

        StreamListener refusing(arc.browser);
        refusing.refuse = RES_ACCESS_DENIED;
        arc.browser->ExtractFileA(&refusing, L"big.bin");
        ASSERT_TRUE(LoopUntil([&] { return refusing.ends > 0; }));
        EXPECT_EQ(RES_ACCESS_DENIED, refusing.endResult);
        EXPECT_EQ(1, refusing.blocks);
        // The worker is free again.
        StreamListener next(arc.browser);
        arc.browser->ExtractFileA(&next, L"f120.txt");
        ASSERT_TRUE(LoopUntil([&] { return next.ends > 0; }));
        EXPECT_EQ("x", next.bytes);
        CorvaneLoop::Quit();
    }));
}

TEST(ZipBrowserTest, DeletingTheBrowserEndsTheWorkersWaits) {
    PhoneRoot phone;
    phone.Write("Home/big.bin", NoiseBytes(3000000, 4));
    MakeArchive(phone, "7z a -tzip plain.zip big.bin && 7z a -tzip -pright locked.zip big.bin");
    EXPECT_TRUE(CorvaneLoop::Run([&] {
        for (const char* name : {"plain.zip", "locked.zip"}) {
            OpenArchive arc(phone, name);
            ASSERT_TRUE(arc.WaitRoot());
            StreamListener stream(arc.browser);
            stream.hold = true;  // the block waits for an acknowledgement that never comes
            arc.browser->ExtractFileA(&stream, L"big.bin");
            // A question left open, or a block left waiting.
            ASSERT_TRUE(LoopUntil([&] { return stream.blocks > 0 || arc.listener.asked > 0; }));
            auto start = std::chrono::steady_clock::now();
            arc.Close();
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        }
        CorvaneLoop::Quit();
    }));
}

TEST(ZipBrowserTest, FailuresToOpenAnswerWithoutAFolder) {
    PhoneRoot phone;
    phone.Write("Home/noise.zip", NoiseBytes(1000, 1));
    EXPECT_TRUE(CorvaneLoop::Run([&] {
        struct {
            const char* name;
            unsigned long result;
        } cases[] = {{"noise.zip", RES_CORRUPT_FILE}, {"missing.zip", RES_NOT_FOUND}};
        for (const auto& c : cases) {
            OpenArchive arc(phone, c.name);
            ASSERT_TRUE(arc.WaitRoot());
            EXPECT_EQ(c.result, arc.listener.rootResult) << c.name;
            EXPECT_EQ(nullptr, arc.listener.root);
        }
        // The host and the listener outlive the browsers, whose workers use them until they are joined.
        LocalBrowser host(LocalBrowser::ROOT_HOME);
        BrowserListener ignore;
        ZipBrowser a;
        ZipBrowser b;
        a.InitAndOpenRootDirA(&host, L"/Home/Some.ZIP", &ignore);
        b.InitAndOpenRootDirA(&host, L"/home/some.zip", &ignore);
        EXPECT_EQ(a.GetId(), b.GetId());
        EXPECT_TRUE(a.CapableOf(CAP_STREAM));
        EXPECT_FALSE(a.CapableOf(CAP_WRITE | CAP_CREATE_FOLDER));
        CorvaneLoop::Quit();
    }));
}

}  // namespace
