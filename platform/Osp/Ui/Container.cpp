#include "Osp/Ui/Container.h"

#include <algorithm>

#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"

namespace Osp::Ui {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_OUT_OF_RANGE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

Container::Container() : impl_(std::make_unique<Impl>()) {}

Container::~Container() {
    RemoveAllControls();
}

result Container::AddControl(const Control& control) {
    Control::Impl& child = control.GetControlImpl();
    Control::Impl& self = GetControlImpl();
    if (!child.IsConstructed() || !self.IsConstructed() || child.parent != nullptr || &control == this) {
        return E_INVALID_ARG;
    }
    auto& mutableChild = const_cast<Control&>(control);
    impl_->children.push_back(&mutableChild);
    child.parent = this;
    const Osp::Graphics::Rectangle& r = child.bounds;
    child.widget->setParent(self.widget->ContentArea());
    child.widget->setGeometry(r.x, r.y, r.width, r.height);
    child.widget->setVisible(child.shown);
    if (auto* container = dynamic_cast<Container*>(&mutableChild)) {
        container->OnInitializing();
    }
    return E_SUCCESS;
}

result Container::RemoveControl(const Control& control) {
    auto& children = impl_->children;
    auto it = std::find(children.begin(), children.end(), &control);
    if (it == children.end()) {
        return E_INVALID_ARG;
    }
    Control* child = *it;
    if (auto* container = dynamic_cast<Container*>(child)) {
        container->OnTerminating();
    }
    // The list is searched again: OnTerminating may have changed it.
    children.erase(std::remove(children.begin(), children.end(), child), children.end());
    child->GetControlImpl().parent = nullptr;
    delete child;
    return E_SUCCESS;
}

result Container::RemoveControl(int index) {
    Control* child = GetControl(index);
    if (child == nullptr) {
        return E_OUT_OF_RANGE;
    }
    return RemoveControl(*child);
}

void Container::RemoveAllControls() {
    while (!impl_->children.empty()) {
        RemoveControl(*impl_->children.back());
    }
}

Control* Container::GetControl(const Osp::Base::String& name, bool recursive) const {
    for (Control* child : impl_->children) {
        if (child->GetControlImpl().name == name) {
            return child;
        }
        if (recursive) {
            if (auto* container = dynamic_cast<Container*>(child)) {
                if (Control* found = container->GetControl(name, true)) {
                    return found;
                }
            }
        }
    }
    return nullptr;
}

Control* Container::GetControl(int index) const {
    if (index < 0 || index >= static_cast<int>(impl_->children.size())) {
        return nullptr;
    }
    return impl_->children[static_cast<size_t>(index)];
}

int Container::GetControlCount() const {
    return static_cast<int>(impl_->children.size());
}

bool Container::IsAncestorOf(const Control& control) const {
    for (Container* p = control.GetParent(); p != nullptr; p = p->GetParent()) {
        if (p == this) {
            return true;
        }
    }
    return false;
}

result Container::OnInitializing() {
    return E_SUCCESS;
}

result Container::OnTerminating() {
    return E_SUCCESS;
}

}  // namespace Osp::Ui
