#pragma once
// What lies behind Osp::Ui::Control and Container: the widget that draws the control, its placements
// from a layout file and the user's drawing layer. For platform code only.

#include <QImage>
#include <memory>
#include <optional>
#include <vector>

#include "Osp/Ui/Container.h"
#include "Osp/Ui/Control.h"

namespace host {
class ControlWidget;
}

namespace Osp::Ui {

struct Control::Impl {
    explicit Impl(Control& self) : self(self) {}

    // Makes the widget the control's (the control must not have one yet) and gives it the bounds.
    void Attach(host::ControlWidget* newWidget, const Osp::Graphics::Rectangle& rect);
    bool IsConstructed() const { return widget != nullptr; }
    std::weak_ptr<int> Life() const { return life; }

    Control& self;
    // Expires when the control is deleted: code that calls out to listeners checks it before touching
    // the control again.
    std::shared_ptr<int> life = std::make_shared<int>(0);
    host::ControlWidget* widget = nullptr;
    // The widget that shows the user's drawing layer: the control's own, or the client area of a form or
    // popup.
    host::ControlWidget* layerWidget = nullptr;
    QImage layer;
    Container* parent = nullptr;
    Osp::Base::String name;
    Osp::Graphics::Rectangle bounds;
    bool shown = true;
    bool enabled = true;
    std::vector<ITouchEventListener*> touchListeners;
    // Where a layout file puts the control in each orientation; empty for controls made in code.
    std::optional<Osp::Graphics::Rectangle> portraitBounds;
    std::optional<Osp::Graphics::Rectangle> landscapeBounds;
};

struct Container::Impl {
    std::vector<Control*> children;
};

}  // namespace Osp::Ui
