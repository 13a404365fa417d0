#include "Osp/Ui/Control.h"

#include <QPointer>

#include "host/GraphicsHost.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/Notify.h"
#include "host/ui/ScreenFit.h"

namespace Osp::Ui {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Graphics::Rectangle;

void Control::Impl::Attach(host::ControlWidget* newWidget, const Rectangle& rect) {
    widget = newWidget;
    layerWidget = newWidget;
    bounds = rect;
    widget->setGeometry(host::fit::ToPixels(QRect(rect.x, rect.y, rect.width, rect.height)));
}

Control::Control() : impl_(std::make_unique<Impl>(*this)) {}

Control::~Control() {
    impl_->life.reset();
    if (impl_->widget != nullptr) {
        impl_->widget->ReleaseOwner();
    }
    if (impl_->layerWidget != nullptr && impl_->layerWidget != impl_->widget) {
        impl_->layerWidget->ReleaseOwner();
    }
}

result Control::SetBounds(const Rectangle& rect) {
    if (rect.width < 0 || rect.height < 0) {
        return E_INVALID_ARG;
    }
    impl_->bounds = rect;
    if (impl_->widget != nullptr) {
        impl_->widget->setGeometry(host::fit::ToPixels(QRect(rect.x, rect.y, rect.width, rect.height)));
    }
    return E_SUCCESS;
}

result Control::SetBounds(int x, int y, int width, int height) {
    return SetBounds(Rectangle(x, y, width, height));
}

Rectangle Control::GetBounds() const {
    return impl_->bounds;
}

result Control::SetPosition(const Osp::Graphics::Point& position) {
    return SetPosition(position.x, position.y);
}

result Control::SetPosition(int x, int y) {
    Rectangle r = impl_->bounds;
    r.SetPosition(x, y);
    return SetBounds(r);
}

Osp::Graphics::Point Control::GetPosition() const {
    return impl_->bounds.GetTopLeft();
}

result Control::SetSize(const Osp::Graphics::Dimension& size) {
    return SetSize(size.width, size.height);
}

result Control::SetSize(int width, int height) {
    Rectangle r = impl_->bounds;
    r.SetSize(width, height);
    return SetBounds(r);
}

Osp::Graphics::Dimension Control::GetSize() const {
    return impl_->bounds.GetSize();
}

result Control::SetShowState(bool show) {
    impl_->shown = show;
    if (impl_->widget != nullptr) {
        impl_->widget->ApplyShowState(show);
    }
    return E_SUCCESS;
}

bool Control::GetShowState() const {
    return impl_->shown;
}

bool Control::IsVisible() const {
    return impl_->widget != nullptr && impl_->widget->isVisible();
}

void Control::SetEnabled(bool enable) {
    impl_->enabled = enable;
    if (impl_->widget != nullptr) {
        impl_->widget->setEnabled(enable);
    }
}

bool Control::IsEnabled() const {
    return impl_->enabled;
}

result Control::Draw() {
    if (impl_->widget == nullptr) {
        return E_INVALID_STATE;
    }
    impl_->widget->RequestUpdate();
    if (impl_->layerWidget != impl_->widget) {
        impl_->layerWidget->RequestUpdate();
    }
    return E_SUCCESS;
}

result Control::Show() {
    return Draw();
}

void Control::RequestRedraw(bool) const {
    const_cast<Control*>(this)->Draw();
}

result Control::SetFocus() {
    if (impl_->widget == nullptr) {
        return E_INVALID_STATE;
    }
    impl_->widget->TakeFocus();
    return E_SUCCESS;
}

Container* Control::GetParent() const {
    return impl_->parent;
}

Osp::Base::String Control::GetName() const {
    return impl_->name;
}

void Control::SetName(const Osp::Base::String& name) {
    impl_->name = name;
}

void Control::AddTouchEventListener(const ITouchEventListener& listener) {
    host::AddListener(impl_->touchListeners, listener);
}

void Control::RemoveTouchEventListener(const ITouchEventListener& listener) {
    host::RemoveListener(impl_->touchListeners, listener);
}

Osp::Graphics::Canvas* Control::GetCanvasN() const {
    host::ControlWidget* target = impl_->layerWidget;
    if (target == nullptr || target->width() <= 0 || target->height() <= 0) {
        Osp::Base::SetLastResult(E_INVALID_STATE);
        return nullptr;
    }
    // The layer holds the screen's own pixels and is drawn on in units, so that text stays sharp at any
    // scale of the layouts and of the screen.
    const double ratio = host::fit::Scale() * target->devicePixelRatioF();
    const QSize pixels = (QSizeF(target->size()) * target->devicePixelRatioF()).toSize();
    if (impl_->layer.size() != pixels || impl_->layer.devicePixelRatio() != ratio) {
        impl_->layer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        impl_->layer.setDevicePixelRatio(ratio);
        impl_->layer.fill(Qt::transparent);
    }
    QPointer<host::ControlWidget> guard(target);
    return host::NewCanvasN(impl_->layer, target->Area(), [guard] {
        if (guard) {
            guard->RequestUpdate();
        }
    });
}

result Control::OnDraw() {
    return E_SUCCESS;
}

}  // namespace Osp::Ui
