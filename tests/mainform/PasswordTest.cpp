// The private-folder password: the checks of a new password in their order, and setting, changing and
// removing it from the main list, with the questions and messages the user sees on the way.

#include <gtest/gtest.h>

#include "MainFormHarness.h"
#include "app/PasswordForm.h"
#include "app/PasswordPopup.h"

namespace mainform {
namespace {

using namespace Osp::Ui::Controls;
using testsupport::UiDriver;

const std::wstring kTooShort = L"The password is too short. The minimal password length is 3 characters.";
const std::wstring kTooLong = L"The password is too long. The maximal password length is 30 characters.";
const std::wstring kMismatch = L"The second password does not match the first one.";
const std::wstring kWrongCurrent = L"Incorrect current password. Please enter the current password.";

TEST(PasswordTest, NewPasswordChecksInTheirOrder) {
    struct Case {
        PasswordForm::TMode mode;
        const wchar_t* current;
        std::wstring first;
        std::wstring second;
        std::wstring error;
    };
    const std::wstring thirty(30, L'x');
    const std::wstring thirtyOne(31, L'x');
    const Case cases[] = {
        {PasswordForm::SET, L"", L"abc", L"abc", L""},
        {PasswordForm::SET, L"", thirty, thirty, L""},
        {PasswordForm::SET, L"", L"ab", L"ab", kTooShort},
        {PasswordForm::SET, L"", thirtyOne, thirtyOne, kTooLong},
        {PasswordForm::SET, L"", L"", L"", kTooShort},
        // A mismatch comes before the length, also for a password that is too short.
        {PasswordForm::SET, L"", L"ab", L"abc", kMismatch},
        // Letter case counts.
        {PasswordForm::SET, L"", L"Secret", L"secret", kMismatch},
        // What the current-password field holds matters only when changing.
        {PasswordForm::SET, L"anything", L"abc", L"abc", L""},
        {PasswordForm::CHANGE, L"Stored", L"new", L"new", L""},
        // A wrong current password comes before everything else; its case counts too.
        {PasswordForm::CHANGE, L"stored", L"new", L"new", kWrongCurrent},
        {PasswordForm::CHANGE, L"wrong", L"ab", L"xyz", kWrongCurrent},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PasswordForm::CheckPasswords(c.mode, L"Stored", c.current, c.first, c.second), c.error)
            << "mode " << c.mode << ", current '" << testing::PrintToString(c.current) << "', new "
            << c.first.size() << " and " << c.second.size() << " characters";
    }
}

// Types into an edit field of the password screen through its keypad.
void Fill(const UiDriver& ui, const wchar_t* id, const std::wstring& text) {
    ui.Tap(id);
    ASSERT_TRUE(ui.TypeText(text)) << testing::PrintToString(std::wstring(id));
    ASSERT_TRUE(ui.ConfirmKeypad());
}

// Answers the next box with OK, presses Done and returns the text of the box that came.
std::wstring PressDone(const UiDriver& ui) {
    const size_t before = ui.MessageBoxes().size();
    ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
    ui.PressSoftkey(SOFTKEY_0);
    return ui.MessageBoxes().size() > before ? ui.MessageBoxes().back().text : L"(no message)";
}

// Opens the private files through the password popup with the text; true when the folder list opened.
bool OpenWithPassword(const UiDriver& ui, Corvane& app, const std::wstring& password) {
    ui.Tap(L"IDC_PWD");
    EXPECT_TRUE(ui.TypeText(password));
    ui.Tap(L"IDC_DONE");
    return OpenedRoot(ui, app) == LocalBrowser::ROOT_HOME;
}

TEST(PasswordTest, SettingAPasswordGuardsThePrivateFiles) {
    PhoneRoot root;
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        // Saying No to the warning leaves everything as it was.
        ui.LongPressListItem(MainList(ui), 0);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_NO);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Set password"));
        ASSERT_EQ(ui.MessageBoxes().size(), 1u);
        EXPECT_EQ(
            ui.MessageBoxes()[0].text,
            L"Do you really want to set a password?\n\nWARNING: If you forget the password, you will lose "
            L"all access to 'My Private Files'");
        EXPECT_TRUE(OnMainForm(ui));

