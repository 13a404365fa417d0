#pragma once
// The top-level window of the phone, and the way platform code reaches the frame and its window.

#include <QSize>
#include <functional>
#include <vector>

#include "Osp/Ui/Controls/Frame.h"
#include "Osp/Ui/Orientation.h"
#include "host/ui/ControlWidget.h"

class QKeyEvent;

namespace host {

class Overlay;

// The top-level window of the phone. It routes the phone's keys: the topmost overlay first, then the
// keypad command bar of an edit field, then the current form's soft keys; Ctrl+R turns the phone. Its size
// is free: each new size fits the phone's layouts to it again, and its shape gives the orientation.
class FrameWindow : public ControlWidget {
public:
    explicit FrameWindow(Osp::Ui::Controls::Frame& frame);
    ~FrameWindow() override;

    void AddOverlay(Overlay* overlay);
    void RemoveOverlay(Overlay* overlay);
    // Open overlays, bottom first.
    const std::vector<Overlay*>& Overlays() const { return overlays_; }
    // The key handler of an open edit-field command bar, or an empty function.
    void SetCommandBarKeys(std::function<bool(QKeyEvent&)> handler) { commandBarKeys_ = std::move(handler); }

    // Handles a key of the phone as the window would; returns whether it was used.
    bool HandleKey(QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void PaintControl(QPainter& painter) override;
    bool ReportsTouches() const override { return false; }

private:
    Osp::Ui::Controls::Frame& frame_;
    std::vector<Overlay*> overlays_;
    std::function<bool(QKeyEvent&)> commandBarKeys_;
};

// The frame of the process, created on first use.
Osp::Ui::Controls::Frame& AppFrame();
FrameWindow& AppWindow();
// The phone's own screen for an orientation status, in units: what layouts are drawn for.
QSize DesignSize(Osp::Ui::OrientationStatus status);
// The window's size in units for a form shown in the orientation status.
QSize UnitSize(Osp::Ui::OrientationStatus status);

// Asks that the window fill the screen when it is shown (--fullscreen). On a screen of a phone's size it
// is shown maximized anyway.
void AskFullScreen();
// Shows the window as asked, or as the screen's size suggests.
void ShowAppWindow(QWidget& window);

}  // namespace host
