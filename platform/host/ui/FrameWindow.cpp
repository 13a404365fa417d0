#include "host/ui/FrameWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <algorithm>

#include "host/ui/FormImpl.h"
#include "host/ui/FrameImpl.h"
#include "host/ui/Overlay.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

using Osp::Ui::Controls::Form;
using KeyId = Form::Impl::KeyId;

// A screen whose shorter side, in device-independent pixels, is below this is a phone's or a small
// tablet's: the window fills it.
constexpr int kPhoneScreenShortSide = 600;

bool& FullScreenAsked() {
    static bool asked = false;
    return asked;
}

bool IsPhoneKey(const QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_F1:
        case Qt::Key_F2:
        case Qt::Key_F10:
        case Qt::Key_Escape:
        case Qt::Key_Menu:
            return true;
        default:
            return false;
    }
}

}  // namespace

FrameWindow::FrameWindow(Osp::Ui::Controls::Frame& frame) : ControlWidget(frame), frame_(frame) {
    setWindowTitle(QStringLiteral("Corvane"));
    // Touches belong to the controls; beside them (overlays, bars) a finger acts as the mouse.
    setAttribute(Qt::WA_AcceptTouchEvents, false);
    qApp->installEventFilter(this);
}

FrameWindow::~FrameWindow() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

void FrameWindow::AddOverlay(Overlay* overlay) {
    RemoveOverlay(overlay);
    overlays_.push_back(overlay);
}

void FrameWindow::RemoveOverlay(Overlay* overlay) {
    overlays_.erase(std::remove(overlays_.begin(), overlays_.end(), overlay), overlays_.end());
}

bool FrameWindow::HandleKey(QKeyEvent& event) {
    if (event.key() == Qt::Key_R && (event.modifiers() & Qt::ControlModifier)) {
        const bool landscape = Osp::Ui::IsLandscape(frame_.GetOrientationStatus());
        frame_.SetDeviceOrientation(landscape ? Osp::Ui::ORIENTATION_STATUS_PORTRAIT
                                              : Osp::Ui::ORIENTATION_STATUS_LANDSCAPE);
        return true;
    }
    if (!overlays_.empty()) {
        Overlay* top = overlays_.back();
        if (top->onKey && top->onKey(event)) {
            return true;
        }
        return IsPhoneKey(event);  // the form below does not see keys while something lies over it
    }
    if (commandBarKeys_ && commandBarKeys_(event)) {
        return true;
    }
    Form* form = frame_.GetCurrentForm();
    if (form == nullptr) {
        return false;
    }
    switch (event.key()) {
        case Qt::Key_F1:
            return form->GetFormImpl().PressKey(*form, KeyId::kLeft);
        case Qt::Key_F2:
        case Qt::Key_Escape:
            return form->GetFormImpl().PressKey(*form, KeyId::kRight);
        case Qt::Key_F10:
        case Qt::Key_Menu:
            return form->GetFormImpl().PressKey(*form, KeyId::kOption);
        default:
            return false;
    }
}

bool FrameWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return false;
    }
    return HandleKey(*static_cast<QKeyEvent*>(event));
}

void FrameWindow::resizeEvent(QResizeEvent* event) {
    for (Overlay* overlay : overlays_) {
        overlay->setGeometry(rect());
    }
    // Closed overlays take the new size when they open.
    frame_.GetFrameImpl().FitWindow(frame_, event->size());
}

void FrameWindow::PaintControl(QPainter& painter) {
    painter.fillRect(Area(), Qt::black);
}

QSize DesignSize(Osp::Ui::OrientationStatus status) {
    return Osp::Ui::IsLandscape(status) ? QSize(fit::kLong, fit::kShort) : QSize(fit::kShort, fit::kLong);
}

QSize UnitSize(Osp::Ui::OrientationStatus status) {
    const QSize window = AppFrame().GetFrameImpl().windowSize;
    return fit::Compute(window, Osp::Ui::IsLandscape(status)).units;
}

void AskFullScreen() {
    FullScreenAsked() = true;
}

void ShowAppWindow(QWidget& window) {
    if (FullScreenAsked()) {
        window.showFullScreen();
        return;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize available = screen != nullptr ? screen->availableSize() : QSize();
    if (available.isValid() && std::min(available.width(), available.height()) < kPhoneScreenShortSide) {
        window.showMaximized();
    } else {
        window.show();
    }
}

}  // namespace host
