#include "host/ui/PopupWidget.h"

#include <QPainter>
#include <QPainterPath>

#include "host/ui/Overlay.h"
#include "host/ui/ScreenFit.h"
#include "host/ui/Theme.h"

namespace host {
namespace {

constexpr int kRadius = 14;

}  // namespace

PopupWidget::PopupWidget(Osp::Ui::Controls::Popup& popup, Overlay& overlay)
    : ControlWidget(popup, &overlay),
      impl_(popup.GetPopupImpl()),
      overlay_(overlay),
      client_(new ControlWidget(popup, this)) {}  // takes the touches and shows the drawing layer

QWidget* PopupWidget::ContentArea() {
    return client_;
}

void PopupWidget::ApplyShowState(bool show) {
    if (show) {
        overlay_.Open();
        setVisible(true);
    } else {
        overlay_.Close();
    }
}

void PopupWidget::PaintControl(QPainter& p) {
    if (Owner() == nullptr) {
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(Area()), kRadius, kRadius);
    p.fillPath(card, theme::kSurface);
    const int titleHeight = impl_.TitleHeight();
    if (titleHeight > 0) {
        p.setClipPath(card);
        p.fillRect(QRect(0, 0, AreaWidth(), titleHeight), theme::kBarBackground);
        p.setClipping(false);
        p.setPen(theme::kBarText);
        p.setFont(theme::Font(20, true));
        theme::DrawElided(p, QRect(16, 0, AreaWidth() - 32, titleHeight), impl_.title, Qt::AlignCenter);
    }
}

void PopupWidget::resizeEvent(QResizeEvent*) {
    const int top = impl_.TitleHeight();
    client_->setGeometry(fit::ToPixels(QRect(0, top, AreaWidth(), AreaHeight() - top)));
}

}  // namespace host
