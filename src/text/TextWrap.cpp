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
constexpr char16_t kMaxStoredLength = 0xFFFF;
// Room in the joined line's buffer beyond the characters that fit the width: the one character a line
// always takes, a joined line feed's space and the terminating line feed.
constexpr size_t kLineSlack = 3;

// The second half of a surrogate pair takes no room of its own: the pair is one character, measured at
// its first half, and a line never ends between the two.
bool IsLowSurrogate(wchar_t c) {
    return static_cast<unsigned>(c) - 0xDC00u < 0x400u;
}

bool IsPrintable(wchar_t c) {
    return (c > 0x80 && !IsLowSurrogate(c)) || (c >= L' ' && c < 0x7F);
}

// The same test, cheapest for the printable ASCII that most text is made of.
bool IsPrintableFast(wchar_t c) {
    return static_cast<unsigned>(c) - 0x20u < 0x5Fu || (c > 0x80 && !IsLowSurrogate(c));
}

// The unit of a stored line at which column `col` begins, or len when the line is narrower.
int UnitOfColumn(const char16_t* text, int len, int col) {
    int unit = 0;
    for (int column = 0; unit < len; ++unit) {
        if (IsPrintable(text[unit])) {
            if (column == col) {
                return unit;
            }
            ++column;
        }
    }
    return len;
}

}  // namespace

TextWrap::SBlock::SBlock(std::wstring_view line) : m_pBuf(new char16_t[line.size() + 2]) {
    m_pBuf[0] = static_cast<char16_t>(std::min<size_t>(line.size(), kMaxStoredLength));
    std::copy(line.begin(), line.end(), m_pBuf.get() + 1);
    m_pBuf[line.size() + 1] = 0;
}

void TextWrap::Clear() {
    m_oBlocks.clear();
    m_oStarts.clear();
    m_oBounds = Osp::Graphics::Rectangle();
    m_pFont = nullptr;
    m_nLineHeight = 0;
    m_nCharWidth = 0;
}

size_t TextWrap::LineOfTextPos(size_t textPos) const {
    const auto after = std::upper_bound(m_oStarts.begin(), m_oStarts.end(), textPos);
    return after == m_oStarts.begin() ? 0 : static_cast<size_t>(after - m_oStarts.begin()) - 1;
}

void TextWrap::Offset(int dx, int dy) {
    m_nOriginX += dx;
    m_nOriginY += dy;
}

int TextWrap::GetTextWidth(const std::wstring& s) const {
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
    m_sJoined = std::wstring();
    m_pLine = nullptr;
    m_nLineLen = 0;
}

int TextWrap::FitText(const std::wstring& text, size_t pos, bool join, size_t* count, SLastSpace* lastSpace) {
    *lastSpace = SLastSpace();
    return join ? FitJoined(text, pos, count, lastSpace) : FitPlain(text, pos, count, lastSpace);
}

