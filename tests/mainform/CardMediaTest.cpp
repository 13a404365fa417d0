// The memory card on the user's storage is a removable medium: a small tmpfs mounted below the media
// folder while the program runs, in a mount namespace of the test's own. The card comes and goes with its
// mount, lists, takes a copy, and a read-only medium refuses a paste.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "Osp/Ui/Controls/Popup.h"
#include "PlacesUi.h"
#include "UserStorage.h"
#include "testsupport/SambaServer.h"

namespace mainform {
namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using testsupport::UiDriver;

constexpr char kPrivateMounts[] = "CORVANE_TEST_PRIVATE_MOUNTS";

class CardMediaTest : public ::testing::Test, protected PlacesUi {
protected:
    // Runs the current test again in a private mount namespace, where it may mount; true when it did so
    // (and its result is this test's).
    static bool RerunInPrivateNamespace() {
        if (std::getenv(kPrivateMounts) != nullptr ||
            testsupport::RunCommand("unshare -m --propagation private true") != 0) {
            return false;
        }
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string command = std::string(kPrivateMounts) + "=1 unshare -m --propagation private '" +
                                    std::filesystem::read_symlink("/proc/self/exe").string() +
                                    "' --gtest_filter='" + test->test_suite_name() + "." + test->name() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return true;
    }
    static bool CanMount() { return std::getenv(kPrivateMounts) != nullptr; }

    static int Mount(const std::string& options, const std::string& folder) {
        return testsupport::RunCommand("mount -t tmpfs -o size=1m," + options + " corvcard '" + folder + "'");
    }

    // The main list's items, also while another form is on the screen.
    static Texts MainItems() {
        auto* list = dynamic_cast<Osp::Ui::Controls::List*>(
            Corvane::GetMyInstance()->GetMainForm()->GetControl(Osp::Base::String(L"IDC_MAIN_FOLDERS_LIST")));
        return list != nullptr ? ItemTexts(*list) : Texts();
    }
    // The card's item comes between the phone memory and the trash.
    static bool HasCard() { return MainItems().size() == 4; }

    static std::wstring LastBox(UiDriver& ui) {
        const auto boxes = ui.MessageBoxes();
        return boxes.empty() ? L"" : boxes.back().text;
    }

    // Copies the phone memory's file into the clipboard and pastes it into the card's top folder.
    static void CopyToCard(UiDriver& ui, const std::wstring& name) {
        OpenPlace(ui, 1);
        ASSERT_TRUE(WaitFor(ui, [&] { return !Names(ui).empty(); }));
        ItemMenu(ui, name, L"Copy");
        OpenPlace(ui, 2);
        ASSERT_TRUE(WaitFor(ui, [&] { return Title(ui) != L""; }));
        ChooseOption(ui, {L"Copy / Move", L"Paste"});
    }

    void SetUp() override { card_ = storage_.MediaFolder() + "/SDCARD"; }
    void TearDown() override {
        if (CanMount()) {
            testsupport::RunCommand("umount -l '" + card_ + "' 2>/dev/null");
        }
    }

    UserStorage storage_;
    std::string card_;
};

TEST_F(CardMediaTest, ACardMountedWhileRunningAppearsListsTakesACopyAndGoesWhenUnmounted) {
    if (RerunInPrivateNamespace()) {
        return;
    }
    if (!CanMount()) {
        GTEST_SKIP() << "this process may not make a mount namespace of its own (unshare -m failed)";
    }
    UserStorage::Write(storage_.Home() + "/photo.jpg", "picture bytes");
    std::filesystem::create_directories(card_);
    RunOnPhone(
        [&](UiDriver& ui, Corvane&) {
            EXPECT_EQ(MainItems(), (Texts{L"My Private Files", L"Phone Memory", L"Trash"}));
            ASSERT_EQ(Mount("rw", card_), 0);
            ASSERT_TRUE(WaitFor(ui, [&] { return HasCard(); })) << "the card did not appear";
            EXPECT_EQ(MainItems()[2], L"Memory Card");
            Shot(ui, "main-list-with-card");

            ui.LongPressListItem(MainList(ui), 2);
            ASSERT_TRUE(ui.ChooseMenuItem(L"Details"));
            EXPECT_EQ(ui.TextOf(L"IDC_CAPACITY"), L"1.00 MB");
            EXPECT_EQ(ui.TextOf(L"IDC_CONNECTION"), L"\"SDCARD\", tmpfs");
            Shot(ui, "card-details");
            ui.Tap(L"IDC_CLOSE");

            UserStorage::Write(card_ + "/On the card.txt", "card");
            CopyToCard(ui, L"photo.jpg");
            ASSERT_TRUE(WaitForNames(ui, {L"On the card.txt", L"photo.jpg"}));
            EXPECT_EQ(UserStorage::Read(card_ + "/photo.jpg"), "picture bytes");

            // The medium goes while its folder list is on the screen.
            ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
            ASSERT_EQ(testsupport::RunCommand("umount '" + card_ + "'"), 0);
            ASSERT_TRUE(WaitFor(ui, [&] { return !HasCard(); })) << "the card did not go";
            EXPECT_TRUE(OnMainForm(ui));
            EXPECT_EQ(LastBox(ui), L"The memory card was removed.");
            Shot(ui, "main-list-card-removed");
            // Nothing lands in the bare folder the medium left behind.
            EXPECT_TRUE(std::filesystem::is_empty(card_));
        },
        30000);
}

TEST_F(CardMediaTest, AReadOnlyMediumRefusesAPaste) {
    if (RerunInPrivateNamespace()) {
        return;
    }
    if (!CanMount()) {
        GTEST_SKIP() << "this process may not make a mount namespace of its own (unshare -m failed)";
    }
    UserStorage::Write(storage_.Home() + "/photo.jpg", "picture bytes");
    std::filesystem::create_directories(card_);
    ASSERT_EQ(Mount("ro", card_), 0);
    RunOnPhone(
        [&](UiDriver& ui, Corvane&) {
            ASSERT_TRUE(HasCard());
            ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
            CopyToCard(ui, L"photo.jpg");
            ASSERT_TRUE(WaitFor(ui, [&] { return !ui.MessageBoxes().empty(); })) << "no message";
            Shot(ui, "read-only-card");
            EXPECT_NE(LastBox(ui).find(L"Cannot change a read-only object"), std::wstring::npos)
                << Narrow(LastBox(ui));
            EXPECT_TRUE(Names(ui).empty());
        },
        30000);
    EXPECT_TRUE(std::filesystem::is_empty(card_));
}

}  // namespace
}  // namespace mainform
