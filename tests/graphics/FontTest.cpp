#include "Osp/Graphics/Font.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFontMetrics>
#include <memory>

#include "Osp/Graphics/Bitmap.h"
#include "Osp/Graphics/Canvas.h"
#include "TempPhone.h"
#include "host/GraphicsHost.h"

using namespace Osp::Base;
using namespace Osp::Graphics;

namespace {

constexpr const wchar_t* kMonoFont = L"/Res/DejaVuSansMono.ttf";

int Width(const Font& font, const String& text) {
    Dimension extent;
    EXPECT_EQ(font.GetTextExtent(text, text.GetLength(), extent), E_SUCCESS);
    return extent.width;
}

}  // namespace

// The text viewer lays text out as if every character were as wide as the average of a sample, so the
// mono font must give one whole-pixel width to every character, at every size the viewer offers.
TEST(FontTest, MonoFontGivesEveryAsciiCharacterOneWholePixelWidth) {
    for (int size : {9, 12, 14, 16, 18}) {
        SCOPED_TRACE(size);
        Font font;
        ASSERT_EQ(font.Construct(String(kMonoFont), FONT_STYLE_PLAIN, size), E_SUCCESS);
        int cell = Width(font, L"a");
        ASSERT_GT(cell, 0);
        for (wchar_t c = 0x20; c < 0x7F; ++c) {
            EXPECT_EQ(Width(font, String(c)), cell) << static_cast<char>(c);
        }
        EXPECT_EQ(Width(font, L"abcdefghijklmnopqrstuvwxyz012345"), 32 * cell);

        EXPECT_EQ(font.GetSize(), size);
        EXPECT_EQ(font.GetMaxHeight(), font.GetAscender() + font.GetDescender());
        EXPECT_GT(font.GetDescender(), 0);
        EXPECT_GT(font.GetAscender(), font.GetDescender());
        EXPECT_GE(font.GetMaxHeight(), size);
        EXPECT_LE(font.GetMaxHeight(), 2 * size);
        Dimension extent;
        ASSERT_EQ(font.GetTextExtent(String(L"x"), 1, extent), E_SUCCESS);
        EXPECT_EQ(extent.height, font.GetMaxHeight());
    }
}

// The advance table must agree with Qt's own layout of the same text, or drawn lines would not end
// where they were measured to end.
TEST(FontTest, MeasuredWidthEqualsQtLayoutForMonoAndSystemFonts) {
    Font mono;
    ASSERT_EQ(mono.Construct(String(kMonoFont), FONT_STYLE_PLAIN, 14), E_SUCCESS);
    Font system;
    ASSERT_EQ(system.Construct(FONT_STYLE_PLAIN, 16), E_SUCCESS);
    const wchar_t* texts[] = {L"Hello, world", L"\u041f\u0440\u0438\u0432\u0435\u0442 \u00e9t\u00e9",
                              L"e\u0301 combining", L"AVATAR Wolf iiii MMMM", L"\u00a0\u00ff\u0100\u04ff"};
    for (const Font* font : {&mono, &system}) {
        QFontMetrics metrics(host::QFontOf(*font));
        for (const wchar_t* text : texts) {
            SCOPED_TRACE(QString::fromWCharArray(text).toStdString());
            String s(text);
            EXPECT_EQ(Width(*font, s), metrics.horizontalAdvance(host::DrawableText(text, s.GetLength())));
        }
    }
}

// Drawing a text in two pieces, the second at the measured width of the first, must give the very
// pixels of drawing it whole: the viewer draws each line from a column offset computed this way.
TEST(FontTest, TextDrawnInPiecesAtMeasuredOffsetsMatchesTextDrawnWhole) {
    Font font;
    ASSERT_EQ(font.Construct(String(kMonoFont), FONT_STYLE_PLAIN, 14), E_SUCCESS);
    String head(L"Wrapped lines ");
    String tail(L"scroll sideways \u0416\u0416");
    auto draw = [&font](std::initializer_list<std::pair<int, String>> pieces) {
        auto bitmap = std::make_unique<Bitmap>();
        EXPECT_EQ(bitmap->Construct(Dimension(400, font.GetMaxHeight()), BITMAP_PIXEL_FORMAT_ARGB8888),
                  E_SUCCESS);
        Canvas canvas;
        EXPECT_EQ(canvas.Construct(*bitmap), E_SUCCESS);
        canvas.SetFont(font);
        for (const auto& [x, text] : pieces) {
            EXPECT_EQ(canvas.DrawText(Point(x, 0), text), E_SUCCESS);
        }
        return bitmap;
    };
    auto whole = draw({{0, head + tail}});
    auto pieces = draw({{0, head}, {Width(font, head), tail}});
    EXPECT_EQ(host::ImageOf(*whole), host::ImageOf(*pieces));
}

