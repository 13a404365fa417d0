// A phone-sized picture drawn only through the platform's graphics calls: a list of typed files with
// their icons, a few lines of the text viewer's mono font in its colour schemes, and the spinner. It is
// saved as sample-screen.png into $CORVANE_SCREENSHOT_DIR when that is set, for a person to look at.

#include <gtest/gtest.h>

#include <QDir>
#include <memory>

#include "Osp/Graphics/Canvas.h"
#include "Osp/Graphics/Font.h"
#include "Osp/Media/Image.h"
#include "host/GraphicsHost.h"
#include "ui/FileTypes.h"

using namespace Osp::Base;
using namespace Osp::Graphics;

namespace {

constexpr int kRowHeight = 56;

std::unique_ptr<Bitmap> Decode(const String& path) {
    Osp::Media::Image image;
    return std::unique_ptr<Bitmap>(image.DecodeN(path, BITMAP_PIXEL_FORMAT_ARGB8888));
}

}  // namespace

TEST(SampleScreenTest, ListRowsAndViewerTextDrawWhereTheyAreMeasured) {
    Bitmap screen;
    ASSERT_EQ(screen.Construct(Dimension(480, 800), BITMAP_PIXEL_FORMAT_ARGB8888), E_SUCCESS);
    Canvas canvas;
    ASSERT_EQ(canvas.Construct(screen), E_SUCCESS);
    canvas.SetBackgroundColor(Color::COLOR_WHITE);
    canvas.Clear();

    Font listFont;
    ASSERT_EQ(listFont.Construct(FONT_STYLE_PLAIN, 24), E_SUCCESS);
    canvas.SetFont(listFont);
    canvas.SetForegroundColor(Color::COLOR_BLACK);
    const wchar_t* names[] = {L"Photos",    L"holiday.jpg", L"notes.txt",
                              L"backup.7z", L"song.mp3",    L"index.html"};
    const int types[] = {FT_FOLDER, FT_IMAGE, FT_TEXT, FT_ARCHIVE, FT_AUDIO, FT_HTML};
    for (int row = 0; row < 6; ++row) {
        std::unique_ptr<Bitmap> icon = Decode(String(L"/Res/") + FileTypeIconName(types[row]));
        ASSERT_NE(icon, nullptr);
        int y = row * kRowHeight;
        ASSERT_EQ(canvas.DrawBitmap(Point(8, y + 4), *icon), E_SUCCESS);
        canvas.DrawText(Point(68, y + (kRowHeight - listFont.GetMaxHeight()) / 2), String(names[row]));
        canvas.SetForegroundColor(Color(0xFFD0D0D0u));
        canvas.DrawLine(Point(0, y + kRowHeight - 1), Point(479, y + kRowHeight - 1));
        canvas.SetForegroundColor(Color::COLOR_BLACK);
        // An opaque icon pixel arrives unchanged.
        QRgb iconPixel = host::ImageOf(*icon).pixel(24, 30);
        if (qAlpha(iconPixel) == 255) {
            EXPECT_EQ(host::ImageOf(screen).pixel(8 + 24, y + 4 + 30), iconPixel) << row;
        }
    }

    Font mono;
    ASSERT_EQ(mono.Construct(String(L"/Res/DejaVuSansMono.ttf"), FONT_STYLE_PLAIN, 14), E_SUCCESS);
    Dimension sample;
    mono.GetTextExtent(String(L"abcdefghijklmnopqrstuvwxyz012345"), 32, sample);
    const int cell = sample.width / 32;
    const int lineHeight = mono.GetMaxHeight() + mono.GetMaxHeight() / 4;
    struct Scheme {
        Color text, background;
    } schemes[] = {{Color::COLOR_BLACK, Color::COLOR_WHITE},
                   {Color::COLOR_WHITE, Color::COLOR_BLACK},
                   {Color(100, 180, 100), Color::COLOR_BLACK},
                   {Color::COLOR_GREY, Color::COLOR_BLACK}};
    canvas.SetFont(mono);
    int top = 6 * kRowHeight + 10;
    for (const Scheme& scheme : schemes) {
        canvas.FillRectangle(scheme.background, Rectangle(0, top, 480, 2 * lineHeight + 8));
        canvas.SetForegroundColor(scheme.text);
        canvas.DrawText(Point(4, top + 4), String(L"The quick brown fox jumps over the lazy dog."));
        // The second line is drawn in two pieces at a column offset, as the viewer scrolls sideways.
        String line(L"0123456789 \u041f\u0440\u0438\u0432\u0435\u0442 |||| WWWW");
        canvas.DrawText(Point(4, top + 4 + lineHeight), line, 11);
        String rest;
        line.SubString(11, rest);
        canvas.DrawText(Point(4 + 11 * cell, top + 4 + lineHeight), rest);
        top += 2 * lineHeight + 8;
    }
    canvas.FillRectangle(Color(128, 128, 128, 128), Rectangle(473, 6 * kRowHeight + 10, 5, 60));

    for (int frame = 0; frame < 8; ++frame) {
        String path;
        path.Format(64, L"/Res/Progress/big%02d.png", frame);
        std::unique_ptr<Bitmap> spinner = Decode(path);
        ASSERT_NE(spinner, nullptr);
        canvas.DrawBitmap(Point(frame * 60, 720), *spinner);
    }

    // Every cell of the monospaced lines starts on the grid, so the two-piece line is as wide as its
    // measured length and the text ends inside the screen.
    String line(L"0123456789 \u041f\u0440\u0438\u0432\u0435\u0442 |||| WWWW");
    Dimension lineExtent;
    mono.GetTextExtent(line, line.GetLength(), lineExtent);
    EXPECT_EQ(lineExtent.width, line.GetLength() * cell);

    if (const char* dir = std::getenv("CORVANE_SCREENSHOT_DIR")) {
        EXPECT_TRUE(
            host::ImageOf(screen).save(QDir(QString::fromLocal8Bit(dir)).filePath("sample-screen.png")));
    }
}
