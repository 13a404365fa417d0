#pragma once
// The widget behind a control: draws the control's look and the user's drawing layer, and turns mouse
// and touch-screen input (one finger: the first point of a touch) into the platform's touches (press, moves,
// long press, release) for the control's touch listeners and for the control's own behaviour. Painting and
// touches are in the phone's units: the painter comes scaled to the window's fit, and positions are turned
// into units before use.
//
// The widget outlives its control: when the control is deleted the widget is hidden, forgets the
// control and is deleted by the event loop, so a control may be deleted inside its own listener calls.

#include <QElapsedTimer>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <utility>

#include "Osp/Ui/Control.h"

class QTouchEvent;

namespace host {

class ControlWidget : public QWidget {
public:
    enum class TouchEnd { kTap, kDrag, kLongPress };

    explicit ControlWidget(Osp::Ui::Control& owner, QWidget* parent = nullptr);
    ~ControlWidget() override;

    // The control, or null once it has been deleted.
    Osp::Ui::Control* Owner() const { return owner_; }
    // Called by the control's destructor.
    void ReleaseOwner();
    // Where the children of a container are placed (its client area).
    virtual QWidget* ContentArea() { return this; }
    // Schedules a drawing unless the widget is drawing right now (a canvas shown from OnDraw).
    void RequestUpdate();
    // Shows or hides the control; controls above the forms open and close their overlay instead.
    virtual void ApplyShowState(bool show) { setVisible(show); }
    // Control::SetFocus: edit fields also become where typing goes.
    virtual void TakeFocus() { setFocus(Qt::OtherFocusReason); }

    // The widget's own area in units, where PaintControl draws and touches land.
    QRect Area() const;
    int AreaWidth() const { return Area().width(); }
    int AreaHeight() const { return Area().height(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // The control's own look.
    virtual void PaintControl(QPainter& painter) {}
    // The control's own reaction to touches, called after the touch listeners when the control still
    // exists. TouchMoved comes for every move once the touch is a drag.
    virtual void TouchPressed(const QPoint& pos) {}
    virtual void TouchMoved(const QPoint& pos) {}
    virtual void TouchLongPressed(const QPoint& pos) {}
    virtual void TouchReleased(const QPoint& pos, TouchEnd end) {}
    // Whether the touch listeners hear about touches on this widget.
    virtual bool ReportsTouches() const { return true; }

    // The finger is down and the touch is still a candidate for a tap.
    bool IsTapCandidate() const { return down_ && !dragging_ && !longPressed_; }
    QPoint PressPosition() const { return pressPos_; }
    // Speed of the finger over its last moves, in pixels per second.
    QPointF ReleaseVelocity() const;

private:
    void Press(const QPoint& pos, bool doublePress);
    void Move(const QPoint& pos);
    void Release(const QPoint& pos);
    bool HandleTouch(QTouchEvent& touch);
    void OnLongPressTimer();
    bool NotifyTouch(int status, const QPoint& pos);

    Osp::Ui::Control* owner_;
    bool down_ = false;
    bool dragging_ = false;
    bool longPressed_ = false;
    bool painting_ = false;
    QPoint pressPos_;
    QPoint lastPos_;
    QTimer longPressTimer_;
    QElapsedTimer clock_;
    std::deque<std::pair<qint64, QPoint>> samples_;
};

}  // namespace host
