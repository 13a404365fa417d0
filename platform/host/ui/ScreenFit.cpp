#include "host/ui/ScreenFit.h"

#include <algorithm>
#include <cmath>

namespace host::fit {
namespace {

// The least height, in units, that keeps a title, a soft-key bar and some rows of content apart.
constexpr int kMinPortraitHeight = 480;
constexpr int kMinLandscapeHeight = 400;
// Below this the window is not drawn at all rather than at a scale that means nothing.
constexpr double kMinScale = 0.05;

double& ScaleStorage() {
    static double scale = 1.0;
    return scale;
}

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

}  // namespace

bool IsLandscapeShape(const QSize& window) {
    return window.width() > window.height();
}

Fit Compute(const QSize& window, bool landscape) {
    const int designWidth = landscape ? kLong : kShort;
    const int minHeight = landscape ? kMinLandscapeHeight : kMinPortraitHeight;
    Fit fit;
    fit.scale = std::max(kMinScale, std::min(static_cast<double>(window.width()) / designWidth,
                                             static_cast<double>(window.height()) / minHeight));
    fit.units = QSize(std::max(designWidth, Round(window.width() / fit.scale)),
                      std::max(minHeight, Round(window.height() / fit.scale)));
    return fit;
}

double Scale() {
    return ScaleStorage();
}

void SetScale(double scale) {
    ScaleStorage() = scale;
}

QRect ToPixels(const QRect& units) {
    const double s = Scale();
    const int left = Round(units.x() * s);
    const int top = Round(units.y() * s);
    const int right = Round((units.x() + units.width()) * s);
    const int bottom = Round((units.y() + units.height()) * s);
    return QRect(left, top, right - left, bottom - top);
}

int ToPixels(int units) {
    return Round(units * Scale());
}

QPoint ToPixels(const QPoint& units) {
    return QPoint(ToPixels(units.x()), ToPixels(units.y()));
}

QPoint ToUnits(const QPointF& pixels) {
    const double s = Scale();
    return QPoint(static_cast<int>(std::floor(pixels.x() / s)), static_cast<int>(std::floor(pixels.y() / s)));
}

QSize ToUnits(const QSize& pixels) {
    const double s = Scale();
    return QSize(Round(pixels.width() / s), Round(pixels.height() / s));
}

}  // namespace host::fit
