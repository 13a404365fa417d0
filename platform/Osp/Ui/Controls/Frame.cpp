#include "Osp/Ui/Controls/Frame.h"

#include "Osp/App/Application.h"
#include "host/EventLoop.h"
#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/FormImpl.h"
#include "host/ui/FormWidget.h"
#include "host/ui/FrameImpl.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

void Frame::Impl::ApplyOrientation(Frame& frame) {
    OrientationStatus status = device;
    bool changed = false;
    if (current != nullptr) {
        Form::Impl& form = current->GetFormImpl();
        status = form.StatusFor(device);
        changed = form.ApplyStatus(*current, status);
    }
    const QSize size = host::ScreenSize(status);
    window->setFixedSize(size);
    frame.SetBounds(0, 0, size.width(), size.height());
    if (changed) {
        current->GetFormImpl().NotifyOrientation(*current);
    }
}

Frame::Frame() : impl_(std::make_unique<Impl>()) {
    host::EnsureQtApplication();
    impl_->window = new host::FrameWindow(*this);
    const QSize size = host::ScreenSize(impl_->device);
    GetControlImpl().Attach(impl_->window, Osp::Graphics::Rectangle(0, 0, size.width(), size.height()));
    impl_->window->setFixedSize(size);
}

Frame::~Frame() {
    RemoveAllControls();
}

result Frame::AddControl(const Control& control) {
    const auto* form = dynamic_cast<const Form*>(&control);
    if (form == nullptr || !control.GetControlImpl().IsConstructed() || control.GetParent() != nullptr) {
        return E_INVALID_ARG;
    }
    auto& mutableForm = const_cast<Form&>(*form);
    Form::Impl& formImpl = mutableForm.GetFormImpl();
    formImpl.ApplyStatus(mutableForm, formImpl.StatusFor(impl_->device));
    // Hidden until it is made current; forms stay below popups and menus.
    formImpl.widget->hide();
    formImpl.widget->setParent(impl_->window);
    formImpl.widget->lower();
    control.GetControlImpl().shown = false;
    const result r = Container::AddControl(control);
    if (impl_->current != form) {
        formImpl.widget->hide();
    }
    return r;
}

result Frame::RemoveControl(const Control& control) {
    if (impl_->current == &control) {
        impl_->current = nullptr;
    }
    return Container::RemoveControl(control);
}

result Frame::SetCurrentForm(const Form& form) {
    if (form.GetParent() != this) {
        return E_INVALID_ARG;
    }
    auto& next = const_cast<Form&>(form);
    if (impl_->current != nullptr && impl_->current != &next) {
        impl_->current->GetFormImpl().widget->hide();
    }
    impl_->current = &next;
    next.GetControlImpl().shown = true;
    next.GetFormImpl().widget->show();
    next.GetFormImpl().widget->lower();
    impl_->ApplyOrientation(*this);
    return E_SUCCESS;
}

Form* Frame::GetCurrentForm() const {
    return impl_->current;
}

result Frame::Show() {
    impl_->window->show();
    return E_SUCCESS;
}

result Frame::SetTitle(const Osp::Base::String& title) {
    impl_->window->setWindowTitle(host::ToQString(title.Units()));
    return E_SUCCESS;
}

OrientationStatus Frame::GetOrientationStatus() const {
    return impl_->device;
}

void Frame::SetDeviceOrientation(OrientationStatus status) {
    impl_->device = status;
    impl_->ApplyOrientation(*this);
}

}  // namespace Osp::Ui::Controls

namespace host {

Osp::Ui::Controls::Frame& AppFrame() {
    static auto* frame = new Osp::Ui::Controls::Frame;  // lives as long as the process
    return *frame;
}

FrameWindow& AppWindow() {
    return *AppFrame().GetFrameImpl().window;
}

}  // namespace host

namespace Osp::App {

Osp::Ui::Controls::Frame* Application::GetAppFrame() const {
    return &host::AppFrame();
}

}  // namespace Osp::App
