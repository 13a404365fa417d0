#include "host/ui/Overlay.h"

#include <QMouseEvent>
#include <QPainter>

#include "host/ui/FrameWindow.h"
#include "host/ui/Theme.h"

namespace host {

Overlay::Overlay(Kind kind, bool dim) : QWidget(&AppWindow()), kind_(kind), dim_(dim) {
    hide();
    setGeometry(parentWidget()->rect());
}

Overlay::~Overlay() {
    if (open_) {
        AppWindow().RemoveOverlay(this);
    }
}

void Overlay::Open() {
    setGeometry(parentWidget()->rect());
    // The window may have been fitted anew since the content was placed, at the same size.
    if (onResize) {
        onResize();
    }
    if (!open_) {
        open_ = true;
        AppWindow().AddOverlay(this);
    }
    show();
    raise();
}

void Overlay::Close() {
    if (open_) {
        open_ = false;
        AppWindow().RemoveOverlay(this);
    }
    hide();
}

void Overlay::paintEvent(QPaintEvent*) {
    if (dim_) {
        QPainter p(this);
        p.fillRect(rect(), theme::kScrim);
    }
}

void Overlay::mousePressEvent(QMouseEvent*) {
    pressed_ = true;
}

void Overlay::mouseReleaseEvent(QMouseEvent*) {
    const bool tapped = pressed_;
    pressed_ = false;
    if (tapped && onOutsideTap) {
        onOutsideTap();
    }
}

void Overlay::resizeEvent(QResizeEvent*) {
    if (onResize) {
        onResize();
    }
}

}  // namespace host
