#pragma once
// An area in pixels: the top-left corner and the size. The right and bottom edges (x + width, y + height)
// lie outside the area. Plain value; any thread.

#include "Osp/Graphics/Dimension.h"
#include "Osp/Graphics/Point.h"

namespace Osp::Graphics {

class Rectangle {
public:
    constexpr Rectangle() = default;
    constexpr Rectangle(int x, int y, int width, int height) : x(x), y(y), width(width), height(height) {}
    constexpr Rectangle(const Point& topLeft, const Dimension& size)
        : x(topLeft.x), y(topLeft.y), width(size.width), height(size.height) {}

    void SetBounds(int newX, int newY, int newWidth, int newHeight);
    void SetPosition(int newX, int newY);
    void SetPosition(const Point& p) { SetPosition(p.x, p.y); }
    void SetSize(int newWidth, int newHeight);
    void SetSize(const Dimension& d) { SetSize(d.width, d.height); }

    constexpr Point GetTopLeft() const { return Point(x, y); }
    constexpr Point GetBottomRight() const { return Point(x + width, y + height); }
    constexpr Dimension GetSize() const { return Dimension(width, height); }
    constexpr bool IsEmpty() const { return width <= 0 || height <= 0; }

    bool Contains(const Point& p) const;
    bool IsIntersected(const Rectangle& other) const;
    // The common area; an empty rectangle when there is none.
    Rectangle GetIntersection(const Rectangle& other) const;

    constexpr bool operator==(const Rectangle&) const = default;

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

}  // namespace Osp::Graphics
