// Message boxes are modal: ShowAndWait returns the button pressed, or closes by itself after its
// time-out; while one shows, the form's soft keys do nothing.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>

#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/MessageBox.h"
#include "Recorder.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using testsupport::UiDriver;

int Show(const wchar_t* title, const wchar_t* text, MessageBoxStyle style, unsigned long timeout) {
    MessageBox box;
    EXPECT_EQ(box.Construct(title, text, style, timeout), Osp::Base::E_SUCCESS);
    int result = -1;
    EXPECT_EQ(box.ShowAndWait(result), Osp::Base::E_SUCCESS);
    return result;
}

TEST(MessageBoxTest, ReturnsThePlannedAnswersInOrderAndRecordsEachBox) {
    UiDriver ui;
    ui.AnswerNextMessageBox(MSGBOX_RESULT_YES);
    ui.AnswerNextMessageBox(MSGBOX_RESULT_NO);
    EXPECT_EQ(Show(L"", L"Exit Corvane?", MSGBOX_STYLE_YESNO, 0), MSGBOX_RESULT_YES);
    EXPECT_EQ(Show(L"Rename", L"Do you want to change it?", MSGBOX_STYLE_YESNO, 0), MSGBOX_RESULT_NO);
    const auto boxes = ui.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"Exit Corvane?");
    EXPECT_EQ(boxes[1].title, L"Rename");
    EXPECT_EQ(boxes[1].result, MSGBOX_RESULT_NO);
    EXPECT_EQ(ui.PendingAnswers(), 0u);
}

TEST(MessageBoxTest, ClosesItselfAfterItsTimeOut) {
    UiDriver ui;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Show(L"", L"Password is removed", MSGBOX_STYLE_NONE, 300), MSGBOX_RESULT_CLOSE);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    // Closed: nothing lies over the screen any more.
    EXPECT_FALSE(ui.IsMenuOpen());
    EXPECT_EQ(ui.Find(L"IDC_ANYTHING"), nullptr);
}

TEST(MessageBoxTest, KeysGoToTheBoxNotToTheFormBelow) {
    UiDriver ui;
    auto* form = new Form;
    form->Construct(FORM_STYLE_SOFTKEY_0 | FORM_STYLE_SOFTKEY_1);
    form->SetSoftkeyActionId(SOFTKEY_1, 7);
    Recorder recorder;
    form->AddSoftkeyActionListener(SOFTKEY_1, recorder);
    ui.GetFrame().AddControl(*form);
    ui.GetFrame().SetCurrentForm(*form);

    MessageBox box;
    box.Construct(L"", L"Delete the file?", MSGBOX_STYLE_YESNO, 0);
    int result = -1;
    // The keys come while the box waits: F2 is the box's last button (No), not the form's soft key.
    QMetaObject::invokeMethod(
        qApp, [&ui] { ui.PressKey(testsupport::PhoneKey::kRightSoftkey); }, Qt::QueuedConnection);
    box.ShowAndWait(result);
    EXPECT_EQ(result, MSGBOX_RESULT_NO);
    EXPECT_TRUE(recorder.actions.empty());
    ui.PressKey(testsupport::PhoneKey::kRightSoftkey);
    EXPECT_EQ(recorder.actions, std::vector<int>{7});
}

}  // namespace
