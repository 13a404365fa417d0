#include "host/ui/MenuPanel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include "host/ui/ControlImpl.h"
#include "host/ui/FrameWindow.h"
#include "host/ui/Notify.h"
#include "host/ui/Overlay.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

constexpr int kRadius = 14;
constexpr int kMargin = 8;
constexpr int kContextWidth = 280;

}  // namespace

MenuPanel::MenuPanel(Osp::Ui::Control& menu, MenuModel& model, Placement placement, Overlay& overlay)
    : ControlWidget(menu, &overlay), model_(model), placement_(placement), overlay_(overlay) {
    overlay_.onOutsideTap = [this] { Close(); };
    overlay_.onKey = [this](QKeyEvent& event) { return HandleKey(event); };
    overlay_.onResize = [this] { Place(); };
}

void MenuPanel::ApplyShowState(bool show) {
    if (show) {
        Open();
    } else {
        Close();
    }
}

bool MenuPanel::IsOpen() const {
    return overlay_.IsOpen();
}

void MenuPanel::Open() {
    subLevel_ = -1;
    overlay_.Open();
    show();
    Place();
}

void MenuPanel::Close() {
    subLevel_ = -1;
    overlay_.Close();
    if (Owner() != nullptr) {
        Owner()->GetControlImpl().shown = false;
    }
}

const std::vector<MenuItem>& MenuPanel::Level() const {
    if (subLevel_ >= 0 && subLevel_ < static_cast<int>(model_.items.size())) {
        return model_.items[static_cast<size_t>(subLevel_)].subItems;
    }
    return model_.items;
}

int MenuPanel::RowCount() const {
    return static_cast<int>(Level().size()) + (subLevel_ >= 0 ? 1 : 0);
}

QString MenuPanel::RowText(int row) const {
    if (subLevel_ >= 0) {
        if (row == 0) {
            return model_.items[static_cast<size_t>(subLevel_)].text;
        }
        --row;
    }
    const auto& level = Level();
    return row >= 0 && row < static_cast<int>(level.size()) ? level[static_cast<size_t>(row)].text
                                                            : QString();
}

QRect MenuPanel::RowRect(int row) const {
    const int top = placement_ == Placement::kAboveSoftkeys ? kRadius / 2 : 4;
    return QRect(0, top + row * theme::kMenuRowHeight, AreaWidth(), theme::kMenuRowHeight);
}

void MenuPanel::Place() {
    if (Owner() == nullptr) {
        return;
    }
    const QSize window = fit::ToUnits(overlay_.size());
    const int height = RowRect(RowCount()).top() + 4;
    QRect r;
    if (placement_ == Placement::kAboveSoftkeys) {
        r = QRect(kMargin, window.height() - theme::kSoftkeyHeight - kMargin - height,
                  window.width() - 2 * kMargin, height);
    } else {
        const Osp::Graphics::Point anchor = Owner()->GetPosition();
        int x = std::min(anchor.x, window.width() - kContextWidth - kMargin);
        int y = anchor.y;
        if (y + height > window.height() - kMargin) {
            y = std::max(kMargin, anchor.y - height);
        }
        r = QRect(std::max(kMargin, x), y, kContextWidth, std::min(height, window.height() - 2 * kMargin));
    }
    setGeometry(fit::ToPixels(r));
    update();
}

void MenuPanel::PaintControl(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(Area()), kRadius, kRadius);
    p.fillPath(card, theme::kSurface);
    p.setClipPath(card);
    for (int row = 0; row < RowCount(); ++row) {
        const QRect r = RowRect(row);
        const bool header = subLevel_ >= 0 && row == 0;
        if (header) {
            p.fillRect(r, theme::kClientBackground);
        }
        if (IsTapCandidate() && r.contains(PressPosition())) {
            p.fillRect(r, theme::kPressed);
        }
        p.setPen(header ? theme::kAccent : theme::kText);
        p.setFont(theme::Font(22, header));
        const QRect text = r.adjusted(header ? 52 : 24, 0, -48, 0);
        theme::DrawElided(p, text, RowText(row), Qt::AlignLeft | Qt::AlignVCenter);
        p.setPen(QPen(header ? theme::kAccent : theme::kSubText, 2.5, Qt::SolidLine, Qt::RoundCap));
        const int cy = r.center().y();
        if (header) {
            p.drawLine(QPoint(30, cy), QPoint(38, cy - 8));
            p.drawLine(QPoint(30, cy), QPoint(38, cy + 8));
        } else if (!Level()[static_cast<size_t>(subLevel_ >= 0 ? row - 1 : row)].subItems.empty()) {
            const int x = r.right() - 28;
            p.drawLine(QPoint(x, cy - 8), QPoint(x + 8, cy));
            p.drawLine(QPoint(x + 8, cy), QPoint(x, cy + 8));
        }
        if (row + 1 < RowCount()) {
            p.setPen(theme::kSeparator);
            p.drawLine(r.left() + 20, r.bottom(), r.right() - 20, r.bottom());
        }
    }
}

void MenuPanel::TouchReleased(const QPoint& pos, TouchEnd end) {
    update();
    if (end != TouchEnd::kTap) {
        return;
    }
    for (int row = 0; row < RowCount(); ++row) {
        if (RowRect(row).contains(pos) && RowRect(row).contains(PressPosition())) {
            TapRow(row);
            return;
        }
    }
}

void MenuPanel::TapRow(int row) {
    if (subLevel_ >= 0) {
        if (row == 0) {
            subLevel_ = -1;
            Place();
            return;
        }
        --row;
    }
    const auto& level = Level();
    if (row < 0 || row >= static_cast<int>(level.size())) {
        return;
    }
    if (subLevel_ < 0 && !level[static_cast<size_t>(row)].subItems.empty()) {
        subLevel_ = row;
        Place();
        return;
    }
    const int actionId = level[static_cast<size_t>(row)].actionId;
    Osp::Ui::Control* menu = Owner();
    Close();
    if (menu == nullptr) {
        return;
    }
    MenuModel& model = model_;
    Notify<Osp::Ui::IActionEventListener>(
        menu->GetControlImpl().Life(),
        [&model]() -> const std::vector<Osp::Ui::IActionEventListener*>& { return model.listeners; },
        [menu, actionId](Osp::Ui::IActionEventListener& l) { l.OnActionPerformed(*menu, actionId); });
}

bool MenuPanel::HandleKey(QKeyEvent& event) {
    switch (event.key()) {
        case Qt::Key_Escape:
        case Qt::Key_F2:
            if (subLevel_ >= 0) {
                subLevel_ = -1;
                Place();
            } else {
                Close();
            }
            return true;
        case Qt::Key_F10:
        case Qt::Key_Menu:
            Close();
            return true;
        default:
            return false;
    }
}

}  // namespace host