        ui.LongPressListItem(MainList(ui), 0);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Set password"));
        ASSERT_NE(dynamic_cast<PasswordForm*>(ui.GetFrame().GetCurrentForm()), nullptr);
        Fill(ui, L"IDPC_PWD_EDIT", L"Se");
        Fill(ui, L"IDPC_PWD_EDIT2", L"Se");
        EXPECT_EQ(PressDone(ui), kTooShort);
        EXPECT_EQ(ui.MessageBoxes().back().title, L"");
        Fill(ui, L"IDPC_PWD_EDIT", L"Secret");
        Fill(ui, L"IDPC_PWD_EDIT2", L"Secret");
        EXPECT_EQ(PressDone(ui), L"Please memorize the new password. Please note that it is case sensitive.");
        EXPECT_EQ(ui.MessageBoxes().back().title, L"The password is set");
        EXPECT_TRUE(OnMainForm(ui));
        EXPECT_EQ(app.GetPassword(), L"Secret");
    });
    // The next run asks for it, refuses it in the wrong case and opens with the right one.
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        ui.TapListItem(MainList(ui), 0);
        ASSERT_NE(ui.Find(L"IDC_PWD"), nullptr);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        EXPECT_FALSE(OpenWithPassword(ui, app, L"secret"));
        EXPECT_EQ(ui.MessageBoxes().back().text, L"Incorrect password");
        ASSERT_NE(ui.Find(L"IDC_PWD"), nullptr);  // the popup stays for another try
        EXPECT_TRUE(OpenWithPassword(ui, app, L"Secret"));
        // Entered once, it is not asked again during the run.
        app.SwitchToForm(app.GetMainForm());
        ui.TapListItem(MainList(ui), 0);
        EXPECT_EQ(OpenedRoot(ui, app), LocalBrowser::ROOT_HOME);
    });
}

TEST(PasswordTest, CancelledQuestionsChangeNothing) {
    PhoneRoot root;
    WriteSettings(0, L"Stored");
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        ui.TapListItem(MainList(ui), 0);
        ui.Tap(L"IDC_CANCEL");
        EXPECT_EQ(ui.Find(L"IDC_PWD"), nullptr);
        EXPECT_TRUE(OnMainForm(ui));

        ui.LongPressListItem(MainList(ui), 0);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Change password"));
        Fill(ui, L"IDPC_OLD_PWD", L"Stored");
        Fill(ui, L"IDPC_PWD_EDIT", L"newer");
        Fill(ui, L"IDPC_PWD_EDIT2", L"newer");
        ui.PressSoftkey(SOFTKEY_1);
        EXPECT_TRUE(OnMainForm(ui));
        EXPECT_EQ(app.GetPassword(), L"Stored");
        EXPECT_TRUE(ui.MessageBoxes().empty());
        // The hidden screen keeps none of what was typed.
        int hidden = 0;
        for (int i = 0; i < ui.GetFrame().GetControlCount(); ++i) {
            if (auto* form = dynamic_cast<PasswordForm*>(ui.GetFrame().GetControl(i))) {
                ++hidden;
                for (const wchar_t* id : {L"IDPC_OLD_PWD", L"IDPC_PWD_EDIT", L"IDPC_PWD_EDIT2"}) {
                    auto* field = dynamic_cast<EditField*>(form->GetControl(String(id), true));
                    ASSERT_NE(field, nullptr);
                    EXPECT_EQ(field->GetText().Units(), L"") << testing::PrintToString(std::wstring(id));
                }
            }
        }
        EXPECT_EQ(hidden, 1);
    });
}

TEST(PasswordTest, ChangingThenRemovingThePassword) {
    PhoneRoot root;
    WriteSettings(0, L"Stored");
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        ui.LongPressListItem(MainList(ui), 0);
        EXPECT_EQ(ui.MenuItems(),
                  (std::vector<std::wstring>{L"Details", L"Change password", L"Remove password"}));
        ASSERT_TRUE(ui.ChooseMenuItem(L"Change password"));
        Fill(ui, L"IDPC_OLD_PWD", L"stored");
        Fill(ui, L"IDPC_PWD_EDIT", L"ab");
        Fill(ui, L"IDPC_PWD_EDIT2", L"xyz");
        EXPECT_EQ(PressDone(ui), kWrongCurrent);
        Fill(ui, L"IDPC_OLD_PWD", L"Stored");
        EXPECT_EQ(PressDone(ui), kMismatch);
        Fill(ui, L"IDPC_PWD_EDIT", L"newer");
        Fill(ui, L"IDPC_PWD_EDIT2", L"newer");
        PressDone(ui);
        EXPECT_EQ(ui.MessageBoxes().back().title, L"The password is changed");
        EXPECT_EQ(app.GetPassword(), L"newer");

        ui.LongPressListItem(MainList(ui), 0);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Remove password"));
        ui.AnswerNextMessageBox(MSGBOX_RESULT_CLOSE);  // it closes by itself
        ui.Tap(L"IDC_PWD");
        ASSERT_TRUE(ui.TypeText(L"newer"));
        ui.Tap(L"IDC_DONE");
        const testsupport::ShownMessageBox removed = ui.MessageBoxes().back();
        EXPECT_EQ(removed.text, L"Password is removed");
        EXPECT_EQ(removed.style, MSGBOX_STYLE_NONE);
        EXPECT_EQ(removed.timeout, 2500u);
        EXPECT_EQ(app.GetPassword(), L"");

        ui.TapListItem(MainList(ui), 0);
        EXPECT_EQ(OpenedRoot(ui, app), LocalBrowser::ROOT_HOME);
    });
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
    String password;
    EXPECT_NE(reg.GetValue(String(L"General"), String(L"Pwd"), password), Osp::Base::E_SUCCESS);
}

}  // namespace
}  // namespace mainform
