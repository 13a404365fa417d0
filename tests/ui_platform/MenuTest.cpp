// Option and context menus: choosing items reports their actions, sub-items open under their main
// item, and closing without a choice reports nothing.

#include <gtest/gtest.h>

#include "Osp/Ui/Controls/ContextMenu.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/OptionMenu.h"
#include "Recorder.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using testsupport::PhoneKey;
using testsupport::UiDriver;

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* form = new Form;
        ASSERT_EQ(form->Construct(L"IDF_FOLDER_FORM"), Osp::Base::E_SUCCESS);
        ui.GetFrame().AddControl(*form);
        ui.GetFrame().SetCurrentForm(*form);
        menu.Construct();
        menu.AddItem(L"Select", 111);
        menu.AddSubItem(0, L"Select All", 106);
        menu.AddSubItem(0, L"Deselect All", 107);
        menu.AddItem(L"Refresh", 109);
        menu.AddActionEventListener(recorder);
    }

    void Open() {
        menu.SetShowState(true);
        menu.Show();
    }

    UiDriver ui;
    Recorder recorder;
    OptionMenu menu;
};

TEST_F(MenuTest, MainItemsReportTheirActionsAndSubItemsOpenUnderTheirItem) {
    Open();
    EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Select", L"Refresh"}));
    ASSERT_TRUE(ui.ChooseMenuItem(L"Select"));
    EXPECT_TRUE(recorder.actions.empty());  // a main item with sub-items only opens them
    EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Select", L"Select All", L"Deselect All"}));
    ASSERT_TRUE(ui.ChooseMenuItem(L"Deselect All"));
    EXPECT_FALSE(ui.IsMenuOpen());

    Open();
    ASSERT_TRUE(ui.ChooseMenuItem(L"Refresh"));
    EXPECT_EQ(recorder.actions, (std::vector<int>{107, 109}));
}

TEST_F(MenuTest, EditedItemsShowAsEdited) {
    menu.InsertSubItemAt(0, 2, L"Invert Selection", 108);
    menu.RemoveSubItemAt(0, 0);
    menu.SetItemAt(1, L"Reload", 109);
    EXPECT_EQ(menu.GetSubItemIndexFromActionId(0, 108), 1);
    EXPECT_EQ(menu.GetItemIndexFromActionId(109), 1);
    EXPECT_EQ(menu.InsertSubItemAt(5, 0, L"x", 1), Osp::Base::E_OUT_OF_RANGE);
    Open();
    EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Select", L"Reload"}));
    ui.ChooseMenuItem(L"Select");
    EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Select", L"Deselect All", L"Invert Selection"}));
}

TEST_F(MenuTest, EscapeAndTheOptionKeyCloseWithoutAction) {
    Open();
    ui.ChooseMenuItem(L"Select");
    ui.PressKey(PhoneKey::kEscape);  // back to the main items
    EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Select", L"Refresh"}));
    ui.PressKey(PhoneKey::kEscape);
    EXPECT_FALSE(ui.IsMenuOpen());
    Open();
    ui.PressKey(PhoneKey::kOptionKey);
    EXPECT_FALSE(ui.IsMenuOpen());
    EXPECT_TRUE(recorder.actions.empty());
    EXPECT_FALSE(menu.GetShowState());
}

TEST_F(MenuTest, ContextMenuOpensAtItsPointAndClosesOnATapBesideIt) {
    ContextMenu context;
    context.Construct(Osp::Graphics::Point(100, 300));
    context.AddItem(L"Details", 201);
    context.AddItem(L"Delete", 202);
    context.AddActionEventListener(recorder);
    context.SetShowState(true);
    context.Show();
    EXPECT_EQ(ui.MenuItems(), (std::vector<std::wstring>{L"Details", L"Delete"}));
    // A tap beside the menu closes it.
    ui.Tap(*ui.GetFrame().GetCurrentForm(), Osp::Graphics::Point(20, 20));
    EXPECT_FALSE(ui.IsMenuOpen());

    context.SetPosition(Osp::Graphics::Point(400, 700));  // near the corner: it stays inside the window
    context.SetShowState(true);
    context.Show();
    ASSERT_TRUE(ui.ChooseMenuItem(L"Delete"));
    EXPECT_EQ(recorder.actions, std::vector<int>{202});
}

// A listener that deletes the menu it was called from, as a form that rebuilds its menus does.
class DeletingListener : public Osp::Ui::IActionEventListener {
public:
    void OnActionPerformed(const Osp::Ui::Control&, int actionId) override {
        menu.reset();
        action = actionId;
    }
    std::unique_ptr<ContextMenu> menu;
    int action = 0;
};

TEST_F(MenuTest, MenuMayBeDeletedByItsOwnListener) {
    DeletingListener listener;
    listener.menu = std::make_unique<ContextMenu>();
    listener.menu->Construct(Osp::Graphics::Point(10, 10));
    listener.menu->AddItem(L"Remove", 106);
    listener.menu->AddActionEventListener(listener);
    listener.menu->SetShowState(true);
    ui.ChooseMenuItem(L"Remove");
    ui.Pump(10);
    EXPECT_EQ(listener.action, 106);
    EXPECT_FALSE(ui.IsMenuOpen());
}

}  // namespace
