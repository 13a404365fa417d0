// Copy, cut and paste through the folder list: the menus, the transfer dialog with its progress and
// Cancel, and the overwrite question with its buttons.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "FolderFormHarness.h"
#include "Osp/Ui/Controls/MessageBox.h"

namespace {

using testsupport::UiDriver;
namespace fs = std::filesystem;

class FolderTransferTest : public FolderFormTest {
protected:
    // The sub-items of "Copy / Move" in the options menu.
    static std::vector<std::wstring> CopyMoveItems(UiDriver& ui) {
        ui.PressOptionKey();
        ui.Pump(0);
        ui.ChooseMenuItem(L"Copy / Move");
        ui.Pump(0);
        std::vector<std::wstring> items = ui.MenuItems();
        while (ui.IsMenuOpen()) {
            ui.PressKey(testsupport::PhoneKey::kEscape);
            ui.Pump(0);
        }
        return items;
    }
    static void Check(UiDriver& ui, std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names) {
            ui.ToggleListItem(List(ui), IndexOf(ui, name));
        }
    }
    // Runs the loop while a control of the transfer or overwrite popup shows, at most for ms.
    static bool WaitFor(UiDriver& ui, const std::function<bool()>& done, int ms) {
        for (int waited = 0; !done(); waited += 20) {
            if (waited > ms) {
                return false;
            }
            ui.Pump(20);
        }
        return true;
    }
    static void Shot(UiDriver& ui, const char* name) {
        if (const char* dir = std::getenv("CORVANE_SHOTS")) {
            ui.Pump(50);
            ui.SaveScreenshot(std::string(dir) + "/" + name + ".png");
        }
    }
};

TEST_F(FolderTransferTest, CopyAndCutFillTheClipboardAndPasteAppearsOnlyWhileItHoldsSomething) {
    root.Write("Home/a/x.txt", "x");
    root.Write("Home/a/y.txt", "y");
    root.Write("Home/a/sub/z.txt", "z");
    root.MakeDir("Home/b");
    root.MakeDir("Home/c");
    root.MakeDir("Home/d");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"a");
        EXPECT_EQ(CopyMoveItems(ui), (std::vector<std::wstring>{L"Copy / Move", L"Copy", L"Cut"}));
        Check(ui, {L"x.txt", L"sub"});
        ChooseOption(ui, {L"Copy / Move", L"Copy"});
        EXPECT_EQ(CopyMoveItems(ui), (std::vector<std::wstring>{L"Copy / Move", L"Copy", L"Cut", L"Paste"}));
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);  // Back
        ui.Pump(0);
        OpenItem(ui, L"b");
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        WaitFor(
            ui, [&] { return Names(ui).size() == 2; }, 5000);
        EXPECT_EQ(Names(ui), (std::vector<std::wstring>{L"sub", L"x.txt"}));
        // A copy stays on the clipboard and pastes again.
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        OpenItem(ui, L"c");
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        WaitFor(
            ui, [&] { return Names(ui).size() == 2; }, 5000);
        // A cut, pasted, leaves the clipboard empty.
        Check(ui, {L"x.txt"});
        ChooseOption(ui, {L"Copy / Move", L"Cut"});
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        OpenItem(ui, L"d");
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        WaitFor(
            ui, [&] { return !root.Exists("Home/c/x.txt"); }, 5000);
        ui.Pump(100);
        EXPECT_EQ(CopyMoveItems(ui), (std::vector<std::wstring>{L"Copy / Move", L"Copy", L"Cut"}));
        for (const auto& box : ui.MessageBoxes()) {
            ADD_FAILURE() << std::string(box.text.begin(), box.text.end());
        }
    });
    EXPECT_EQ(root.Read("Home/b/sub/z.txt"), "z");
    EXPECT_EQ(root.Read("Home/d/x.txt"), "x");
    EXPECT_EQ(root.Read("Home/c/sub/z.txt"), "z");
    EXPECT_EQ(root.Read("Home/b/x.txt"), "x");
    EXPECT_FALSE(root.Exists("Home/c/x.txt"));
    EXPECT_TRUE(root.Exists("Home/a/x.txt"));
}

