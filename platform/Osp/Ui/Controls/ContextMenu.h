#pragma once
// A menu that opens at a point of the window (its position, in window coordinates: see ControlToScreen
// in the system's helpers), below and to the right of it when there is room. Choosing an item closes
// the menu before its action identifier is reported to the action listeners. SetShowState(true) opens
// it; a tap beside it or Esc closes it. The menu belongs to whoever made it. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/IActionEventListener.h"

namespace Osp::Ui::Controls {

enum ContextMenuStyle {
    CONTEXT_MENU_STYLE_LIST,
    CONTEXT_MENU_STYLE_GRID,
};

class ContextMenu : public Control {
public:
    ContextMenu();
    ~ContextMenu() override;

    // The grid style is drawn as a list.
    Osp::Base::result Construct(const Osp::Graphics::Point& anchor,
                                ContextMenuStyle style = CONTEXT_MENU_STYLE_LIST);

    Osp::Base::result AddItem(const Osp::Base::String& text, int actionId);
    Osp::Base::result InsertItemAt(int index, const Osp::Base::String& text, int actionId);
    Osp::Base::result SetItemAt(int index, const Osp::Base::String& text, int actionId);
    Osp::Base::result RemoveItemAt(int index);
    void RemoveAllItems();
    int GetItemCount() const;
    int GetItemIndexFromActionId(int actionId) const;
    int GetItemActionIdAt(int index) const;

    void AddActionEventListener(const IActionEventListener& listener);
    void RemoveActionEventListener(const IActionEventListener& listener);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
