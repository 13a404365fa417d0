// A link inside a share that leads to a folder outside it, as a Samba server lists a DFS link (and Windows a
// junction): a reparse point. Details, copy, cut and delete of the folder that holds it, through either
// client, never walk into the link, and the sentinel folder it leads to stays as it was.
//
// The server runs on port 445 inside a network namespace of the test's own, where the whole test runs:
// a client that follows the link (the SMB 2/3 library does) then really reaches the sentinel's share.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "../folderform/FolderListUi.h"
#include "../transfer/JobHarness.h"
#include "Osp/Io/Directory.h"
#include "Osp/Io/File.h"
#include "SmbTestSupport.h"
#include "TestNetwork.h"
#include "app/Corvane.h"
#include "fs/FsLocalBrowser.h"
#include "testsupport/SambaServer.h"
#include "testsupport/UiDriver.h"

namespace {

namespace fs = std::filesystem;
using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using Osp::Ui::Controls::MSGBOX_RESULT_YES;
using testsupport::UiDriver;

constexpr const char* kSentinelShare = "corvsentinel";

// Every file below the host folder with its bytes, folders with an empty text.
std::map<std::string, std::string> Tree(const fs::path& top) {
    std::map<std::string, std::string> tree;
    for (const auto& item : fs::recursive_directory_iterator(top)) {
        const std::string name = fs::relative(item.path(), top).string();
        if (item.is_directory()) {
            tree[name + "/"] = "";
        } else {
            std::ifstream in(item.path(), std::ios::binary);
            tree[name] = std::string(std::istreambuf_iterator<char>(in), {});
        }
    }
    return tree;
}

class ShareLinkTest : public ::testing::Test, protected FolderListUi {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(net_.Create("links", &error)) << error;
        scope_ = std::make_unique<NetNsScope>(net_.Name());
        ASSERT_TRUE(scope_->Entered());
        server_ = std::make_unique<testsupport::SambaServer>(testsupport::SambaServer::IO_DEFAULT,
                                                             testsupport::SambaServer::STORE_DISK, 445);
        // Outside the share: a folder of the test's own, which only the link leads to.
        std::string made = (fs::temp_directory_path() / "corv-sentinel-XXXXXX").string();
        ASSERT_NE(mkdtemp(made.data()), nullptr);
        sentinel_ = made;
        server_->SetExtraConfig("msdfs root = yes\n", "[" + std::string(kSentinelShare) +
                                                          "]\npath = " + sentinel_.string() +
                                                          "\nread only = no\nforce user = root\n");
        ASSERT_TRUE(server_->Start(&error)) << error;
        SmbSession::SetServerPort(445);

        fs::create_directories(sentinel_ / "sub");
        std::ofstream(sentinel_ / "keep.txt") << "precious";
        std::ofstream(sentinel_ / "sub" / "deep.txt") << "also precious";
        sentinelTree_ = Tree(sentinel_);
        MakeDocs();
    }
    // The share's folder "docs": a real folder with a file of three bytes, and the link to the sentinel.
    void MakeDocs() {
        const fs::path docs = fs::path(server_->ShareDir()) / "docs";
        fs::remove_all(docs);
        fs::create_directories(docs / "real");
        std::ofstream(docs / "real" / "a.txt") << "abc";
        fs::create_symlink(std::string("msdfs:127.0.0.1\\") + kSentinelShare, docs / "junction");
    }
    void TearDown() override {
        server_.reset();
        scope_.reset();
        if (!sentinel_.empty()) {
            fs::remove_all(sentinel_);
        }
    }

    // The browser of the share on the client of the protocol, on a folder of its own.
    IFsBrowser* ShareBrowser(TSmbProtocol protocol) {
        folder_ = std::make_unique<RemoteFolder>();
        PointFolderAt(*folder_, L"corvshare", L"corvtest", L"Corv-pass1");
        folder_->SetProtocol(protocol);
        return folder_->CreateBrowser();
    }
    void ExpectSentinelUntouched(const char* after) {
        EXPECT_EQ(Tree(sentinel_), sentinelTree_) << "after " << after;
    }
    bool ShareHas(const std::string& relative) const {
        return fs::exists(fs::symlink_status(fs::path(server_->ShareDir()) / relative));
    }

