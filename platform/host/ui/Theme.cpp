#include "host/ui/Theme.h"

#include <QFontMetrics>
#include <QPainterPath>

namespace host::theme {

QFont Font(int pixelSize, bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QColor ToQColor(const Osp::Graphics::Color& color) {
    return QColor(color.GetRed(), color.GetGreen(), color.GetBlue(), color.GetAlpha());
}

void DrawElided(QPainter& painter, const QRect& rect, const QString& text, int alignment) {
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, rect.width());
    painter.drawText(rect, alignment | Qt::TextSingleLine, shown);
}

void DrawButtonFace(QPainter& painter, const QRect& rect, bool primary, bool pressed, bool enabled) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect).adjusted(1, 1, -1, -1);
    if (primary) {
        QColor fill = pressed ? kAccent.darker(120) : kAccent;
        if (!enabled) {
            fill = kDisabledText;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
    } else {
        painter.setPen(QPen(enabled ? kFieldBorder : kSeparator, 1.5));
        painter.setBrush(pressed ? kPressed : kSurface);
    }
    painter.drawRoundedRect(r, 10, 10);
    painter.restore();
}

void DrawCheckBox(QPainter& painter, const QPoint& centre, bool checked, bool enabled) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(centre.x() - 14, centre.y() - 14, 28, 28);
    if (checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(enabled ? kAccent : kDisabledText);
        painter.drawRoundedRect(box, 7, 7);
        QPainterPath tick;
        tick.moveTo(box.left() + 7, box.center().y() + 1);
        tick.lineTo(box.left() + 12, box.bottom() - 8);
        tick.lineTo(box.right() - 6, box.top() + 8);
        painter.setPen(QPen(kAccentText, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    } else {
        painter.setPen(QPen(enabled ? kFieldBorder.darker(115) : kSeparator, 2));
        painter.setBrush(kSurface);
        painter.drawRoundedRect(box.adjusted(1, 1, -1, -1), 7, 7);
    }
    painter.restore();
}

}  // namespace host::theme
