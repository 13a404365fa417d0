#include "Osp/Ui/Controls/OptionMenu.h"

#include "host/ui/ControlImpl.h"
#include "host/ui/MenuModelEdit.h"
#include "host/ui/Notify.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_OUT_OF_RANGE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;

struct OptionMenu::Impl {
    std::vector<host::MenuItem>* SubItems(int mainIndex) {
        if (mainIndex < 0 || mainIndex >= static_cast<int>(model.items.size())) {
            return nullptr;
        }
        return &model.items[static_cast<size_t>(mainIndex)].subItems;
    }

    host::MenuModel model;
    host::MenuPanel* panel = nullptr;
};

OptionMenu::OptionMenu() : impl_(std::make_unique<Impl>()) {}

OptionMenu::~OptionMenu() {
    host::DisposeMenuPanel(impl_->panel);
}

result OptionMenu::Construct() {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    impl_->panel = host::MakeMenuPanel(*this, impl_->model, host::MenuPanel::Placement::kAboveSoftkeys);
    GetControlImpl().Attach(impl_->panel, Osp::Graphics::Rectangle());
    GetControlImpl().shown = false;
    return E_SUCCESS;
}

result OptionMenu::AddItem(const String& text, int actionId) {
    return InsertItemAt(GetItemCount(), text, actionId);
}

result OptionMenu::InsertItemAt(int mainIndex, const String& text, int actionId) {
    return host::InsertMenuItem(impl_->model.items, mainIndex, text, actionId);
}

result OptionMenu::SetItemAt(int mainIndex, const String& text, int actionId) {
    return host::SetMenuItem(impl_->model.items, mainIndex, text, actionId);
}

result OptionMenu::RemoveItemAt(int mainIndex) {
    return host::RemoveMenuItem(impl_->model.items, mainIndex);
}

void OptionMenu::RemoveAllItems() {
    impl_->model.items.clear();
}

int OptionMenu::GetItemCount() const {
    return static_cast<int>(impl_->model.items.size());
}

int OptionMenu::GetItemIndexFromActionId(int actionId) const {
    return host::MenuItemIndexOf(impl_->model.items, actionId);
}

int OptionMenu::GetItemActionIdAt(int mainIndex) const {
    return host::MenuItemActionAt(impl_->model.items, mainIndex);
}

result OptionMenu::AddSubItem(int mainIndex, const String& text, int actionId) {
    return InsertSubItemAt(mainIndex, GetSubItemCount(mainIndex), text, actionId);
}

result OptionMenu::InsertSubItemAt(int mainIndex, int subIndex, const String& text, int actionId) {
    auto* sub = impl_->SubItems(mainIndex);
    return sub == nullptr ? E_OUT_OF_RANGE : host::InsertMenuItem(*sub, subIndex, text, actionId);
}

result OptionMenu::SetSubItemAt(int mainIndex, int subIndex, const String& text, int actionId) {
    auto* sub = impl_->SubItems(mainIndex);
    return sub == nullptr ? E_OUT_OF_RANGE : host::SetMenuItem(*sub, subIndex, text, actionId);
}

result OptionMenu::RemoveSubItemAt(int mainIndex, int subIndex) {
    auto* sub = impl_->SubItems(mainIndex);
    return sub == nullptr ? E_OUT_OF_RANGE : host::RemoveMenuItem(*sub, subIndex);
}

result OptionMenu::RemoveAllSubItems(int mainIndex) {
    auto* sub = impl_->SubItems(mainIndex);
    if (sub == nullptr) {
        return E_OUT_OF_RANGE;
    }
    sub->clear();
    return E_SUCCESS;
}

int OptionMenu::GetSubItemCount(int mainIndex) const {
    auto* sub = impl_->SubItems(mainIndex);
    return sub == nullptr ? -1 : static_cast<int>(sub->size());
}

int OptionMenu::GetSubItemIndexFromActionId(int mainIndex, int actionId) const {
    auto* sub = impl_->SubItems(mainIndex);
    return sub == nullptr ? -1 : host::MenuItemIndexOf(*sub, actionId);
}

int OptionMenu::GetSubItemActionIdAt(int mainIndex, int subIndex) const {
    auto* sub = impl_->SubItems(mainIndex);
    return sub == nullptr ? -1 : host::MenuItemActionAt(*sub, subIndex);
}

void OptionMenu::AddActionEventListener(const IActionEventListener& listener) {
    host::AddListener(impl_->model.listeners, listener);
}

void OptionMenu::RemoveActionEventListener(const IActionEventListener& listener) {
    host::RemoveListener(impl_->model.listeners, listener);
}

}  // namespace Osp::Ui::Controls
