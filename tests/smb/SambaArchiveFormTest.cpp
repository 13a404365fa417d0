// An archive on a real Samba share opened from the folder list of the network folder: it is read in
// place, listed like a folder, and Back returns to the share's folder scrolled as it was left; a text file
// that lies more than 2 or 4 GiB into an archive on the share opens in the viewer.

#include <cstdlib>

#include "../archive/SparseArchives.h"
#include "../folderform/FolderListUi.h"
#include "SambaFixture.h"
#include "app/Corvane.h"
#include "testsupport/UiDriver.h"

namespace {

using Osp::Ui::Controls::SOFTKEY_1;
using testsupport::UiDriver;

class SambaArchiveFormTest : public SambaFixture, protected FolderListUi {
protected:
    // Shows the share's root folder in the folder list.
    bool OpenShare(UiDriver& ui) {
        Corvane& app = *Corvane::GetMyInstance();
        app.SwitchToForm(app.CreateFolderForm(folder_.CreateBrowser()));
        return WaitForTitle(ui, L"\\\\CORVTEST\\corvshare", 20000);
    }
    static bool WaitForNames(UiDriver& ui, const std::vector<std::wstring>& names) {
        for (int waited = 0; Names(ui) != names && waited < 10000; waited += 20) {
            ui.Pump(20);
        }
        return Names(ui) == names;
    }
};

TEST_F(SambaArchiveFormTest, AnArchiveOnTheShareOpensListsAndGoesBackToTheSameItem) {
    PutFile("src/Docs/Readme.txt", "hello docs\n");
    PutFile("src/alpha.txt", "a");
    // Enough files before the archive that the list has to scroll to reach it, and after it.
    for (char c = 'a'; c <= 'z'; ++c) {
        PutFile(std::string("docs/") + c + ".txt", "x");
    }
    const std::string make = "cd '" + HostPath("src") + "' && 7z a -tzip '" + HostPath("docs/m.zip") +
                             "' Docs alpha.txt >/dev/null 2>&1";
    ASSERT_EQ(0, std::system(make.c_str()));
    ASSERT_TRUE(RunInApp([&] {
        UiDriver ui;
        ASSERT_TRUE(OpenShare(ui)) << Narrow(Title(ui));
        OpenItem(ui, L"docs");
        ASSERT_TRUE(WaitForTitle(ui, L"\\\\CORVTEST\\corvshare\\docs", 10000));
        const std::vector<std::wstring> hostNames = Names(ui);

        OpenItem(ui, L"m.zip");  // scrolls the list down to the archive first
        const int hostTop = List(ui).GetTopDrawnItemIndex();
        ASSERT_GT(hostTop, 0);
        ASSERT_TRUE(WaitForNames(ui, {L"Docs", L"alpha.txt"})) << Narrow(Title(ui));
        EXPECT_EQ(Title(ui), L"m.zip");
        EXPECT_TRUE(ui.MessageBoxes().empty());
        OpenItem(ui, L"Docs");
        ASSERT_TRUE(WaitForNames(ui, {L"Readme.txt"}));

        ui.PressSoftkey(SOFTKEY_1);
        ASSERT_TRUE(WaitForNames(ui, {L"Docs", L"alpha.txt"}));
        ui.PressSoftkey(SOFTKEY_1);
        ASSERT_TRUE(WaitForNames(ui, hostNames));
        EXPECT_EQ(Title(ui), L"\\\\CORVTEST\\corvshare\\docs");
        EXPECT_EQ(List(ui).GetTopDrawnItemIndex(), hostTop);
        Shot(ui, "share_after_archive");
    }));
}

TEST_F(SambaArchiveFormTest, ATextFileFarIntoAnArchiveOnTheShareOpensInTheViewer) {
    // Sparse files: the share's disk holds only the headers and the text. The tar's text lies past 4 GiB,
    // the ZIP's (found from the archive's end) past 2 GiB.
    ASSERT_GT(sparse::WriteTar(HostPath("big.tar"), (4ull << 30) + (300ull << 20) + 7, "after.txt",
                               "found in big.tar\n"),
              4ull << 30);
    ASSERT_GT(sparse::WriteZip(HostPath("big.zip"), (2u << 30) + (300u << 20) + 7, "after.txt",
                               "found in big.zip\n"),
              2ull << 30);
    ASSERT_TRUE(RunInApp([&] {
        UiDriver ui;
        ASSERT_TRUE(OpenShare(ui)) << Narrow(Title(ui));
        const std::vector<std::wstring> hostNames = Names(ui);
        for (const wchar_t* archive : {L"big.tar", L"big.zip"}) {
            OpenItem(ui, archive);
            ASSERT_TRUE(WaitForNames(ui, {L"after.txt", L"hole.bin"})) << Narrow(LastBox(ui));
            OpenItem(ui, L"after.txt");
            TextForm* viewer = WaitForViewer(ui, 10000);
            ASSERT_NE(viewer, nullptr) << Narrow(LastBox(ui));
            const std::u16string& text = viewer->GetText();
            EXPECT_EQ(std::wstring(text.begin(),
                                   text.begin() + static_cast<long>(std::min<size_t>(16, text.size()))),
                      L"found in " + std::wstring(archive));
            Corvane::GetMyInstance()->CloseTextForm();
            ui.Pump(0);
            ui.PressSoftkey(SOFTKEY_1);
            ASSERT_TRUE(WaitForNames(ui, hostNames));
        }
        EXPECT_TRUE(ui.MessageBoxes().empty());
    }));
}

}  // namespace
