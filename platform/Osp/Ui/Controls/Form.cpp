#include "Osp/Ui/Controls/Form.h"

#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/FormImpl.h"
#include "host/ui/FormWidget.h"
#include "host/ui/FrameImpl.h"
#include "host/ui/LayoutBuilder.h"
#include "host/ui/Notify.h"
#include "host/ui/Theme.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;
using KeyId = Form::Impl::KeyId;

bool Form::Impl::HasKey(KeyId id) const {
    switch (id) {
        case KeyId::kLeft:
            return (style & FORM_STYLE_SOFTKEY_0) != 0;
        case KeyId::kRight:
            return (style & FORM_STYLE_SOFTKEY_1) != 0;
        case KeyId::kOption:
            return (style & FORM_STYLE_OPTIONKEY) != 0;
    }
    return false;
}

Form::Impl::Key& Form::Impl::KeyOf(KeyId id) {
    switch (id) {
        case KeyId::kLeft:
            return softkeys[SOFTKEY_0];
        case KeyId::kRight:
            return softkeys[SOFTKEY_1];
        case KeyId::kOption:
            break;
    }
    return optionkey;
}

bool Form::Impl::PressKey(Form& form, KeyId id) {
    if (!HasKey(id) || !KeyOf(id).enabled) {
        return false;
    }
    const int actionId = KeyOf(id).actionId;
    host::Notify<IActionEventListener>(
        form.GetControlImpl().Life(),
        [&form, id]() -> const std::vector<IActionEventListener*>& {
            return form.GetFormImpl().KeyOf(id).listeners;
        },
        [&form, actionId](IActionEventListener& l) { l.OnActionPerformed(form, actionId); });
    return true;
}

int Form::Impl::TitleHeight() const {
    return (style & FORM_STYLE_TITLE) != 0 ? host::theme::kTitleHeight : 0;
}

int Form::Impl::SoftkeyBarHeight() const {
    const unsigned long keys = FORM_STYLE_SOFTKEY_0 | FORM_STYLE_SOFTKEY_1 | FORM_STYLE_OPTIONKEY;
    return (style & keys) != 0 ? host::theme::kSoftkeyHeight : 0;
}

OrientationStatus Form::Impl::StatusFor(OrientationStatus device) const {
    switch (orientation) {
        case ORIENTATION_LANDSCAPE:
            return ORIENTATION_STATUS_LANDSCAPE;
        case ORIENTATION_PORTRAIT_REVERSE:
            return ORIENTATION_STATUS_PORTRAIT_REVERSE;
        case ORIENTATION_LANDSCAPE_REVERSE:
            return ORIENTATION_STATUS_LANDSCAPE_REVERSE;
        case ORIENTATION_AUTOMATIC:
            return IsLandscape(device) ? ORIENTATION_STATUS_LANDSCAPE : ORIENTATION_STATUS_PORTRAIT;
        case ORIENTATION_AUTOMATIC_FOUR_DIRECTION:
            return device == ORIENTATION_STATUS_NONE ? ORIENTATION_STATUS_PORTRAIT : device;
        default:
            return ORIENTATION_STATUS_PORTRAIT;
    }
}

bool Form::Impl::ApplyStatus(Form& form, OrientationStatus newStatus) {
    const bool changed = newStatus != status;
    status = newStatus;
    const bool landscape = IsLandscape(newStatus);
    const QSize size = host::UnitSize(newStatus);
    form.SetBounds(0, 0, size.width(), size.height());
    widget->Arrange();
    const int bars = TitleHeight() + SoftkeyBarHeight();
    const QSize design = host::DesignSize(newStatus);
    host::RefitChildren(form);
    host::PlaceForOrientation(form, landscape, QSize(design.width(), design.height() - bars),
                              QSize(size.width(), size.height() - bars));
    return changed;
}

void Form::Impl::NotifyOrientation(Form& form) {
    const OrientationStatus current = status;
    host::Notify<IOrientationEventListener>(
        form.GetControlImpl().Life(),
        [&form]() -> const std::vector<IOrientationEventListener*>& {
            return form.GetFormImpl().orientationListeners;
        },
        [&form, current](IOrientationEventListener& l) { l.OnOrientationChanged(form, current); });
}

Form::Form() : impl_(std::make_unique<Impl>()) {}

Form::~Form() = default;

result Form::Construct(unsigned long formStyle) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    impl_->style = formStyle;
    impl_->widget = new host::FormWidget(*this);
    impl_->status = impl_->StatusFor(host::AppFrame().GetOrientationStatus());
    const QSize size = host::UnitSize(impl_->status);
    GetControlImpl().Attach(impl_->widget, Osp::Graphics::Rectangle(0, 0, size.width(), size.height()));
    GetControlImpl().layerWidget = impl_->widget->Client();
    impl_->widget->Arrange();
    return E_SUCCESS;
}

result Form::Construct(const String& resourceId) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    host::layout::Node root;
    result r = host::layout::Load(resourceId.Units(), host::layout::Kind::kForm, root);
    if (r != E_SUCCESS) {
        return r;
    }
    impl_->orientation = host::layout::OrientationOf(root);
    r = Construct(host::layout::FormStyleOf(root));
    if (r != E_SUCCESS) {
        return r;
    }
    SetName(resourceId);
    impl_->title = String(host::FromQString(root.Text("title")));
    impl_->softkeys[SOFTKEY_0].text = String(host::FromQString(root.Text("softkey0")));
    impl_->softkeys[SOFTKEY_1].text = String(host::FromQString(root.Text("softkey1")));
    return host::layout::BuildChildren(root, *this, IsLandscape(impl_->status));
}

