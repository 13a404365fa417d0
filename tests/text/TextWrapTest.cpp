#include "text/TextWrap.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <string>
#include <vector>

#include "Osp/Graphics/Bitmap.h"
#include "Osp/Graphics/Canvas.h"
#include "Osp/Graphics/Font.h"
#include "host/GraphicsHost.h"

namespace {

using Lines = std::vector<std::wstring>;

class TextWrapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(font_.Construct(L"/Res/DejaVuSansMono.ttf", Osp::Graphics::FONT_STYLE_PLAIN, 14),
                  Osp::Base::E_SUCCESS);
        text_ = u"x";
        wrap_.Compose(text_, 0, Osp::Graphics::Rectangle(0, 0, 100, 100), &font_, 0, 0);
        charWidth_ = wrap_.GetCharWidth();
        maxHeight_ = font_.GetMaxHeight();
        ASSERT_GT(charWidth_, 1);
    }

    // Lays out text, which the layout keeps as the text its lines refer to.
    int Compose(const std::wstring& text, int columns, int flags = 0, int height = INT_MAX) {
        return ComposeWide(text, flags, Osp::Graphics::Rectangle(0, 0, columns * charWidth_, height));
    }

    int ComposeWide(const std::wstring& text, int flags, const Osp::Graphics::Rectangle& rect,
                    const Osp::Graphics::Font* font = nullptr) {
        text_.assign(text.begin(), text.end());
        return wrap_.Compose(text_, flags, rect, font != nullptr ? font : &font_, 0, 0);
    }

    Lines GetLines() const {
        Lines lines;
        for (size_t i = 0; i < wrap_.GetLineCount(); ++i) {
            const std::u16string line = wrap_.GetLineText(i);
            lines.emplace_back(line.begin(), line.end());
        }
        return lines;
    }

    Osp::Graphics::Font font_;
    std::u16string text_;
    TextWrap wrap_;
    int charWidth_ = 0;
    int maxHeight_ = 0;
};

TEST_F(TextWrapTest, BreaksLines) {
    struct Case {
        const char* what;
        std::wstring text;
        int columns;
        int flags;
        Lines lines;
    };
    const Case cases[] = {
        {"the space between goes to neither line", L"abcd efghijkl", 10, 0, {L"abcd", L"efghijkl"}},
        {"a long word is cut at the width",
         L"abcdefghijklmnopqrstuvw",
         10,
         0,
         {L"abcdefghij", L"klmnopqrst", L"uvw"}},
        {"words", L"abcde fghij klm", 10, 0, {L"abcde", L"fghij klm"}},
        {"full line then a space", L"abcdefghij klm", 10, 0, {L"abcdefghij", L"klm"}},
        {"two line feeds give an empty line", L"ab\n\ncd\n", 10, 0, {L"ab", L"", L"cd"}},
        {"trailing spaces go, leading stay", L"abc   \n   def", 10, 0, {L"abc", L"   def"}},
        {"no word breaking", L"abcd efghijkl", 10, TextWrap::kNoWordBreak, {L"abcd efghi", L"jkl"}},
        {"reflow joins single line feeds",
         L"one\ntwo\n\nthree\n four",
         40,
         TextWrap::kSmartReflow,
         {L"one two", L"", L"three", L" four"}},
        {"reflow refills the paragraph",
         L"aaaa\nbbbb\ncccc dd",
         10,
         TextWrap::kSmartReflow,
         {L"aaaa bbbb", L"cccc dd"}},
        {"reflow collapses spaces", L"a   b  c\n  d", 40, TextWrap::kSmartReflow, {L"a b c", L" d"}},
        {"reflow keeps paragraph breaks", L"a\n\n\nb", 40, TextWrap::kSmartReflow, {L"a", L"", L"", L"b"}},
        {"a joined line feed at the width ends the line",
         L"abcdefghij\n\x80x",
         10,
         TextWrap::kSmartReflow,
         {L"abcdefghij", L"\x80x"}},
        {"zero-width characters take no room",
         L"\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80xyz",
         3,
         0,
         {L"\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80\x80xyz"}},
        {"a width below one character still moves on", L"abc", 0, 0, {L"a", L"b", L"c"}},
        {"a surrogate pair is one character and never split",
         L"\xD83D\xDE00\xD83D\xDE01\xD83D\xDE02\xD83D\xDE03\xD83D\xDE04",
         2,
         0,
         {L"\xD83D\xDE00\xD83D\xDE01", L"\xD83D\xDE02\xD83D\xDE03", L"\xD83D\xDE04"}},
        {"surrogate pairs in words",
         L"a\xD83D\xDE00 b\xD83D\xDE01"
         L"c",
         4,
         0,
         {L"a\xD83D\xDE00",
          L"b\xD83D\xDE01"
          L"c"}},
    };
    for (const Case& c : cases) {
        Compose(c.text, c.columns, c.flags);
        EXPECT_EQ(GetLines(), c.lines) << c.what;
    }
}