TEST_F(FolderTransferTest, TheOverwriteQuestionAnswersWithItsButtonsAndAMoveKeepsFoldersWithSkippedFiles) {
    root.Write("Home/src/docs/a.txt", "a new");
    root.Write("Home/src/docs/b.txt", "b new");
    root.Write("Home/src/docs/deep/c.txt", "c new");
    root.Write("Home/dst/docs/a.txt", "a old");
    root.Write("Home/dst/docs/deep/c.txt", "c old");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"src");
        Check(ui, {L"docs"});
        ChooseOption(ui, {L"Copy / Move", L"Cut"});
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        OpenItem(ui, L"dst");
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        // The deepest folder's clash comes first: No keeps the old c.txt and the moved source's folder.
        ASSERT_TRUE(WaitFor(
            ui, [&] { return ui.Find(L"IDC_YES_TO_ALL") != nullptr; }, 5000));
        EXPECT_EQ(ui.TextOf(L"IDC_NAME"), L"/Home/dst/docs/deep/c.txt");
        EXPECT_EQ(ui.TextOf(L"IDC_SRC_SIZE"), L"5 bytes");
        Shot(ui, "overwrite-question");
        ui.Tap(L"IDC_NO");
        ui.Pump(0);
        ASSERT_TRUE(WaitFor(
            ui, [&] { return ui.Find(L"IDC_YES_TO_ALL") != nullptr; }, 5000));
        EXPECT_EQ(ui.TextOf(L"IDC_NAME"), L"/Home/dst/docs/a.txt");
        ui.Tap(L"IDC_YES_TO_ALL");
        WaitFor(
            ui, [&] { return ui.Find(L"IDC_YES_TO_ALL") == nullptr && !root.Exists("Home/src/docs/b.txt"); },
            5000);
        ui.Pump(100);
        EXPECT_TRUE(ui.MessageBoxes().empty());
    });
    EXPECT_EQ(root.Read("Home/dst/docs/a.txt"), "a new");
    EXPECT_EQ(root.Read("Home/dst/docs/b.txt"), "b new");
    EXPECT_EQ(root.Read("Home/dst/docs/deep/c.txt"), "c old");
    EXPECT_EQ(root.Read("Home/src/docs/deep/c.txt"), "c new");
    EXPECT_FALSE(root.Exists("Home/src/docs/a.txt"));
}

TEST_F(FolderTransferTest, EachOverwriteAnswerGivesItsTreeAndAnAnswerToAllAsksNoMore) {
    // Three clashes: deep/c.txt is asked first (its folder comes before the files around it), then a.txt
    // and b.txt in the order the folder lists them. Each question is answered by the file it names.
    struct SCase {
        const wchar_t* c;
        const wchar_t* a;
        const wchar_t* b;
        int questions;
        const char* cAfter;
        const char* aAfter;
        const char* bAfter;
    };
    const SCase cases[] = {
        {L"IDC_YES", L"IDC_NO", L"IDC_YES", 3, "c new", "a old", "b new"},
        {L"IDC_NO", L"IDC_YES_TO_ALL", L"IDC_YES_TO_ALL", 2, "c old", "a new", "b new"},
        {L"IDC_YES", L"IDC_NO_TO_ALL", L"IDC_NO_TO_ALL", 2, "c new", "a old", "b old"},
        {L"IDC_NO_TO_ALL", nullptr, nullptr, 1, "c old", "a old", "b old"},
    };
    int round = 0;
    for (const SCase& c : cases) {
        SCOPED_TRACE(round);
        const std::string dst = "Home/dst" + std::to_string(round++);
        root.Write("Home/src/docs/a.txt", "a new");
        root.Write("Home/src/docs/b.txt", "b new");
        root.Write("Home/src/docs/n.txt", "n new");
        root.Write("Home/src/docs/deep/c.txt", "c new");
        root.Write(dst + "/docs/a.txt", "a old");
        root.Write(dst + "/docs/b.txt", "b old");
        root.Write(dst + "/docs/deep/c.txt", "c old");
        int questions = 0;
        Run([&](UiDriver& ui) {
            OpenRoot(ui, LocalBrowser::ROOT_HOME);
            OpenItem(ui, L"src");
            Check(ui, {L"docs"});
            ChooseOption(ui, {L"Copy / Move", L"Copy"});
            ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
            ui.Pump(0);
            OpenItem(ui, std::wstring(dst.begin() + 5, dst.end()));
            ChooseOption(ui, {L"Copy / Move", L"Paste"});
            // Until the last file is there and no question follows.
            auto asked = [&] { return ui.Find(L"IDC_YES_TO_ALL") != nullptr; };
            while (WaitFor(
                ui, [&] { return asked() || root.Exists(dst + "/docs/n.txt"); }, 5000)) {
                if (!asked() && !WaitFor(ui, asked, 300)) {
                    break;
                }
                ++questions;
                const std::wstring name = ui.TextOf(L"IDC_NAME");
                const wchar_t which = name.size() > 5 ? name[name.size() - 5] : L'?';
                const wchar_t* button = which == L'c' ? c.c : which == L'a' ? c.a : c.b;
                ASSERT_NE(button, nullptr) << "asked again about " << std::string(name.begin(), name.end());
                ASSERT_LE(questions, 3);
                ui.Tap(button);
                ui.Pump(0);
            }
            EXPECT_TRUE(ui.MessageBoxes().empty());
        });
        EXPECT_EQ(questions, c.questions);
        EXPECT_EQ(root.Read(dst + "/docs/deep/c.txt"), c.cAfter);
        EXPECT_EQ(root.Read(dst + "/docs/a.txt"), c.aAfter);
        EXPECT_EQ(root.Read(dst + "/docs/b.txt"), c.bAfter);
        EXPECT_EQ(root.Read(dst + "/docs/n.txt"), "n new");
        EXPECT_EQ(root.Read("Home/src/docs/a.txt"), "a new") << "a copy keeps its source";
    }
}

