#pragma once
// Lays a long text out into display lines for a width and a font, keeps the lines compactly, and draws
// the part of them that a viewport shows. Used on the user-interface thread.
//
// Every printable character is taken to be as wide as the font's average character, measured once per
// composition, so that laying out a whole file makes no font call per character; the viewer's font is
// monospaced. A printable character is a space, one of the ASCII graphic characters, or anything above
// U+0080; other characters take no room but stay in their line. The font handed to Compose is not owned
// and must outlive the composition (Draw uses it).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
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

    // One display line: a single buffer of 16-bit units holding the length (capped at 65535), the
    // characters and a terminating zero. An empty line holds no buffer. Move-only.
    class SBlock {
    public:
        SBlock() = default;
        explicit SBlock(std::wstring_view line);  // units above 16 bits do not occur in decoded text

        int GetLen() const { return m_pBuf ? m_pBuf[0] : 0; }
        const char16_t* GetText() const { return m_pBuf ? m_pBuf.get() + 1 : nullptr; }

    private:
        std::unique_ptr<char16_t[]> m_pBuf;
    };

    static constexpr int kLookAhead = 200;  // characters looked at beyond a line when breaking it

    TextWrap() = default;
    virtual ~TextWrap() = default;
    TextWrap(const TextWrap&) = delete;
    TextWrap& operator=(const TextWrap&) = delete;

    // Lays text out into lines inside rect and returns the total height. lineHeight 0 takes the font's
    // height and a quarter; dy moves the first line down. Lines stop after the last one that fits rect's
    // height. A null font or an empty text gives no lines and 0.
    int Compose(const std::wstring& text, int flags, const Osp::Graphics::Rectangle& rect,
                const Osp::Graphics::Font* font, int lineHeight, int dy);

    // Draws the lines inside a viewport of viewWidth x viewHeight whose top-left corner lies at (scrollX,
    // scrollY) of the text, in the canvas's foreground colour, touching only the visible characters.
    void Draw(Osp::Graphics::Canvas& canvas, int scrollX, int scrollY, int viewHeight, int viewWidth) const;

    void Clear();
    void Offset(int dx, int dy);
    // Width of the printable characters of s after the last composition.
    int GetTextWidth(const std::wstring& s) const;

    const Osp::Graphics::Rectangle& GetBounds() const { return m_oBounds; }
    int GetLineHeight() const { return m_nLineHeight; }
    int GetCharWidth() const { return m_nCharWidth; }
    size_t GetLineCount() const { return m_oBlocks.size(); }
    const SBlock& GetLine(size_t index) const { return m_oBlocks[index]; }
    // Where a line begins in the composed text, and the line that shows a text position (the last line
    // for a position beyond the text, 0 when there are no lines).
    size_t GetLineStart(size_t index) const { return m_oStarts[index]; }
    size_t LineOfTextPos(size_t textPos) const;

private:
    // Where a line may be cut back to its last space: the space's index in the line and the offset in the
    // text just after the character that gave it.
    struct SLastSpace {
        size_t index = std::wstring::npos;
        size_t next = 0;
    };

    void InitTextSizeEvaluator(int width);
    // Builds the line that starts at pos into m_pLine / m_nLineLen and returns its width; *count receives
    // the characters consumed, and m_bLineFeed whether a line feed among them ended the line. That line
    // feed is not part of the line.
    int FitText(const std::wstring& text, size_t pos, bool join, size_t* count, SLastSpace* lastSpace);
    // Without joining a line is a stretch of the text itself and is only measured; with joining it is
    // built in m_sJoined.
    int FitPlain(const std::wstring& text, size_t pos, size_t* count, SLastSpace* lastSpace);
    int FitJoined(const std::wstring& text, size_t pos, size_t* count, SLastSpace* lastSpace);
    void ReleaseTextSizeEvaluator();
    // Puts the scratch line into a block; returns its width and moves the bounds.
    void StoreLine(int flags, const Osp::Graphics::Rectangle& rect, int width);

    const Osp::Graphics::Font* m_pFont = nullptr;
    std::vector<SBlock> m_oBlocks;
    std::vector<size_t> m_oStarts;  // text position of each line's first character
    Osp::Graphics::Rectangle m_oBounds;
    int m_nLineHeight = 0;
    int m_nMaxWidth = 0;
    int m_nCharWidth = 0;
    int m_nOriginY = 0;
    int m_nOriginX = 0;
    size_t m_nMaxChars = 0;  // printable characters that fit m_nMaxWidth
    // The line being composed: m_nLineLen units at m_pLine, in the text or in m_sJoined. The joined
    // line's buffer is kept between the lines of one composition.
    const wchar_t* m_pLine = nullptr;
    size_t m_nLineLen = 0;
    bool m_bLineFeed = false;
    std::wstring m_sJoined;
    // Horizontal extent of the stored lines during a composition.
    int m_nLeft = 0;
    int m_nRight = 0;
};
