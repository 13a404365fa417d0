// Archives opened from the folder list: tapping a ZIP in the private files lists it like a folder, its
// folders open, Back and the path menu return into it and out to the host folder; a text file inside opens
// in the viewer; files and folders copied out of it and pasted equal the originals; an archive whose names
// are encrypted asks for its password, says "Invalid password" after a wrong one and opens with the right
// one, and "Opening..." stays away while the question is open.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "FolderFormHarness.h"
#include "app/Results.h"
#include "fs/IFileSync.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using Osp::Ui::Controls::SOFTKEY_0;
using Osp::Ui::Controls::SOFTKEY_1;
using testsupport::UiDriver;

// The private files, whose synchronous files stop reading while held: an archive's open that takes long.
class HeldHome : public LocalBrowser {
public:
    HeldHome() : LocalBrowser(ROOT_HOME) {}
    unsigned long CreateSyncFileN(IFileSync** out, const std::wstring& path, TFileMode mode,
                                  TFileDisp disp) override {
        unsigned long r = LocalBrowser::CreateSyncFileN(out, path, mode, disp);
        if (r == RES_OK) {
            *out = new HeldFile(*out, held);
        }
        return r;
    }
    std::atomic<bool> held{false};

private:
    class HeldFile : public IFileSync {
    public:
        HeldFile(IFileSync* file, const std::atomic<bool>& held) : file_(file), held_(held) {}
        unsigned long ReadS(void* buffer, unsigned int size, unsigned int* read) override {
            for (int waited = 0; held_.load() && waited < 20000; waited += 10) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            return file_->ReadS(buffer, size, read);
        }
        unsigned long WriteS(const void* buffer, unsigned int size, unsigned int* written) override {
            return file_->WriteS(buffer, size, written);
        }
        unsigned long SeekS(TPosition origin, int offset) override { return file_->SeekS(origin, offset); }
        unsigned long long Tell64() const override { return file_->Tell64(); }
        unsigned long Tell() const override { return file_->Tell(); }
        void CloseS() override { file_->CloseS(); }

    private:
        std::unique_ptr<IFileSync> file_;
        const std::atomic<bool>& held_;
    };
};

class FolderArchiveTest : public FolderFormTest {
protected:
    static std::string RandomBytes(size_t size, unsigned seed) {
        std::mt19937 generator(seed);
        std::string bytes(size, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(generator());
        }
        return bytes;
    }
    // Every file and folder below the host folder, by relative path, with a file's bytes.
    std::map<std::string, std::string> Tree(const std::string& relative) const {
        std::map<std::string, std::string> tree;
        const std::filesystem::path top(root.Host(relative));
        for (const auto& item : std::filesystem::recursive_directory_iterator(top)) {
            const std::string name = std::filesystem::relative(item.path(), top).string();
            tree[item.is_directory() ? name + "/" : name] =
                item.is_directory() ? "" : root.Read(relative + "/" + name);
        }
        return tree;
    }
    static bool Shows(UiDriver& ui, const wchar_t* title) {
        const std::vector<std::wstring> titles = ShownPopupTitles();
        return std::find(titles.begin(), titles.end(), title) != titles.end();
    }
    static bool WaitForPassword(UiDriver& ui) {
        for (int waited = 0; ui.Find(L"IDC_PWD") == nullptr && waited < 5000; waited += 20) {
            ui.Pump(20);
        }
        return ui.Find(L"IDC_PWD") != nullptr;
    }
    std::unique_ptr<HeldHome> heldHome_;
    void MakeArchive(const std::string& command) {
        std::string line = "cd '" + root.Host("Home") + "' && (" + command + ") >/dev/null 2>&1";
        ASSERT_EQ(0, std::system(line.c_str()));
    }
    // Runs the loop until the list shows names, at most for the time given.
    static bool WaitForNames(UiDriver& ui, const std::vector<std::wstring>& names, int ms) {
        for (int waited = 0; Names(ui) != names && waited < ms; waited += 20) {
            ui.Pump(20);
        }
        return Names(ui) == names;
    }
};

TEST_F(FolderArchiveTest, OpensAnArchiveLikeAFolderAndGoesBackToItsHost) {
    root.Write("Home/src/Docs/Readme.txt", "hello docs\n");
    root.Write("Home/src/alpha.txt", "a");
    MakeArchive("cd src && 7z a -tzip ../Pack.zip Docs alpha.txt");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        const std::wstring hostTitle = Title(ui);
        const std::vector<std::wstring> hostNames = Names(ui);
        OpenItem(ui, L"Pack.zip");
        ASSERT_TRUE(WaitForNames(ui, {L"Docs", L"alpha.txt"}, 5000));
        EXPECT_EQ(Title(ui), L"Pack.zip");
        Shot(ui, "archive_root");

        OpenItem(ui, L"Docs");
        ASSERT_TRUE(WaitForNames(ui, {L"Readme.txt"}, 5000));
        ui.PressSoftkey(SOFTKEY_1);
        ASSERT_TRUE(WaitForNames(ui, {L"Docs", L"alpha.txt"}, 5000));
        ui.PressSoftkey(SOFTKEY_1);
        ASSERT_TRUE(WaitForNames(ui, hostNames, 5000));
        EXPECT_EQ(Title(ui), hostTitle);
    });
}

