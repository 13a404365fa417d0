#include "host/ui/FrameWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "host/ui/FormImpl.h"
#include "host/ui/FrameImpl.h"
#include "host/ui/Overlay.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

using Osp::Ui::Controls::Form;
using KeyId = Form::Impl::KeyId;

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

void FrameWindow::resizeEvent(QResizeEvent*) {
    for (Overlay* overlay : overlays_) {
        overlay->setGeometry(rect());
    }
    // Closed overlays take the new size when they open.
}

void FrameWindow::PaintControl(QPainter& painter) {
    painter.fillRect(rect(), Qt::black);
}

QSize ScreenSize(Osp::Ui::OrientationStatus status) {
    return Osp::Ui::IsLandscape(status) ? QSize(theme::kScreenLong, theme::kScreenShort)
                                        : QSize(theme::kScreenShort, theme::kScreenLong);
}

}  // namespace host
