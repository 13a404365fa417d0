#pragma once
// What lies behind Osp::Ui::Controls::ScrollPanel: the scroll position and the overlay keypad of its
// edit fields. For platform code.

#include <QPointer>
#include <memory>

#include "Osp/Ui/Controls/ScrollPanel.h"
#include "host/ui/CommandBar.h"

namespace host {
class EditCore;
class ScrollPanelWidget;
}  // namespace host

namespace Osp::Ui::Controls {

struct ScrollPanel::Impl {
    ~Impl();

    // Opens the overlay keypad for the field (taking it over from another field when one is open).
    void Open(ScrollPanel& panel, Control& field, host::EditCore& core);
    void Close();
    // The field whose keypad is open, when it still exists.
    Control* Active() const { return activeLife.expired() ? nullptr : active; }
    // Scrolls so that the control is inside the panel.
    void EnsureVisible(const Control& control);

    host::ScrollPanelWidget* widget = nullptr;
    Control* active = nullptr;
    host::EditCore* activeCore = nullptr;
    std::weak_ptr<int> activeLife;
    QPointer<host::CommandBar> bar;
    // Set while the panel deletes its fields: focus that Qt hands from a dying field to the next one opens
    // nothing and tells no listener, since the form's listeners may be gone already.
    bool tearingDown = false;
};

}  // namespace Osp::Ui::Controls
