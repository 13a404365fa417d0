#pragma once
// The shares of a server, for the user to pick the one a network folder opens. Picking an item keeps
// its name as the selection and tells the listener the select action; Cancel tells it the cancel action.
// Either way the popup closes first.
//
// User-interface thread only. The listener is not owned and outlives the popup; the popup belongs to
// whoever made it.

#include <set>
#include <string>
#include <vector>

#include "Osp/Ui/Controls/List.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IItemEventListener.h"

class SharesPopup : public Osp::Ui::Controls::Popup,
                    public Osp::Ui::IActionEventListener,
                    public Osp::Ui::IItemEventListener {
public:
    static constexpr int kActionCancel = 1023;

    SharesPopup(Osp::Ui::IActionEventListener* listener, int selectAction, int cancelAction);

    // Builds the popup from its layout with one item per share, in the set's order; false when a control
    // is missing.
    bool Construct(const std::set<std::wstring>& shares);
    void ShowPopup();
    // The share picked last; empty before.
    const std::wstring& GetSelection() const { return selection_; }

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnItemStateChanged(const Osp::Ui::Control& source, int index, int itemId,
                            Osp::Ui::ItemStatus status) override;

private:
    void Close(int action);

    Osp::Ui::IActionEventListener* listener_;
    int selectAction_;
    int cancelAction_;
    std::vector<std::wstring> shares_;  // by item identifier
    std::wstring selection_;
    Osp::Ui::Controls::List* list_ = nullptr;  // a control of the popup
};
