// Places on a share compared by what they are. A folder on "Automatic" whose server has no SMB 2 is
// served by the classic client behind the folder's own browser: the clipboard keeps the classic client's
// browser while Paste writes through the folder's. A paste of a cut into its own folder, or into a folder
// inside the selection, is refused as on the phone's storage, whatever the overwrite question would be
// answered. Regression: the question named each file itself, and "Yes" replaced the file by its own copy
// and then deleted the source, so the files and the cut folder's tree were gone. The same holds between
// two network folders that name one server differently: the server itself tells that they are one share.

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "../folderform/FolderListUi.h"
#include "SambaFixture.h"
#include "app/Corvane.h"
#include "testsupport/UiDriver.h"

namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using testsupport::SambaServer;
using testsupport::UiDriver;

class SharePlacesTest : public ::testing::Test, protected FolderListUi {
protected:
    // The tree of the share's "docs" folder, by host path relative to the share.
    const std::map<std::string, std::string> tree_ = {
        {"docs/a.txt", "a"},
        {"docs/B.txt", "b"},
        {"docs/tree/two.bin", std::string(2000, '2')},
        {"docs/tree/x/one.bin", std::string(1000, '1')},
    };

    void PutTree(const SambaServer& server) const {
        for (const auto& [relative, bytes] : tree_) {
            const std::filesystem::path file(server.ShareDir() + "/" + relative);
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << bytes;
        }
    }
    // The files of the tree that are missing or changed.
    std::vector<std::string> Lost(const SambaServer& server) const {
        std::vector<std::string> lost;
        for (const auto& [relative, bytes] : tree_) {
            std::ifstream in(server.ShareDir() + "/" + relative, std::ios::binary);
            std::stringstream read;
            read << in.rdbuf();
            if (!in || read.str() != bytes) {
                lost.push_back(relative);
            }
        }
        return lost;
    }
    static bool WaitFor(UiDriver& ui, const std::function<bool()>& condition, int ms) {
        for (int waited = 0; !condition() && waited < ms; waited += 20) {
            ui.Pump(20);
        }
        return condition();
    }
    // Opens "docs" from the share's top, whose title is top; where becomes the folder's title.
    void OpenDocs(UiDriver& ui, const std::wstring& top, std::wstring* where) const {
        ASSERT_TRUE(WaitFor(
            ui, [&] { return Names(ui) == std::vector<std::wstring>{L"docs"}; }, 10000));
        OpenItem(ui, L"docs");
        *where = top + L"\\docs";
        ASSERT_TRUE(WaitForTitle(ui, *where, 10000)) << Narrow(Title(ui));
        ASSERT_TRUE(WaitFor(
            ui, [&] { return Names(ui).size() == 3; }, 10000));
    }
    // Goes down the folders from where, one listing after the other.
    static void Descend(UiDriver& ui, const std::vector<const wchar_t*>& descend, std::wstring* where) {
        for (const wchar_t* name : descend) {
            OpenItem(ui, name);
            *where += std::wstring(L"\\") + name;
            ASSERT_TRUE(WaitForTitle(ui, *where, 10000)) << Narrow(Title(ui));
        }
    }
    // Pastes, answering every overwrite question with answer, and checks that the paste was refused as
    // one into its own place, without a question and without a loss.
    void ExpectPasteRefused(UiDriver& ui, const wchar_t* answer, const SambaServer& server) const {
        const size_t boxes = ui.MessageBoxes().size();
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
        int questions = 0;
        auto asked = [&] { return ui.Find(L"IDC_YES_TO_ALL") != nullptr; };
        while (WaitFor(
                   ui, [&] { return asked() || ui.MessageBoxes().size() > boxes; }, 5000) &&
               asked() && questions < 10) {
            ++questions;
            ui.Tap(answer);
            ui.Pump(0);
        }
        WaitWhileShown(ui, L"IDC_PERCENT", 10000);
        EXPECT_EQ(questions, 0);
        ASSERT_EQ(ui.MessageBoxes().size(), boxes + 1);
        EXPECT_EQ(LastBox(ui),
                  L"File transfer error|You have to select a different destination folder in order to "
                  L"copy or move items");
        EXPECT_EQ(Lost(server), std::vector<std::string>{});
    }
};

