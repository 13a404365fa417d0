#pragma once
// The widget of a list: draws the visible rows, scrolls with the finger and glides after a flick.

#include <QTimer>

#include "host/ui/ControlWidget.h"
#include "host/ui/ListImpl.h"

namespace host {

class ListWidget : public ControlWidget {
public:
    explicit ListWidget(Osp::Ui::Controls::List& list);

    // Stops a glide (a touch catches the moving list).
    void StopGlide();
    bool IsGliding() const { return glide_.isActive(); }

protected:
    void PaintControl(QPainter& painter) override;
    void TouchPressed(const QPoint& pos) override;
    void TouchMoved(const QPoint& pos) override;
    void TouchReleased(const QPoint& pos, TouchEnd end) override;

private:
    void PaintRow(QPainter& painter, int index);
    void Tap(const QPoint& pos);
    void GlideStep();

    Osp::Ui::Controls::List::Impl& impl_;
    int pressOffset_ = 0;
    int pressedIndex_ = -1;
    double glideVelocity_ = 0;  // pixels per second, positive scrolls down the list
    QTimer glide_;
};

}  // namespace host
