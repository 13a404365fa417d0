// The private-folder password: the checks of a new password in their order, and setting, changing and
// removing it from the main list, with the questions and messages the user sees on the way.

#include <gtest/gtest.h>

#include <filesystem>

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
    constexpr PrivatePassword::TCheck kRight = PrivatePassword::MATCH;
    constexpr PrivatePassword::TCheck kWrong = PrivatePassword::MISMATCH;
    struct Case {
        PasswordForm::TMode mode;
        PrivatePassword::TCheck current;
        std::wstring first;
        std::wstring second;
        std::wstring error;
    };
    const std::wstring thirty(30, L'x');
    const std::wstring thirtyOne(31, L'x');
    const Case cases[] = {
        {PasswordForm::SET, kRight, L"abc", L"abc", L""},
        {PasswordForm::SET, kRight, thirty, thirty, L""},
        {PasswordForm::SET, kRight, L"ab", L"ab", kTooShort},
        {PasswordForm::SET, kRight, thirtyOne, thirtyOne, kTooLong},
        {PasswordForm::SET, kRight, L"", L"", kTooShort},
        // A mismatch comes before the length, also for a password that is too short.
        {PasswordForm::SET, kRight, L"ab", L"abc", kMismatch},
        // Letter case counts.
        {PasswordForm::SET, kRight, L"Secret", L"secret", kMismatch},
        // The current password matters only when changing.
        {PasswordForm::SET, kWrong, L"abc", L"abc", L""},
        {PasswordForm::CHANGE, kRight, L"new", L"new", L""},
        // A wrong current password comes before everything else, and one that cannot be checked too.
        {PasswordForm::CHANGE, kWrong, L"ab", L"xyz", kWrongCurrent},
        {PasswordForm::CHANGE, PrivatePassword::UNREADABLE, L"new", L"new",
         PasswordPopup::kUnreadablePassword},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PasswordForm::CheckPasswords(c.mode, c.current, c.first, c.second), c.error)
            << "mode " << c.mode << ", current " << c.current << ", new " << c.first.size() << " and "
            << c.second.size() << " characters";
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

// The files below the data root that hold the text, in UTF-8 or in UTF-16 (either byte order).
std::vector<std::string> FilesHolding(const PhoneRoot& root, const std::wstring& text) {
    std::string utf8;
    std::string le;
    std::string be;
    for (wchar_t c : text) {
        utf8 += static_cast<char>(c);  // the tests' passwords are ASCII
        le += {static_cast<char>(c), '\0'};
        be += {'\0', static_cast<char>(c)};
    }
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root.Host(""))) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string relative = std::filesystem::relative(entry.path(), root.Host("")).string();
        const std::string bytes = root.Read(relative);
        for (const std::string& form : {utf8, le, be}) {
            if (bytes.find(form) != std::string::npos) {
                files.push_back(relative);
                break;
            }
        }
    }
    return files;
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
        Fill(ui, L"IDPC_PWD_EDIT", L"Secret12");
        Fill(ui, L"IDPC_PWD_EDIT2", L"Secret12");
        EXPECT_EQ(PressDone(ui), L"Please memorize the new password. Please note that it is case sensitive.");
        EXPECT_EQ(ui.MessageBoxes().back().title, L"The password is set");
        EXPECT_TRUE(OnMainForm(ui));
        EXPECT_EQ(app.CheckPassword(L"Secret12"), PrivatePassword::MATCH);
    });
    // The next run asks for it, refuses it in the wrong case and opens with the right one.
    RunOnPhone([](UiDriver& ui, Corvane& app) {
        ui.TapListItem(MainList(ui), 0);
        ASSERT_NE(ui.Find(L"IDC_PWD"), nullptr);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        EXPECT_FALSE(OpenWithPassword(ui, app, L"secret12"));
        EXPECT_EQ(ui.MessageBoxes().back().text, L"Incorrect password");
        ASSERT_NE(ui.Find(L"IDC_PWD"), nullptr);  // the popup stays for another try
        EXPECT_TRUE(OpenWithPassword(ui, app, L"Secret12"));
        // Entered once, it is not asked again during the run.
        app.SwitchToForm(app.GetMainForm());
        ui.TapListItem(MainList(ui), 0);
        EXPECT_EQ(OpenedRoot(ui, app), LocalBrowser::ROOT_HOME);
    });
    EXPECT_EQ(FilesHolding(root, L"Secret12"), std::vector<std::string>{});
    EXPECT_NE(root.Read("Home/RF.reg").find("PwdHash=s:pbkdf2-sha256$"), std::string::npos);
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
        EXPECT_EQ(app.CheckPassword(L"Stored"), PrivatePassword::MATCH);
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
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
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
        EXPECT_EQ(app.CheckPassword(L"newer"), PrivatePassword::MATCH);
        EXPECT_EQ(app.CheckPassword(L"Stored"), PrivatePassword::MISMATCH);
        // Neither the older file's plain password nor the new one is left anywhere.
        EXPECT_EQ(FilesHolding(root, L"Stored"), std::vector<std::string>{});
        EXPECT_EQ(FilesHolding(root, L"newer"), std::vector<std::string>{});

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
        EXPECT_FALSE(app.HasPassword());

        ui.TapListItem(MainList(ui), 0);
        EXPECT_EQ(OpenedRoot(ui, app), LocalBrowser::ROOT_HOME);
    });
    Osp::Io::Registry reg;
    ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
    String password;
    EXPECT_NE(reg.GetValue(String(L"General"), String(L"Pwd"), password), Osp::Base::E_SUCCESS);
}

