#pragma once
// A text (wrapped to the label's width when it has several words) on a background colour, which is
// transparent until one is set. User-interface thread only.

#include <memory>

#include "Osp/Graphics/Color.h"
#include "Osp/Ui/Control.h"
#include "Osp/Ui/Controls/Alignment.h"

namespace Osp::Ui::Controls {

enum LabelTextStyle {
    LABEL_TEXT_STYLE_NORMAL,
    LABEL_TEXT_STYLE_BOLD,
    LABEL_TEXT_STYLE_ITALIC,
};

class Label : public Control {
public:
    Label();
    ~Label() override;

    Osp::Base::result Construct(const Osp::Graphics::Rectangle& rect, const Osp::Base::String& text);

    void SetText(const Osp::Base::String& text);
    Osp::Base::String GetText() const;
    // Text size in pixels (8 to 96).
    Osp::Base::result SetTextConfig(int size, LabelTextStyle style);
    int GetTextSize() const;
    void SetTextHorizontalAlignment(HorizontalAlignment alignment);
    void SetTextVerticalAlignment(VerticalAlignment alignment);
    void SetBackgroundColor(const Osp::Graphics::Color& color);
    Osp::Graphics::Color GetBackgroundColor() const;
    void SetTextColor(const Osp::Graphics::Color& color);
    Osp::Graphics::Color GetTextColor() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Ui::Controls
