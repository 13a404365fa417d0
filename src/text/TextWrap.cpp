#include "text/TextWrap.h"

#include <algorithm>
#include <climits>

#include "Osp/Base/String.h"
#include "Osp/Graphics/Canvas.h"
#include "Osp/Graphics/Font.h"

namespace {

// The sample whose average width stands for every character.
constexpr wchar_t kWidthSample[] = L"abcdefghijklmnopqrstuvwxyz012345";
constexpr int kWidthSampleLength = 32;
// Room in the joined line's buffer beyond the characters that fit the width: the one character a line
// always takes, a joined line feed's space and the terminating line feed.
constexpr size_t kLineSlack = 3;

// The second half of a surrogate pair takes no room of its own: the pair is one character, measured at
// its first half, and a line never ends between the two.
bool IsLowSurrogate(char16_t c) {
    return static_cast<unsigned>(c) - 0xDC00u < 0x400u;
}

bool IsPrintable(char16_t c) {
    return (c > 0x80 && !IsLowSurrogate(c)) || (c >= u' ' && c < 0x7F);
}

// The same test, cheapest for the printable ASCII that most text is made of.
bool IsPrintableFast(char16_t c) {
    return static_cast<unsigned>(c) - 0x20u < 0x5Fu || (c > 0x80 && !IsLowSurrogate(c));
}

// The unit of a stored line at which column `col` begins, or len when the line is narrower.
size_t UnitOfColumn(const char16_t* text, size_t len, size_t col) {
    size_t unit = 0;
    for (size_t column = 0; unit < len; ++unit) {
        if (IsPrintable(text[unit])) {
            if (column == col) {
                return unit;
            }
            ++column;
        }
    }
    return len;
}

// What a stretch of text shows as a line with smart reflow: its line feeds joined as spaces, runs of
// spaces as one, as FitJoined built it.
void AppendJoined(std::u16string_view stretch, std::u16string* line) {
    char16_t prev = 0;
    for (char16_t c : stretch) {
        if (c == u'\n') {
            c = u' ';
        } else if (c == u' ' && prev == u' ') {
            continue;
        }
        line->push_back(c);
        prev = c;
    }
}

}  // namespace

void TextWrap::Clear() {
    m_oLines.clear();
    m_pText = nullptr;
    m_bJoined = false;
    m_oBounds = Osp::Graphics::Rectangle();
    m_pFont = nullptr;
    m_nLineHeight = 0;
    m_nCharWidth = 0;
}

size_t TextWrap::LineOfTextPos(size_t textPos) const {
    const auto after = std::upper_bound(m_oLines.begin(), m_oLines.end(), textPos,
                                        [](size_t pos, const SLine& line) { return pos < line.start; });
    return after == m_oLines.begin() ? 0 : static_cast<size_t>(after - m_oLines.begin()) - 1;
}

std::u16string TextWrap::GetLineText(size_t index) const {
    const SLine& line = m_oLines[index];
    const std::u16string_view stretch = std::u16string_view(*m_pText).substr(line.start, line.length);
    if (!m_bJoined) {
        return std::u16string(stretch);
    }
    std::u16string joined;
    AppendJoined(stretch, &joined);
    return joined;
}

void TextWrap::Offset(int dx, int dy) {
    m_nOriginX += dx;
    m_nOriginY += dy;
}

int TextWrap::GetTextWidth(std::u16string_view s) const {
    return static_cast<int>(std::count_if(s.begin(), s.end(), IsPrintable)) * m_nCharWidth;
}

void TextWrap::InitTextSizeEvaluator(int width) {
    m_nMaxWidth = width;
    Osp::Graphics::Dimension extent;
    const bool measured =
        m_pFont->GetTextExtent(kWidthSample, kWidthSampleLength, extent) == Osp::Base::E_SUCCESS;
    // A tiny font would otherwise give a width of 0, which the layout divides by.
    m_nCharWidth = std::max(1, measured ? extent.width / kWidthSampleLength : 0);
    // Every printable character is equally wide, so fitting the width is counting to this.
    m_nMaxChars = static_cast<size_t>(std::max(0, m_nMaxWidth / m_nCharWidth));
    m_sJoined.resize(m_nMaxChars + kLineSlack);
    m_pLine = nullptr;
    m_nLineLen = 0;
}

void TextWrap::ReleaseTextSizeEvaluator() {
    m_sJoined = std::u16string();
    m_pLine = nullptr;
    m_nLineLen = 0;
}

int TextWrap::FitText(const std::u16string& text, size_t pos, bool join, size_t* count,
                      SLastSpace* lastSpace) {
    *lastSpace = SLastSpace();
    return join ? FitJoined(text, pos, count, lastSpace) : FitPlain(text, pos, count, lastSpace);
}

