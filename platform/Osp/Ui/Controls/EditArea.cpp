#include "Osp/Ui/Controls/EditArea.h"

#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/EditCore.h"
#include "host/ui/Notify.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;

EditArea::EditArea() : impl_(std::make_unique<Impl>(*this)) {}

EditArea::~EditArea() = default;

result EditArea::Construct(const Osp::Graphics::Rectangle& rect, InputStyle inputStyle, int limitLength) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    if (limitLength < 1) {
        return E_INVALID_ARG;
    }
    impl_->core.input = inputStyle;
    GetControlImpl().Attach(impl_->core.MakeWidget(limitLength, false, false), rect);
    return E_SUCCESS;
}

String EditArea::GetText() const {
    return String(host::FromQString(impl_->core.Text()));
}

result EditArea::SetText(const String& text) {
    impl_->core.SetText(host::ToQString(text.Units()));
    return E_SUCCESS;
}

void EditArea::Clear() {
    impl_->core.SetText(QString());
}

int EditArea::GetTextLength() const {
    return static_cast<int>(impl_->core.Text().size());
}

void EditArea::SetGuideText(const String& text) {
    impl_->core.SetGuide(host::ToQString(text.Units()));
}

void EditArea::SetLowerCaseModeEnabled(bool enable) {
    impl_->core.lowerCase = enable;
}

bool EditArea::IsLowerCaseModeEnabled() const {
    return impl_->core.lowerCase;
}

result EditArea::SetInputModeCategory(unsigned long categories, bool enable) {
    const unsigned long current = impl_->core.Categories();
    impl_->core.SetCategories(enable ? (current | categories) : (current & ~categories));
    return E_SUCCESS;
}

void EditArea::SetKeypadEnabled(bool enable) {
    impl_->core.Editor()->setEnabled(enable);
}

void EditArea::SetOverlayKeypadCommandButton(CommandButtonPosition position, const String& text,
                                             int actionId) {
    impl_->core.commands[position] = {host::ToQString(text.Units()), actionId};
}

String EditArea::GetOverlayKeypadCommandButtonText(CommandButtonPosition position) const {
    return String(host::FromQString(impl_->core.commands[position].text));
}

void EditArea::AddActionEventListener(const IActionEventListener& listener) {
    host::AddListener(impl_->core.actionListeners, listener);
}

void EditArea::RemoveActionEventListener(const IActionEventListener& listener) {
    host::RemoveListener(impl_->core.actionListeners, listener);
}

void EditArea::AddScrollPanelEventListener(const IScrollPanelEventListener& listener) {
    host::AddListener(impl_->core.panelListeners, listener);
}

void EditArea::RemoveScrollPanelEventListener(const IScrollPanelEventListener& listener) {
    host::RemoveListener(impl_->core.panelListeners, listener);
}

void EditArea::AddTextEventListener(const ITextEventListener& listener) {
    host::AddListener(impl_->core.textListeners, listener);
}

void EditArea::RemoveTextEventListener(const ITextEventListener& listener) {
    host::RemoveListener(impl_->core.textListeners, listener);
}

}  // namespace Osp::Ui::Controls
