#include "Osp/Ui/Controls/Button.h"

#include <QPainter>

#include "host/QtString.h"
#include "host/ui/ButtonImpl.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/Notify.h"
#include "host/ui/Theme.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

void Button::Impl::Press(Button& button) {
    const int id = actionId;
    host::Notify<IActionEventListener>(
        button.GetControlImpl().Life(),
        [&button]() -> const std::vector<IActionEventListener*>& { return button.GetButtonImpl().listeners; },
        [&button, id](IActionEventListener& l) { l.OnActionPerformed(button, id); });
}

namespace {

class ButtonWidget : public host::ControlWidget {
public:
    ButtonWidget(Button& button, Button::Impl& impl) : ControlWidget(button), impl_(impl) {}

protected:
    void PaintControl(QPainter& p) override {
        const bool pressed = IsTapCandidate();
        host::theme::DrawButtonFace(p, Area(), impl_.primary, pressed, isEnabled());
        p.setFont(host::theme::Font(std::min(22, std::max(14, AreaHeight() / 2 - 2)), impl_.primary));
        p.setPen(!isEnabled()    ? (impl_.primary ? host::theme::kAccentText : host::theme::kDisabledText)
                 : impl_.primary ? host::theme::kAccentText
                                 : host::theme::kText);
        host::theme::DrawElided(p, Area().adjusted(8, 0, -8, 0), impl_.text, Qt::AlignCenter);
    }

    void TouchReleased(const QPoint& pos, TouchEnd end) override {
        if (end == TouchEnd::kTap && Area().contains(pos) && Owner() != nullptr) {
            impl_.Press(*static_cast<Button*>(Owner()));
        }
    }

private:
    Button::Impl& impl_;
};

}  // namespace

Button::Button() : impl_(std::make_unique<Impl>()) {}

Button::~Button() = default;

result Button::Construct(const Osp::Graphics::Rectangle& rect, const Osp::Base::String& text) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    impl_->text = host::ToQString(text.Units());
    GetControlImpl().Attach(new ButtonWidget(*this, *impl_), rect);
    return E_SUCCESS;
}

void Button::SetText(const Osp::Base::String& text) {
    impl_->text = host::ToQString(text.Units());
    Draw();
}

Osp::Base::String Button::GetText() const {
    return Osp::Base::String(host::FromQString(impl_->text));
}

void Button::SetActionId(int actionId) {
    impl_->actionId = actionId;
}

int Button::GetActionId() const {
    return impl_->actionId;
}

void Button::AddActionEventListener(const IActionEventListener& listener) {
    host::AddListener(impl_->listeners, listener);
}

void Button::RemoveActionEventListener(const IActionEventListener& listener) {
    host::RemoveListener(impl_->listeners, listener);
}

}  // namespace Osp::Ui::Controls
