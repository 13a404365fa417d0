// The full-screen keypad: OK takes the typed text, Cancel leaves the text as it was, and the keypad may
// be deleted by its own listener.

#include <gtest/gtest.h>

#include <memory>

#include "Osp/Ui/Controls/Keypad.h"
#include "Recorder.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/KeypadWidget.h"
#include "host/ui/SystemKeyboard.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using testsupport::PhoneKey;
using testsupport::UiDriver;

class KeypadTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(keypad.Construct(KEYPAD_STYLE_NORMAL, KEYPAD_MODE_ALPHA, 10), Osp::Base::E_SUCCESS);
        keypad.SetText(L"old name");
        keypad.AddTextEventListener(recorder);
        Open();
    }

    void Open() {
        keypad.SetShowState(true);
        keypad.Show();
    }

    UiDriver ui;
    Recorder recorder;
    Keypad keypad;
};

TEST_F(KeypadTest, OkTakesTheTypedTextWithinItsLimit) {
    ASSERT_TRUE(ui.IsKeypadOpen());
    ui.TypeText(L"a much longer name");
    ASSERT_TRUE(ui.ConfirmKeypad());
    EXPECT_FALSE(ui.IsKeypadOpen());
    EXPECT_EQ(keypad.GetText().Units(), L"a much lon");
    EXPECT_EQ(recorder.texts, std::vector<std::string>{"changed"});
}

// Where the system's on-screen keyboard serves, the keypad shows only its field, OK and Cancel; the text
// typed there is taken as before. The own keypad keeps its keys.
TEST(KeypadKeyboardTest, TheSystemKeyboardHidesTheKeysAndTheOwnKeepsThem) {
    const struct {
        host::KeypadChoice choice;
        bool keys;
    } cases[] = {{host::KeypadChoice::kOwn, true}, {host::KeypadChoice::kSystem, false}};
    for (const auto& c : cases) {
        host::SetKeypadChoice(c.choice);
        UiDriver ui;
        Keypad keypad;
        ASSERT_EQ(keypad.Construct(KEYPAD_STYLE_NORMAL, KEYPAD_MODE_ALPHA, 20), Osp::Base::E_SUCCESS);
        keypad.SetShowState(true);
        keypad.Show();
        ui.Pump(0);
        auto* widget = keypad.GetControlImpl().widget;
        ASSERT_NE(dynamic_cast<host::KeypadWidget*>(widget), nullptr);
        EXPECT_EQ(static_cast<host::KeypadWidget*>(widget)->ShowsKeys(), c.keys);
        ui.TypeText(L"typed");
        ASSERT_TRUE(ui.ConfirmKeypad());
        EXPECT_EQ(keypad.GetText().Units(), L"typed");
    }
    host::SetKeypadChoice(host::KeypadChoice::kAuto);
}

TEST_F(KeypadTest, CancelLeavesTheTextAndTheNextOpeningStartsFromIt) {
    ui.TypeText(L"typed");
    ASSERT_TRUE(ui.CancelKeypad());
    EXPECT_EQ(keypad.GetText().Units(), L"old name");
    EXPECT_EQ(recorder.texts, std::vector<std::string>{"canceled"});
    Open();
    ui.PressKey(PhoneKey::kEnter);  // Enter is OK on a desktop
    EXPECT_EQ(keypad.GetText().Units(), L"old name");
    EXPECT_EQ(recorder.texts, (std::vector<std::string>{"canceled", "changed"}));
}

// Deletes the keypad from inside its listener, as a form that makes a new keypad each time does.
class DeletingListener : public Osp::Ui::ITextEventListener {
public:
    void OnTextValueChanged(const Osp::Ui::Control&) override { keypad.reset(); }
    void OnTextValueChangeCanceled(const Osp::Ui::Control&) override { keypad.reset(); }
    std::unique_ptr<Keypad> keypad;
};

TEST(KeypadDeletionTest, KeypadMayBeDeletedByItsListener) {
    UiDriver ui;
    DeletingListener listener;
    listener.keypad = std::make_unique<Keypad>();
    listener.keypad->Construct(KEYPAD_STYLE_NORMAL, KEYPAD_MODE_ALPHA);
    listener.keypad->AddTextEventListener(listener);
    listener.keypad->SetShowState(true);
    ui.TypeText(L"x");
    ui.ConfirmKeypad();
    ui.Pump(10);
    EXPECT_EQ(listener.keypad, nullptr);
    EXPECT_FALSE(ui.IsKeypadOpen());
}

}  // namespace
