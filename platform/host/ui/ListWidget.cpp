#include "host/ui/ListWidget.h"

#include <QPainter>
#include <cmath>

#include "host/ui/Theme.h"

namespace host {
namespace {

using Osp::Ui::Controls::List;

constexpr int kGlideTickMs = 16;
// The glide loses this share of its speed every second, and ends below the minimum speed.
constexpr double kGlideFriction = 2.5;
constexpr double kMinGlideSpeed = 40;
constexpr double kMinFlickSpeed = 300;
constexpr int kIconSize = 44;
// In place of a pressed row while the finger drags the list (the scroll bar shows then).
constexpr int kDragging = -2;

}  // namespace

ListWidget::ListWidget(List& list) : ControlWidget(list), impl_(list.GetListImpl()) {
    glide_.setInterval(kGlideTickMs);
    QObject::connect(&glide_, &QTimer::timeout, this, [this] { GlideStep(); });
}

void ListWidget::StopGlide() {
    glide_.stop();
    glideVelocity_ = 0;
}

void ListWidget::PaintControl(QPainter& p) {
    p.fillRect(Area(), theme::kSurface);
    if (impl_.items.empty()) {
        p.setPen(theme::kSubText);
        p.setFont(theme::Font(22));
        p.drawText(Area().adjusted(24, 0, -24, 0), Qt::AlignCenter | Qt::TextWordWrap, impl_.emptyText);
        return;
    }
    const int first = impl_.offset / impl_.rowHeight;
    const int last =
        std::min(static_cast<int>(impl_.items.size()) - 1, (impl_.offset + AreaHeight()) / impl_.rowHeight);
    for (int i = first; i <= last; ++i) {
        PaintRow(p, i);
    }
    if ((IsGliding() || pressedIndex_ == kDragging) && impl_.MaxOffset() > 0) {
        const int content = static_cast<int>(impl_.items.size()) * impl_.rowHeight;
        const int barHeight = std::max(40, AreaHeight() * AreaHeight() / content);
        const int barTop = (AreaHeight() - barHeight) * impl_.offset / impl_.MaxOffset();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRoundedRect(QRectF(AreaWidth() - 7, barTop + 2, 4, barHeight - 4), 2, 2);
    }
}

void ListWidget::PaintRow(QPainter& p, int index) {
    const List::Impl::Item& item = impl_.items[static_cast<size_t>(index)];
    const QRect row = impl_.RowRect(index);
    if (!item.enabled && item.text1.isEmpty() && item.bitmap1.isNull()) {
        return;  // a blank spacer row
    }
    if (item.checked && impl_.HasMarks()) {
        p.fillRect(row, theme::kCheckedRow);
    }
    if (index == pressedIndex_ && IsTapCandidate() && item.enabled) {
        p.fillRect(row, theme::kPressed);
    }
    QRect content = row;
    const QRect mark = impl_.MarkRect(index);
    if (!mark.isEmpty()) {
        content.setRight(mark.left() - 1);
    }
    int x = row.left();
    if (impl_.HasImage()) {
        const int columnWidth = impl_.column1Width > 0 ? impl_.column1Width : 80;
        if (!item.bitmap1.isNull()) {
            const QSize size = item.bitmap1.size().scaled(kIconSize, kIconSize, Qt::KeepAspectRatio);
            const QRect icon(
                QPoint(x + (columnWidth - size.width()) / 2, row.center().y() - size.height() / 2 + 1), size);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(icon, item.bitmap1);
        }
        x += columnWidth;
    } else {
        x += 22;
    }
    const int textRight = content.right() - 12;
    int text1Right = textRight;
    if (impl_.HasSecondText()) {
        const int width1 = impl_.HasImage() ? impl_.column2Width : impl_.column1Width;
        if (width1 > 0) {
            text1Right = std::min(textRight, x + width1);
        }
    }
    p.setPen(item.enabled ? theme::kText : theme::kDisabledText);
    p.setFont(theme::Font(22));
    theme::DrawElided(p, QRect(x, row.top(), std::max(0, text1Right - x), row.height()), item.text1,
                      Qt::AlignLeft | Qt::AlignVCenter);
    if (impl_.HasSecondText() && !item.text2.isEmpty() && textRight > text1Right + 8) {
        p.setPen(theme::kSubText);
        p.setFont(theme::Font(18));
        theme::DrawElided(p, QRect(text1Right + 8, row.top(), textRight - text1Right - 8, row.height()),
                          item.text2, Qt::AlignRight | Qt::AlignVCenter);
    }
    p.setPen(theme::kSeparator);
    p.drawLine(impl_.HasImage() ? x : row.left() + 22, row.bottom(), row.right(), row.bottom());
    if (!mark.isEmpty() && item.enabled) {
        if (impl_.style == Osp::Ui::Controls::LIST_STYLE_MARK_WITH_DIVIDER) {
            p.setPen(theme::kSeparator);
            p.drawLine(mark.left(), mark.top() + 16, mark.left(), mark.bottom() - 16);
        }
        theme::DrawCheckBox(p, mark.center(), item.checked, true);
    }
}

void ListWidget::TouchPressed(const QPoint& pos) {
    StopGlide();
    pressOffset_ = impl_.offset;
    pressedIndex_ = impl_.IndexAt(pos);
    update();
}

void ListWidget::TouchMoved(const QPoint& pos) {
    pressedIndex_ = kDragging;
    impl_.SetOffset(pressOffset_ - (pos.y() - PressPosition().y()));
    update();
}

void ListWidget::TouchReleased(const QPoint& pos, TouchEnd end) {
    const int pressed = pressedIndex_;
    pressedIndex_ = -1;
    update();
    if (end == TouchEnd::kDrag) {
        const double speed = -ReleaseVelocity().y();
        if (std::abs(speed) >= kMinFlickSpeed) {
            glideVelocity_ = speed;
            glide_.start();
        }
        return;
    }
    if (end == TouchEnd::kTap && pressed >= 0 && impl_.IndexAt(pos) == pressed) {
        Tap(pos);
    }
}

void ListWidget::Tap(const QPoint& pos) {
    auto* list = static_cast<List*>(Owner());
    const int index = impl_.IndexAt(pos);
    if (list == nullptr || !impl_.IsValid(index) || !impl_.items[static_cast<size_t>(index)].enabled) {
        return;
    }
    List::Impl::Item& item = impl_.items[static_cast<size_t>(index)];
    const bool onMark = impl_.style == Osp::Ui::Controls::LIST_STYLE_MARK ||
                        (impl_.style == Osp::Ui::Controls::LIST_STYLE_MARK_WITH_DIVIDER &&
                         impl_.MarkRect(index).contains(pos));
    if (onMark) {
        item.checked = !item.checked;
        update();
        impl_.NotifyItem(*list, index, item.checked ? Osp::Ui::ITEM_CHECKED : Osp::Ui::ITEM_UNCHECKED);
        return;
    }
    impl_.NotifyItem(*list, index, Osp::Ui::ITEM_SELECTED);
}

void ListWidget::GlideStep() {
    if (Owner() == nullptr) {
        StopGlide();
        return;
    }
    const int before = impl_.offset;
    impl_.SetOffset(before + static_cast<int>(std::lround(glideVelocity_ * kGlideTickMs / 1000.0)));
    glideVelocity_ *= std::max(0.0, 1.0 - kGlideFriction * kGlideTickMs / 1000.0);
    if (impl_.offset == before || std::abs(glideVelocity_) < kMinGlideSpeed) {
        StopGlide();
    }
    update();
}

}  // namespace host
