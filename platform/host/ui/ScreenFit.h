#pragma once
// How the phone's layouts fill the real window. Layouts keep their coordinates in the phone's units, 480
// wide in portrait and 800 in landscape; the window's width is scaled to fill, and what height is left
// over (or missing) goes to the lists and texts of the form. A window too flat for the phone's bars and
// one row of content is scaled by its height instead, and the form gets the extra width.
//
// One scale serves the whole window: every widget of the phone's user interface is placed and painted in
// units through it. Everything here runs on the user-interface thread.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace host::fit {

// The phone's own screen, in units.
inline constexpr int kShort = 480;
inline constexpr int kLong = 800;

struct Fit {
    double scale = 1.0;  // pixels per unit
    QSize units;         // the window's size in units
};

// Whether a window of that shape holds the phone in landscape: when it is wider than tall.
bool IsLandscapeShape(const QSize& window);
// The fit of a window (in Qt's device-independent pixels) for a form laid out in the orientation.
Fit Compute(const QSize& window, bool landscape);

// The scale in use, and its change by the frame when the window is fitted anew.
double Scale();
void SetScale(double scale);

// Units to pixels: the edges are rounded, so that controls that touch in units touch in pixels.
QRect ToPixels(const QRect& units);
int ToPixels(int units);
QPoint ToPixels(const QPoint& units);
// Pixels to units.
QPoint ToUnits(const QPointF& pixels);
QSize ToUnits(const QSize& pixels);

}  // namespace host::fit
