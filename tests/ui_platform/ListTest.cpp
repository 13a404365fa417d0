// The list: items keep their identifiers and check states, touches report the right item events, and a
// long list scrolls.

#include <gtest/gtest.h>

#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/List.h"
#include "Recorder.h"
#include "testsupport/UiDriver.h"

namespace {

using namespace Osp::Ui::Controls;
using Osp::Base::String;
using testsupport::UiDriver;

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* form = new Form;
        ASSERT_EQ(form->Construct(L"IDF_FOLDER_FORM"), Osp::Base::E_SUCCESS);
        ui.GetFrame().AddControl(*form);
        ui.GetFrame().SetCurrentForm(*form);
        list = ui.Find<List>(L"IDC_FOLDERS_LIST");
        ASSERT_NE(list, nullptr);
        list->AddItemEventListener(recorder);
        list->AddTouchEventListener(recorder);
    }

    void Fill(int count, int firstId = 0) {
        for (int i = 0; i < count; ++i) {
            const String name(std::to_wstring(firstId + i));
            list->AddItem(&name, nullptr, nullptr, nullptr, firstId + i);
        }
    }

    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (int i = 0; i < list->GetItemCount(); ++i) {
            ids.push_back(list->GetItemIdAt(i));
        }
        return ids;
    }

    std::vector<int> Checked() const {
        std::vector<int> checked;
        for (int i = list->GetFirstCheckedItemIndex(); i >= 0; i = list->GetNextCheckedItemIndexAfter(i)) {
            checked.push_back(i);
        }
        return checked;
    }

    UiDriver ui;
    Recorder recorder;
    List* list = nullptr;
};

TEST_F(ListTest, IdentifiersAndCheckStatesStayWithTheirItems) {
    Fill(5, 10);
    list->SetItemChecked(1, true);
    list->SetItemChecked(3, true);
    list->RemoveItemAt(0);
    const String inserted(L"new");
    list->InsertItemAt(2, &inserted, nullptr, nullptr, nullptr, 99);
    EXPECT_EQ(Ids(), (std::vector<int>{11, 12, 99, 13, 14}));
    EXPECT_EQ(Checked(), (std::vector<int>{0, 3}));

    // Rewriting an item in place (a rename) keeps its check state; the identifier is the new one given.
    const String renamed(L"renamed");
    list->SetItemAt(3, &renamed, nullptr, nullptr, nullptr, 13);
    EXPECT_TRUE(list->IsItemChecked(3));
    EXPECT_EQ(list->GetItemText(3).Units(), L"renamed");
    EXPECT_EQ(list->GetItemIndexFromItemId(99), 2);
    EXPECT_EQ(list->GetLastCheckedItemIndex(), 3);

    // A refill starts from unchecked items with the identifiers given now.
    list->RemoveAllItems();
    Fill(3, 0);
    EXPECT_EQ(Ids(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(list->GetFirstCheckedItemIndex(), -1);
    EXPECT_EQ(list->SetItemChecked(3, true), Osp::Base::E_OUT_OF_RANGE);
    EXPECT_EQ(list->GetItemIdAt(-1), -1);
}

TEST_F(ListTest, TapsSelectItemsOrToggleTheirMarks) {
    Fill(3, 20);
    ui.TapListItem(*list, 1);
    ui.ToggleListItem(*list, 2);
    ui.ToggleListItem(*list, 2);
    EXPECT_EQ(recorder.items, (std::vector<ItemEvent>{{1, 21, Osp::Ui::ITEM_SELECTED},
                                                      {2, 22, Osp::Ui::ITEM_CHECKED},
                                                      {2, 22, Osp::Ui::ITEM_UNCHECKED}}));
    EXPECT_FALSE(list->IsItemChecked(2));
    EXPECT_EQ(recorder.touches, (std::vector<std::string>{"pressed", "released", "pressed", "released",
                                                          "pressed", "released"}));
}

TEST_F(ListTest, DisabledItemsAndTheEmptyAreaReportNoItem) {
    Fill(2);
    list->AddItem(nullptr, nullptr, nullptr, nullptr, -1);
    list->SetItemEnabled(2, false);
    ui.TapListItem(*list, 2);
    ui.ToggleListItem(*list, 2);
    ui.Tap(*list, Osp::Graphics::Point(100, 600));  // below the last item
    EXPECT_TRUE(recorder.items.empty());
    EXPECT_EQ(list->GetItemIndexFromPosition(100, 600), -1);
    EXPECT_EQ(recorder.touches.size(), 6u);  // the touches themselves are reported
}

TEST_F(ListTest, LongPressIsReportedButIsNoTap) {
    Fill(3);
    ui.LongPressListItem(*list, 1);
    EXPECT_EQ(recorder.touches, (std::vector<std::string>{"pressed", "long", "released"}));
    EXPECT_TRUE(recorder.items.empty());
    // The next tap is a tap again.
    ui.TapListItem(*list, 0);
    EXPECT_EQ(recorder.items, (std::vector<ItemEvent>{{0, 0, Osp::Ui::ITEM_SELECTED}}));
}

TEST_F(ListTest, DragScrollsAndFlickGlidesWithoutSelecting) {
    Fill(100);
    ui.Drag(*list, {200, 500}, {200, 212}, 200, 150);  // 288 pixels = 4 rows, then a rest: no glide
    EXPECT_EQ(list->GetTopDrawnItemIndex(), 4);
    ui.Pump(100);
    EXPECT_EQ(list->GetTopDrawnItemIndex(), 4);
    EXPECT_EQ(recorder.touches.back(), "released-flick");

    ui.Drag(*list, {200, 600}, {200, 300}, 60);  // a fast flick
    const int afterLift = list->GetTopDrawnItemIndex();
    ui.Pump(300);
    EXPECT_GT(list->GetTopDrawnItemIndex(), afterLift);
    EXPECT_TRUE(recorder.items.empty());
}

TEST_F(ListTest, LongListScrollsToAnyItemWithinItsEnd) {
    Fill(10000);
    ASSERT_EQ(list->ScrollToTop(5000), Osp::Base::E_SUCCESS);
    EXPECT_EQ(list->GetTopDrawnItemIndex(), 5000);
    EXPECT_EQ(list->GetBottomDrawnItemIndex(), 5009);  // 664 pixels of 72-pixel rows
    list->ScrollToTop(9999);                           // cannot go past the end
    EXPECT_EQ(list->GetBottomDrawnItemIndex(), 9999);
    EXPECT_LT(list->GetTopDrawnItemIndex(), 9999);
    ui.TapListItem(*list, 9999);
    EXPECT_EQ(recorder.items, (std::vector<ItemEvent>{{9999, 9999, Osp::Ui::ITEM_SELECTED}}));
    list->ScrollToTop();
    EXPECT_EQ(list->GetTopDrawnItemIndex(), 0);
}

}  // namespace