int TextWrap::FitPlain(const std::u16string& text, size_t pos, size_t* count, SLastSpace* lastSpace) {
    const char16_t* const first = text.data() + pos;
    const char16_t* const end = text.data() + text.size();
    const char16_t* lastSpaceAt = nullptr;
    size_t printable = 0;
    const char16_t* p = first;
    bool lineFeed = false;
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (IsPrintableFast(c)) {
            // A line holds at least one character, so that layout always moves on.
            if (printable >= m_nMaxChars && p > first) {
                break;
            }
            ++printable;
            lastSpaceAt = c == u' ' ? p : lastSpaceAt;
        } else if (c == u'\n') {
            lineFeed = true;
            ++p;
            break;
        }
    }
    m_pLine = first;
    *count = static_cast<size_t>(p - first);
    m_bLineFeed = lineFeed;
    m_nLineLen = *count - (lineFeed ? 1 : 0);
    if (lastSpaceAt != nullptr) {
        lastSpace->index = static_cast<size_t>(lastSpaceAt - first);
        lastSpace->next = lastSpace->index + 1;
    }
    return static_cast<int>(printable) * m_nCharWidth;
}

int TextWrap::FitJoined(const std::u16string& text, size_t pos, size_t* count, SLastSpace* lastSpace) {
    const char16_t* const begin = text.data();
    const char16_t* const first = begin + pos;
    const char16_t* const end = begin + text.size();
    char16_t* line = m_sJoined.data();
    size_t n = 0;
    size_t printable = 0;
    char16_t prev = 0;
    bool lineFeed = false;
    const char16_t* p = first;
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (IsPrintable(c)) {
            if (printable >= m_nMaxChars && p > first) {
                break;
            }
            if (c == u' ') {
                // Runs of spaces collapse to one.
                if (prev == u' ') {
                    continue;
                }
                lastSpace->index = n;
                lastSpace->next = static_cast<size_t>(p + 1 - first);
            }
            ++printable;
        } else if (c == u'\n') {
            // Only a single line feed inside a paragraph joins; the second of two is a paragraph break
            // and keeps its empty line even when it starts a display line.
            const bool joins = p + 1 < end && p[1] != u'\n' && p[1] != u' ' && (p == begin || p[-1] != u'\n');
            if (!joins) {
                lineFeed = true;
                ++p;
                break;
            }
            lastSpace->index = n;
            lastSpace->next = static_cast<size_t>(p + 1 - first);
            line[n++] = u' ';
            prev = u' ';
            // A joined line feed that overflows ends the line: the space goes as trailing space, and
            // whatever follows starts the next line instead of growing this one past the width.
            if (++printable > m_nMaxChars) {
                ++p;
                break;
            }
            continue;
        } else if (n + kLineSlack >= m_sJoined.size()) {
            // Only characters without width make a line longer than the buffer's first size.
            m_sJoined.resize(m_sJoined.size() * 2);
            line = m_sJoined.data();
        }
        line[n++] = c;
        prev = c;
    }
    m_pLine = line;
    m_nLineLen = n;
    m_bLineFeed = lineFeed;
    *count = static_cast<size_t>(p - first);
    return static_cast<int>(printable) * m_nCharWidth;
}

void TextWrap::StoreLine(int flags, const Osp::Graphics::Rectangle& rect, int width, size_t start,
                         size_t length) {
    if (width == 0) {
        m_oLines.push_back({static_cast<std::uint32_t>(start), 0});
        return;
    }
    int x = rect.x;
    if ((flags & kAlignMask) == kAlignRight) {
        x += rect.width - width;
    } else if ((flags & kAlignMask) == kAlignCenter) {
        x += (rect.width - width) / 2;
    }
    m_oLines.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
    m_nLeft = std::min(m_nLeft, x);
    m_nRight = std::max(m_nRight, x + width);
}

