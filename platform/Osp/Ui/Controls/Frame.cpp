#include "Osp/Ui/Controls/Frame.h"

#include "Osp/App/Application.h"
#include "host/EventLoop.h"
#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/FormImpl.h"
#include "host/ui/FormWidget.h"
#include "host/ui/FrameImpl.h"
#include "host/ui/Overlay.h"
#include "host/ui/ScreenFit.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

namespace {

// A window smaller than this would show nothing usable at any scale.
constexpr int kMinWindowSide = 120;

}  // namespace

void Frame::Impl::ApplyOrientation(Frame& frame) {
    const bool wide = host::fit::IsLandscapeShape(windowSize);
    if (IsLandscape(device) != wide) {
        device = wide ? ORIENTATION_STATUS_LANDSCAPE : ORIENTATION_STATUS_PORTRAIT;
    }
    const OrientationStatus status = current != nullptr ? current->GetFormImpl().StatusFor(device) : device;
    const host::fit::Fit fit = host::fit::Compute(windowSize, IsLandscape(status));
    host::fit::SetScale(fit.scale);
    // The frame's own widget is the window, whose size is the user's: only the bounds follow.
    frame.GetControlImpl().bounds = Osp::Graphics::Rectangle(0, 0, fit.units.width(), fit.units.height());
    const bool changed = current != nullptr && current->GetFormImpl().ApplyStatus(*current, status);
    for (host::Overlay* overlay : window->Overlays()) {
        if (overlay->onResize) {
            overlay->onResize();
        }
    }
    if (changed) {
        current->GetFormImpl().NotifyOrientation(*current);
    }
}

void Frame::Impl::FitWindow(Frame& frame, const QSize& size) {
    windowSize = size;
    ApplyOrientation(frame);
}

Frame::Frame() : impl_(std::make_unique<Impl>()) {
    host::EnsureQtApplication();
    impl_->window = new host::FrameWindow(*this);
    impl_->windowSize = host::DesignSize(impl_->device);
    impl_->window->setMinimumSize(kMinWindowSide, kMinWindowSide);
    impl_->window->resize(impl_->windowSize);
    GetControlImpl().widget = impl_->window;
    GetControlImpl().layerWidget = impl_->window;
    GetControlImpl().bounds =
        Osp::Graphics::Rectangle(0, 0, impl_->windowSize.width(), impl_->windowSize.height());
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
    host::ShowAppWindow(*impl_->window);
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
    // The window turns with the phone; a window the system keeps at its size (full screen) stays as it is,
    // and its shape keeps deciding.
    const bool fixedBySystem = impl_->window->isFullScreen() || impl_->window->isMaximized();
    if (!fixedBySystem && IsLandscape(status) != host::fit::IsLandscapeShape(impl_->windowSize)) {
        impl_->windowSize.transpose();
        impl_->window->resize(impl_->windowSize);
    }
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