result Form::SetTitleText(const String& title, HorizontalAlignment alignment) {
    impl_->title = title;
    impl_->titleAlignment = alignment;
    if (impl_->widget != nullptr) {
        impl_->widget->update();
        impl_->widget->Arrange();
    }
    return E_SUCCESS;
}

String Form::GetTitleText() const {
    return impl_->title;
}

bool Form::HasTitle() const {
    return (impl_->style & FORM_STYLE_TITLE) != 0;
}

bool Form::HasSoftkey(Softkey softkey) const {
    return impl_->HasKey(softkey == SOFTKEY_0 ? KeyId::kLeft : KeyId::kRight);
}

namespace {

bool ValidSoftkey(Softkey softkey) {
    return softkey == SOFTKEY_0 || softkey == SOFTKEY_1;
}

}  // namespace

result Form::SetSoftkeyText(Softkey softkey, const String& text) {
    if (!ValidSoftkey(softkey)) {
        return E_INVALID_ARG;
    }
    impl_->softkeys[softkey].text = text;
    if (impl_->widget != nullptr) {
        impl_->widget->Arrange();
    }
    return E_SUCCESS;
}

String Form::GetSoftkeyText(Softkey softkey) const {
    return ValidSoftkey(softkey) ? impl_->softkeys[softkey].text : String();
}

result Form::SetSoftkeyActionId(Softkey softkey, int actionId) {
    if (!ValidSoftkey(softkey)) {
        return E_INVALID_ARG;
    }
    impl_->softkeys[softkey].actionId = actionId;
    return E_SUCCESS;
}

int Form::GetSoftkeyActionId(Softkey softkey) const {
    return ValidSoftkey(softkey) ? impl_->softkeys[softkey].actionId : -1;
}

result Form::SetSoftkeyEnabled(Softkey softkey, bool enable) {
    if (!ValidSoftkey(softkey)) {
        return E_INVALID_ARG;
    }
    impl_->softkeys[softkey].enabled = enable;
    if (impl_->widget != nullptr) {
        impl_->widget->Arrange();
    }
    return E_SUCCESS;
}

bool Form::IsSoftkeyEnabled(Softkey softkey) const {
    return ValidSoftkey(softkey) && impl_->softkeys[softkey].enabled;
}

void Form::AddSoftkeyActionListener(Softkey softkey, const IActionEventListener& listener) {
    if (ValidSoftkey(softkey)) {
        host::AddListener(impl_->softkeys[softkey].listeners, listener);
    }
}

void Form::RemoveSoftkeyActionListener(Softkey softkey, const IActionEventListener& listener) {
    if (ValidSoftkey(softkey)) {
        host::RemoveListener(impl_->softkeys[softkey].listeners, listener);
    }
}

bool Form::HasOptionkey() const {
    return impl_->HasKey(KeyId::kOption);
}

result Form::SetOptionkeyActionId(int actionId) {
    impl_->optionkey.actionId = actionId;
    return E_SUCCESS;
}

int Form::GetOptionkeyActionId() const {
    return impl_->optionkey.actionId;
}

void Form::AddOptionkeyActionListener(const IActionEventListener& listener) {
    host::AddListener(impl_->optionkey.listeners, listener);
}

void Form::RemoveOptionkeyActionListener(const IActionEventListener& listener) {
    host::RemoveListener(impl_->optionkey.listeners, listener);
}

void Form::SetOrientation(Orientation orientation) {
    impl_->orientation = orientation;
    Frame& frame = host::AppFrame();
    if (frame.GetCurrentForm() == this) {
        frame.GetFrameImpl().ApplyOrientation(frame);
    } else if (impl_->widget != nullptr) {
        impl_->ApplyStatus(*this, impl_->StatusFor(frame.GetOrientationStatus()));
    }
}

Orientation Form::GetOrientation() const {
    return impl_->orientation;
}

OrientationStatus Form::GetOrientationStatus() const {
    return impl_->status;
}

void Form::AddOrientationEventListener(IOrientationEventListener& listener) {
    host::AddListener(impl_->orientationListeners, listener);
}

void Form::RemoveOrientationEventListener(IOrientationEventListener& listener) {
    host::RemoveListener(impl_->orientationListeners, listener);
}

Osp::Graphics::Rectangle Form::GetClientAreaBounds() const {
    const Osp::Graphics::Rectangle b = GetBounds();
    const int top = impl_->TitleHeight();
    return Osp::Graphics::Rectangle(0, top, b.width, b.height - top - impl_->SoftkeyBarHeight());
}

Osp::Graphics::Canvas* Form::GetClientAreaCanvasN() const {
    return GetCanvasN();
}

void Form::SetBackgroundColor(const Osp::Graphics::Color& color) {
    impl_->background = color;
    Draw();
}

Osp::Graphics::Color Form::GetBackgroundColor() const {
    if (impl_->background) {
        return *impl_->background;
    }
    const QColor c = host::theme::kClientBackground;
    return Osp::Graphics::Color(c.red(), c.green(), c.blue());
}

}  // namespace Osp::Ui::Controls
