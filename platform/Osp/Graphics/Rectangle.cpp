#include "Osp/Graphics/Rectangle.h"

#include <algorithm>

namespace Osp::Graphics {

void Rectangle::SetBounds(int newX, int newY, int newWidth, int newHeight) {
    SetPosition(newX, newY);
    SetSize(newWidth, newHeight);
}

void Rectangle::SetPosition(int newX, int newY) {
    x = newX;
    y = newY;
}

void Rectangle::SetSize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
}

bool Rectangle::Contains(const Point& p) const {
    // Compared as offsets in 64 bits so that rectangles near the edges of int do not overflow.
    long long dx = static_cast<long long>(p.x) - x;
    long long dy = static_cast<long long>(p.y) - y;
    return dx >= 0 && dy >= 0 && dx < width && dy < height;
}

bool Rectangle::IsIntersected(const Rectangle& other) const {
    return !GetIntersection(other).IsEmpty();
}

Rectangle Rectangle::GetIntersection(const Rectangle& other) const {
    if (IsEmpty() || other.IsEmpty()) {
        return Rectangle();
    }
    long long left = std::max(x, other.x);
    long long top = std::max(y, other.y);
    long long right =
        std::min(static_cast<long long>(x) + width, static_cast<long long>(other.x) + other.width);
    long long bottom =
        std::min(static_cast<long long>(y) + height, static_cast<long long>(other.y) + other.height);
    if (right <= left || bottom <= top) {
        return Rectangle();
    }
    return Rectangle(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                     static_cast<int>(bottom - top));
}

}  // namespace Osp::Graphics
