#pragma once
// What lies behind Osp::Ui::Controls::List: its items, scroll position and geometry. For platform code.

#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

#include "Osp/Ui/Controls/List.h"

namespace host {
class ListWidget;
}

namespace Osp::Ui::Controls {

struct List::Impl {
    struct Item {
        QString text1;
        QString text2;
        QImage bitmap1;
        QImage bitmap2;
        int id = LIST_ITEM_UNSPECIFIED_ID;
        bool checked = false;
        bool enabled = true;
    };

    bool HasImage() const;
    bool HasSecondText() const;
    bool HasMarks() const { return style != LIST_STYLE_NORMAL; }
    bool IsValid(int index) const { return index >= 0 && index < static_cast<int>(items.size()); }

    int ViewHeight() const;
    int ViewWidth() const;
    int MaxOffset() const;
    // Scrolls to the offset, kept within 0 .. MaxOffset; redraws when it moved.
    void SetOffset(int newOffset);
    // Rows and areas in list coordinates, for the current scroll position.
    QRect RowRect(int index) const;
    // The check-mark area of a row (empty unless the style has marks).
    QRect MarkRect(int index) const;
    int IndexAt(const QPoint& p) const;
    // Tells the item listeners; returns whether the list still exists.
    bool NotifyItem(List& list, int index, ItemStatus status);

    ListStyle style = LIST_STYLE_NORMAL;
    ListItemFormat format = LIST_ITEM_SINGLE_TEXT;
    int rowHeight = 72;
    int column1Width = 0;
    int column2Width = 0;
    std::vector<Item> items;
    QString emptyText;
    int offset = 0;
    std::vector<IItemEventListener*> itemListeners;
    host::ListWidget* widget = nullptr;
};

}  // namespace Osp::Ui::Controls
