#pragma once
// A surface to draw on: its own buffer of a given size, a bitmap, or (made by the user-interface
// controls) the area of a control. Coordinates are the canvas's own: (0, 0) is its top-left corner, and
// drawing is clipped to it. Used on the user-interface thread; a canvas on a bitmap must not outlive it.
// Drawing calls report E_INVALID_STATE before Construct.

#include <memory>

#include "Osp/Base/Object.h"
#include "Osp/Base/Result.h"
#include "Osp/Base/String.h"
#include "Osp/Graphics/Color.h"
#include "Osp/Graphics/Point.h"
#include "Osp/Graphics/Rectangle.h"

namespace Osp::Graphics {

class Bitmap;
class Font;

class Canvas : public Osp::Base::Object {
public:
    Canvas();
    ~Canvas() override;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // A canvas with a buffer of its own, transparent, at the given bounds. E_INVALID_ARG for a bad size.
    Osp::Base::result Construct(const Rectangle& bounds);
    // A canvas that draws into the bitmap (not owned), bounds (0, 0, width, height).
    Osp::Base::result Construct(Bitmap& target);

    Rectangle GetBounds() const;

    void SetForegroundColor(const Color& color);
    Color GetForegroundColor() const;
    void SetBackgroundColor(const Color& color);
    Color GetBackgroundColor() const;
    Osp::Base::result SetLineWidth(int width);  // 1 or more
    int GetLineWidth() const;
    // Text is drawn with a copy of the font; the font may be deleted afterwards.
    Osp::Base::result SetFont(const Font& font);

    // Replaces the whole canvas, or the area, with the background colour (alpha included).
    Osp::Base::result Clear();
    Osp::Base::result Clear(const Rectangle& area);
    // Fills the area with the colour, blended over what is there when the colour is translucent.
    Osp::Base::result FillRectangle(const Color& color, const Rectangle& area);
    // The outline, lying inside the area, in the foreground colour and line width.
    Osp::Base::result DrawRectangle(const Rectangle& area);
    Osp::Base::result DrawLine(const Point& from, const Point& to);
    Osp::Base::result DrawBitmap(const Point& topLeft, const Bitmap& bitmap);
    // The bitmap scaled into the area.
    Osp::Base::result DrawBitmap(const Rectangle& area, const Bitmap& bitmap);
    // Text in the foreground colour and the font set (the system font at size 20 when none was set), with
    // the top-left corner of its line at the point. With a length, only the first length units (clamped).
    Osp::Base::result DrawText(const Point& topLeft, const Osp::Base::String& text);
    Osp::Base::result DrawText(const Point& topLeft, const Osp::Base::String& text, int length);

    // Puts what was drawn on the screen (for the canvas of a control); a no-op for other canvases.
    Osp::Base::result Show();

    struct Impl;
    Impl* GetImpl() const { return impl_.get(); }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace Osp::Graphics
