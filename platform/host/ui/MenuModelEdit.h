#pragma once
// Editing the items of a menu model, shared by the option and the context menu.

#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "host/ui/MenuPanel.h"

namespace host {

Osp::Base::result InsertMenuItem(std::vector<MenuItem>& items, int index, const Osp::Base::String& text,
                                 int actionId);
Osp::Base::result SetMenuItem(std::vector<MenuItem>& items, int index, const Osp::Base::String& text,
                              int actionId);
Osp::Base::result RemoveMenuItem(std::vector<MenuItem>& items, int index);
// The index of the first item with the action, or -1.
int MenuItemIndexOf(const std::vector<MenuItem>& items, int actionId);
int MenuItemActionAt(const std::vector<MenuItem>& items, int index);

// The menu's panel inside its own overlay, made for a menu control.
MenuPanel* MakeMenuPanel(Osp::Ui::Control& menu, MenuModel& model, MenuPanel::Placement placement);
// Closes and lets go of a menu's panel and overlay when the menu is deleted.
void DisposeMenuPanel(MenuPanel* panel);

}  // namespace host
