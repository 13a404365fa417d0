#include "testsupport/UiDriver.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <QLineEdit>
#include <QPlainTextEdit>

#include "Osp/Ui/Container.h"
#include "Osp/Ui/Controls/Button.h"
#include "Osp/Ui/Controls/CheckButton.h"
#include "Osp/Ui/Controls/EditArea.h"
#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Label.h"
#include "host/QtString.h"
#include "host/ui/CommandBar.h"
#include "host/ui/ControlImpl.h"
#include "host/ui/ControlWidget.h"
#include "host/ui/EditCore.h"
#include "host/ui/FormImpl.h"
#include "host/ui/FormWidget.h"
#include "host/ui/FrameImpl.h"
#include "host/ui/KeypadWidget.h"
#include "host/ui/ListImpl.h"
#include "host/ui/MenuPanel.h"
#include "host/ui/MessageBoxHooks.h"
#include "host/ui/Overlay.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace testsupport {
namespace {

using Osp::Graphics::Point;
using Osp::Ui::Control;
using Osp::Ui::Controls::Form;
using Osp::Ui::Controls::List;

constexpr int kStepMs = 10;

QWidget& Window() {
    return host::AppWindow();
}

// Where a point of the control lies in the window.
QPoint ToWindow(const Control& control, const Point& at) {
    host::ControlWidget* widget = control.GetControlImpl().layerWidget;
    return widget->mapTo(&Window(), host::fit::ToPixels(QPoint(at.x, at.y)));
}

void SendMouse(QEvent::Type type, const QPoint& windowPos, QPointer<QWidget>& target) {
    if (type == QEvent::MouseButtonPress) {
        target = Window().childAt(windowPos);
        if (target == nullptr) {
            target = &Window();
        }
    }
    const QPointF local = target->mapFrom(&Window(), windowPos);
    const QPointF global = Window().mapToGlobal(windowPos);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A touch at window points: pressed at the first, moved through the others, lifted at the last.
class Touch {
public:
    explicit Touch(const QPoint& at) : pos_(at) { SendMouse(QEvent::MouseButtonPress, at, target_); }
    void MoveTo(const QPoint& at) {
        pos_ = at;
        if (target_) {
            SendMouse(QEvent::MouseMove, at, target_);
        }
    }
    void Lift() {
        if (target_) {
            SendMouse(QEvent::MouseButtonRelease, pos_, target_);
        }
    }

private:
    QPoint pos_;
    QPointer<QWidget> target_;  // a tap may delete what it touched
};

void TapWindow(const QPoint& at) {
    Touch touch(at);
    touch.Lift();
}

host::Overlay* TopOverlay() {
    const auto& overlays = host::AppWindow().Overlays();
    return overlays.empty() ? nullptr : overlays.back();
}

// The first child widget of the kind on the topmost overlay.
template <typename T>
T* OnTopOverlay() {
    host::Overlay* top = TopOverlay();
    if (top == nullptr) {
        return nullptr;
    }
    for (QObject* child : top->children()) {
        if (auto* widget = dynamic_cast<T*>(child)) {
            return widget;
        }
    }
    return nullptr;
}

// Taps a point given in the widget's units.
void TapWidget(QWidget& widget, const QPoint& local) {
    TapWindow(widget.mapTo(&Window(), host::fit::ToPixels(local)));
}

// The command bar of an open overlay keypad on the current form, or null.
host::CommandBar* OpenCommandBar(Osp::Ui::Controls::Frame& frame) {
    Form* form = frame.GetCurrentForm();
    if (form == nullptr) {
        return nullptr;
    }
    auto* bar = dynamic_cast<host::CommandBar*>(form->GetFormImpl().widget->CommandBarWidget());
    return bar != nullptr && bar->isVisible() ? bar : nullptr;
}

}  // namespace

UiDriver::UiDriver() : firstMessageBox_(host::MessageBoxLog().size()) {
    Window().show();
    Pump(0);
}

UiDriver::~UiDriver() {
    host::PlannedMessageBoxAnswers().clear();
    while (host::Overlay* top = TopOverlay()) {
        top->Close();
    }
    GetFrame().RemoveAllControls();
    // The next test starts on the phone's own window, whatever size this one gave it.
    Window().resize(host::DesignSize(Osp::Ui::ORIENTATION_STATUS_PORTRAIT));
    GetFrame().SetDeviceOrientation(Osp::Ui::ORIENTATION_STATUS_PORTRAIT);
    Pump(0);
}

Osp::Ui::Controls::Frame& UiDriver::GetFrame() const {
    return host::AppFrame();
}

Control* UiDriver::Find(const std::wstring& id) const {
    const Osp::Base::String name(id);
    const auto& overlays = host::AppWindow().Overlays();
    for (auto it = overlays.rbegin(); it != overlays.rend(); ++it) {
        for (QObject* child : (*it)->children()) {
            auto* widget = dynamic_cast<host::ControlWidget*>(child);
            auto* container =
                widget != nullptr ? dynamic_cast<Osp::Ui::Container*>(widget->Owner()) : nullptr;
            if (container != nullptr) {
                return container->GetControl(name, true);
            }
        }
    }
    Form* form = GetFrame().GetCurrentForm();
    return form == nullptr ? nullptr : form->GetControl(Osp::Base::String(id), true);
}

void UiDriver::Pump(int milliseconds) const {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void UiDriver::Tap(const Control& control, const Point& at) const {
    TapWindow(ToWindow(control, at));
}

void UiDriver::Tap(const Control& control) const {
    Tap(control, Point(control.GetWidth() / 2, control.GetHeight() / 2));
}

void UiDriver::Tap(const std::wstring& id) const {
    if (Control* control = Find(id)) {
        Tap(*control);
    }
}

void UiDriver::LongPress(const Control& control, const Point& at) const {
    Touch touch(ToWindow(control, at));
    Pump(host::theme::kLongPressMs + 150);
    touch.Lift();
}

void UiDriver::Drag(const Control& control, const Point& from, const Point& to, int durationMs,
                    int restMs) const {
    const QPoint a = ToWindow(control, from);
    const QPoint b = ToWindow(control, to);
    Touch touch(a);
    const int steps = std::max(1, durationMs / kStepMs);
    for (int i = 1; i <= steps; ++i) {
        Pump(kStepMs);
        touch.MoveTo(a + (b - a) * i / steps);
    }
    if (restMs > 0) {
        Pump(restMs);
    }
    touch.Lift();
}

Point UiDriver::ListItemPoint(const List& list, int index) const {
    List::Impl& impl = list.GetListImpl();
    const QRect view(0, 0, impl.ViewWidth(), impl.ViewHeight());
    if (!view.contains(impl.RowRect(index))) {
        const_cast<List&>(list).ScrollToTop(index);
    }
    const QRect row = impl.RowRect(index);
    const QRect mark = impl.MarkRect(index);
    const int right = mark.isEmpty() ? row.right() : mark.left();
    return Point((row.left() + right) / 2, row.center().y());
}

void UiDriver::TapListItem(const List& list, int index) const {
    Tap(list, ListItemPoint(list, index));
}

void UiDriver::ToggleListItem(const List& list, int index) const {
    ListItemPoint(list, index);
    const QRect mark = list.GetListImpl().MarkRect(index);
    Tap(list, Point(mark.center().x(), mark.center().y()));
}

void UiDriver::LongPressListItem(const List& list, int index) const {
    LongPress(list, ListItemPoint(list, index));
}

void UiDriver::PressSoftkey(Osp::Ui::Controls::Softkey softkey) const {
    Form* form = GetFrame().GetCurrentForm();
    if (form == nullptr) {
        return;
    }
    const auto id =
        softkey == Osp::Ui::Controls::SOFTKEY_0 ? Form::Impl::KeyId::kLeft : Form::Impl::KeyId::kRight;
    const QRect r = form->GetFormImpl().widget->KeyRect(id);
    if (!r.isEmpty()) {
        TapWindow(form->GetFormImpl().widget->mapTo(&Window(), host::fit::ToPixels(r.center())));
    }
}

void UiDriver::PressOptionKey() const {
    Form* form = GetFrame().GetCurrentForm();
    if (form == nullptr) {
        return;
    }
    const QRect r = form->GetFormImpl().widget->KeyRect(Form::Impl::KeyId::kOption);
    if (!r.isEmpty()) {
        TapWindow(form->GetFormImpl().widget->mapTo(&Window(), host::fit::ToPixels(r.center())));
    }
}

void UiDriver::PressKey(PhoneKey key) const {
    int code = Qt::Key_unknown;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    switch (key) {
        case PhoneKey::kLeftSoftkey:
            code = Qt::Key_F1;
            break;
        case PhoneKey::kRightSoftkey:
            code = Qt::Key_F2;
            break;
        case PhoneKey::kOptionKey:
            code = Qt::Key_F10;
            break;
        case PhoneKey::kEscape:
            code = Qt::Key_Escape;
            break;
        case PhoneKey::kEnter:
            code = Qt::Key_Return;
            break;
        case PhoneKey::kRotate:
            code = Qt::Key_R;
            modifiers = Qt::ControlModifier;
            break;
    }
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != &Window()) {
        target = &Window();
    }
    QKeyEvent event(QEvent::KeyPress, code, modifiers);
    QApplication::sendEvent(target, &event);
}

std::vector<std::wstring> UiDriver::MenuItems() const {
    std::vector<std::wstring> texts;
    if (auto* menu = OnTopOverlay<host::MenuPanel>()) {
        for (int row = 0; row < menu->RowCount(); ++row) {
            texts.push_back(host::FromQString(menu->RowText(row)));
        }
    }
    return texts;
}

bool UiDriver::IsMenuOpen() const {
    return OnTopOverlay<host::MenuPanel>() != nullptr;
}

bool UiDriver::ChooseMenuItem(const std::wstring& text) const {
    host::MenuPanel* menu = OnTopOverlay<host::MenuPanel>();
    if (menu == nullptr) {
        return false;
    }
    for (int row = 0; row < menu->RowCount(); ++row) {
        if (menu->RowText(row) == host::ToQString(text)) {
            TapWidget(*menu, menu->RowRect(row).center());
            return true;
        }
    }
    return false;
}

void UiDriver::AnswerNextMessageBox(Osp::Ui::Controls::MessageBoxModalResult answer) const {
    host::PlannedMessageBoxAnswers().push_back(answer);
}

std::vector<ShownMessageBox> UiDriver::MessageBoxes() const {
    std::vector<ShownMessageBox> boxes;
    const auto& log = host::MessageBoxLog();
    for (size_t i = firstMessageBox_; i < log.size(); ++i) {
        boxes.push_back({log[i].title, log[i].text, log[i].style, log[i].timeout, log[i].result});
    }
    return boxes;
}

size_t UiDriver::PendingAnswers() const {
    return host::PlannedMessageBoxAnswers().size();
}

bool UiDriver::TypeText(const std::wstring& text) const {
    QWidget* entry = nullptr;
    if (auto* keypad = OnTopOverlay<host::KeypadWidget>()) {
        entry = keypad->Editor();
    } else if (host::CurrentTextEntry() && host::CurrentTextEntry()->isVisible()) {
        entry = host::CurrentTextEntry();
    }
    if (auto* line = dynamic_cast<QLineEdit*>(entry)) {
        line->clear();
        line->insert(host::ToQString(text));
        return true;
    }
    if (auto* area = dynamic_cast<QPlainTextEdit*>(entry)) {
        area->setPlainText(host::ToQString(text));
        return true;
    }
    return false;
}

bool UiDriver::ConfirmKeypad() const {
    if (auto* keypad = OnTopOverlay<host::KeypadWidget>()) {
        TapWidget(*keypad, keypad->OkRect().center());
        return true;
    }
    if (host::CommandBar* bar = OpenCommandBar(GetFrame())) {
        TapWidget(*bar, bar->ButtonRect(Osp::Ui::Controls::COMMAND_BUTTON_POSITION_LEFT).center());
        return true;
    }
    return false;
}

bool UiDriver::CancelKeypad() const {
    if (auto* keypad = OnTopOverlay<host::KeypadWidget>()) {
        TapWidget(*keypad, keypad->CancelRect().center());
        return true;
    }
    if (host::CommandBar* bar = OpenCommandBar(GetFrame())) {
        TapWidget(*bar, bar->ButtonRect(Osp::Ui::Controls::COMMAND_BUTTON_POSITION_RIGHT).center());
        return true;
    }
    return false;
}

bool UiDriver::IsKeypadOpen() const {
    return OnTopOverlay<host::KeypadWidget>() != nullptr || OpenCommandBar(GetFrame()) != nullptr;
}

std::wstring UiDriver::TextOf(const std::wstring& id) const {
    using namespace Osp::Ui::Controls;
    Control* control = Find(id);
    if (auto* label = dynamic_cast<Label*>(control)) {
        return label->GetText().Units();
    }
    if (auto* button = dynamic_cast<Button*>(control)) {
        return button->GetText().Units();
    }
    if (auto* check = dynamic_cast<CheckButton*>(control)) {
        return check->GetText().Units();
    }
    if (auto* field = dynamic_cast<EditField*>(control)) {
        return field->GetText().Units();
    }
    if (auto* area = dynamic_cast<EditArea*>(control)) {
        return area->GetText().Units();
    }
    return {};
}

std::wstring UiDriver::TitleOf(const Form& form) const {
    return form.GetTitleText().Units();
}

bool UiDriver::SaveScreenshot(const std::string& hostPath) const {
    Pump(0);
    return Window().grab().save(QString::fromStdString(hostPath), "PNG");
}

}  // namespace testsupport
