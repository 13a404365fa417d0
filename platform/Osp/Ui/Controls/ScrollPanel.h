#pragma once
// A container whose controls scroll up and down (by dragging its free area or with a mouse wheel) and
// which hosts the overlay keypad of its edit fields (see IScrollPanelEventListener and EditField).
// User-interface thread only.

#include <memory>

#include "Osp/Ui/Container.h"

namespace Osp::Ui::Controls {

class ScrollPanel : public Container {
public:
    ScrollPanel();
    ~ScrollPanel() override;

    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect);
    // Closes the open overlay keypad; its field's scroll-panel listeners hear OnOverlayControlClosed.
    // Nothing happens when none is open.
    Osp::Base::result CloseOverlayWindow();
    // The field whose overlay keypad is open, or null.
    Control* GetOverlayControl() const;

    struct Impl;
    Impl& GetPanelImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
