#include "Osp/Graphics/Canvas.h"

#include <gtest/gtest.h>

#include "Osp/Graphics/Bitmap.h"
#include "Osp/Graphics/Font.h"
#include "host/GraphicsHost.h"

using namespace Osp::Base;
using namespace Osp::Graphics;

namespace {

Color PixelAt(const Bitmap& bitmap, int x, int y) {
    return Color(static_cast<std::uint32_t>(host::ImageOf(bitmap).pixel(x, y)));
}

// The box around every pixel whose colour differs from the background; empty when there is none.
QRect InkBox(const QImage& image, QRgb background) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

class CanvasOnBitmap : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(bitmap_.Construct(Dimension(40, 30), BITMAP_PIXEL_FORMAT_ARGB8888), E_SUCCESS);
        ASSERT_EQ(canvas_.Construct(bitmap_), E_SUCCESS);
        canvas_.SetBackgroundColor(Color::COLOR_WHITE);
        ASSERT_EQ(canvas_.Clear(), E_SUCCESS);
    }
    Bitmap bitmap_;
    Canvas canvas_;
};

}  // namespace

TEST_F(CanvasOnBitmap, FillsAndOutlinesCoverExactlyTheirAreas) {
    EXPECT_EQ(canvas_.GetBounds(), Rectangle(0, 0, 40, 30));
    ASSERT_EQ(canvas_.FillRectangle(Color::COLOR_RED, Rectangle(2, 3, 5, 4)), E_SUCCESS);
    // The text viewer's scroll thumb is translucent grey over the text.
    ASSERT_EQ(canvas_.FillRectangle(Color(128, 128, 128, 128), Rectangle(20, 0, 5, 10)), E_SUCCESS);
    canvas_.SetForegroundColor(Color::COLOR_BLUE);
    ASSERT_EQ(canvas_.SetLineWidth(2), E_SUCCESS);
    ASSERT_EQ(canvas_.DrawRectangle(Rectangle(10, 15, 10, 10)), E_SUCCESS);

    struct Case {
        int x, y;
        Color expected;
    } cases[] = {
        {2, 3, Color::COLOR_RED},     {6, 6, Color::COLOR_RED},    {7, 6, Color::COLOR_WHITE},
        {6, 7, Color::COLOR_WHITE},   {1, 3, Color::COLOR_WHITE},  {10, 15, Color::COLOR_BLUE},
        {19, 24, Color::COLOR_BLUE},  {11, 20, Color::COLOR_BLUE}, {12, 20, Color::COLOR_WHITE},
        {20, 24, Color::COLOR_WHITE}, {22, 5, Color(0xFFC0C0C0u)}, {22, 10, Color::COLOR_WHITE},
    };
    for (const Case& c : cases) {
        Color actual = PixelAt(bitmap_, c.x, c.y);
        EXPECT_NEAR(actual.GetRed(), c.expected.GetRed(), 1) << c.x << "," << c.y;
        EXPECT_NEAR(actual.GetGreen(), c.expected.GetGreen(), 1) << c.x << "," << c.y;
        EXPECT_NEAR(actual.GetBlue(), c.expected.GetBlue(), 1) << c.x << "," << c.y;
        EXPECT_EQ(actual.GetAlpha(), 255) << c.x << "," << c.y;
    }
}

TEST_F(CanvasOnBitmap, ClearReplacesPixelsWithTheBackgroundAlphaIncluded) {
    canvas_.FillRectangle(Color::COLOR_GREEN, Rectangle(0, 0, 40, 30));
    canvas_.SetBackgroundColor(Color(0, 0, 0, 0));
    ASSERT_EQ(canvas_.Clear(Rectangle(0, 0, 10, 10)), E_SUCCESS);
    EXPECT_EQ(PixelAt(bitmap_, 5, 5).GetAlpha(), 0);
    EXPECT_EQ(PixelAt(bitmap_, 15, 5), Color::COLOR_GREEN);
}

