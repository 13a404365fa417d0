// The edit-form base: Done keeps a valid text, Cancel and failed validations put the old text back.

#include <gtest/gtest.h>

#include "testsupport/UiDriver.h"
#include "ui/OkFormBase.h"

namespace {

using Osp::Ui::Controls::EditField;
using testsupport::UiDriver;

// The network-folder screen with one rule: the address may not read "bad".
class AddressForm : public OkFormBase {
public:
    bool Initialize() {
        if (!OkFormBase::Initialize(L"IDF_REMOTE_FOLDER", L"IDN_SCROLLPANEL")) {
            return false;
        }
        name = GetEditField(L"IDC_NBT_NAME");
        address = GetEditField(L"IDC_IP_ADDRESS");
        return name != nullptr && address != nullptr;
    }
    bool ValidateControl(const Osp::Ui::Control* control) override {
        return control != address || address->GetText().Units() != L"bad";
    }
    EditField* name = nullptr;
    EditField* address = nullptr;
};

class OkFormBaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = new AddressForm;
        ASSERT_TRUE(form->Initialize());
        ui.GetFrame().AddControl(*form);
        ui.GetFrame().SetCurrentForm(*form);
        form->name->SetText(L"NAS");
        form->address->SetText(L"10.0.0.1");
    }

    UiDriver ui;
    AddressForm* form = nullptr;
};

TEST_F(OkFormBaseTest, FieldsGetDoneAndCancel) {
    EXPECT_EQ(form->name->GetOverlayKeypadCommandButtonText(Osp::Ui::Controls::COMMAND_BUTTON_POSITION_LEFT)
                  .Units(),
              L"Done");
    EXPECT_EQ(
        form->name->GetOverlayKeypadCommandButtonActionId(Osp::Ui::Controls::COMMAND_BUTTON_POSITION_RIGHT),
        OkFormBase::kActionCancel);
}

TEST_F(OkFormBaseTest, DoneKeepsTheTextAndCancelRestoresIt) {
    ui.Tap(*form->name);
    ui.TypeText(L"SERVER");
    ui.ConfirmKeypad();
    EXPECT_FALSE(ui.IsKeypadOpen());
    EXPECT_EQ(form->name->GetText().Units(), L"SERVER");

    ui.Tap(*form->name);
    ui.TypeText(L"typo");
    ui.CancelKeypad();
    EXPECT_FALSE(ui.IsKeypadOpen());
    EXPECT_EQ(form->name->GetText().Units(), L"SERVER");
}

TEST_F(OkFormBaseTest, InvalidTextKeepsTheKeypadOpenAndIsUndoneWhenLeft) {
    ui.Tap(*form->address);
    ui.TypeText(L"bad");
    ui.ConfirmKeypad();
    EXPECT_TRUE(ui.IsKeypadOpen());
    EXPECT_EQ(form->address->GetText().Units(), L"bad");
    // Moving on to another field puts the address back as it was.
    ui.Tap(*form->name);
    EXPECT_EQ(form->address->GetText().Units(), L"10.0.0.1");
    ui.CancelKeypad();
    EXPECT_EQ(form->name->GetText().Units(), L"NAS");
}

}  // namespace
