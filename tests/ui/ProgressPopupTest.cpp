// The busy popup with and without its Cancel button, and the two user-interface helpers it uses.

#include <gtest/gtest.h>

#include <memory>

#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/List.h"
#include "app/UiUtils.h"
#include "testsupport/UiDriver.h"
#include "ui/ProgressPopup.h"

namespace {

using namespace Osp::Ui::Controls;
using Osp::Graphics::Point;
using Osp::Graphics::Rectangle;
using testsupport::UiDriver;

class Actions : public Osp::Ui::IActionEventListener {
public:
    void OnActionPerformed(const Osp::Ui::Control&, int actionId) override { ids.push_back(actionId); }
    std::vector<int> ids;
};

Animation* FindAnimation(const Popup& popup) {
    for (int i = 0; i < popup.GetControlCount(); ++i) {
        if (auto* animation = dynamic_cast<Animation*>(popup.GetControl(i))) {
            return animation;
        }
    }
    return nullptr;
}

TEST(ProgressPopupTest, CancelButtonSitsAboveTheBottomAndReportsItsAction) {
    UiDriver ui;
    ProgressPopup popup;
    ASSERT_TRUE(popup.Initialize(190, 160, 110));
    Actions actions;
    popup.SetActionEventListener(actions);
    popup.SetupAnimation();
    const int clientHeight = popup.GetClientAreaBounds().height;
    ASSERT_EQ(popup.GetControlCount(), 2);
    auto* cancel = dynamic_cast<Button*>(popup.GetControl(0));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->GetText().Units(), L"Cancel");
    EXPECT_EQ(cancel->GetBounds(), Rectangle(45, clientHeight - 45, 100, 35));
    Animation* animation = FindAnimation(popup);
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->GetBounds(), Rectangle(65, (clientHeight - 105) / 2, 60, 60));
    EXPECT_EQ(animation->GetImageCount(), 8);
    EXPECT_EQ(animation->GetRepeatCount(), 10000);

    popup.SetTitleText(L"Opening...");
    popup.StartAnimation();
    popup.Show(true);
    EXPECT_EQ(animation->GetStatus(), ANIMATION_PLAYING);
    ui.Tap(*cancel);
    EXPECT_EQ(actions.ids, std::vector<int>{110});
    popup.Show(false);
    popup.StopAnimation();
    EXPECT_FALSE(popup.GetShowState());
    EXPECT_EQ(animation->GetStatus(), ANIMATION_STOPPED);
}

TEST(ProgressPopupTest, WithoutCancelTheAnimationIsCentred) {
    UiDriver ui;
    ProgressPopup popup;
    ASSERT_TRUE(popup.Initialize(175, 110, 0));
    popup.SetupAnimation();
    ASSERT_EQ(popup.GetControlCount(), 1);
    const int clientHeight = popup.GetClientAreaBounds().height;
    EXPECT_EQ(FindAnimation(popup)->GetBounds(), Rectangle((175 - 60) / 2, clientHeight / 2 - 30, 60, 60));
}

TEST(UiUtilsTest, AnimationLeavesOutMissingImagesAndNeedsOne) {
    std::unique_ptr<Animation> some(
        CreateAnimation(L"/Res/Progress/%02d.png", 10, 87, Rectangle(0, 0, 28, 28), 3));
    ASSERT_NE(some, nullptr);
    EXPECT_EQ(some->GetImageCount(), 8);  // 08 and 09 do not exist
    EXPECT_EQ(some->GetRepeatCount(), 3);
    EXPECT_EQ(CreateAnimation(L"/Res/Progress/none%02d.png", 8, 87, Rectangle(0, 0, 28, 28), 1), nullptr);
}

TEST(UiUtilsTest, ControlToScreenAddsAncestorsAndTheClientArea) {
    UiDriver ui;
    auto* form = new Form;
    ASSERT_EQ(form->Construct(L"IDF_FOLDER_FORM"), Osp::Base::E_SUCCESS);
    ui.GetFrame().AddControl(*form);
    auto* list = dynamic_cast<List*>(form->GetControl(L"IDC_FOLDERS_LIST"));
    list->SetPosition(5, 7);
    EXPECT_EQ(ControlToScreen(form, *list, Point(10, 20)), Point(15, 91));
    EXPECT_EQ(ControlToScreen(nullptr, *list, Point(10, 20)), Point(15, 27));
}

}  // namespace
