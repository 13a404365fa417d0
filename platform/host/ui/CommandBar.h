#pragma once
// The two command buttons of an overlay keypad, shown in place of the form's soft-key bar while an
// edit field on a scroll panel is being edited.

#include <QString>
#include <QWidget>
#include <functional>

#include "Osp/Ui/Controls/EditTypes.h"

namespace host {

class CommandBar : public QWidget {
public:
    explicit CommandBar(QWidget* parent);

    void SetTexts(const QString& left, const QString& right);
    // In the bar's units.
    QRect ButtonRect(Osp::Ui::Controls::CommandButtonPosition position) const;
    // Called with the button tapped.
    std::function<void(Osp::Ui::Controls::CommandButtonPosition)> onPress;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int ButtonAt(const QPoint& p) const;

    QString texts_[2];
    int pressed_ = -1;
};

}  // namespace host