int TextWrap::Compose(const std::u16string& text, int flags, const Osp::Graphics::Rectangle& rect,
                      const Osp::Graphics::Font* font, int lineHeight, int dy) {
    Clear();
    m_pFont = font;
    m_pText = &text;
    if (text.empty() || font == nullptr) {
        return 0;
    }
    const int maxH = font->GetMaxHeight();
    m_nLineHeight = std::max(1, lineHeight != 0 ? lineHeight : maxH + maxH / 4);
    long long y = static_cast<long long>(rect.y) + dy;
    m_nOriginY = static_cast<int>(y);
    m_nOriginX = rect.x;
    long long bottom = static_cast<long long>(rect.y) + rect.height;
    if (flags & kLastLineInside) {
        bottom -= m_nLineHeight - 1;
    }
    const bool join = (flags & kSmartReflow) != 0;
    m_bJoined = join;
    m_nLeft = rect.x + rect.width;
    m_nRight = rect.x;
    InitTextSizeEvaluator(rect.width);

    size_t pos = 0;
    while (pos < text.size() && y < bottom) {
        size_t count = 0;
        SLastSpace lastSpace;
        int width = FitText(text, pos, join, &count, &lastSpace);
        const size_t window = std::min(count + kLookAhead, text.size() - pos);
        size_t next = count;
        const bool endsWithNewline = m_bLineFeed;
        // The stretch of the text the line shows: without joining the line is that stretch itself.
        size_t stretch = count - (endsWithNewline ? 1 : 0);
        const bool isLast = bottom <= y + maxH;
        const bool wordBreak = isLast ? (flags & kNoWordBreakOnLast) == 0 : (flags & kNoWordBreak) == 0;
        bool changed = false;
        if (next < window && !endsWithNewline && wordBreak && lastSpace.index != std::u16string::npos &&
            lastSpace.index + 1 < m_nLineLen && text[pos + next] != u' ') {
            m_nLineLen = lastSpace.index;
            next = lastSpace.next;
            stretch = next - 1;
            changed = true;
        }
        while (m_nLineLen > 0 && m_pLine[m_nLineLen - 1] == u' ') {
            --m_nLineLen;
            changed = true;
        }
        // Trailing spaces and joined line feeds show as trailing spaces, which go.
        while (stretch > 0 &&
               (text[pos + stretch - 1] == u' ' || (join && text[pos + stretch - 1] == u'\n'))) {
            --stretch;
        }
        if (!endsWithNewline) {
            size_t after = next;
            while (after < window && text[pos + after] == u' ') {
                ++after;
            }
            // A run of spaces reaching past the look-ahead is kept for the next line.
            if (after < window) {
                next = after;
            }
        }
        if (changed) {
            width = static_cast<int>(m_nLineLen) * m_nCharWidth;
        }
        StoreLine(flags, rect, width, pos, stretch);
        y += m_nLineHeight;
        if (isLast) {
            break;
        }
        pos += next;
    }

    long long height = y - rect.y + maxH - lineHeight;
    if (flags & kNoDescender) {
        height -= font->GetDescender();
    }
    const int total = static_cast<int>(std::clamp<long long>(height, 0, INT_MAX));
    if (m_nRight < m_nLeft) {
        m_oBounds = Osp::Graphics::Rectangle(rect.x, m_oLines.empty() ? 0 : rect.y, 0, total);
    } else {
        m_oBounds = Osp::Graphics::Rectangle(m_nLeft, rect.y, m_nRight - m_nLeft, total);
    }
    ReleaseTextSizeEvaluator();
    return total;
}

void TextWrap::Draw(Osp::Graphics::Canvas& canvas, int scrollX, int scrollY, int viewHeight,
                    int viewWidth) const {
    if (m_oLines.empty() || m_pFont == nullptr || m_pText == nullptr) {
        return;
    }
    canvas.SetFont(*m_pFont);
    const size_t first = static_cast<size_t>(std::max(0, scrollY / m_nLineHeight));
    const size_t last =
        std::min(first + 2 + static_cast<size_t>(std::max(0, viewHeight / m_nLineHeight)), m_oLines.size());
    const int col = std::max(0, scrollX / m_nCharWidth);
    const int cols = std::max(0, viewWidth / m_nCharWidth) + 2;
    std::u16string joined;
    std::wstring visible;
    for (size_t i = first; i < last; ++i) {
        std::u16string_view line =
            std::u16string_view(*m_pText).substr(m_oLines[i].start, m_oLines[i].length);
        if (m_bJoined) {
            joined.clear();
            AppendJoined(line, &joined);
            line = joined;
        }
        // Columns count characters, so a line with surrogate pairs has more units than columns.
        const size_t from = UnitOfColumn(line.data(), line.size(), static_cast<size_t>(col));
        if (from >= line.size()) {
            continue;
        }
        const size_t to = UnitOfColumn(line.data(), line.size(), static_cast<size_t>(col + cols));
        visible.assign(line.begin() + static_cast<long>(from), line.begin() + static_cast<long>(to));
        const long long y =
            static_cast<long long>(m_nLineHeight) * static_cast<long long>(i) + m_nOriginY - scrollY;
        canvas.DrawText(Osp::Graphics::Point(col * m_nCharWidth - scrollX, static_cast<int>(y)),
                        Osp::Base::String(visible));
    }
}
