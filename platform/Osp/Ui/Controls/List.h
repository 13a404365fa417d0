#pragma once
// A scrolling list of items. Each item has up to two texts, up to two bitmaps (copied into the list), an
// item identifier chosen by the caller (LIST_ITEM_UNSPECIFIED_ID when none), a check state and an
// enabled state; these belong to the item and move with it when other items are inserted or removed.
//
// Item formats lay an item out in columns: with an image the image is column 1 and the first text
// column 2; without, the first text is column 1 and the second text column 2. Column widths come from
// Construct and SetColumn1Width / SetColumn2Width; what does not fit is cut with "...".
//
// Styles: LIST_STYLE_NORMAL reports a tap as ITEM_SELECTED. LIST_STYLE_MARK toggles the item's check
// mark on a tap (ITEM_CHECKED / ITEM_UNCHECKED). LIST_STYLE_MARK_WITH_DIVIDER has the check mark in its
// own area at the right end of the row: a tap there toggles it, a tap elsewhere reports ITEM_SELECTED.
// Disabled items take no taps and show no check mark. A drag scrolls, a flick glides on; neither, nor a
// long press, counts as a tap. Only the visible rows are drawn, so long lists stay quick.
//
// User-interface thread only. Indices out of range give E_OUT_OF_RANGE, false or -1.

#include <memory>

#include "Osp/Graphics/Bitmap.h"
#include "Osp/Ui/Control.h"
#include "Osp/Ui/IItemEventListener.h"

namespace Osp::Ui::Controls {

enum ListStyle {
    LIST_STYLE_NORMAL,
    LIST_STYLE_MARK,
    LIST_STYLE_MARK_WITH_DIVIDER,
};

enum ListItemFormat {
    LIST_ITEM_SINGLE_TEXT,
    LIST_ITEM_SINGLE_IMAGE_TEXT,
    LIST_ITEM_SINGLE_TEXT_TEXT,
    LIST_ITEM_SINGLE_IMAGE_TEXT_TEXT,
};

inline constexpr int LIST_ITEM_UNSPECIFIED_ID = -1;

class List : public Control {
public:
    List();
    ~List() override;

    // row2Height is accepted for formats with a second row; the formats here have one row.
    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect, ListStyle style, ListItemFormat format,
                                int row1Height, int row2Height, int column1Width, int column2Width);

    void AddItemEventListener(const IItemEventListener& listener);
    void RemoveItemEventListener(const IItemEventListener& listener);

    Osp::Base::result AddItem(const Osp::Base::String* text1, const Osp::Base::String* text2,
                              const Osp::Graphics::Bitmap* bitmap1, const Osp::Graphics::Bitmap* bitmap2,
                              int itemId = LIST_ITEM_UNSPECIFIED_ID);
    // Index may equal the item count (appends).
    Osp::Base::result InsertItemAt(int index, const Osp::Base::String* text1, const Osp::Base::String* text2,
                                   const Osp::Graphics::Bitmap* bitmap1, const Osp::Graphics::Bitmap* bitmap2,
                                   int itemId = LIST_ITEM_UNSPECIFIED_ID);
    // Replaces the texts, bitmaps and identifier of an item; its check and enabled states stay.
    Osp::Base::result SetItemAt(int index, const Osp::Base::String* text1, const Osp::Base::String* text2,
                                const Osp::Graphics::Bitmap* bitmap1, const Osp::Graphics::Bitmap* bitmap2,
                                int itemId = LIST_ITEM_UNSPECIFIED_ID);
    Osp::Base::result RemoveItemAt(int index);
    Osp::Base::result RemoveAllItems();
    int GetItemCount() const;

    int GetItemIdAt(int index) const;
    // The index of the first item with the identifier, or -1.
    int GetItemIndexFromItemId(int itemId) const;
    // The item under the point (list coordinates), or -1.
    int GetItemIndexFromPosition(const Osp::Graphics::Point& position) const;
    int GetItemIndexFromPosition(int x, int y) const;
    Osp::Base::String GetItemText(int index, int textIndex = 0) const;

    Osp::Base::result SetItemChecked(int index, bool check);
    bool IsItemChecked(int index) const;
    Osp::Base::result SetAllItemsChecked(bool check);
    int GetFirstCheckedItemIndex() const;
    int GetNextCheckedItemIndexAfter(int index) const;
    int GetLastCheckedItemIndex() const;

    Osp::Base::result SetItemEnabled(int index, bool enable);
    bool IsItemEnabled(int index) const;

    // Shown in place of the items while there are none.
    void SetTextOfEmptyList(const Osp::Base::String& text);
    Osp::Base::String GetTextOfEmptyList() const;

    // The first and last item that are at least partly visible; -1 when the list is empty.
    int GetTopDrawnItemIndex() const;
    int GetBottomDrawnItemIndex() const;
    void ScrollToTop();
    // Scrolls so that the item is the top one, as far as the list can scroll.
    Osp::Base::result ScrollToTop(int index);
    void ScrollToBottom();

    Osp::Base::result SetColumn1Width(int width);
    Osp::Base::result SetColumn2Width(int width);
    int GetColumn1Width() const;
    int GetColumn2Width() const;

    struct Impl;
    Impl& GetListImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
