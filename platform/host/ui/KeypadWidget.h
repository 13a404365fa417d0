#pragma once
// The full-screen keypad: a title bar, the edit line, an on-screen keyboard and a bar with OK and
// Cancel.

#include <QString>
#include <functional>
#include <vector>

#include "host/ui/ControlWidget.h"

class QLineEdit;

namespace host {

class KeypadWidget : public ControlWidget {
public:
    KeypadWidget(Osp::Ui::Control& keypad, QWidget* parent, bool password, bool digitsOnly, int limit);

    QLineEdit* Editor() const { return editor_; }
    // Lays the keys out for the widget's size, or none while the system's keyboard serves.
    void LayOutKeys();
    bool ShowsKeys() const { return !keys_.empty(); }
    void SetTitle(const QString& title);
    QRect OkRect() const;
    QRect CancelRect() const;
    // Called with true for OK and false for Cancel.
    std::function<void(bool)> onClose;
    // Opens (true) or closes the keypad: SetShowState of the control.
    std::function<void(bool)> onShowState;
    void ApplyShowState(bool show) override {
        if (onShowState) {
            onShowState(show);
        }
    }

protected:
    void PaintControl(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void TouchReleased(const QPoint& pos, TouchEnd end) override;
    bool ReportsTouches() const override { return false; }

private:
    struct Key {
        QString label;
        QRect rect;
    };
    void PressKey(const QString& label);

    QLineEdit* editor_;
    QString title_;
    bool digitsOnly_;
    bool shift_ = false;
    std::vector<Key> keys_;  // empty while the system's keyboard serves
};

}  // namespace host
