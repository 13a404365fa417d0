#pragma once
// Lays a long text out into display lines for a width and a font, keeps the lines compactly, and draws
// the part of them that a viewport shows. Used on the user-interface thread.
//
// Every printable character is taken to be as wide as the font's average character, measured once per
// composition, so that laying out a whole file makes no font call per character; the viewer's font is
// monospaced. A printable character is a space, one of the ASCII graphic characters, or anything above
// U+0080; other characters take no room but stay in their line. The font and the text handed to Compose
// are not owned and must outlive the composition: the lines refer to the text, and Draw uses both.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Osp/Graphics/Rectangle.h"

namespace Osp::Graphics {
class Canvas;
class Font;
}  // namespace Osp::Graphics

class TextWrap {
public:
    // Bits of the Compose flags.
    static constexpr int kAlignMask = 0x7;
    static constexpr int kAlignRight = 5;
    static constexpr int kAlignCenter = 6;
    static constexpr int kNoWordBreak = 0x10 | 0x20;        // lines are cut at the width, not at spaces
    static constexpr int kNoWordBreakOnLast = 0x40 | 0x80;  // the same for the last line that fits
    static constexpr int kLastLineInside = 0x400;           // the last line must lie inside the rectangle
    static constexpr int kNoDescender = 0x2000;             // the height leaves out the last descender
    static constexpr int kSmartReflow = 0x4000;             // single line feeds inside a paragraph join

    // One display line, kept as the stretch of the composed text it comes from: 8 bytes whatever its
    // length. With smart reflow the line shows that stretch with its line feeds as spaces and its runs of
    // spaces as one.
    struct SLine {
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };

    static constexpr int kLookAhead = 200;  // characters looked at beyond a line when breaking it

    TextWrap() = default;
    virtual ~TextWrap() = default;
    TextWrap(const TextWrap&) = delete;
    TextWrap& operator=(const TextWrap&) = delete;

    // Lays text out into lines inside rect and returns the total height. lineHeight 0 takes the font's
    // height and a quarter; dy moves the first line down. Lines stop after the last one that fits rect's
    // height. A null font or an empty text gives no lines and 0.
    int Compose(const std::u16string& text, int flags, const Osp::Graphics::Rectangle& rect,
                const Osp::Graphics::Font* font, int lineHeight, int dy);

    // Draws the lines inside a viewport of viewWidth x viewHeight whose top-left corner lies at (scrollX,
    // scrollY) of the text, in the canvas's foreground colour, touching only the visible characters.
    void Draw(Osp::Graphics::Canvas& canvas, int scrollX, int scrollY, int viewHeight, int viewWidth) const;

    void Clear();
    void Offset(int dx, int dy);
    // Width of the printable characters of s after the last composition.
    int GetTextWidth(std::u16string_view s) const;

    const Osp::Graphics::Rectangle& GetBounds() const { return m_oBounds; }
    int GetLineHeight() const { return m_nLineHeight; }
    int GetCharWidth() const { return m_nCharWidth; }
    size_t GetLineCount() const { return m_oLines.size(); }
    // What a line shows.
    std::u16string GetLineText(size_t index) const;
    // Where a line begins in the composed text, and the line that shows a text position (the last line
    // for a position beyond the text, 0 when there are no lines).
    size_t GetLineStart(size_t index) const { return m_oLines[index].start; }
    size_t LineOfTextPos(size_t textPos) const;

private:
    // Where a line may be cut back to its last space: the space's index in the line and the offset in the
    // text just after the character that gave it.
    struct SLastSpace {
        size_t index = std::u16string::npos;
        size_t next = 0;
    };

    void InitTextSizeEvaluator(int width);
    // Builds the line that starts at pos into m_pLine / m_nLineLen and returns its width; *count receives
    // the characters consumed, and m_bLineFeed whether a line feed among them ended the line. That line
    // feed is not part of the line.
    int FitText(const std::u16string& text, size_t pos, bool join, size_t* count, SLastSpace* lastSpace);
    // Without joining a line is a stretch of the text itself and is only measured; with joining it is
    // built in m_sJoined.
    int FitPlain(const std::u16string& text, size_t pos, size_t* count, SLastSpace* lastSpace);
    int FitJoined(const std::u16string& text, size_t pos, size_t* count, SLastSpace* lastSpace);
    void ReleaseTextSizeEvaluator();
    // Stores the line that shows text[start, start + length) and is width wide, and moves the bounds.
    void StoreLine(int flags, const Osp::Graphics::Rectangle& rect, int width, size_t start, size_t length);

    const Osp::Graphics::Font* m_pFont = nullptr;
    const std::u16string* m_pText = nullptr;  // of the last composition
    bool m_bJoined = false;                   // it was composed with smart reflow
    std::vector<SLine> m_oLines;
    Osp::Graphics::Rectangle m_oBounds;
    int m_nLineHeight = 0;
    int m_nMaxWidth = 0;
    int m_nCharWidth = 0;
    int m_nOriginY = 0;
    int m_nOriginX = 0;
    size_t m_nMaxChars = 0;  // printable characters that fit m_nMaxWidth
    // The line being composed: m_nLineLen units at m_pLine, in the text or in m_sJoined. The joined
    // line's buffer is kept between the lines of one composition.
    const char16_t* m_pLine = nullptr;
    size_t m_nLineLen = 0;
    bool m_bLineFeed = false;
    std::u16string m_sJoined;
    // Horizontal extent of the stored lines during a composition.
    int m_nLeft = 0;
    int m_nRight = 0;
};
