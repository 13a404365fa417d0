#include "Osp/Ui/Controls/Popup.h"

#include <algorithm>

#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/FrameWindow.h"
#include "host/ui/LayoutBuilder.h"
#include "host/ui/Overlay.h"
#include "host/ui/PopupImpl.h"
#include "host/ui/PopupWidget.h"
#include "host/ui/Theme.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_FORMAT;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;

int Popup::Impl::TitleHeight() const {
    return hasTitle ? host::theme::kPopupTitleHeight : 0;
}

void Popup::Impl::Centre(Popup& popup) {
    // In units, as the popup's size; one taller than the window keeps its title in sight.
    const Osp::Graphics::Dimension window = host::AppFrame().GetSize();
    const Osp::Graphics::Dimension size = popup.GetSize();
    popup.SetPosition((window.width - size.width) / 2, std::max(0, (window.height - size.height) / 2));
}

Popup::Popup() : impl_(std::make_unique<Impl>()) {}

Popup::~Popup() {
    RemoveAllControls();
    if (impl_->overlay != nullptr) {
        impl_->overlay->onResize = nullptr;
        impl_->overlay->Close();
        impl_->overlay->deleteLater();
    }
}

result Popup::Construct(bool hasTitle, const Osp::Graphics::Dimension& size) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    if (size.width <= 0 || size.height <= 0) {
        return E_INVALID_ARG;
    }
    impl_->hasTitle = hasTitle;
    impl_->overlay = new host::Overlay(host::Overlay::Kind::kModal, true);
    impl_->widget = new host::PopupWidget(*this, *impl_->overlay);
    GetControlImpl().Attach(impl_->widget, Osp::Graphics::Rectangle(0, 0, size.width, size.height));
    GetControlImpl().layerWidget = impl_->widget->Client();
    GetControlImpl().shown = false;
    impl_->Centre(*this);
    impl_->overlay->onResize = [this] {
        impl_->Centre(*this);
        host::RefitChildren(*this);
    };
    return E_SUCCESS;
}

result Popup::Construct(const String& resourceId) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    host::layout::Node root;
    result r = host::layout::Load(resourceId.Units(), host::layout::Kind::kPopup, root);
    if (r != E_SUCCESS) {
        return r;
    }
    const QStringList size = root.Text(QStringLiteral("size")).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    r = Construct(root.Has(QStringLiteral("title")),
                  Osp::Graphics::Dimension(size[0].toInt(), size[1].toInt()));
    if (r != E_SUCCESS) {
        return r;
    }
    SetName(resourceId);
    impl_->title = root.Text(QStringLiteral("title"));
    r = host::layout::BuildChildren(root, *this, false);
    return r == E_SUCCESS ? E_SUCCESS : E_INVALID_FORMAT;
}

result Popup::SetTitleText(const String& title) {
    impl_->title = host::ToQString(title.Units());
    Draw();
    return E_SUCCESS;
}

String Popup::GetTitleText() const {
    return String(host::FromQString(impl_->title));
}

Osp::Graphics::Rectangle Popup::GetClientAreaBounds() const {
    const int top = impl_->TitleHeight();
    return Osp::Graphics::Rectangle(0, top, GetWidth(), GetHeight() - top);
}

Osp::Graphics::Canvas* Popup::GetClientAreaCanvasN() const {
    return GetCanvasN();
}

}  // namespace Osp::Ui::Controls