TEST_F(FolderArchiveTest, AsksForThePasswordAgainAfterAWrongOne) {
    root.Write("Home/secret.txt", "inside");
    MakeArchive("7z a -t7z -mhe=on -pright Locked.7z secret.txt");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        const std::vector<std::wstring> hostNames = Names(ui);
        for (const wchar_t* password : {L"wrong", L"right"}) {
            OpenItem(ui, L"Locked.7z");
            for (int waited = 0; ui.Find(L"IDC_PWD") == nullptr && waited < 5000; waited += 20) {
                ui.Pump(20);
            }
            ASSERT_NE(ui.Find(L"IDC_PWD"), nullptr);
            ui.Tap(L"IDC_PWD");
            ASSERT_TRUE(ui.TypeText(password));
            if (std::wstring(password) == L"wrong") {
                Shot(ui, "archive_password");
                ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
            }
            ui.Tap(L"IDC_DONE");
            ui.Pump(0);
            if (std::wstring(password) == L"wrong") {
                for (int waited = 0; ui.PendingAnswers() != 0 && waited < 5000; waited += 20) {
                    ui.Pump(20);
                }
                EXPECT_NE(LastBox(ui).find(L"Invalid password"), std::wstring::npos);
                EXPECT_EQ(Names(ui), hostNames);
            }
        }
        ASSERT_TRUE(WaitForNames(ui, {L"secret.txt"}, 5000));
    });
}

// Regression: a name longer than the local file system takes (legal in an archive) gave its cached copy a
// name the host refused, so the file could not be opened.
TEST_F(FolderArchiveTest, AFileWithANameTooLongForTheHostOpensInTheViewer) {
    const std::wstring name = std::wstring(300, L'n') + L".txt";
    MakeArchive("printf 'a long name\\n' | 7z a -tzip Long.zip -si" + std::string(name.begin(), name.end()));
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"Long.zip");
        ASSERT_TRUE(WaitForNames(ui, {name}, 5000));
        // A failure to open shows its error, which closes at once.
        ui.AnswerNextMessageBox(Osp::Ui::Controls::MSGBOX_RESULT_OK);
        OpenItem(ui, name);
        TextForm* viewer = WaitForViewer(ui, 5000);
        ASSERT_TRUE(ui.MessageBoxes().empty()) << Narrow(ui.MessageBoxes()[0].text);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->GetText().substr(0, 11), u"a long name");
        Corvane::GetMyInstance()->CloseTextForm();
        ui.Pump(0);
    });
}

TEST_F(FolderArchiveTest, PathMenuGoesThroughTheArchiveAndATextFileInsideOpensInTheViewer) {
    root.Write("Home/arc/src/Docs/Sub/Readme.txt", "hello from inside\n");
    MakeArchive("cd arc/src && 7z a -tzip ../Pack.zip Docs");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"arc");
        OpenItem(ui, L"Pack.zip");
        ASSERT_TRUE(WaitForNames(ui, {L"Docs"}, 5000));
        OpenItem(ui, L"Docs");
        ASSERT_TRUE(WaitForNames(ui, {L"Sub"}, 5000));
        OpenItem(ui, L"Sub");
        ASSERT_TRUE(WaitForNames(ui, {L"Readme.txt"}, 5000));

        ui.PressSoftkey(SOFTKEY_0);
        ui.Pump(0);
        EXPECT_EQ(ui.MenuItems(),
                  (std::vector<std::wstring>{L"Home", L"/Home/", L"arc", L"Pack.zip", L"Docs"}));
        Shot(ui, "archive_path_menu");
        ASSERT_TRUE(ui.ChooseMenuItem(L"Docs"));
        ASSERT_TRUE(WaitForNames(ui, {L"Sub"}, 5000));

        OpenItem(ui, L"Sub");
        ASSERT_TRUE(WaitForNames(ui, {L"Readme.txt"}, 5000));
        OpenItem(ui, L"Readme.txt");
        TextForm* viewer = WaitForViewer(ui, 5000);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->GetText().substr(0, 17), u"hello from inside");
        Shot(ui, "archive_text");
        Corvane::GetMyInstance()->CloseTextForm();
        ui.Pump(0);

        ui.PressSoftkey(SOFTKEY_0);
        ui.Pump(0);
        ASSERT_TRUE(ui.ChooseMenuItem(L"arc"));
        ASSERT_TRUE(WaitForNames(ui, {L"src", L"Pack.zip"}, 5000));
        EXPECT_EQ(Title(ui), L"/Home/arc");
        EXPECT_TRUE(ui.MessageBoxes().empty());
    });
}