// An older settings file holds the password itself: it still guards the private files, and the first
// right answer replaces it by its hash.
TEST(PasswordTest, APlainPasswordIsHashedAtItsFirstMatch) {
    PhoneRoot root;
    WriteSettings(0, L"Stored");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        ui.TapListItem(MainList(ui), 0);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        EXPECT_FALSE(OpenWithPassword(ui, app, L"stored"));
        EXPECT_NE(root.Read("Home/RF.reg").find("Pwd=s:Stored"), std::string::npos);
        EXPECT_TRUE(OpenWithPassword(ui, app, L"Stored"));
    });
    const std::string settings = root.Read("Home/RF.reg");
    EXPECT_EQ(settings.find("Pwd="), std::string::npos) << settings;
    EXPECT_NE(settings.find("PwdHash=s:pbkdf2-sha256$"), std::string::npos) << settings;
    EXPECT_EQ(FilesHolding(root, L"Stored"), std::vector<std::string>{});
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        ui.TapListItem(MainList(ui), 0);
        EXPECT_TRUE(OpenWithPassword(ui, app, L"Stored"));
    });
}

// A stored hash that cannot be read keeps the private files locked: the popup still asks, says why no
// answer is taken, and neither opening, changing nor removing goes past it.
TEST(PasswordTest, ADamagedHashNeverOpensThePrivateFiles) {
    PhoneRoot root;
    WriteSettings(0, L"Stored");
    {
        Osp::Io::Registry reg;
        ASSERT_EQ(reg.Construct(String(L"/Home/RF.reg"), false), Osp::Base::E_SUCCESS);
        reg.AddValue(String(L"General"), String(L"PwdHash"), String(L"pbkdf2-sha256$600000$00$00"));
        ASSERT_EQ(reg.Flush(), Osp::Base::E_SUCCESS);
    }
    const std::string settings = root.Read("Home/RF.reg");
    RunOnPhone([&](UiDriver& ui, Corvane& app) {
        ui.TapListItem(MainList(ui), 0);
        ASSERT_NE(ui.Find(L"IDC_PWD"), nullptr);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        EXPECT_FALSE(OpenWithPassword(ui, app, L"Stored"));
        EXPECT_EQ(ui.MessageBoxes().back().text, PasswordPopup::kUnreadablePassword);
        ui.Tap(L"IDC_CANCEL");

        ui.LongPressListItem(MainList(ui), 0);
        ui.AnswerNextMessageBox(MSGBOX_RESULT_OK);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Remove password"));
        EXPECT_FALSE(OpenWithPassword(ui, app, L"Stored"));
        EXPECT_EQ(ui.MessageBoxes().back().text, PasswordPopup::kUnreadablePassword);
        ui.Tap(L"IDC_CANCEL");

        ui.LongPressListItem(MainList(ui), 0);
        ASSERT_TRUE(ui.ChooseMenuItem(L"Change password"));
        Fill(ui, L"IDPC_OLD_PWD", L"Stored");
        Fill(ui, L"IDPC_PWD_EDIT", L"newer");
        Fill(ui, L"IDPC_PWD_EDIT2", L"newer");
        EXPECT_EQ(PressDone(ui), PasswordPopup::kUnreadablePassword);
        EXPECT_TRUE(app.HasPassword());
        EXPECT_FALSE(app.IsPasswordEntered());
    });
    EXPECT_EQ(root.Read("Home/RF.reg"), settings);
}

// The popup that checked a password stays built, hidden, with its owner; it must not keep the text.
TEST(PasswordTest, ACheckedPasswordDoesNotStayInThePopup) {
    struct Listener : Osp::Ui::IActionEventListener {
        void OnActionPerformed(const Osp::Ui::Control&, int actionId) override {
            actions.push_back(actionId);
        }
        std::vector<int> actions;
    };
    PhoneRoot root;
    WriteSettings(0, L"Stored");
    RunOnPhone([](UiDriver& ui, Corvane&) {
        Listener listener;
        auto popup = std::make_unique<PasswordPopup>(&listener, 1, 2, PasswordPopup::CHECK);
        ASSERT_TRUE(popup->Construct());
        popup->ShowPopup();
        ui.Tap(L"IDC_PWD");
        ASSERT_TRUE(ui.TypeText(L"Stored"));
        ui.Tap(L"IDC_DONE");
        EXPECT_EQ(listener.actions, std::vector<int>{1});
        auto* field = dynamic_cast<EditField*>(popup->GetControl(String(L"IDC_PWD"), true));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->GetText().Units(), L"");
    });
}

}  // namespace
}  // namespace mainform
