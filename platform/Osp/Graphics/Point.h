#pragma once
// A position in pixels. Plain value; any thread.

namespace Osp::Graphics {

class Point {
public:
    constexpr Point() = default;
    constexpr Point(int x, int y) : x(x), y(y) {}

    void SetPosition(int newX, int newY) {
        x = newX;
        y = newY;
    }

    constexpr bool operator==(const Point&) const = default;
    constexpr Point operator+(const Point& o) const { return Point(x + o.x, y + o.y); }
    constexpr Point operator-(const Point& o) const { return Point(x - o.x, y - o.y); }
    Point& operator+=(const Point& o) {
        x += o.x;
        y += o.y;
        return *this;
    }
    Point& operator-=(const Point& o) {
        x -= o.x;
        y -= o.y;
        return *this;
    }

    int x = 0;
    int y = 0;
};

}  // namespace Osp::Graphics