TEST_F(FolderArchiveTest, FilesAndFoldersCopiedOutOfAnArchiveEqualTheOriginals) {
    root.Write("Home/orig/big.bin", RandomBytes(700000, 1));
    root.Write("Home/orig/Docs/a.txt", "alpha\n");
    root.Write("Home/orig/Docs/Sub/b.bin", RandomBytes(150000, 2));
    root.MakeDir("Home/orig/Docs/Empty");
    MakeArchive("cd orig && 7z a -t7z ../arc/Pack.7z big.bin Docs");
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        OpenItem(ui, L"arc");
        OpenItem(ui, L"Pack.7z");
        ASSERT_TRUE(WaitForNames(ui, {L"Docs", L"big.bin"}, 5000));
        for (const wchar_t* name : {L"Docs", L"big.bin"}) {
            ui.ToggleListItem(List(ui), IndexOf(ui, name));
        }
        ItemMenu(ui, L"big.bin", L"Copy");
        for (int back = 0; back < 2; ++back) {
            ui.PressSoftkey(SOFTKEY_1);
            ui.Pump(0);
        }
        ASSERT_TRUE(WaitForTitle(ui, L"/Home", 5000));
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        for (int waited = 0; waited < 10000; waited += 20) {
            ui.Pump(20);
            if (ui.Find(L"IDC_PROGRESS") == nullptr && root.Exists("Home/Docs/Empty") &&
                root.Read("Home/big.bin").size() == 700000) {
                break;
            }
        }
        ui.Pump(100);
        EXPECT_TRUE(ui.MessageBoxes().empty()) << Narrow(LastBox(ui));
    });
    EXPECT_TRUE(root.Read("Home/big.bin") == root.Read("Home/orig/big.bin"));
    EXPECT_EQ(Tree("Home/Docs"), Tree("Home/orig/Docs"));
    EXPECT_EQ(Tree("Home/arc").size(), 1u);  // the archive alone: nothing was written beside it
}

TEST_F(FolderArchiveTest, OpeningStaysAwayWhileThePasswordQuestionIsOpenAndComesBackAfter) {
    root.Write("Home/secret.txt", "inside");
    MakeArchive("7z a -t7z -mhe=on -pright Locked.7z secret.txt");
    Run([&](UiDriver& ui) {
        heldHome_ = std::make_unique<HeldHome>();
        Corvane& app = *Corvane::GetMyInstance();
        app.SwitchToForm(app.CreateFolderForm(heldHome_.get()));
        ui.Pump(0);
        OpenItem(ui, L"Locked.7z");
        ASSERT_TRUE(WaitForPassword(ui));
        heldHome_->held = true;
        ui.Pump(3000);  // well past the delay of "Opening..."
        EXPECT_FALSE(Shows(ui, L"Opening..."));
        EXPECT_NE(ui.Find(L"IDC_PWD"), nullptr);
        EXPECT_TRUE(ui.MessageBoxes().empty());

        ui.Tap(L"IDC_PWD");
        ASSERT_TRUE(ui.TypeText(L"right"));
        ui.Tap(L"IDC_DONE");
        ui.Pump(2000);
        EXPECT_TRUE(Shows(ui, L"Opening..."));
        Shot(ui, "archive_opening");
        heldHome_->held = false;
        ASSERT_TRUE(WaitForNames(ui, {L"secret.txt"}, 5000));
        EXPECT_FALSE(Shows(ui, L"Opening..."));
    });
}

TEST_F(FolderArchiveTest, ACancelledQuestionEndsQuietlyAndQuittingWithTheQuestionOpenEndsAtOnce) {
    root.Write("Home/secret.txt", "inside");
    MakeArchive("7z a -t7z -mhe=on -pright Locked.7z secret.txt");
    std::chrono::steady_clock::time_point quit;
    Run([&](UiDriver& ui) {
        OpenRoot(ui, LocalBrowser::ROOT_HOME);
        const std::vector<std::wstring> hostNames = Names(ui);
        OpenItem(ui, L"Locked.7z");
        ASSERT_TRUE(WaitForPassword(ui));
        ui.Tap(L"IDC_CANCEL");
        ui.Pump(500);
        EXPECT_TRUE(ui.MessageBoxes().empty());
        EXPECT_EQ(Names(ui), hostNames);
        EXPECT_EQ(Title(ui), L"/Home");

        // Asked again; the program ends while the question is open.
        OpenItem(ui, L"Locked.7z");
        ASSERT_TRUE(WaitForPassword(ui));
        quit = std::chrono::steady_clock::now();
    });
    EXPECT_LT(std::chrono::steady_clock::now() - quit, std::chrono::seconds(2));
}

}  // namespace
