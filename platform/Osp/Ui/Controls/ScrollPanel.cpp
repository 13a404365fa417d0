#include "Osp/Ui/Controls/ScrollPanel.h"

#include <QKeyEvent>

#include "Osp/Ui/Controls/Form.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/EditCore.h"
#include "host/ui/FormImpl.h"
#include "host/ui/FormWidget.h"
#include "host/ui/FrameWindow.h"
#include "host/ui/Notify.h"
#include "host/ui/ScrollPanelImpl.h"
#include "host/ui/ScrollPanelWidget.h"

namespace Osp::Ui::Controls {

using Osp::Base::E_INVALID_STATE;
using Osp::Base::E_SUCCESS;
using Osp::Base::result;

namespace {

Form* FormOf(Control& control) {
    for (Container* p = control.GetParent(); p != nullptr; p = p->GetParent()) {
        if (auto* form = dynamic_cast<Form*>(p)) {
            return form;
        }
    }
    return nullptr;
}

// Tells the field's scroll-panel listeners; returns whether the field still exists.
bool NotifyPanel(Control& field, host::EditCore& core,
                 void (IScrollPanelEventListener::*call)(const Control&)) {
    return host::Notify<IScrollPanelEventListener>(
        field.GetControlImpl().Life(),
        [&core]() -> const std::vector<IScrollPanelEventListener*>& { return core.panelListeners; },
        [&field, call](IScrollPanelEventListener& l) { (l.*call)(field); });
}

bool CommandKeys(ScrollPanel::Impl& impl, QKeyEvent& event) {
    CommandButtonPosition position;
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F1:
            position = COMMAND_BUTTON_POSITION_LEFT;
            break;
        case Qt::Key_Escape:
        case Qt::Key_F2:
            position = COMMAND_BUTTON_POSITION_RIGHT;
            break;
        default:
            return false;
    }
    if (impl.Active() != nullptr) {
        impl.activeCore->PressCommand(position);
    }
    return true;
}

}  // namespace

ScrollPanel::Impl::~Impl() {
    // No listener is told: the panel goes with its form, whose listeners may be gone already.
    if (active != nullptr) {
        host::AppWindow().SetCommandBarKeys(nullptr);
    }
    if (bar) {
        bar->deleteLater();
    }
}

void ScrollPanel::Impl::Open(ScrollPanel& panel, Control& field, host::EditCore& core) {
    if (tearingDown || Active() == &field) {
        return;
    }
    active = &field;
    activeCore = &core;
    activeLife = field.GetControlImpl().Life();
    EnsureVisible(field);
    Form* form = FormOf(panel);
    if (!bar && form != nullptr) {
        bar = new host::CommandBar(form->GetFormImpl().widget);
        bar->onPress = [this](CommandButtonPosition position) {
            if (Active() != nullptr) {
                activeCore->PressCommand(position);
            }
        };
        form->GetFormImpl().widget->SetCommandBar(bar);
    }
    if (bar) {
        bar->SetTexts(core.commands[COMMAND_BUTTON_POSITION_LEFT].text,
                      core.commands[COMMAND_BUTTON_POSITION_RIGHT].text);
        bar->show();
        bar->raise();
    }
    host::AppWindow().SetCommandBarKeys([this](QKeyEvent& event) { return CommandKeys(*this, event); });
    if (NotifyPanel(field, core, &IScrollPanelEventListener::OnOverlayControlCreated) && Active() == &field) {
        NotifyPanel(field, core, &IScrollPanelEventListener::OnOverlayControlOpened);
    }
}

void ScrollPanel::Impl::Close() {
    Control* field = Active();
    host::EditCore* core = activeCore;
    active = nullptr;
    activeCore = nullptr;
    activeLife.reset();
    if (bar) {
        bar->hide();
    }
    host::AppWindow().SetCommandBarKeys(nullptr);
    if (field != nullptr) {
        core->Editor()->clearFocus();
        NotifyPanel(*field, *core, &IScrollPanelEventListener::OnOverlayControlClosed);
    }
}

void ScrollPanel::Impl::EnsureVisible(const Control& control) {
    const Osp::Graphics::Rectangle r = control.GetBounds();
    const int top = widget->Offset();
    if (r.y < top) {
        widget->SetOffset(r.y - 8);
    } else if (r.y + r.height > top + widget->AreaHeight()) {
        widget->SetOffset(r.y + r.height + 8 - widget->AreaHeight());
    }
}

ScrollPanel::ScrollPanel() : impl_(std::make_unique<Impl>()) {}

ScrollPanel::~ScrollPanel() {
    impl_->tearingDown = true;
    RemoveAllControls();
}

result ScrollPanel::Construct(const Osp::Graphics::Rectangle& rect) {
    if (GetControlImpl().IsConstructed()) {
        return E_INVALID_STATE;
    }
    impl_->widget = new host::ScrollPanelWidget(*this);
    impl_->widget->onPressed = [this] {
        if (impl_->Active() == nullptr) {
            return;
        }
        host::EditCore& core = *impl_->activeCore;
        host::Notify<IScrollPanelEventListener>(
            GetControlImpl().Life(),
            [&core]() -> const std::vector<IScrollPanelEventListener*>& { return core.panelListeners; },
            [this](IScrollPanelEventListener& l) { l.OnOtherControlSelected(*this); });
    };
    GetControlImpl().Attach(impl_->widget, rect);
    return E_SUCCESS;
}

result ScrollPanel::CloseOverlayWindow() {
    impl_->Close();
    return E_SUCCESS;
}

Control* ScrollPanel::GetOverlayControl() const {
    return impl_->Active();
}

}  // namespace Osp::Ui::Controls
