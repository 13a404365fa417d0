#include "host/ui/ControlWidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>

#include "host/ui/ControlImpl.h"
#include "host/ui/Notify.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

using Osp::Ui::ITouchEventListener;

// Only the last moves tell the speed of a flick.
constexpr qint64 kVelocityWindowMs = 100;

Osp::Graphics::Point ToPoint(const QPoint& p) {
    return Osp::Graphics::Point(p.x(), p.y());
}

}  // namespace

ControlWidget::ControlWidget(Osp::Ui::Control& owner, QWidget* parent) : QWidget(parent), owner_(&owner) {
    setAttribute(Qt::WA_AcceptTouchEvents);
    longPressTimer_.setSingleShot(true);
    longPressTimer_.setInterval(theme::kLongPressMs);
    QObject::connect(&longPressTimer_, &QTimer::timeout, this, [this] { OnLongPressTimer(); });
    clock_.start();
}

ControlWidget::~ControlWidget() = default;

void ControlWidget::ReleaseOwner() {
    owner_ = nullptr;
    longPressTimer_.stop();
    hide();
    deleteLater();
}

void ControlWidget::RequestUpdate() {
    if (!painting_) {
        update();
    }
}

void ControlWidget::paintEvent(QPaintEvent*) {
    if (owner_ == nullptr) {
        return;
    }
    QPainter painter(this);
    painter.scale(fit::Scale(), fit::Scale());
    PaintControl(painter);
    Osp::Ui::Control::Impl& impl = owner_->GetControlImpl();
    if (impl.layerWidget != this) {
        return;
    }
    const std::weak_ptr<int> life = impl.Life();
    if (!impl.layer.isNull()) {
        impl.layer.fill(Qt::transparent);
    }
    painting_ = true;
    owner_->OnDraw();
    painting_ = false;
    if (!life.expired() && !impl.layer.isNull()) {
        painter.drawImage(0, 0, impl.layer);
    }
}

bool ControlWidget::NotifyTouch(int status, const QPoint& pos) {
    if (owner_ == nullptr) {
        return false;
    }
    if (!ReportsTouches()) {
        return true;
    }
    Osp::Ui::Control& control = *owner_;
    const Osp::Ui::TouchEventInfo info(static_cast<Osp::Ui::TouchStatus>(status), ToPoint(pressPos_),
                                       ToPoint(pos), dragging_);
    const Osp::Graphics::Point current = ToPoint(pos);
    return Notify<ITouchEventListener>(
        control.GetControlImpl().Life(),
        [&control]() -> const std::vector<ITouchEventListener*>& {
            return control.GetControlImpl().touchListeners;
        },
        [&](ITouchEventListener& l) {
            switch (info.GetTouchStatus()) {
                case Osp::Ui::TOUCH_PRESSED:
                    l.OnTouchPressed(control, current, info);
                    break;
                case Osp::Ui::TOUCH_DOUBLE_PRESSED:
                    l.OnTouchDoublePressed(control, current, info);
                    break;
                case Osp::Ui::TOUCH_LONG_PRESSED:
                    l.OnTouchLongPressed(control, current, info);
                    break;
                case Osp::Ui::TOUCH_MOVED:
                    l.OnTouchMoved(control, current, info);
                    break;
                case Osp::Ui::TOUCH_RELEASED:
                    l.OnTouchReleased(control, current, info);
                    break;
                default:
                    break;
            }
        });
}

void ControlWidget::Press(const QPoint& pos, bool doublePress) {
    down_ = true;
    dragging_ = false;
    longPressed_ = false;
    pressPos_ = pos;
    lastPos_ = pos;
    samples_.clear();
    samples_.emplace_back(clock_.elapsed(), pos);
    longPressTimer_.start();
    update();
    if (!NotifyTouch(Osp::Ui::TOUCH_PRESSED, pos)) {
        return;
    }
    if (doublePress && !NotifyTouch(Osp::Ui::TOUCH_DOUBLE_PRESSED, pos)) {
        return;
    }
    TouchPressed(pos);
}

void ControlWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    Press(fit::ToUnits(event->position()), false);
}

void ControlWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    Press(fit::ToUnits(event->position()), true);
}

void ControlWidget::mouseMoveEvent(QMouseEvent* event) {
    Move(fit::ToUnits(event->position()));
}

void ControlWidget::Move(const QPoint& pos) {
    if (!down_) {
        return;
    }
    const qint64 now = clock_.elapsed();
    samples_.emplace_back(now, pos);
    while (samples_.size() > 2 && now - samples_.front().first > kVelocityWindowMs) {
        samples_.pop_front();
    }
    if (!dragging_ && (pos - pressPos_).manhattanLength() > theme::kTapSlop) {
        dragging_ = true;
        longPressTimer_.stop();
        update();
    }
    if (pos == lastPos_) {
        return;
    }
    lastPos_ = pos;
    if (!NotifyTouch(Osp::Ui::TOUCH_MOVED, pos)) {
        return;
    }
    if (dragging_) {
        TouchMoved(pos);
    }
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        Release(fit::ToUnits(event->position()));
    }
}

void ControlWidget::Release(const QPoint& pos) {
    if (!down_) {
        return;
    }
    down_ = false;
    longPressTimer_.stop();
    update();
    const TouchEnd end = longPressed_ ? TouchEnd::kLongPress : dragging_ ? TouchEnd::kDrag : TouchEnd::kTap;
    if (!NotifyTouch(Osp::Ui::TOUCH_RELEASED, pos)) {
        return;
    }
    TouchReleased(pos, end);
}

bool ControlWidget::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
            return HandleTouch(*static_cast<QTouchEvent*>(event));
        default:
            return QWidget::event(event);
    }
}

bool ControlWidget::HandleTouch(QTouchEvent& touch) {
    if (touch.points().isEmpty()) {
        return false;
    }
    const QPointF local = touch.points().first().position();
    if (touch.type() == QEvent::TouchBegin) {
        // A text editor inside the control takes the finger as Qt gives it to editors: as a mouse.
        for (QWidget* w = childAt(local.toPoint()); w != nullptr && w != this; w = w->parentWidget()) {
            if (dynamic_cast<ControlWidget*>(w) == nullptr && w->focusPolicy() != Qt::NoFocus) {
                touch.ignore();
                return false;
            }
        }
    }
    const QPoint pos = fit::ToUnits(local);
    switch (touch.type()) {
        case QEvent::TouchBegin:
            Press(pos, false);
            break;
        case QEvent::TouchUpdate:
            Move(pos);
            break;
        case QEvent::TouchEnd:
            Release(pos);
            break;
        default:
            // The system took the finger away (a gesture of the shell): what it began is no tap.
            dragging_ = true;
            longPressTimer_.stop();
            Release(lastPos_);
            break;
    }
    touch.accept();
    return true;
}

void ControlWidget::OnLongPressTimer() {
    if (!down_ || dragging_) {
        return;
    }
    longPressed_ = true;
    update();
    if (!NotifyTouch(Osp::Ui::TOUCH_LONG_PRESSED, lastPos_)) {
        return;
    }
    TouchLongPressed(lastPos_);
}

QRect ControlWidget::Area() const {
    return QRect(QPoint(0, 0), fit::ToUnits(size()));
}

QPointF ControlWidget::ReleaseVelocity() const {
    if (samples_.size() < 2) {
        return {};
    }
    const auto& [t0, p0] = samples_.front();
    const auto& [t1, p1] = samples_.back();
    if (clock_.elapsed() - t1 > kVelocityWindowMs || t1 <= t0) {
        return {};  // the finger rested before lifting
    }
    const double seconds = static_cast<double>(t1 - t0) / 1000.0;
    return QPointF(p1 - p0) / seconds;
}

}  // namespace host