TEST_F(TextWrapTest, HeightAndBounds) {
    const int lineHeight = maxHeight_ + maxHeight_ / 4;
    EXPECT_EQ(Compose(L"abc de\nf", 10), 2 * lineHeight + maxHeight_);
    EXPECT_EQ(wrap_.GetLineHeight(), lineHeight);
    EXPECT_EQ(wrap_.GetBounds(), Osp::Graphics::Rectangle(0, 0, 6 * charWidth_, 2 * lineHeight + maxHeight_));
    EXPECT_EQ(Compose(L"abc", 10, TextWrap::kNoDescender), lineHeight + maxHeight_ - font_.GetDescender());
    EXPECT_EQ(Compose(L"", 10), 0);
    EXPECT_EQ(wrap_.GetLineCount(), 0u);
    text_ = u"abc";
    EXPECT_EQ(wrap_.Compose(text_, 0, Osp::Graphics::Rectangle(0, 0, 100, 100), nullptr, 0, 0), 0);

    Compose(L"ab", 10, TextWrap::kAlignRight);
    EXPECT_EQ(wrap_.GetBounds().x, 8 * charWidth_);
    Compose(L"ab", 10, TextWrap::kAlignCenter);
    EXPECT_EQ(wrap_.GetBounds().x, 4 * charWidth_);
}

// The composition ends with the line whose top plus the font's height reaches the bottom, and only that
// line obeys the last-line flags.
TEST_F(TextWrapTest, StopsAtTheBottom) {
    const int lineHeight = maxHeight_ + maxHeight_ / 4;
    Compose(L"abc defg hij", 6, 0, lineHeight + maxHeight_);
    EXPECT_EQ(GetLines(), (Lines{L"abc", L"defg"}));
    Compose(L"abc defg hij", 6, 0, maxHeight_);
    EXPECT_EQ(GetLines(), Lines{L"abc"});
    Compose(L"abc defg hij", 6, TextWrap::kNoWordBreakOnLast, maxHeight_);
    EXPECT_EQ(GetLines(), Lines{L"abc de"});
    Compose(L"a\nb\nc\nd", 6, TextWrap::kLastLineInside, 3 * lineHeight);
    EXPECT_EQ(GetLines(), (Lines{L"a", L"b", L"c"}));
}

// Without wrapping the viewer lays lines out 4000 pixels wide: a long line breaks only there.
TEST_F(TextWrapTest, UnwrappedLongLineBreaksAtTheWideWidth) {
    const int perLine = 4000 / charWidth_;
    std::wstring text;
    while (text.size() < 10000) {
        text += L"word ";
    }
    ComposeWide(text, 0, Osp::Graphics::Rectangle(0, 0, 4000, INT_MAX));
    const Lines lines = GetLines();
    ASSERT_EQ(lines.size(), (10000 + perLine - 1) / perLine);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_GT(lines[i].size(), static_cast<size_t>(perLine - 5));
        EXPECT_LE(lines[i].size(), static_cast<size_t>(perLine));
        EXPECT_EQ(lines[i].back(), L'd');
    }
}

TEST_F(TextWrapTest, CharacterWidthIsAtLeastOne) {
    Osp::Graphics::Font tiny;
    ASSERT_EQ(tiny.Construct(L"/Res/DejaVuSansMono.ttf", Osp::Graphics::FONT_STYLE_PLAIN, 1),
              Osp::Base::E_SUCCESS);
    ComposeWide(L"ab cd", 0, Osp::Graphics::Rectangle(0, 0, 3, INT_MAX), &tiny);
    EXPECT_EQ(wrap_.GetCharWidth(), 1);
    EXPECT_EQ(GetLines(), (Lines{L"ab", L"cd"}));
    EXPECT_EQ(wrap_.GetTextWidth(u"a\x80 b"), 3);
}

// Line i holds i + 1 characters, so the right end of the ink in each drawn line tells which line and
// which columns were drawn there. The same holds for a character beyond the Basic Multilingual Plane
// (a monospace letter of the mathematical block, which the viewer's font has): its surrogate pair is one
// column.
TEST_F(TextWrapTest, DrawsOnlyTheVisibleLinesAndColumns) {
    for (const std::wstring glyph : {L"#", L"\xD835\xDE70"}) {
        std::wstring text;
        for (int i = 0; i < 30; ++i) {
            for (int k = 0; k <= i; ++k) {
                text += glyph;
            }
            text += L"\n";
        }
        ComposeWide(text, 0, Osp::Graphics::Rectangle(0, 0, 4000, INT_MAX));
        const int lh = wrap_.GetLineHeight();
        struct Case {
            int scrollX;
            int firstLine;
        };
        for (const Case c : {Case{0, 0}, Case{0, 7}, Case{3 * charWidth_, 12}}) {
            Osp::Graphics::Bitmap bitmap;
            ASSERT_EQ(bitmap.Construct(Osp::Graphics::Dimension(40 * charWidth_, 5 * lh),
                                       Osp::Graphics::BITMAP_PIXEL_FORMAT_ARGB8888),
                      Osp::Base::E_SUCCESS);
            Osp::Graphics::Canvas canvas;
            ASSERT_EQ(canvas.Construct(bitmap), Osp::Base::E_SUCCESS);
            canvas.SetBackgroundColor(Osp::Graphics::Color::COLOR_WHITE);
            canvas.Clear();
            canvas.SetForegroundColor(Osp::Graphics::Color::COLOR_BLACK);
            wrap_.Draw(canvas, c.scrollX, c.firstLine * lh, 5 * lh, 40 * charWidth_);
            const QImage& image = host::ImageOf(bitmap);
            for (int row = 0; row < 5; ++row) {
                const int y = row * lh + maxHeight_ / 2;
                int right = -1;
                for (int x = 0; x < image.width(); ++x) {
                    if (QColor(image.pixel(x, y)).lightness() < 128) {
                        right = x;
                    }
                }
                const int length = c.firstLine + row + 1;
                const int expected = length * charWidth_ - c.scrollX;
                EXPECT_GT(right, expected - charWidth_) << "line " << length << " of " << glyph.size();
                EXPECT_LT(right, expected) << "line " << length << " of " << glyph.size();
            }
        }
    }
}

}  // namespace
