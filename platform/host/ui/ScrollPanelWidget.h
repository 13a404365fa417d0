#pragma once
// The widget of a scroll panel: its controls lie on a content area that moves up and down.

#include <functional>

#include "host/ui/ControlWidget.h"

namespace host {

class ScrollPanelWidget : public ControlWidget {
public:
    explicit ScrollPanelWidget(Osp::Ui::Control& panel);

    // Called when the panel's free area is pressed.
    std::function<void()> onPressed;

    QWidget* ContentArea() override { return content_; }
    int Offset() const { return offset_; }
    void SetOffset(int offset);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void TouchPressed(const QPoint& pos) override;
    void TouchMoved(const QPoint& pos) override;

private:
    int ContentHeight() const;

    QWidget* content_;
    int offset_ = 0;
    int pressOffset_ = 0;
};

}  // namespace host