    NetNamespace net_;
    std::unique_ptr<NetNsScope> scope_;
    std::unique_ptr<testsupport::SambaServer> server_;
    fs::path sentinel_;
    std::map<std::string, std::string> sentinelTree_;
    std::unique_ptr<RemoteFolder> folder_;
};

// Regression: the clients dropped the reparse-point attribute, so a link looked like a real folder: the
// details counted what it leads to, a copy copied it, and a cut or a delete emptied the folder outside the
// share.
TEST_F(ShareLinkTest, DetailsCopyCutAndDeleteNeverFollowALinkOnTheShare) {
    for (TSmbProtocol protocol : {SMB_PROTOCOL_SMB1, SMB_PROTOCOL_SMB2}) {
        SCOPED_TRACE(protocol == SMB_PROTOCOL_SMB1 ? "SMB1" : "SMB 2/3");
        ASSERT_TRUE(RunInApp([&] {
            UiDriver ui;
            Corvane& app = *Corvane::GetMyInstance();
            IFsBrowser* share = ShareBrowser(protocol);
            ASSERT_EQ(dynamic_cast<SmbBrowser*>(share) != nullptr, protocol == SMB_PROTOCOL_SMB1);
            app.SwitchToForm(app.CreateFolderForm(share));
            ASSERT_TRUE(WaitForTitle(ui, L"\\\\CORVTEST\\corvshare", 20000)) << Narrow(Title(ui));

            const std::wstring counted = L"3 bytes (2 files, 1 folders)";  // the link counts as an item
            ItemMenu(ui, L"docs", L"Details");
            LoopUntil([&] { return ui.TextOf(L"IDC_SIZE") == counted; }, 10000);
            EXPECT_EQ(ui.TextOf(L"IDC_SIZE"), counted);
            ui.Tap(L"IDC_CLOSE");
            ui.Pump(0);
            ExpectSentinelUntouched("details");

            // A copy and a cut of the folder into the private files: the real folder arrives, the link
            // is not walked.
            for (int mode : {Clipboard::MODE_COPY, Clipboard::MODE_CUT}) {
                const std::wstring target = mode == Clipboard::MODE_COPY ? L"/Home/copied/" : L"/Home/moved/";
                ASSERT_EQ(Osp::Io::Directory::Create(Osp::Base::String(target), true), Osp::Base::E_SUCCESS);
                JobRecorder job;
                Clipboard clipboard(mode, share, L"\\");
                clipboard.AddFolder(L"docs");
                RunJob(job, clipboard, app.GetLocalBrowser(LocalBrowser::ROOT_HOME), target);
                ExpectSentinelUntouched(mode == Clipboard::MODE_COPY ? "copy" : "cut");
                EXPECT_NE(job.message.find(L"'\\docs\\junction'"), std::wstring::npos) << Narrow(job.message);
                EXPECT_TRUE(Osp::Io::File::IsFileExist(Osp::Base::String(target + L"docs/real/a.txt")));
                EXPECT_FALSE(
                    Osp::Io::File::IsFileExist(Osp::Base::String(target + L"docs/junction/keep.txt")));
            }
            EXPECT_TRUE(ShareHas("docs/junction")) << "a cut leaves the link with its folder";

            ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
            ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
            ItemMenu(ui, L"docs", L"Delete");
            WaitWhileShown(ui, L"IDC_NOTE", 20000);
            ui.Pump(500);
            ExpectSentinelUntouched("delete");
            // The server keeps its link (a DFS link is not removed by file requests); the delete says so.
            EXPECT_NE(LastBox(ui).find(L"'\\docs\\junction'"), std::wstring::npos) << Narrow(LastBox(ui));
            EXPECT_TRUE(ShareHas("docs/junction"));
        }));
        MakeDocs();
    }
}

}  // namespace
