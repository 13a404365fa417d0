#include "Osp/Graphics/Rectangle.h"

#include <gtest/gtest.h>

#include <climits>

using Osp::Graphics::Point;
using Osp::Graphics::Rectangle;

// Touch hit tests and clipping rely on the right and bottom edges lying outside the rectangle.
TEST(RectangleTest, ContainsExcludesTheRightAndBottomEdges) {
    Rectangle r(10, 20, 30, 40);
    struct Case {
        Point p;
        bool inside;
    } cases[] = {
        {Point(10, 20), true},  {Point(39, 59), true}, {Point(40, 59), false},
        {Point(39, 60), false}, {Point(9, 30), false}, {Point(20, 19), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(r.Contains(c.p), c.inside) << c.p.x << "," << c.p.y;
    }
    EXPECT_FALSE(Rectangle(0, 0, 0, 5).Contains(Point(0, 0)));
    EXPECT_FALSE(Rectangle(INT_MAX - 1, 0, INT_MAX, 1).Contains(Point(INT_MIN, 0)));
}

TEST(RectangleTest, IntersectionIsTheCommonAreaOrEmpty) {
    struct Case {
        Rectangle a, b, common;
    } cases[] = {
        {Rectangle(0, 0, 10, 10), Rectangle(5, 5, 10, 10), Rectangle(5, 5, 5, 5)},
        {Rectangle(0, 0, 10, 10), Rectangle(10, 0, 5, 5), Rectangle()},
        {Rectangle(0, 0, 10, 10), Rectangle(2, 2, 3, 3), Rectangle(2, 2, 3, 3)},
        {Rectangle(0, 0, 10, 10), Rectangle(3, 3, 0, 4), Rectangle()},
        {Rectangle(INT_MAX - 5, 0, 100, 10), Rectangle(0, 0, INT_MAX, 5), Rectangle(INT_MAX - 5, 0, 5, 5)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a.GetIntersection(c.b), c.common);
        EXPECT_EQ(c.b.GetIntersection(c.a), c.common);
        EXPECT_EQ(c.a.IsIntersected(c.b), !c.common.IsEmpty());
    }
}
