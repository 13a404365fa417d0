#pragma once
// The menu of the option key: a list of main items rising above the soft-key bar. A main item either
// reports its action identifier or, when it has sub-items, opens them (its own identifier is then not
// reported). Choosing an item closes the menu before its action is reported to the action listeners.
// SetShowState(true) opens the menu; a tap beside it, Esc or the option key closes it. The menu belongs
// to whoever made it. User-interface thread only.

#include <memory>

#include "Osp/Ui/Control.h"
#include "Osp/Ui/IActionEventListener.h"

namespace Osp::Ui::Controls {

class OptionMenu : public Control {
public:
    OptionMenu();
    ~OptionMenu() override;

    Osp::Base::result Construct();

    Osp::Base::result AddItem(const Osp::Base::String& text, int actionId);
    Osp::Base::result InsertItemAt(int mainIndex, const Osp::Base::String& text, int actionId);
    Osp::Base::result SetItemAt(int mainIndex, const Osp::Base::String& text, int actionId);
    Osp::Base::result RemoveItemAt(int mainIndex);
    void RemoveAllItems();
    int GetItemCount() const;
    int GetItemIndexFromActionId(int actionId) const;
    int GetItemActionIdAt(int mainIndex) const;

    Osp::Base::result AddSubItem(int mainIndex, const Osp::Base::String& text, int actionId);
    Osp::Base::result InsertSubItemAt(int mainIndex, int subIndex, const Osp::Base::String& text,
                                      int actionId);
    Osp::Base::result SetSubItemAt(int mainIndex, int subIndex, const Osp::Base::String& text, int actionId);
    Osp::Base::result RemoveSubItemAt(int mainIndex, int subIndex);
    Osp::Base::result RemoveAllSubItems(int mainIndex);
    int GetSubItemCount(int mainIndex) const;
    // The index of the sub-item with the action among the sub-items of mainIndex, or -1.
    int GetSubItemIndexFromActionId(int mainIndex, int actionId) const;
    int GetSubItemActionIdAt(int mainIndex, int subIndex) const;

    void AddActionEventListener(const IActionEventListener& listener);
    void RemoveActionEventListener(const IActionEventListener& listener);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
