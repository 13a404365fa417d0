#pragma once
// The widget of a popup: a card with a title and a client area, inside a dimming overlay.

#include "host/ui/ControlWidget.h"
#include "host/ui/PopupImpl.h"

namespace host {

class PopupWidget : public ControlWidget {
public:
    PopupWidget(Osp::Ui::Controls::Popup& popup, Overlay& overlay);

    QWidget* ContentArea() override;
    ControlWidget* Client() const { return client_; }
    void ApplyShowState(bool show) override;

protected:
    void PaintControl(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    bool ReportsTouches() const override { return false; }

private:
    Osp::Ui::Controls::Popup::Impl& impl_;
    Overlay& overlay_;
    ControlWidget* client_;
};

}  // namespace host
