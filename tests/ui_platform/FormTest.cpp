// The phone window and its forms: layouts, soft keys, the option key, orientation and form removal.

#include <gtest/gtest.h>

#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/List.h"
#include "Recorder.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using Osp::Graphics::Rectangle;
using testsupport::PhoneKey;
using testsupport::UiDriver;

Form* AddFolderForm(UiDriver& ui, Recorder& recorder) {
    auto* form = new Form;
    EXPECT_EQ(form->Construct(L"IDF_FOLDER_FORM"), Osp::Base::E_SUCCESS);
    form->SetSoftkeyActionId(SOFTKEY_0, 112);
    form->SetSoftkeyActionId(SOFTKEY_1, 101);
    form->SetOptionkeyActionId(103);
    form->AddSoftkeyActionListener(SOFTKEY_0, recorder);
    form->AddSoftkeyActionListener(SOFTKEY_1, recorder);
    form->AddOptionkeyActionListener(recorder);
    form->AddOrientationEventListener(recorder);
    form->SetOrientation(Osp::Ui::ORIENTATION_AUTOMATIC);
    ui.GetFrame().AddControl(*form);
    ui.GetFrame().SetCurrentForm(*form);
    return form;
}

TEST(FormTest, LayoutGivesControlsBarsAndClientArea) {
    UiDriver ui;
    Recorder recorder;
    Form* form = AddFolderForm(ui, recorder);
    auto* list = ui.Find<List>(L"IDC_FOLDERS_LIST");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(form->GetBounds(), Rectangle(0, 0, 480, 800));
    EXPECT_EQ(form->GetClientAreaBounds(), Rectangle(0, 64, 480, 664));
    EXPECT_EQ(list->GetBounds(), Rectangle(0, 0, 480, 664));
    EXPECT_EQ(form->GetSoftkeyText(SOFTKEY_1).Units(), L"Back");
    EXPECT_TRUE(form->HasOptionkey());
    EXPECT_EQ(list->GetTextOfEmptyList().Units(), L"Empty folder");
}

TEST(FormTest, SoftkeysAndOptionKeyReportTheirActionsByTapAndByKeyboard) {
    UiDriver ui;
    Recorder recorder;
    AddFolderForm(ui, recorder);
    ui.PressSoftkey(SOFTKEY_0);
    ui.PressOptionKey();
    ui.PressSoftkey(SOFTKEY_1);
    ui.PressKey(PhoneKey::kLeftSoftkey);
    ui.PressKey(PhoneKey::kRightSoftkey);
    ui.PressKey(PhoneKey::kEscape);
    ui.PressKey(PhoneKey::kOptionKey);
    EXPECT_EQ(recorder.actions, (std::vector<int>{112, 103, 101, 112, 101, 101, 103}));
}

TEST(FormTest, RotationTurnsTheFormAndMovesItsLayoutControls) {
    UiDriver ui;
    Recorder recorder;
    Form* form = AddFolderForm(ui, recorder);
    ui.PressKey(PhoneKey::kRotate);
    EXPECT_EQ(recorder.orientations, std::vector{Osp::Ui::ORIENTATION_STATUS_LANDSCAPE});
    EXPECT_EQ(form->GetOrientationStatus(), Osp::Ui::ORIENTATION_STATUS_LANDSCAPE);
    EXPECT_EQ(form->GetClientAreaBounds(), Rectangle(0, 64, 800, 344));
    EXPECT_EQ(ui.Find(L"IDC_FOLDERS_LIST")->GetBounds(), Rectangle(0, 0, 800, 344));

    // A form made while the phone lies on its side starts in landscape, without a change to report.
    Recorder second;
    Form* next = AddFolderForm(ui, second);
    EXPECT_EQ(next->GetOrientationStatus(), Osp::Ui::ORIENTATION_STATUS_LANDSCAPE);
    EXPECT_TRUE(second.orientations.empty());

    ui.PressKey(PhoneKey::kRotate);
    EXPECT_EQ(second.orientations, std::vector{Osp::Ui::ORIENTATION_STATUS_PORTRAIT});
    EXPECT_EQ(ui.Find(L"IDC_FOLDERS_LIST")->GetBounds(), Rectangle(0, 0, 480, 664));
    // The hidden form catches up when it is shown again.
    ui.GetFrame().SetCurrentForm(*form);
    EXPECT_EQ(recorder.orientations.back(), Osp::Ui::ORIENTATION_STATUS_PORTRAIT);
}

// A form that removes itself from the frame when its right soft key is pressed, as a screen that
// closes does.
class ClosingForm : public Form, public Osp::Ui::IActionEventListener {
public:
    explicit ClosingForm(bool& deleted) : deleted_(deleted) {}
    ~ClosingForm() override { deleted_ = true; }
    void OnActionPerformed(const Osp::Ui::Control&, int) override {
        Osp::Ui::Controls::Frame* frame = static_cast<Osp::Ui::Controls::Frame*>(GetParent());
        frame->RemoveControl(*this);
    }

private:
    bool& deleted_;
};

TEST(FormTest, RemovedFormIsDeletedEvenFromInsideItsOwnSoftkey) {
    UiDriver ui;
    bool deleted = false;
    auto* form = new ClosingForm(deleted);
    ASSERT_EQ(form->Construct(FORM_STYLE_TITLE | FORM_STYLE_SOFTKEY_1), Osp::Base::E_SUCCESS);
    form->AddSoftkeyActionListener(SOFTKEY_1, *form);
    ui.GetFrame().AddControl(*form);
    ui.GetFrame().SetCurrentForm(*form);
    ui.PressSoftkey(SOFTKEY_1);
    EXPECT_TRUE(deleted);
    EXPECT_EQ(ui.GetFrame().GetCurrentForm(), nullptr);
    ui.Pump(20);
}

TEST(FormTest, MissingOrBrokenLayoutsAreRefused) {
    Form missing;
    EXPECT_EQ(missing.Construct(L"IDF_NO_SUCH_FORM"), Osp::Base::E_FILE_NOT_FOUND);
    Form escaping;
    EXPECT_EQ(escaping.Construct(L"../layouts/IDF_MAINFORM"), Osp::Base::E_INVALID_ARG);
}

}  // namespace
