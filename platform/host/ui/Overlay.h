#pragma once
// A layer over the whole phone window for what appears above the forms: popups, menus, keypads and
// message boxes. It dims what lies below (unless told not to), catches taps that fall beside its
// content, and, while it is the topmost, gets the phone's keys first.

#include <QWidget>
#include <functional>

class QKeyEvent;

namespace host {

class Overlay : public QWidget {
public:
    // A modal layer keeps the form's soft keys from acting while it is open; a menu layer closes when
    // tapped beside it.
    enum class Kind { kModal, kMenu };

    Overlay(Kind kind, bool dim);
    ~Overlay() override;

    void Open();
    void Close();
    bool IsOpen() const { return open_; }
    Kind GetKind() const { return kind_; }

    // A tap on the layer itself, beside its content.
    std::function<void()> onOutsideTap;
    // A key while the layer is the topmost; returns whether it was used.
    std::function<bool(QKeyEvent&)> onKey;
    // The window changed its size (the phone turned): the content finds its new place.
    std::function<void()> onResize;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Kind kind_;
    bool dim_;
    bool open_ = false;
    bool pressed_ = false;
};

}  // namespace host