TEST(FontTest, ControlCharactersTakeNoRoomAndLengthsAreClamped) {
    Font font;
    ASSERT_EQ(font.Construct(String(kMonoFont), FONT_STYLE_PLAIN, 12), E_SUCCESS);
    int cell = Width(font, L"a");
    EXPECT_EQ(Width(font, L"a\tb\rc\n"), 3 * cell);
    // C1 controls keep their cell, as the layout counts them, but draw nothing.
    EXPECT_EQ(Width(font, L"a\u0085b"), 3 * cell);

    Dimension extent;
    ASSERT_EQ(font.GetTextExtent(String(L"abc"), 100, extent), E_SUCCESS);
    EXPECT_EQ(extent.width, 3 * cell);
    ASSERT_EQ(font.GetTextExtent(String(L"abc"), 2, extent), E_SUCCESS);
    EXPECT_EQ(extent.width, 2 * cell);
    ASSERT_EQ(font.GetTextExtent(String(L"abc"), 0, extent), E_SUCCESS);
    EXPECT_EQ(extent.width, 0);
    EXPECT_EQ(font.GetTextExtent(L"abc", -1, extent), E_INVALID_ARG);
}

TEST(FontTest, UserFontFileInHomeLoads) {
    TempPhone phone;
    QFile mono(TempPhone::HostPath(kMonoFont));
    ASSERT_TRUE(mono.open(QIODevice::ReadOnly));
    ASSERT_TRUE(TempPhone::Write(L"/Home/CustomFont.ttf", mono.readAll()));

    Font custom;
    ASSERT_EQ(custom.Construct(String(L"/Home/CustomFont.ttf"), FONT_STYLE_PLAIN, 16), E_SUCCESS);
    Font again;
    ASSERT_EQ(again.Construct(String(L"/Home/CustomFont.ttf"), FONT_STYLE_PLAIN, 18), E_SUCCESS);
    EXPECT_GT(Width(again, L"a"), Width(custom, L"a"));
}

TEST(FontTest, BadFontsAndArgumentsFail) {
    TempPhone phone;
    ASSERT_TRUE(TempPhone::Write(L"/Home/NotAFont.ttf", QByteArray(4096, 'x')));
    ASSERT_TRUE(TempPhone::Write(L"/Home/Empty.ttf", QByteArray()));
    struct Case {
        const wchar_t* path;
        int style;
        int size;
        result expected;
    } cases[] = {
        {L"/Home/CustomFont.ttf", FONT_STYLE_PLAIN, 14, E_FILE_NOT_FOUND},
        {L"/Home/NotAFont.ttf", FONT_STYLE_PLAIN, 14, E_UNSUPPORTED_FORMAT},
        {L"/Home/Empty.ttf", FONT_STYLE_PLAIN, 14, E_UNSUPPORTED_FORMAT},
        {L"/Home", FONT_STYLE_PLAIN, 14, E_FILE_NOT_FOUND},
        {L"/Res/../../../etc/passwd", FONT_STYLE_PLAIN, 14, E_ILLEGAL_ACCESS},
        {L"DejaVuSansMono.ttf", FONT_STYLE_PLAIN, 14, E_ILLEGAL_ACCESS},
        {kMonoFont, 0, 14, E_INVALID_ARG},
        {kMonoFont, 0x10, 14, E_INVALID_ARG},
        {kMonoFont, FONT_STYLE_PLAIN, 0, E_INVALID_ARG},
        {kMonoFont, FONT_STYLE_PLAIN, Font::kMaxSize + 1, E_INVALID_ARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromWCharArray(c.path).toStdString());
        Font font;
        EXPECT_EQ(font.Construct(String(c.path), c.style, c.size), c.expected);
        Dimension extent;
        EXPECT_EQ(font.GetTextExtent(String(L"a"), 1, extent), E_INVALID_STATE);
    }
}
