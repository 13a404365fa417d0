#pragma once
// Told when the user taps a list item (ITEM_SELECTED) or its check mark (ITEM_CHECKED or ITEM_UNCHECKED,
// the new state), on the user-interface thread. Disabled items report nothing, and a touch that became a
// long press or a drag reports nothing when it ends.

namespace Osp::Ui {

class Control;

enum ItemStatus {
    ITEM_CHECKED = 0,
    ITEM_UNCHECKED = 1,
    ITEM_SELECTED = 2,
    ITEM_HIGHLIGHTED = 3,
};

class IItemEventListener {
public:
    virtual ~IItemEventListener() = default;
    virtual void OnItemStateChanged(const Control& source, int index, int itemId, ItemStatus status) = 0;
};

}  // namespace Osp::Ui