int TextWrap::FitPlain(const std::wstring& text, size_t pos, size_t* count, SLastSpace* lastSpace) {
    const wchar_t* const first = text.data() + pos;
    const wchar_t* const end = text.data() + text.size();
    const wchar_t* lastSpaceAt = nullptr;
    size_t printable = 0;
    const wchar_t* p = first;
    bool lineFeed = false;
    for (; p < end; ++p) {
        const wchar_t c = *p;
        if (IsPrintableFast(c)) {
            // A line holds at least one character, so that layout always moves on.
            if (printable >= m_nMaxChars && p > first) {
                break;
            }
            ++printable;
            lastSpaceAt = c == L' ' ? p : lastSpaceAt;
        } else if (c == L'\n') {
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

int TextWrap::FitJoined(const std::wstring& text, size_t pos, size_t* count, SLastSpace* lastSpace) {
    const wchar_t* const begin = text.data();
    const wchar_t* const first = begin + pos;
    const wchar_t* const end = begin + text.size();
    wchar_t* line = m_sJoined.data();
    size_t n = 0;
    size_t printable = 0;
    wchar_t prev = 0;
    bool lineFeed = false;
    const wchar_t* p = first;
    for (; p < end; ++p) {
        const wchar_t c = *p;
        if (IsPrintable(c)) {
            if (printable >= m_nMaxChars && p > first) {
                break;
            }
            if (c == L' ') {
                // Runs of spaces collapse to one.
                if (prev == L' ') {
                    continue;
                }
                lastSpace->index = n;
                lastSpace->next = static_cast<size_t>(p + 1 - first);
            }
            ++printable;
        } else if (c == L'\n') {
            // Only a single line feed inside a paragraph joins; the second of two is a paragraph break
            // and keeps its empty line even when it starts a display line.
            const bool joins = p + 1 < end && p[1] != L'\n' && p[1] != L' ' && (p == begin || p[-1] != L'\n');
            if (!joins) {
                lineFeed = true;
                ++p;
                break;
            }
            lastSpace->index = n;
            lastSpace->next = static_cast<size_t>(p + 1 - first);
            line[n++] = L' ';
            prev = L' ';
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

void TextWrap::StoreLine(int flags, const Osp::Graphics::Rectangle& rect, int width) {
    if (width == 0) {
        m_oBlocks.emplace_back();
        return;
    }
    int x = rect.x;
    if ((flags & kAlignMask) == kAlignRight) {
        x += rect.width - width;
    } else if ((flags & kAlignMask) == kAlignCenter) {
        x += (rect.width - width) / 2;
    }
    m_oBlocks.emplace_back(std::wstring_view(m_pLine, m_nLineLen));
    m_nLeft = std::min(m_nLeft, x);
    m_nRight = std::max(m_nRight, x + width);
}

int TextWrap::Compose(const std::wstring& text, int flags, const Osp::Graphics::Rectangle& rect,
                      const Osp::Graphics::Font* font, int lineHeight, int dy) {
    Clear();
    m_pFont = font;
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
        const bool isLast = bottom <= y + maxH;
        const bool wordBreak = isLast ? (flags & kNoWordBreakOnLast) == 0 : (flags & kNoWordBreak) == 0;
        bool changed = false;
        if (next < window && !endsWithNewline && wordBreak && lastSpace.index != std::wstring::npos &&
            lastSpace.index + 1 < m_nLineLen && text[pos + next] != L' ') {
            m_nLineLen = lastSpace.index;
            next = lastSpace.next;
            changed = true;
        }
        while (m_nLineLen > 0 && m_pLine[m_nLineLen - 1] == L' ') {
            --m_nLineLen;
            changed = true;
        }
        if (!endsWithNewline) {
            size_t after = next;
            while (after < window && text[pos + after] == L' ') {
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
        StoreLine(flags, rect, width);
        m_oStarts.push_back(pos);
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
        m_oBounds = Osp::Graphics::Rectangle(rect.x, m_oBlocks.empty() ? 0 : rect.y, 0, total);
    } else {
        m_oBounds = Osp::Graphics::Rectangle(m_nLeft, rect.y, m_nRight - m_nLeft, total);
    }
    ReleaseTextSizeEvaluator();
    return total;
}

void TextWrap::Draw(Osp::Graphics::Canvas& canvas, int scrollX, int scrollY, int viewHeight,
                    int viewWidth) const {
    if (m_oBlocks.empty() || m_pFont == nullptr) {
        return;
    }
    canvas.SetFont(*m_pFont);
    const size_t first = static_cast<size_t>(std::max(0, scrollY / m_nLineHeight));
    const size_t last =
        std::min(first + 2 + static_cast<size_t>(std::max(0, viewHeight / m_nLineHeight)), m_oBlocks.size());
    const int col = std::max(0, scrollX / m_nCharWidth);
    const int cols = std::max(0, viewWidth / m_nCharWidth) + 2;
    std::wstring visible;
    for (size_t i = first; i < last; ++i) {
        const SBlock& line = m_oBlocks[i];
        const char16_t* text = line.GetText();
        // Columns count characters, so a line with surrogate pairs has more units than columns.
        const int from = line.GetLen() <= col ? line.GetLen() : UnitOfColumn(text, line.GetLen(), col);
        if (from >= line.GetLen()) {
            continue;
        }
        const int to = UnitOfColumn(text, line.GetLen(), col + cols);
        visible.assign(text + from, text + to);
        const long long y =
            static_cast<long long>(m_nLineHeight) * static_cast<long long>(i) + m_nOriginY - scrollY;
        canvas.DrawText(Osp::Graphics::Point(col * m_nCharWidth - scrollX, static_cast<int>(y)),
                        Osp::Base::String(visible));
    }
}
