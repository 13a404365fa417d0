#include "Osp/Ui/Controls/EditField.h"

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

EditField::EditField() : impl_(std::make_unique<Impl>(*this)) {}

EditField::~EditField() = default;

result EditField::Construct(const Osp::Graphics::Rectangle& rect, EditFieldStyle style, InputStyle inputStyle,
                            bool showTitleText, int limitLength) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    if (limitLength < 1) {
        return E_INVALID_ARG;
    }
    impl_->core.input = inputStyle;
    host::ControlWidget* widget =
        impl_->core.MakeWidget(limitLength, style == EDIT_FIELD_STYLE_PASSWORD, showTitleText);
    GetControlImpl().Attach(widget, rect);
    return E_SUCCESS;
}

String EditField::GetText() const {
    return String(host::FromQString(impl_->core.Text()));
}

result EditField::SetText(const String& text) {
    impl_->core.SetText(host::ToQString(text.Units()));
    return E_SUCCESS;
}

void EditField::Clear() {
    impl_->core.SetText(QString());
}

int EditField::GetTextLength() const {
    return static_cast<int>(impl_->core.Text().size());
}

result EditField::SetLimitLength(int limitLength) {
    if (limitLength < 1) {
        return E_INVALID_ARG;
    }
    impl_->core.SetLimit(limitLength);
    return E_SUCCESS;
}

int EditField::GetLimitLength() const {
    return impl_->core.Limit();
}

void EditField::SetGuideText(const String& text) {
    impl_->core.SetGuide(host::ToQString(text.Units()));
}

void EditField::SetTitleText(const String& text) {
    impl_->core.SetTitle(host::ToQString(text.Units()));
}

void EditField::SetLowerCaseModeEnabled(bool enable) {
    impl_->core.lowerCase = enable;
}

bool EditField::IsLowerCaseModeEnabled() const {
    return impl_->core.lowerCase;
}

result EditField::SetInputModeCategory(unsigned long categories, bool enable) {
    const unsigned long current = impl_->core.Categories();
    impl_->core.SetCategories(enable ? (current | categories) : (current & ~categories));
    return E_SUCCESS;
}

unsigned long EditField::GetInputModeCategory() const {
    return impl_->core.Categories();
}

result EditField::SetCurrentInputModeCategory(EditInputModeCategory category) {
    return (impl_->core.Categories() & category) != 0 ? E_SUCCESS : E_INVALID_ARG;
}

void EditField::SetKeypadEnabled(bool enable) {
    impl_->core.Editor()->setEnabled(enable);
}

void EditField::SetOverlayKeypadCommandButton(CommandButtonPosition position, const String& text,
                                              int actionId) {
    impl_->core.commands[position] = {host::ToQString(text.Units()), actionId};
}

String EditField::GetOverlayKeypadCommandButtonText(CommandButtonPosition position) const {
    return String(host::FromQString(impl_->core.commands[position].text));
}

int EditField::GetOverlayKeypadCommandButtonActionId(CommandButtonPosition position) const {
    return impl_->core.commands[position].actionId;
}

void EditField::AddActionEventListener(const IActionEventListener& listener) {
    host::AddListener(impl_->core.actionListeners, listener);
}

void EditField::RemoveActionEventListener(const IActionEventListener& listener) {
    host::RemoveListener(impl_->core.actionListeners, listener);
}

void EditField::AddScrollPanelEventListener(const IScrollPanelEventListener& listener) {
    host::AddListener(impl_->core.panelListeners, listener);
}

void EditField::RemoveScrollPanelEventListener(const IScrollPanelEventListener& listener) {
    host::RemoveListener(impl_->core.panelListeners, listener);
}

void EditField::AddTextEventListener(const ITextEventListener& listener) {
    host::AddListener(impl_->core.textListeners, listener);
}

void EditField::RemoveTextEventListener(const ITextEventListener& listener) {
    host::RemoveListener(impl_->core.textListeners, listener);
}

}  // namespace Osp::Ui::Controls