TEST_F(SharePlacesTest, APasteIntoTheCutsOwnFolderOrInsideItIsRefusedWhateverTheAnswer) {
    ServerOn on(SambaServer::SECURITY_SMB1_ONLY);
    ASSERT_TRUE(on.started) << on.error;
    struct SCase {
        const wchar_t* answer;                // the button an overwrite question would get
        std::vector<const wchar_t*> descend;  // from "docs" to the destination
    };
    const SCase cases[] = {
        {L"IDC_NO", {}},         {L"IDC_NO_TO_ALL", {}},         {L"IDC_YES", {}},
        {L"IDC_YES_TO_ALL", {}}, {L"IDC_YES_TO_ALL", {L"tree"}}, {L"IDC_YES_TO_ALL", {L"tree", L"x"}},
    };
    RemoteFolder folder;
    PointFolderAt(folder, L"corvshare", L"corvtest", L"Corv-pass1");
    folder.SetProtocol(SMB_PROTOCOL_AUTOMATIC);
    const std::wstring top = L"\\\\CORVTEST\\corvshare";
    PutTree(on.server);
    ASSERT_TRUE(RunInApp(
        [&] {
            UiDriver ui;
            Corvane& app = *Corvane::GetMyInstance();
            app.SwitchToForm(app.CreateFolderForm(folder.CreateBrowser()));
            ASSERT_TRUE(WaitForTitle(ui, top, 20000)) << Narrow(Title(ui));
            ASSERT_EQ(folder.GetBrowser()->DescribeConnection(), L"SMB1 (NT LM 0.12)");
            int round = 0;
            for (const SCase& c : cases) {
                SCOPED_TRACE(testing::Message() << "case " << round++);
                PutTree(on.server);
                std::wstring where;
                OpenDocs(ui, top, &where);
                for (const wchar_t* name : {L"a.txt", L"B.txt", L"tree"}) {
                    ui.ToggleListItem(List(ui), IndexOf(ui, name));
                }
                ChooseOption(ui, {L"Copy / Move", L"Cut"});
                Descend(ui, c.descend, &where);
                ExpectPasteRefused(ui, c.answer, on.server);
                // Back, one folder at a time as each listing comes.
                while (where != top) {
                    where.erase(where.rfind(L'\\'));
                    ui.PressSoftkey(Osp::Ui::Controls::SOFTKEY_1);
                    ASSERT_TRUE(WaitForTitle(ui, where, 10000)) << Narrow(Title(ui));
                }
            }
        },
        180000));
}

TEST_F(SharePlacesTest, TwoNamesOfOneServerAreOnePlace) {
    ServerOn on(SambaServer::SECURITY_SMB1_ONLY);
    ASSERT_TRUE(on.started) << on.error;
    // One server, entered twice: the address spelt two ways stands for a name and an address.
    RemoteFolder first;
    RemoteFolder second;
    PointFolderAt(first, L"corvshare", L"corvtest", L"Corv-pass1", L"127.0.0.1");
    PointFolderAt(second, L"corvshare", L"corvtest", L"Corv-pass1", L"127.0.0.01");
    first.SetProtocol(SMB_PROTOCOL_AUTOMATIC);
    second.SetProtocol(SMB_PROTOCOL_AUTOMATIC);
    const std::wstring top = L"\\\\CORVTEST\\corvshare";
    ASSERT_TRUE(RunInApp(
        [&] {
            UiDriver ui;
            Corvane& app = *Corvane::GetMyInstance();
            for (const std::vector<const wchar_t*>& descend :
                 {std::vector<const wchar_t*>{}, std::vector<const wchar_t*>{L"tree"}}) {
                SCOPED_TRACE(descend.size());
                PutTree(on.server);
                app.SwitchToForm(app.CreateFolderForm(first.CreateBrowser()));
                ASSERT_TRUE(WaitForTitle(ui, top, 20000)) << Narrow(Title(ui));
                std::wstring where;
                OpenDocs(ui, top, &where);
                for (const wchar_t* name : {L"a.txt", L"B.txt", L"tree"}) {
                    ui.ToggleListItem(List(ui), IndexOf(ui, name));
                }
                ChooseOption(ui, {L"Copy / Move", L"Cut"});
                app.SwitchToForm(app.CreateFolderForm(second.CreateBrowser()));
                ASSERT_TRUE(WaitForTitle(ui, top, 20000)) << Narrow(Title(ui));
                OpenDocs(ui, top, &where);
                Descend(ui, descend, &where);
                ExpectPasteRefused(ui, L"IDC_YES_TO_ALL", on.server);
                // The probe's marker does not stay.
                for (const auto& entry :
                     std::filesystem::recursive_directory_iterator(on.server.ShareDir())) {
                    EXPECT_EQ(entry.path().filename().string().rfind(".corvane-", 0), std::string::npos)
                        << entry.path();
                }
            }
        },
        180000));
}

}  // namespace
