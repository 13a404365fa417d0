#include "host/ui/MessageBoxWidget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

constexpr int kPadding = 24;
constexpr int kTitleGap = 12;
constexpr int kButtonHeight = 56;
constexpr int kButtonGap = 10;
constexpr int kRadius = 16;
constexpr int kTextSize = 20;
constexpr int kTitleSize = 22;

}  // namespace

MessageBoxWidget::MessageBoxWidget(Osp::Ui::Control& box, QWidget* parent, const QString& title,
                                   const QString& text, std::vector<ButtonChoice> buttons)
    : ControlWidget(box, parent), title_(title), text_(text), buttons_(std::move(buttons)) {}

int MessageBoxWidget::TextHeight(int width) const {
    const QFontMetrics metrics(theme::Font(kTextSize));
    return metrics.boundingRect(QRect(0, 0, width, 4000), Qt::TextWordWrap, text_).height();
}

void MessageBoxWidget::Place() {
    const QSize area = fit::ToUnits(parentWidget()->size());
    const int width = std::min(area.width() - 40, 420);
    const int inner = width - 2 * kPadding;
    int height = kPadding + TextHeight(inner) + kPadding;
    if (!title_.isEmpty()) {
        height += QFontMetrics(theme::Font(kTitleSize, true)).height() + kTitleGap;
    }
    if (!buttons_.empty()) {
        height += kButtonHeight + kPadding / 2;
    }
    height = std::min(height, area.height() - 40);
    setGeometry(
        fit::ToPixels(QRect((area.width() - width) / 2, (area.height() - height) / 2, width, height)));
    update();
}

QRect MessageBoxWidget::ButtonRect(size_t index) const {
    const int count = static_cast<int>(buttons_.size());
    const int inner = AreaWidth() - 2 * kPadding + kButtonGap;
    const int each = inner / std::max(1, count);
    const int top = AreaHeight() - kPadding / 2 - kButtonHeight - kPadding / 2 + 4;
    return QRect(kPadding + static_cast<int>(index) * each, top, each - kButtonGap, kButtonHeight - 8);
}

void MessageBoxWidget::PaintControl(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(Area()), kRadius, kRadius);
    p.fillPath(card, theme::kSurface);
    int y = kPadding;
    const int inner = AreaWidth() - 2 * kPadding;
    if (!title_.isEmpty()) {
        p.setFont(theme::Font(kTitleSize, true));
        p.setPen(theme::kText);
        const int h = p.fontMetrics().height();
        theme::DrawElided(p, QRect(kPadding, y, inner, h), title_, Qt::AlignLeft | Qt::AlignVCenter);
        y += h + kTitleGap;
    }
    p.setFont(theme::Font(kTextSize));
    p.setPen(theme::kText);
    const int textBottom = buttons_.empty() ? AreaHeight() - kPadding : ButtonRect(0).top() - kPadding / 2;
    p.drawText(QRect(kPadding, y, inner, textBottom - y), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
               text_);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const QRect r = ButtonRect(i);
        const bool primary = i == 0;
        theme::DrawButtonFace(p, r, primary, IsTapCandidate() && r.contains(PressPosition()), true);
        p.setFont(theme::Font(20, primary));
        p.setPen(primary ? theme::kAccentText : theme::kText);
        theme::DrawElided(p, r.adjusted(6, 0, -6, 0), buttons_[i].text, Qt::AlignCenter);
    }
}

void MessageBoxWidget::TouchReleased(const QPoint& pos, TouchEnd end) {
    update();
    if (end != TouchEnd::kTap) {
        return;
    }
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (ButtonRect(i).contains(pos) && ButtonRect(i).contains(PressPosition()) && onResult) {
            onResult(buttons_[i].result);
            return;
        }
    }
}

}  // namespace host
