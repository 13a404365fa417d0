#include "Osp/Ui/Controls/CheckButton.h"

#include <QPainter>
#include <vector>

#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/Notify.h"
#include "host/ui/Theme.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

struct CheckButton::Impl {
    QString text;
    CheckButtonStyle style = CHECK_BUTTON_STYLE_MARK;
    bool background = true;
    bool selected = false;
    int checkedActionId = -1;
    int uncheckedActionId = -1;
    std::vector<IActionEventListener*> listeners;
};

namespace {

class CheckButtonWidget : public host::ControlWidget {
public:
    CheckButtonWidget(CheckButton& button, CheckButton::Impl& impl) : ControlWidget(button), impl_(impl) {}

protected:
    void PaintControl(QPainter& p) override {
        if (impl_.background) {
            p.fillRect(Area(),
                       IsTapCandidate() && isEnabled() ? host::theme::kPressed : host::theme::kSurface);
        }
        const QPoint markCentre(AreaWidth() - 36, AreaHeight() / 2);
        if (impl_.style == CHECK_BUTTON_STYLE_ONOFF) {
            PaintSwitch(p, markCentre);
        } else {
            host::theme::DrawCheckBox(p, markCentre, impl_.selected, isEnabled());
        }
        p.setFont(host::theme::Font(std::min(22, std::max(14, AreaHeight() / 2 - 4))));
        p.setPen(isEnabled() ? host::theme::kText : host::theme::kSubText);
        host::theme::DrawElided(p, QRect(16, 0, AreaWidth() - 80, AreaHeight()), impl_.text,
                                Qt::AlignLeft | Qt::AlignVCenter);
    }

    void TouchReleased(const QPoint& pos, TouchEnd end) override {
        auto* button = static_cast<CheckButton*>(Owner());
        if (end != TouchEnd::kTap || !Area().contains(pos) || button == nullptr) {
            return;
        }
        impl_.selected = !impl_.selected;
        update();
        const int id = impl_.selected ? impl_.checkedActionId : impl_.uncheckedActionId;
        CheckButton::Impl& impl = impl_;
        host::Notify<IActionEventListener>(
            button->GetControlImpl().Life(),
            [&impl]() -> const std::vector<IActionEventListener*>& { return impl.listeners; },
            [button, id](IActionEventListener& l) { l.OnActionPerformed(*button, id); });
    }

private:
    void PaintSwitch(QPainter& p, const QPoint& centre) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF track(centre.x() - 24, centre.y() - 14, 48, 28);
        p.setPen(Qt::NoPen);
        p.setBrush(impl_.selected ? host::theme::kAccent : host::theme::kFieldBorder);
        p.drawRoundedRect(track, 14, 14);
        p.setBrush(host::theme::kSurface);
        p.drawEllipse(QPointF(impl_.selected ? track.right() - 14 : track.left() + 14, track.center().y()),
                      11, 11);
        p.restore();
    }

    CheckButton::Impl& impl_;
};

}  // namespace

CheckButton::CheckButton() : impl_(std::make_unique<Impl>()) {}

CheckButton::~CheckButton() = default;

result CheckButton::Construct(const Osp::Graphics::Rectangle& rect, CheckButtonStyle style,
                              BackgroundStyle backgroundStyle, bool, const Osp::Base::String& text) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    impl_->style = style;
    impl_->background = backgroundStyle == BACKGROUND_STYLE_DEFAULT;
    impl_->text = host::ToQString(text.Units());
    GetControlImpl().Attach(new CheckButtonWidget(*this, *impl_), rect);
    return E_SUCCESS;
}

void CheckButton::SetActionId(int checkedActionId, int uncheckedActionId, int) {
    impl_->checkedActionId = checkedActionId;
    impl_->uncheckedActionId = uncheckedActionId;
}

int CheckButton::GetCheckedActionId() const {
    return impl_->checkedActionId;
}

int CheckButton::GetUncheckedActionId() const {
    return impl_->uncheckedActionId;
}

void CheckButton::SetSelected(bool select) {
    impl_->selected = select;
    Draw();
}

bool CheckButton::IsSelected() const {
    return impl_->selected;
}

void CheckButton::SetText(const Osp::Base::String& text) {
    impl_->text = host::ToQString(text.Units());
    Draw();
}

Osp::Base::String CheckButton::GetText() const {
    return Osp::Base::String(host::FromQString(impl_->text));
}

void CheckButton::AddActionEventListener(const IActionEventListener& listener) {
    host::AddListener(impl_->listeners, listener);
}

void CheckButton::RemoveActionEventListener(const IActionEventListener& listener) {
    host::RemoveListener(impl_->listeners, listener);
}

}  // namespace Osp::Ui::Controls