TEST_F(CanvasOnBitmap, TextInkStaysInsideItsLineBox) {
    Font font;
    ASSERT_EQ(font.Construct(String(L"/Res/DejaVuSansMono.ttf"), FONT_STYLE_PLAIN, 12), E_SUCCESS);
    canvas_.SetFont(font);
    canvas_.SetForegroundColor(Color::COLOR_BLACK);
    Dimension extent;
    font.GetTextExtent(String(L"Hi"), 2, extent);
    // Drawing with a length shows only the first characters: "Hi" of "Hidden".
    ASSERT_EQ(canvas_.DrawText(Point(4, 6), String(L"Hidden"), 2), E_SUCCESS);

    QRect ink = InkBox(host::ImageOf(bitmap_), qRgb(255, 255, 255));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(4, 6, extent.width, font.GetMaxHeight()).contains(ink))
        << ink.x() << " " << ink.y() << " " << ink.width() << " " << ink.height();
    // Glyphs sit on the baseline, so the ink reaches down close to the ascender line.
    EXPECT_GE(ink.bottom(), 6 + font.GetAscender() - 2);
    // The strokes are drawn in the foreground colour, not only as faint anti-aliased edges.
    bool dark = false;
    for (int y = ink.top(); y <= ink.bottom(); ++y) {
        for (int x = ink.left(); x <= ink.right(); ++x) {
            dark = dark || PixelAt(bitmap_, x, y).GetRed() < 64;
        }
    }
    EXPECT_TRUE(dark);
}

TEST(CanvasTest, ControlCanvasDrawsOnlyIntoItsAreaAndShowReachesTheControl) {
    QImage pixels(100, 80, QImage::Format_ARGB32_Premultiplied);
    pixels.fill(Qt::white);
    int shown = 0;
    std::unique_ptr<Canvas> canvas(host::NewCanvasN(pixels, QRect(20, 30, 40, 20), [&shown] { ++shown; }));
    EXPECT_EQ(canvas->GetBounds(), Rectangle(20, 30, 40, 20));

    ASSERT_EQ(canvas->FillRectangle(Color::COLOR_RED, Rectangle(-100, -100, 1000, 1000)), E_SUCCESS);
    canvas->SetForegroundColor(Color::COLOR_BLUE);
    ASSERT_EQ(canvas->DrawLine(Point(0, 0), Point(5, 0)), E_SUCCESS);
    ASSERT_EQ(canvas->Show(), E_SUCCESS);

    EXPECT_EQ(InkBox(pixels, qRgb(255, 255, 255)), QRect(20, 30, 40, 20));
    EXPECT_EQ(pixels.pixel(20, 30), qRgb(0, 0, 255));
    EXPECT_EQ(pixels.pixel(25, 30), qRgb(0, 0, 255));
    EXPECT_EQ(pixels.pixel(26, 30), qRgb(255, 0, 0));
    EXPECT_EQ(shown, 1);
}

TEST(CanvasTest, DrawBitmapPlacesAndScalesThePicture) {
    Bitmap icon;
    ASSERT_EQ(icon.Construct(Dimension(4, 4), BITMAP_PIXEL_FORMAT_ARGB8888), E_SUCCESS);
    host::ImageOf(icon).fill(Qt::red);
    Canvas canvas;
    ASSERT_EQ(canvas.Construct(Rectangle(0, 0, 20, 20)), E_SUCCESS);
    ASSERT_EQ(canvas.DrawBitmap(Point(1, 1), icon), E_SUCCESS);
    ASSERT_EQ(canvas.DrawBitmap(Rectangle(8, 8, 12, 12), icon), E_SUCCESS);
    QImage& pixels = *canvas.GetImpl()->target;
    EXPECT_EQ(InkBox(pixels.copy(0, 0, 8, 8), 0), QRect(1, 1, 4, 4));
    EXPECT_EQ(InkBox(pixels.copy(6, 6, 14, 14), 0), QRect(2, 2, 12, 12));
}

TEST(CanvasTest, UnconstructedCanvasAndBadSizesFail) {
    Canvas canvas;
    EXPECT_EQ(canvas.Clear(), E_INVALID_STATE);
    EXPECT_EQ(canvas.FillRectangle(Color::COLOR_RED, Rectangle(0, 0, 1, 1)), E_INVALID_STATE);
    EXPECT_EQ(canvas.DrawText(Point(0, 0), String(L"x")), E_INVALID_STATE);
    EXPECT_EQ(canvas.Show(), E_INVALID_STATE);

    for (Dimension size : {Dimension(0, 10), Dimension(10, -1), Dimension(5000, 5000)}) {
        Bitmap bitmap;
        EXPECT_EQ(bitmap.Construct(size, BITMAP_PIXEL_FORMAT_ARGB8888), E_INVALID_ARG);
        Canvas other;
        EXPECT_EQ(other.Construct(Rectangle(Point(0, 0), size)), E_INVALID_ARG);
        EXPECT_EQ(other.Construct(bitmap), E_INVALID_ARG);
    }
    Bitmap twice;
    ASSERT_EQ(twice.Construct(Dimension(2, 2), BITMAP_PIXEL_FORMAT_RGB565), E_SUCCESS);
    EXPECT_EQ(twice.Construct(Dimension(2, 2), BITMAP_PIXEL_FORMAT_RGB565), E_INVALID_STATE);
}
