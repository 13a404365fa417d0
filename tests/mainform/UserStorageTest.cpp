// Started without a data root, the program works on the user's own files: "Phone Memory" is the home
// folder (or the folder chosen in the settings), nothing is laid out in it, and the private folder with
// the settings lies under the data home.

#include <gtest/gtest.h>

#include "Osp/Ui/Controls/EditField.h"
#include "PlacesUi.h"
#include "UserStorage.h"
#include "host/SamplePhone.h"

namespace mainform {
namespace {

using Osp::Ui::Controls::MSGBOX_RESULT_OK;
using testsupport::UiDriver;

class UserStorageTest : public ::testing::Test, protected PlacesUi {
protected:
    UserStorage storage_;
};

TEST_F(UserStorageTest, PhoneMemoryIsTheHomeFolderAndNothingIsLaidOutInIt) {
    UserStorage::Write(storage_.Home() + "/Documents/letter.txt", "Dear ...");
    UserStorage::Write(storage_.Home() + "/Music/song.mp3", "ID3");
    UserStorage::Write(storage_.Home() + "/.config/app.conf", "x=1");
    UserStorage::Write(storage_.Home() + "/notes.txt", "notes");
    const auto before = UserStorage::Snapshot(storage_.Home());

    host::PrepareDataRoot(host::SampleOptions());
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        EXPECT_EQ(ItemTexts(MainList(ui)), (Texts{L"My Private Files", L"Phone Memory", L"Trash"}));
        OpenPlace(ui, 1);
        // Dot files stay hidden while "Show hidden files" is off.
        EXPECT_TRUE(WaitForNames(ui, {L"Documents", L"Music", L"notes.txt"}));
        OpenItem(ui, L"Documents");
        EXPECT_TRUE(WaitForNames(ui, {L"letter.txt"}));
        Shot(ui, "user-phone-memory");
        // What the program keeps for itself goes to the data home.
        app.SetShowHidden(true);
        app.GetCache();
        OpenPlace(ui, 0);
        EXPECT_TRUE(WaitForNames(ui, {L"Cache"}));
    });
    EXPECT_EQ(UserStorage::Snapshot(storage_.Home()), before);
    EXPECT_TRUE(std::filesystem::is_regular_file(storage_.DataHome() + "/corvane/Home/RF.reg"));
    EXPECT_EQ(std::filesystem::status(storage_.DataHome() + "/corvane/Home").permissions() &
                  std::filesystem::perms::all,
              std::filesystem::perms::owner_all);
}

TEST_F(UserStorageTest, TheSettingsChooseThePhoneMemoryFolder) {
    UserStorage::Write(storage_.Home() + "/Pictures/Phone/beach.jpg", "jpeg");
    UserStorage::Write(storage_.Home() + "/other.txt", "other");
    host::PrepareDataRoot(host::SampleOptions());
    const std::string home = storage_.Home();
    const std::wstring chosen(home.begin(), home.end());
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        app.ShowSettingsForm();
        auto* field = ui.Find<Osp::Ui::Controls::EditField>(L"IDC_PHONE_FOLDER");
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->GetText().Units(), chosen) << "the home folder, shown as it is";

        // A folder that is not there is refused, and the choice stays.
        field->SetText(Osp::Base::String(chosen + L"/Nowhere"));
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ui.Tap(L"IDC_PHONE_APPLY");
        EXPECT_EQ(field->GetText().Units(), chosen);
        EXPECT_NE(ui.MessageBoxes().back().text.find(L"not an existing folder"), std::wstring::npos);

        field->SetText(Osp::Base::String(chosen + L"/Pictures/Phone"));
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ui.Tap(L"IDC_PHONE_APPLY");
        Shot(ui, "user-settings");
        OpenPlace(ui, 1);
        EXPECT_TRUE(WaitForNames(ui, {L"beach.jpg"}));
    });
    // The next start finds the choice in the settings file.
    host::SetPhoneMemoryFolder(L"");
    RunOnPhone([&](UiDriver& ui, Corvane&) {
        OpenPlace(ui, 1);
        EXPECT_TRUE(WaitForNames(ui, {L"beach.jpg"}));
    });
}

}  // namespace
}  // namespace mainform
