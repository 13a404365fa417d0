#include "Osp/Ui/Controls/Label.h"

#include <QPainter>

#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/Theme.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Graphics::Color;

struct Label::Impl {
    QString text;
    int size = 20;
    LabelTextStyle style = LABEL_TEXT_STYLE_NORMAL;
    HorizontalAlignment horizontal = ALIGNMENT_LEFT;
    VerticalAlignment vertical = ALIGNMENT_MIDDLE;
    Color background{0x00000000u};
    Color textColor{0xFF1B2027u};
};

namespace {

class LabelWidget : public host::ControlWidget {
public:
    LabelWidget(Label& label, Label::Impl& impl) : ControlWidget(label), impl_(impl) {}

protected:
    void PaintControl(QPainter& p) override {
        if (impl_.background.GetAlpha() != 0) {
            p.fillRect(Area(), host::theme::ToQColor(impl_.background));
        }
        QFont font = host::theme::Font(impl_.size, impl_.style == LABEL_TEXT_STYLE_BOLD);
        font.setItalic(impl_.style == LABEL_TEXT_STYLE_ITALIC);
        p.setFont(font);
        p.setPen(isEnabled() ? host::theme::ToQColor(impl_.textColor) : host::theme::kDisabledText);
        int align = Qt::TextWordWrap;
        align |= impl_.horizontal == ALIGNMENT_CENTER  ? Qt::AlignHCenter
                 : impl_.horizontal == ALIGNMENT_RIGHT ? Qt::AlignRight
                                                       : Qt::AlignLeft;
        align |= impl_.vertical == ALIGNMENT_TOP      ? Qt::AlignTop
                 : impl_.vertical == ALIGNMENT_BOTTOM ? Qt::AlignBottom
                                                      : Qt::AlignVCenter;
        const QRect area = Area().adjusted(4, 0, -4, 0);
        // A long name without spaces cannot wrap: it is cut with "..." instead of being clipped.
        const bool fits = p.fontMetrics().boundingRect(area, align, impl_.text).height() <= area.height();
        if (!fits && !impl_.text.contains(QLatin1Char(' '))) {
            host::theme::DrawElided(p, area, impl_.text, align & ~Qt::TextWordWrap);
            return;
        }
        p.drawText(area, align, impl_.text);
    }

private:
    Label::Impl& impl_;
};

}  // namespace

Label::Label() : impl_(std::make_unique<Impl>()) {}

Label::~Label() = default;

result Label::Construct(const Osp::Graphics::Rectangle& rect, const Osp::Base::String& text) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    impl_->text = host::ToQString(text.Units());
    GetControlImpl().Attach(new LabelWidget(*this, *impl_), rect);
    return E_SUCCESS;
}

void Label::SetText(const Osp::Base::String& text) {
    impl_->text = host::ToQString(text.Units());
    Draw();
}

Osp::Base::String Label::GetText() const {
    return Osp::Base::String(host::FromQString(impl_->text));
}

result Label::SetTextConfig(int size, LabelTextStyle style) {
    if (size < 8 || size > 96) {
        return E_INVALID_ARG;
    }
    impl_->size = size;
    impl_->style = style;
    Draw();
    return E_SUCCESS;
}

int Label::GetTextSize() const {
    return impl_->size;
}

void Label::SetTextHorizontalAlignment(HorizontalAlignment alignment) {
    impl_->horizontal = alignment;
    Draw();
}

void Label::SetTextVerticalAlignment(VerticalAlignment alignment) {
    impl_->vertical = alignment;
    Draw();
}

void Label::SetBackgroundColor(const Color& color) {
    impl_->background = color;
    Draw();
}

Color Label::GetBackgroundColor() const {
    return impl_->background;
}

void Label::SetTextColor(const Color& color) {
    impl_->textColor = color;
    Draw();
}

Color Label::GetTextColor() const {
    return impl_->textColor;
}

}  // namespace Osp::Ui::Controls
