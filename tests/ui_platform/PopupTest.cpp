// Popups from layouts: they show over the form, keep the form's keys and touches away while open,
// report their buttons and check buttons, and stay centred when the phone turns.

#include <gtest/gtest.h>

#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Recorder.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using Osp::Graphics::Rectangle;
using testsupport::PhoneKey;
using testsupport::UiDriver;

class PopupTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* form = new Form;
        ASSERT_EQ(form->Construct(L"IDF_FOLDER_FORM"), Osp::Base::E_SUCCESS);
        form->SetOrientation(Osp::Ui::ORIENTATION_AUTOMATIC);
        form->SetSoftkeyActionId(SOFTKEY_1, 101);
        form->AddSoftkeyActionListener(SOFTKEY_1, formRecorder);
        ui.GetFrame().AddControl(*form);
        ui.GetFrame().SetCurrentForm(*form);
        ASSERT_EQ(popup.Construct(L"IDP_LOGIN"), Osp::Base::E_SUCCESS);
        for (const wchar_t* id : {L"IDC_OK", L"IDC_CANCEL"}) {
            dynamic_cast<Button*>(popup.GetControl(id))->AddActionEventListener(recorder);
        }
        check = dynamic_cast<CheckButton*>(popup.GetControl(L"IDC_REMEMBER_CHECK"));
        check->SetActionId(11, 12);
        check->AddActionEventListener(recorder);
        popup.SetShowState(true);
        popup.Show();
    }

    UiDriver ui;
    Recorder recorder;
    Recorder formRecorder;
    Popup popup;
    CheckButton* check = nullptr;
};

TEST_F(PopupTest, ButtonsAndCheckButtonsReportTheirActions) {
    ui.Tap(L"IDC_REMEMBER_CHECK");
    EXPECT_TRUE(check->IsSelected());
    ui.Tap(L"IDC_REMEMBER_CHECK");
    ui.Tap(L"IDC_OK");
    ui.Tap(L"IDC_CANCEL");
    EXPECT_EQ(recorder.actions, (std::vector<int>{11, 12, 101, 102}));
    // A disabled control reports nothing.
    check->SetEnabled(false);
    ui.Tap(L"IDC_REMEMBER_CHECK");
    EXPECT_EQ(recorder.actions.size(), 4u);
}

TEST_F(PopupTest, FormBelowTakesNothingWhileThePopupShows) {
    ui.PressKey(PhoneKey::kRightSoftkey);
    ui.PressSoftkey(SOFTKEY_1);
    EXPECT_TRUE(formRecorder.actions.empty());
    popup.SetShowState(false);
    EXPECT_EQ(ui.Find(L"IDC_OK"), nullptr);  // the form has no such control; the popup is gone
    ui.PressKey(PhoneKey::kRightSoftkey);
    EXPECT_EQ(formRecorder.actions, std::vector<int>{101});
}

TEST_F(PopupTest, StaysCentredWhenThePhoneTurns) {
    EXPECT_EQ(popup.GetBounds(), Rectangle(20, 204, 440, 392));
    ui.PressKey(PhoneKey::kRotate);
    EXPECT_EQ(popup.GetBounds(), Rectangle(180, 44, 440, 392));
    EXPECT_EQ(popup.GetClientAreaBounds(), Rectangle(0, 52, 440, 340));
}

TEST(PopupDeletionTest, DeletingAShownPopupClosesIt) {
    UiDriver ui;
    auto* popup = new Popup;
    ASSERT_EQ(popup->Construct(true, Osp::Graphics::Dimension(200, 100)), Osp::Base::E_SUCCESS);
    popup->SetShowState(true);
    delete popup;
    ui.PressKey(PhoneKey::kRotate);  // nothing left over reacts to the window's new size
    ui.Pump(10);
}

}  // namespace
