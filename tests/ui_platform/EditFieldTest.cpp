// Edit fields on a scroll panel: tapping one opens the overlay keypad with its command buttons, the
// commands reach the field's listeners, and closing the overlay is reported.

#include <gtest/gtest.h>

#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/ScrollPanel.h"
#include "Recorder.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using testsupport::PhoneKey;
using testsupport::UiDriver;

class PanelRecorder : public Osp::Ui::IScrollPanelEventListener {
public:
    void OnOverlayControlCreated(const Osp::Ui::Control& c) override { Add("created", c); }
    void OnOverlayControlOpened(const Osp::Ui::Control& c) override { Add("opened", c); }
    void OnOverlayControlClosed(const Osp::Ui::Control& c) override { Add("closed", c); }
    void OnOtherControlSelected(const Osp::Ui::Control& c) override { Add("other", c); }
    std::vector<std::string> events;

private:
    void Add(const char* what, const Osp::Ui::Control& c) {
        const std::wstring name = c.GetName().Units();
        events.push_back(std::string(what) + " " + std::string(name.begin(), name.end()));
    }
};

class EditFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* form = new Form;
        ASSERT_EQ(form->Construct(L"IDF_REMOTE_FOLDER"), Osp::Base::E_SUCCESS);
        ui.GetFrame().AddControl(*form);
        ui.GetFrame().SetCurrentForm(*form);
        panel = ui.Find<ScrollPanel>(L"IDN_SCROLLPANEL");
        for (const wchar_t* id : {L"IDC_NBT_NAME", L"IDC_IP_ADDRESS"}) {
            auto* field = ui.Find<EditField>(id);
            field->AddScrollPanelEventListener(panelRecorder);
            field->AddActionEventListener(actions);
            field->SetOverlayKeypadCommandButton(COMMAND_BUTTON_POSITION_LEFT, L"Done", 5101);
            field->SetOverlayKeypadCommandButton(COMMAND_BUTTON_POSITION_RIGHT, L"Cancel", 5102);
        }
    }

    UiDriver ui;
    PanelRecorder panelRecorder;
    Recorder actions;
    ScrollPanel* panel = nullptr;
};

TEST_F(EditFieldTest, TappingAFieldOpensItsKeypadWhoseCommandsReachTheField) {
    ui.Tap(L"IDC_NBT_NAME");
    EXPECT_EQ(panelRecorder.events,
              (std::vector<std::string>{"created IDC_NBT_NAME", "opened IDC_NBT_NAME"}));
    EXPECT_TRUE(ui.IsKeypadOpen());
    EXPECT_EQ(panel->GetOverlayControl(), ui.Find(L"IDC_NBT_NAME"));
    ui.TypeText(L"NAS");
    ui.ConfirmKeypad();
    ui.PressKey(PhoneKey::kEscape);
    EXPECT_EQ(actions.actions, (std::vector<int>{5101, 5102}));
    EXPECT_EQ(ui.TextOf(L"IDC_NBT_NAME"), L"NAS");

    panel->CloseOverlayWindow();
    EXPECT_EQ(panelRecorder.events.back(), "closed IDC_NBT_NAME");
    EXPECT_FALSE(ui.IsKeypadOpen());
    EXPECT_EQ(panel->GetOverlayControl(), nullptr);
}

TEST_F(EditFieldTest, AnotherFieldTakesTheKeypadOverWithoutAClose) {
    ui.Tap(L"IDC_NBT_NAME");
    ui.Tap(L"IDC_IP_ADDRESS");
    EXPECT_EQ(panelRecorder.events,
              (std::vector<std::string>{"created IDC_NBT_NAME", "opened IDC_NBT_NAME",
                                        "created IDC_IP_ADDRESS", "opened IDC_IP_ADDRESS"}));
    // The soft keys are the keypad's while it is open.
    ui.PressKey(PhoneKey::kLeftSoftkey);
    EXPECT_EQ(actions.actions, std::vector<int>{5101});
    // A tap beside the fields is reported with the panel as source.
    ui.Tap(*panel, Osp::Graphics::Point(8, 650));
    EXPECT_EQ(panelRecorder.events.back(), "other IDN_SCROLLPANEL");
}

TEST_F(EditFieldTest, FocusMakesAFieldWhereTypingGoes) {
    auto* name = ui.Find<EditField>(L"IDC_USER_NAME");
    name->SetFocus();
    ui.TypeText(L"guest");
    EXPECT_EQ(name->GetText().Units(), L"guest");
}

TEST_F(EditFieldTest, NumericFieldsRefuseLettersAndLimitsCutText) {
    auto* ip = ui.Find<EditField>(L"IDC_IP_ADDRESS");
    ip->SetInputModeCategory(EDIT_INPUTMODE_NUMERIC | EDIT_INPUTMODE_SYMBOL, true);
    ip->SetInputModeCategory(EDIT_INPUTMODE_ALPHA | EDIT_INPUTMODE_PREDICTIVE, false);
    ui.Tap(*ip);
    ui.TypeText(L"192.168.x");
    EXPECT_EQ(ip->GetText().Units(), L"");
    ui.TypeText(L"10.0.0.1");
    EXPECT_EQ(ip->GetText().Units(), L"10.0.0.1");
    ip->SetLimitLength(4);
    ip->SetText(L"123456");
    EXPECT_EQ(ip->GetText().Units(), L"1234");
}

}  // namespace
