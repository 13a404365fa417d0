#include "host/ui/ScrollPanelWidget.h"

#include <QWheelEvent>
#include <algorithm>

#include "host/ui/ScreenFit.h"
namespace host {
namespace {

// Room below the last control, so that it does not stick to the panel's edge.
constexpr int kBottomMargin = 16;

}  // namespace

ScrollPanelWidget::ScrollPanelWidget(Osp::Ui::Control& panel)
    : ControlWidget(panel), content_(new QWidget(this)) {}

int ScrollPanelWidget::ContentHeight() const {
    const int childrenBottom = fit::ToUnits(QSize(0, content_->childrenRect().bottom() + 1)).height();
    return std::max(AreaHeight(), childrenBottom + kBottomMargin);
}

void ScrollPanelWidget::SetOffset(int offset) {
    offset_ = std::clamp(offset, 0, std::max(0, ContentHeight() - AreaHeight()));
    content_->setGeometry(fit::ToPixels(QRect(0, -offset_, AreaWidth(), ContentHeight())));
}

void ScrollPanelWidget::resizeEvent(QResizeEvent*) {
    SetOffset(offset_);
}

void ScrollPanelWidget::wheelEvent(QWheelEvent* event) {
    SetOffset(offset_ - event->angleDelta().y() / 2);
}

void ScrollPanelWidget::TouchPressed(const QPoint&) {
    pressOffset_ = offset_;
    if (onPressed) {
        onPressed();
    }
}

void ScrollPanelWidget::TouchMoved(const QPoint& pos) {
    SetOffset(pressOffset_ - (pos.y() - PressPosition().y()));
}

}  // namespace host
