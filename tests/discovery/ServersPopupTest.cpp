// The list of servers on the phone's screen: opened from the main list's options over a new folder's
// form, filled by the search, and a tapped server filling the form that then connects to that server's
// Samba; with nobody answering, "No servers found" and the way to type one in.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "../mainform/MainFormHarness.h"
#include "../platform/LoopUntil.h"
#include "DiscoveryNet.h"
#include "Osp/Ui/Controls/Button.h"
#include "net/RemoteFolderForm.h"
#include "testsupport/SambaServer.h"

namespace {

using namespace Osp::Ui::Controls;
using mainform::ItemTexts;
using mainform::MainList;
using mainform::OnMainForm;
using mainform::RunOnPhone;
using testsupport::UiDriver;

void Screenshot(const UiDriver& ui, const std::string& name) {
    if (const char* dir = std::getenv("CORVANE_SCREENSHOT_DIR")) {
        EXPECT_TRUE(ui.SaveScreenshot(std::string(dir) + "/" + name + ".png"));
    }
}

void OpenNetworkSearch(const UiDriver& ui) {
    ASSERT_TRUE(OnMainForm(ui));
    ui.PressOptionKey();
    ASSERT_TRUE(ui.ChooseMenuItem(L"Network"));
    ASSERT_NE(dynamic_cast<RemoteFolderForm*>(ui.GetFrame().GetCurrentForm()), nullptr);
    ASSERT_NE(ui.Find(L"IDC_REFRESH"), nullptr);
}

bool SearchEnded(const UiDriver& ui) {
    const std::wstring status = ui.TextOf(L"IDC_STATUS");
    return !status.empty() && status != L"Searching the network...";
}

TEST(ServersPopupTest, NobodyAnsweringGivesNoServersFoundAndTheWayToTypeOneIn) {
    // A network of the loopback alone that carries broadcasts and multicast, where nothing answers and no
    // service discovery daemon runs.
    NetNamespace quiet;
    std::string error;
    ASSERT_TRUE(quiet.Create("dq", &error)) << error;
    ASSERT_EQ(testsupport::RunCommand("ip -n " + quiet.Name() + " link set lo multicast on && ip -n " +
                                      quiet.Name() + " route add default dev lo"),
              0);
    PhoneRoot root(PhoneRoot::NO_CARD);
    RunOnPhone(
        [&](UiDriver& ui, Corvane&) {
            NetNsScope inside(quiet.Name());
            ASSERT_TRUE(inside.Entered());
            OpenNetworkSearch(ui);
            EXPECT_EQ(ui.TextOf(L"IDC_STATUS"), L"Searching the network...");
            ASSERT_TRUE(LoopUntil([&] { return SearchEnded(ui); }, 8000));
            EXPECT_EQ(ui.TextOf(L"IDC_STATUS"), L"No servers found");
            EXPECT_EQ(ui.TextOf(L"IDC_NOTE"),
                      L"Tap Cancel and type the computer name or IP address into the form.");
            EXPECT_EQ(ui.TextOf(L"IDC_DNSSD_NOTE"), L"Local service discovery is not running");
            Screenshot(ui, "servers-none");
            ui.Tap(L"IDC_REFRESH");
            EXPECT_EQ(ui.TextOf(L"IDC_STATUS"), L"Searching the network...");
            ui.Tap(L"IDC_CANCEL");
            EXPECT_EQ(ui.Find(L"IDC_REFRESH"), nullptr);
            EXPECT_EQ(ui.TextOf(L"IDC_NBT_NAME"), L"");
            EXPECT_EQ(ui.TextOf(L"IDC_IP_ADDRESS"), L"");
        },
        20000);
}

TEST(ServersPopupTest, ATappedServerFillsTheFormThatConnectsToThatSamba) {
    DiscoveryNet net;
    std::string error;
    ASSERT_TRUE(net.Start(DiscoveryNet::ANNOUNCE_ALL, DiscoveryNet::CLIENT_DAEMON, &error)) << error;
    // The announced computer's Samba, on its address in the server's namespace: smbd is started from a
    // thread inside it and stays there.
    testsupport::SambaServer samba(testsupport::SambaServer::IO_DEFAULT, testsupport::SambaServer::STORE_DISK,
                                   445);
    // Announcing is the announcers' part: smbd would register with the client side's daemon, whose bus
    // address this process carries.
    samba.SetExtraConfig(
        std::string("interfaces = lo ") + DiscoveryNet::kServerAddress + "/24\nmulticast dns register = no\n",
        "");
    {
        NetNsScope server(net.ServerNamespace());
        ASSERT_TRUE(server.Entered());
        ASSERT_TRUE(samba.Start(&error)) << error;
    }
    std::ofstream(samba.ShareDir() + "/found.txt") << "found";
    PhoneRoot root(PhoneRoot::NO_CARD);
    // The folder keeps its password: the user has heard before that no desktop keyring runs here.
    root.KeyringAbsenceAlreadyTold();
    RunOnPhone(
        [&](UiDriver& ui, Corvane& app) {
            NetNsScope inside(net.ClientNamespace());
            ASSERT_TRUE(inside.Entered());
            OpenNetworkSearch(ui);
            auto* list = ui.Find<List>(L"IDC_LIST");
            ASSERT_NE(list, nullptr);
            ASSERT_TRUE(LoopUntil([&] { return SearchEnded(ui); }, 8000));
            EXPECT_EQ(ui.TextOf(L"IDC_STATUS"), L"1 server found");
            EXPECT_EQ(ui.TextOf(L"IDC_DNSSD_NOTE"), L"");
            EXPECT_EQ(ItemTexts(*list), (std::vector<std::wstring>{L"CORVNAS", L"CORVGROUP"}));
            ASSERT_EQ(list->GetItemCount(), 2);
            EXPECT_EQ(list->GetItemText(0, 1).Units(), L"10.214.0.1");
            EXPECT_EQ(list->GetItemText(1, 1).Units(), L"WSD, DNS-SD, NetBIOS");
            Screenshot(ui, "servers-found");

            ui.TapListItem(*list, 1);
            EXPECT_EQ(ui.Find(L"IDC_REFRESH"), nullptr);
            EXPECT_EQ(ui.TextOf(L"IDC_NBT_NAME"), L"CORVNAS");
            EXPECT_EQ(ui.TextOf(L"IDC_IP_ADDRESS"), L"10.214.0.1");
            EXPECT_EQ(ui.TextOf(L"IDC_PROTOCOL"), L"Automatic");
            for (const auto& [id, text] :
                 {std::pair<const wchar_t*, const char*>{L"IDC_SHARE_NAME", testsupport::SambaServer::kShare},
                  {L"IDC_USER_NAME", testsupport::SambaServer::kUser},
                  {L"IDC_PASSWORD", testsupport::SambaServer::kPassword}}) {
                ui.Tap(id);
                ASSERT_TRUE(ui.TypeText(std::wstring(text, text + strlen(text))));
                ASSERT_TRUE(ui.ConfirmKeypad());
            }
            ui.PressSoftkey(SOFTKEY_0);
            ASSERT_TRUE(OnMainForm(ui));
            List& main = MainList(ui);
            const std::vector<std::wstring> items = ItemTexts(main);
            const auto folder = std::find(items.begin(), items.end(), L"\\\\CORVNAS\\corvshare");
            ASSERT_NE(folder, items.end());
            ui.TapListItem(main, static_cast<int>(folder - items.begin()));
            ASSERT_TRUE(LoopUntil(
                [&] {
                    return app.GetFolderForm() != nullptr &&
                           ui.GetFrame().GetCurrentForm() == app.GetFolderForm();
                },
                20000));
            EXPECT_EQ(ui.TitleOf(*app.GetFolderForm()), L"\\\\CORVNAS\\corvshare");
            auto* files = ui.Find<List>(L"IDC_FOLDERS_LIST");
            ASSERT_NE(files, nullptr);
            EXPECT_EQ(ItemTexts(*files), std::vector<std::wstring>{L"found.txt"});
        },
        60000);
}

}  // namespace
