// Archives opened from the folder list: tapping a ZIP in the private files lists it like a folder, its
// folders open, Back returns into it and then to the host folder; an archive whose names are encrypted
// asks for its password, says "Invalid password" after a wrong one and opens with the right one.

#include <cstdlib>

#include "FolderFormHarness.h"
#include "app/Results.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using Osp::Ui::Controls::SOFTKEY_1;
using testsupport::UiDriver;

class FolderArchiveTest : public FolderFormTest {
protected:
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

}  // namespace
