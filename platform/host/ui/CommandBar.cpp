#include "host/ui/CommandBar.h"

#include <QMouseEvent>
#include <QPainter>

#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace host {

using Osp::Ui::Controls::COMMAND_BUTTON_POSITION_LEFT;
using Osp::Ui::Controls::COMMAND_BUTTON_POSITION_RIGHT;
using Osp::Ui::Controls::CommandButtonPosition;

CommandBar::CommandBar(QWidget* parent) : QWidget(parent) {
    hide();
}

void CommandBar::SetTexts(const QString& left, const QString& right) {
    texts_[COMMAND_BUTTON_POSITION_LEFT] = left;
    texts_[COMMAND_BUTTON_POSITION_RIGHT] = right;
    update();
}

QRect CommandBar::ButtonRect(CommandButtonPosition position) const {
    const QSize area = fit::ToUnits(size());
    const int half = area.width() / 2;
    const QRect r = position == COMMAND_BUTTON_POSITION_LEFT
                        ? QRect(0, 0, half, area.height())
                        : QRect(half, 0, area.width() - half, area.height());
    return r.adjusted(12, 10, -12, -10);
}

void CommandBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.scale(fit::Scale(), fit::Scale());
    p.fillRect(QRect(QPoint(0, 0), fit::ToUnits(size())), theme::kBarBackground);
    p.setFont(theme::Font(21, true));
    for (CommandButtonPosition pos : {COMMAND_BUTTON_POSITION_LEFT, COMMAND_BUTTON_POSITION_RIGHT}) {
        const QRect r = ButtonRect(pos);
        const bool primary = pos == COMMAND_BUTTON_POSITION_LEFT;
        theme::DrawButtonFace(p, r, primary, pressed_ == pos, true);
        p.setPen(primary ? theme::kAccentText : theme::kText);
        theme::DrawElided(p, r.adjusted(8, 0, -8, 0), texts_[pos], Qt::AlignCenter);
    }
}

int CommandBar::ButtonAt(const QPoint& p) const {
    for (CommandButtonPosition pos : {COMMAND_BUTTON_POSITION_LEFT, COMMAND_BUTTON_POSITION_RIGHT}) {
        if (ButtonRect(pos).contains(p)) {
            return pos;
        }
    }
    return -1;
}

void CommandBar::mousePressEvent(QMouseEvent* event) {
    pressed_ = ButtonAt(fit::ToUnits(event->position()));
    update();
}

void CommandBar::mouseReleaseEvent(QMouseEvent* event) {
    const int pressed = pressed_;
    pressed_ = -1;
    update();
    if (pressed >= 0 && ButtonAt(fit::ToUnits(event->position())) == pressed && onPress) {
        onPress(static_cast<CommandButtonPosition>(pressed));
    }
}

}  // namespace host
