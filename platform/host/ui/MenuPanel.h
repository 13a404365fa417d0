#pragma once
// The widget of option and context menus: rows of items on a card above the forms. Tapping an item
// closes the menu and reports the item's action to the menu's listeners; an item with sub-items opens
// them instead (a header row leads back). A tap beside the menu, Esc or the option key closes it.

#include <QString>
#include <vector>

#include "Osp/Ui/IActionEventListener.h"
#include "host/ui/ControlWidget.h"

namespace host {

class Overlay;

struct MenuItem {
    QString text;
    int actionId = -1;
    std::vector<MenuItem> subItems;
};

struct MenuModel {
    std::vector<MenuItem> items;
    std::vector<Osp::Ui::IActionEventListener*> listeners;
};

class MenuPanel : public ControlWidget {
public:
    // An option menu rises above the soft-key bar across the window; a context menu opens at its anchor.
    enum class Placement { kAboveSoftkeys, kAtAnchor };

    MenuPanel(Osp::Ui::Control& menu, MenuModel& model, Placement placement, Overlay& overlay);

    void ApplyShowState(bool show) override;
    bool IsOpen() const;
    // The rows of what the menu shows now (in a sub-level, row 0 is the header that leads back).
    int RowCount() const;
    QString RowText(int row) const;
    QRect RowRect(int row) const;
    void TapRow(int row);

protected:
    void PaintControl(QPainter& painter) override;
    void TouchReleased(const QPoint& pos, TouchEnd end) override;
    bool ReportsTouches() const override { return false; }

private:
    void Open();
    void Close();
    void Place();
    bool HandleKey(QKeyEvent& event);
    const std::vector<MenuItem>& Level() const;

    MenuModel& model_;
    Placement placement_;
    Overlay& overlay_;
    int subLevel_ = -1;  // the main item whose sub-items show, or -1
};

}  // namespace host