// Regression: Copy and Cut took a link to a folder for that folder, so Paste walked the folder it points
// to; a cut to another place moved that folder's files out and removed its emptied folders, wherever it
// lay. A link goes as a link, and what it points to is never touched.
TEST_F(FolderTransferTest, ALinkToAFolderOutsideThePhoneIsCopiedAndMovedAsALink) {
    char pattern[] = "/tmp/corvane-sentinel-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string sentinel = pattern;
    fs::create_directories(sentinel + "/inner");
    std::ofstream(sentinel + "/kept.txt") << "kept";
    std::ofstream(sentinel + "/inner/deep.txt") << "deep";
    root.Write("Home/src/own.txt", "own");
    fs::create_directory_symlink(sentinel, root.Host("Home/src/outside"));
    root.MakeDir("Home/copied");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"src");
        Check(ui, {L"outside", L"own.txt"});
        ChooseOption(ui, {L"Copy / Move", L"Copy"});
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        OpenItem(ui, L"copied");
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        WaitFor(
            ui, [&] { return root.Exists("Home/copied/own.txt"); }, 5000);
        ui.Pump(100);
        // Then cut, to the phone memory.
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        OpenItem(ui, L"src");
        Check(ui, {L"outside", L"own.txt"});
        ChooseOption(ui, {L"Copy / Move", L"Cut"});
        OpenRoot(ui, LocalBrowser::ROOT_MEDIA);
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        WaitFor(
            ui, [&] { return !root.Exists("Home/src/own.txt"); }, 5000);
        ui.Pump(100);
        for (const auto& box : ui.MessageBoxes()) {
            ADD_FAILURE() << std::string(box.text.begin(), box.text.end());
        }
    });
    for (const char* link : {"Home/copied/outside", "Media/outside"}) {
        SCOPED_TRACE(link);
        std::error_code error;
        EXPECT_EQ(fs::read_symlink(root.Host(link), error), sentinel);
    }
    EXPECT_FALSE(fs::is_symlink(root.Host("Home/src/outside")));
    EXPECT_EQ(root.Read("Media/own.txt"), "own");
    std::ifstream kept(sentinel + "/kept.txt");
    std::ifstream deep(sentinel + "/inner/deep.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "kept");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(deep), {}), "deep");
    fs::remove_all(sentinel);
}

TEST_F(FolderTransferTest, TheDialogShowsProgressAndTimeLeftAndCancelStopsWithinASecond) {
    // A large file without blocks on the disk: reading it is quick, writing it takes long enough.
    root.MakeDir("Home/big");
    root.MakeDir("Home/to");
    std::ofstream(root.Host("Home/big/large.bin")).close();
    fs::resize_file(root.Host("Home/big/large.bin"), 6ULL << 30);
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"big");
        Check(ui, {L"large.bin"});
        ChooseOption(ui, {L"Copy / Move", L"Copy"});
        ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
        ui.Pump(0);
        OpenItem(ui, L"to");
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        const bool progress = WaitFor(
            ui,
            [&] {
                return ui.Find(L"IDC_SIZE") != nullptr &&
                       ui.TextOf(L"IDC_SIZE").find(L" of ") != std::wstring::npos &&
                       !ui.TextOf(L"IDC_TIME").empty();
            },
            20000);
        ASSERT_TRUE(progress);
        EXPECT_NE(ui.TextOf(L"IDC_SIZE").find(L" of 6.00 GB"), std::wstring::npos)
            << ui.TextOf(L"IDC_SIZE").size();
        EXPECT_NE(ui.TextOf(L"IDC_PERCENT").find(L"%"), std::wstring::npos);
        EXPECT_EQ(ui.TextOf(L"IDC_NAME"), L"/Home/big/large.bin");
        Shot(ui, "transfer-dialog");
        const auto start = std::chrono::steady_clock::now();
        ui.Tap(L"IDC_CANCEL");
        WaitFor(
            ui, [&] { return ui.Find(L"IDC_PERCENT") == nullptr; }, 5000);
        const auto stopped = std::chrono::steady_clock::now() - start;
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(stopped).count(), 1000);
        ui.Pump(100);
        EXPECT_TRUE(ui.MessageBoxes().empty());
    });
    EXPECT_FALSE(root.Exists("Home/to/large.bin"));
}

}  // namespace
