#include "host/ui/MenuModelEdit.h"

#include <algorithm>

#include "host/QtString.h"
#include "host/ui/Overlay.h"

namespace host {

using Osp::Base::E_OUT_OF_RANGE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

result InsertMenuItem(std::vector<MenuItem>& items, int index, const Osp::Base::String& text, int actionId) {
    if (index < 0 || index > static_cast<int>(items.size())) {
        return E_OUT_OF_RANGE;
    }
    items.insert(items.begin() + index, MenuItem{ToQString(text.Units()), actionId, {}});
    return E_SUCCESS;
}

result SetMenuItem(std::vector<MenuItem>& items, int index, const Osp::Base::String& text, int actionId) {
    if (index < 0 || index >= static_cast<int>(items.size())) {
        return E_OUT_OF_RANGE;
    }
    items[static_cast<size_t>(index)].text = ToQString(text.Units());
    items[static_cast<size_t>(index)].actionId = actionId;
    return E_SUCCESS;
}

result RemoveMenuItem(std::vector<MenuItem>& items, int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) {
        return E_OUT_OF_RANGE;
    }
    items.erase(items.begin() + index);
    return E_SUCCESS;
}

int MenuItemIndexOf(const std::vector<MenuItem>& items, int actionId) {
    const auto it = std::find_if(items.begin(), items.end(),
                                 [actionId](const MenuItem& item) { return item.actionId == actionId; });
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

int MenuItemActionAt(const std::vector<MenuItem>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)].actionId
                                                                : -1;
}

MenuPanel* MakeMenuPanel(Osp::Ui::Control& menu, MenuModel& model, MenuPanel::Placement placement) {
    auto* overlay = new Overlay(Overlay::Kind::kMenu, true);
    return new MenuPanel(menu, model, placement, *overlay);
}

void DisposeMenuPanel(MenuPanel* panel) {
    if (panel == nullptr) {
        return;
    }
    auto* overlay = static_cast<Overlay*>(panel->parentWidget());
    overlay->onOutsideTap = nullptr;
    overlay->onKey = nullptr;
    overlay->onResize = nullptr;
    overlay->Close();
    overlay->deleteLater();
}

}  // namespace host
