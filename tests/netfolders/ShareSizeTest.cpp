// The disk details of network folders whose servers answer slowly: asking about one folder and then
// about another shows the second one's sizes under its own name, on either client.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "../smb/SambaFixture.h"
#include "NetFolderHarness.h"
#include "app/Format.h"
#include "net/RemoteFolder.h"

namespace netfolders {
namespace {

using namespace Osp::Ui::Controls;
using mainform::MainList;
using mainform::RunOnPhone;

constexpr unsigned long long kKiB = 1024;

// A share whose server takes a while to tell its disk size, and what it tells then.
struct SlowShare {
    const char* name;
    int seconds;
    unsigned long long totalKiB;
    unsigned long long freeKiB;
};

// Two shares of one Samba, each with a disk-size command that sleeps before it answers.
class SlowSizeServer {
public:
    SlowSizeServer(const std::vector<SlowShare>& shares) {
        dir_ = std::filesystem::temp_directory_path() / ("corv-dfree-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        std::string config;
        for (const SlowShare& share : shares) {
            const std::filesystem::path script = dir_ / (std::string(share.name) + ".sh");
            std::ofstream(script) << "#!/bin/sh\nsleep " << share.seconds << "\necho " << share.totalKiB
                                  << " " << share.freeKiB << "\n";
            std::filesystem::permissions(script, std::filesystem::perms::owner_all);
            std::filesystem::create_directories(dir_ / share.name);
            config += "[" + std::string(share.name) + "]\npath = " + (dir_ / share.name).string() +
                      "\nread only = no\nforce user = root\ndfree command = " + script.string() + "\n";
        }
        server.SetExtraConfig("", config);
        started = server.Start(&error);
        SmbSession::SetServerPort(server.Port());
    }
    ~SlowSizeServer() {
        SmbSession::SetServerPort(445);
        server.Stop();
        std::filesystem::remove_all(dir_);
    }

    testsupport::SambaServer server;
    std::string error;
    bool started = false;

private:
    std::filesystem::path dir_;
};

void StoreFolders(const std::vector<SlowShare>& shares, TSmbProtocol protocol) {
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), true), Osp::Base::E_SUCCESS);
    int id = 0;
    for (const SlowShare& share : shares) {
        ++id;
        String section;
        section.Format(16, L"RF%x", id);
        reg.AddSection(section);
        reg.AddValue(section, String(L"Id"), id);
        reg.AddValue(section, String(L"NodeName"), String(L"CORVTEST"));
        reg.AddValue(section, String(L"IpAddress"), String(L"127.0.0.1"));
        reg.AddValue(section, String(L"UserName"), String(L"corvtest"));
        reg.AddValue(section, String(L"Password"), String(L"Corv-pass1"));
        reg.AddValue(section, String(L"ShareName"),
                     String(std::wstring(share.name, share.name + strlen(share.name))));
        reg.AddValue(section, String(L"Protocol"), static_cast<int>(protocol));
    }
    ASSERT_EQ(reg.Flush(), Osp::Base::E_SUCCESS);
}

// Regression: the answer about the first folder came while the second was asked about, and showed under
// the second folder's name; the second folder's own answer was then dropped.
TEST(ShareSizeTest, ASlowAnswerNeverShowsUnderAnotherFolder) {
    const std::vector<SlowShare> shares = {
        {"corvfirst", 2, 2 * 1024 * 1024, 1024 * 1024},
        {"corvsecond", 5, 4 * 1024 * 1024, 512 * 1024},
    };
    SlowSizeServer server(shares);
    ASSERT_TRUE(server.started) << server.error;
    for (TSmbProtocol protocol : {SMB_PROTOCOL_SMB1, SMB_PROTOCOL_SMB2}) {
        SCOPED_TRACE(protocol == SMB_PROTOCOL_SMB1 ? "SMB1" : "SMB 2/3");
        PhoneRoot root(PhoneRoot::NO_CARD);
        StoreFolders(shares, protocol);
        RunOnPhone(
            [&](UiDriver& ui, Corvane& app) {
                List& list = MainList(ui);
                // Both folders connect first: their items are the third and the fourth.
                for (int item : {2, 3}) {
                    ui.TapListItem(list, item);
                    ASSERT_TRUE(WaitFor([&] {
                        return app.GetFolderForm() != nullptr &&
                               ui.GetFrame().GetCurrentForm() == app.GetFolderForm();
                    }));
                    ui.PressSoftkey(SOFTKEY_1);
                    ASSERT_TRUE(mainform::OnMainForm(ui));
                }
                const auto asked = std::chrono::steady_clock::now();
                for (int item : {2, 3}) {
                    ui.LongPressListItem(list, item);
                    ASSERT_TRUE(ui.ChooseMenuItem(L"Details"));
                }
                ASSERT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(shares[0].seconds))
                    << "the second question must go out before the first answer";
                // Past the time of both answers.
                ui.Pump((shares[1].seconds + 2) * 1000);
                ASSERT_NE(ui.Find(L"IDC_CAPACITY"), nullptr);
                auto* popup = dynamic_cast<Popup*>(ui.Find(L"IDC_CAPACITY")->GetParent());
                ASSERT_NE(popup, nullptr);
                EXPECT_EQ(popup->GetTitleText().Units(), L"\\\\CORVTEST\\corvsecond");
                EXPECT_EQ(ui.TextOf(L"IDC_CAPACITY"), FormatSize64(shares[1].totalKiB * kKiB).Units());
                EXPECT_EQ(ui.TextOf(L"IDC_FREE"), FormatSize64(shares[1].freeKiB * kKiB).Units());
                ui.Tap(L"IDC_CLOSE");
            },
            60000);
    }
}

}  // namespace
}  // namespace netfolders
