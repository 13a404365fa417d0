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
// keypad command bar of an edit field, then the current form's soft keys; Ctrl+R turns the phone.
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
// The window's size for an orientation status.
QSize ScreenSize(Osp::Ui::OrientationStatus status);

}  // namespace host
