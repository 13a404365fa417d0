#include "Osp/Ui/Controls/Keypad.h"

#include <QGuiApplication>
#include <QInputMethod>

#include <QKeyEvent>
#include <QLineEdit>

#include "host/QtString.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/EditCore.h"
#include "host/ui/KeypadImpl.h"
#include "host/ui/KeypadWidget.h"
#include "host/ui/Notify.h"
#include "host/ui/Overlay.h"
#include "host/ui/SystemKeyboard.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_ARG;
using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;
using Osp::Base::String;

void Keypad::Impl::Open() {
    widget->Editor()->setText(text);
    overlay->Open();
    widget->setGeometry(overlay->rect());
    widget->LayOutKeys();
    widget->show();
    widget->Editor()->setFocus();
    host::CurrentTextEntry() = widget->Editor();
    if (host::UsesSystemKeyboard()) {
        QGuiApplication::inputMethod()->show();
    }
}

void Keypad::Impl::Close(Keypad& keypad, bool confirmed) {
    if (!overlay->IsOpen()) {
        return;
    }
    overlay->Close();
    keypad.GetControlImpl().shown = false;
    if (confirmed) {
        text = widget->Editor()->text();
    }
    Keypad::Impl& self = *this;
    host::Notify<ITextEventListener>(
        keypad.GetControlImpl().Life(),
        [&self]() -> const std::vector<ITextEventListener*>& { return self.listeners; },
        [&keypad, confirmed](ITextEventListener& l) {
            if (confirmed) {
                l.OnTextValueChanged(keypad);
            } else {
                l.OnTextValueChangeCanceled(keypad);
            }
        });
}

Keypad::Keypad() : impl_(std::make_unique<Impl>()) {}

Keypad::~Keypad() {
    if (impl_->overlay != nullptr) {
        impl_->overlay->onKey = nullptr;
        impl_->overlay->onResize = nullptr;
        impl_->overlay->Close();
        impl_->overlay->deleteLater();
    }
}

result Keypad::Construct(KeypadStyle style, KeypadInputModeCategory category, int limitLength) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    if (limitLength < 1) {
        return E_INVALID_ARG;
    }
    impl_->limit = limitLength;
    const bool digitsOnly = style == KEYPAD_STYLE_NUMBER || style == KEYPAD_STYLE_PHONE_NUMBER ||
                            style == KEYPAD_STYLE_IP_V4 || category == KEYPAD_MODE_NUMERIC;
    impl_->overlay = new host::Overlay(host::Overlay::Kind::kModal, false);
    impl_->widget = new host::KeypadWidget(*this, impl_->overlay, style == KEYPAD_STYLE_PASSWORD, digitsOnly,
                                           limitLength);
    GetControlImpl().Attach(impl_->widget, Osp::Graphics::Rectangle());
    GetControlImpl().shown = false;
    impl_->widget->onClose = [this](bool confirmed) { impl_->Close(*this, confirmed); };
    impl_->widget->onShowState = [this](bool show) {
        if (show) {
            impl_->Open();
        } else {
            impl_->Close(*this, false);
        }
    };
    impl_->overlay->onResize = [this] { impl_->widget->setGeometry(impl_->overlay->rect()); };
    impl_->overlay->onKey = [this](QKeyEvent& event) {
        switch (event.key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_F1:
                impl_->Close(*this, true);
                return true;
            case Qt::Key_Escape:
            case Qt::Key_F2:
                impl_->Close(*this, false);
                return true;
            default:
                return false;
        }
    };
    return E_SUCCESS;
}

void Keypad::SetText(const String& text) {
    impl_->text = host::ToQString(text.Units()).left(impl_->limit);
}

String Keypad::GetText() const {
    return String(host::FromQString(impl_->text));
}

void Keypad::SetTitleText(const String& title) {
    if (impl_->widget != nullptr) {
        impl_->widget->SetTitle(host::ToQString(title.Units()));
    }
}

void Keypad::AddTextEventListener(const ITextEventListener& listener) {
    host::AddListener(impl_->listeners, listener);
}

void Keypad::RemoveTextEventListener(const ITextEventListener& listener) {
    host::RemoveListener(impl_->listeners, listener);
}

}  // namespace Osp::Ui::Controls
