#pragma once
// A modal box over the current form: the form below is dimmed and takes no touches or keys while the
// popup shows. It has an optional title and a client area for its controls, and is centred in the
// window (also after the phone turns). Built in code (Construct with a size) or from a layout file
// "/Res/layouts/<id>.xml" (Construct with the resource identifier, such as "IDP_TRANSFER").
//
// A popup starts hidden; SetShowState(true) opens it and SetShowState(false) closes it. It belongs to
// whoever made it and may be deleted while it shows. User-interface thread only.

#include <memory>

#include "Osp/Graphics/Color.h"
#include "Osp/Graphics/Dimension.h"
#include "Osp/Ui/Container.h"

namespace Osp::Ui::Controls {

// The background colour of popups, for labels that should blend into them.
inline constexpr Osp::Graphics::Color SYSTEM_COLOR_POPUP_BACKGROUND{0xFFFFFFFFu};

class Popup : public Container {
public:
    Popup();
    ~Popup() override;

    // The size is the whole popup, its title included.
    Osp::Base::result Construct(bool hasTitle, const Osp::Graphics::Dimension& size);
    // E_FILE_NOT_FOUND when there is no layout, E_INVALID_FORMAT when it cannot be read.
    Osp::Base::result Construct(const Osp::Base::String& resourceId);

    Osp::Base::result SetTitleText(const Osp::Base::String& title);
    Osp::Base::String GetTitleText() const;
    // The client area in the popup's coordinates.
    Osp::Graphics::Rectangle GetClientAreaBounds() const;
    // A canvas over the client area (the same as GetCanvasN).
    Osp::Graphics::Canvas* GetClientAreaCanvasN() const;

    struct Impl;
    Impl& GetPopupImpl() const { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
