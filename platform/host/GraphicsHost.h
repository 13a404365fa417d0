#pragma once
// The Qt objects behind the graphics types, for other platform code: the user-interface controls paint
// bitmaps onto their widgets, draw with a font's QFont and hand the system canvases over their own pixels.
// Never included by system code.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

#include "Osp/Graphics/Bitmap.h"
#include "Osp/Graphics/Canvas.h"
#include "Osp/Graphics/Font.h"

namespace Osp::Graphics {

struct Bitmap::Impl {
    QImage image;
};

struct Font::Impl {
    QFont font;
    int style = FONT_STYLE_PLAIN;
    int size = 0;
    int ascent = 0;
    int descent = 0;
    bool fixedPitch = false;
    // Whole-pixel advances of the units below kFastUnits, filled on first use (-1 until then), so that a
    // monospaced font measures long texts without asking Qt per character.
    mutable std::vector<short> advances;
};

struct Canvas::Impl {
    QImage ownBuffer;
    QImage* target = nullptr;  // ownBuffer, a bitmap's image or a control's pixels
    QRect area;                // the canvas inside target
    Rectangle bounds;
    Color foreground = Color::COLOR_BLACK;
    Color background = Color::COLOR_WHITE;
    int lineWidth = 1;
    QFont font;
    int ascent = 0;
    bool hasFont = false;
    std::function<void()> onShow;
};

}  // namespace Osp::Graphics

namespace host {

inline QImage& ImageOf(Osp::Graphics::Bitmap& bitmap) {
    return bitmap.GetImpl()->image;
}
inline const QImage& ImageOf(const Osp::Graphics::Bitmap& bitmap) {
    return bitmap.GetImpl()->image;
}

// The Qt pixel format that holds a bitmap of the platform's format.
QImage::Format QImageFormat(Osp::Graphics::BitmapPixelFormat format);

// A new bitmap holding the picture, converted to the pixel format. Null, with the last result set, when
// the image is null or larger than Bitmap::kMaxPixels.
Osp::Graphics::Bitmap* NewBitmapN(const QImage& image, Osp::Graphics::BitmapPixelFormat format);

inline const QFont& QFontOf(const Osp::Graphics::Font& font) {
    return font.GetImpl()->font;
}

// A canvas that draws into the area of target, which the caller keeps alive while the canvas exists.
// The canvas's bounds are the area's; Canvas::Show calls onShow (which may be empty).
Osp::Graphics::Canvas* NewCanvasN(QImage& target, const QRect& area, std::function<void()> onShow);

// The text as it is measured and drawn: control characters below U+0020 are dropped and the C1 controls
// U+007F to U+009F become spaces, so that a text keeps one cell per printable character.
QString DrawableText(const wchar_t* units, int length);

}  // namespace host
