#pragma once
// The card of a message box: title, wrapped text and a row of buttons.

#include <QString>
#include <functional>
#include <vector>

#include "host/ui/ControlWidget.h"

namespace host {

class MessageBoxWidget : public ControlWidget {
public:
    struct ButtonChoice {
        QString text;
        int result;
    };

    MessageBoxWidget(Osp::Ui::Control& box, QWidget* parent, const QString& title, const QString& text,
                     std::vector<ButtonChoice> buttons);

    // Sizes and centres the card in its parent.
    void Place();
    const std::vector<ButtonChoice>& Buttons() const { return buttons_; }
    QRect ButtonRect(size_t index) const;
    // Called with the result of the button tapped.
    std::function<void(int)> onResult;

protected:
    void PaintControl(QPainter& painter) override;
    void TouchReleased(const QPoint& pos, TouchEnd end) override;
    bool ReportsTouches() const override { return false; }

private:
    int TextHeight(int width) const;

    QString title_;
    QString text_;
    std::vector<ButtonChoice> buttons_;
};

}  // namespace host
