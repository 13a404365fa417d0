#include "Osp/Ui/Controls/ContextMenu.h"

#include "host/ui/ControlImpl.h"
#include "host/ui/MenuModelEdit.h"
#include "host/ui/Notify.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;

struct ContextMenu::Impl {
    host::MenuModel model;
    host::MenuPanel* panel = nullptr;
};

ContextMenu::ContextMenu() : impl_(std::make_unique<Impl>()) {}

ContextMenu::~ContextMenu() {
    host::DisposeMenuPanel(impl_->panel);
}

result ContextMenu::Construct(const Osp::Graphics::Point& anchor, ContextMenuStyle) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    impl_->panel = host::MakeMenuPanel(*this, impl_->model, host::MenuPanel::Placement::kAtAnchor);
    GetControlImpl().Attach(impl_->panel, Osp::Graphics::Rectangle(anchor.x, anchor.y, 0, 0));
    GetControlImpl().shown = false;
    return E_SUCCESS;
}

result ContextMenu::AddItem(const String& text, int actionId) {
    return InsertItemAt(GetItemCount(), text, actionId);
}

result ContextMenu::InsertItemAt(int index, const String& text, int actionId) {
    return host::InsertMenuItem(impl_->model.items, index, text, actionId);
}

result ContextMenu::SetItemAt(int index, const String& text, int actionId) {
    return host::SetMenuItem(impl_->model.items, index, text, actionId);
}

result ContextMenu::RemoveItemAt(int index) {
    return host::RemoveMenuItem(impl_->model.items, index);
}

void ContextMenu::RemoveAllItems() {
    impl_->model.items.clear();
}

int ContextMenu::GetItemCount() const {
    return static_cast<int>(impl_->model.items.size());
}

int ContextMenu::GetItemIndexFromActionId(int actionId) const {
    return host::MenuItemIndexOf(impl_->model.items, actionId);
}

int ContextMenu::GetItemActionIdAt(int index) const {
    return host::MenuItemActionAt(impl_->model.items, index);
}

void ContextMenu::AddActionEventListener(const IActionEventListener& listener) {
    host::AddListener(impl_->model.listeners, listener);
}

void ContextMenu::RemoveActionEventListener(const IActionEventListener& listener) {
    host::RemoveListener(impl_->model.listeners, listener);
}

}  // namespace Osp::Ui::Controls
