// Random bytes through what the text viewer does with a file: the checks of encoding detection, each decoder,
// then the layout at a few widths with and without smart reflow, and drawing at a few scroll positions.
// Checks that a decoder gives only printable characters, spaces and line feeds; that no display line is wider
// than its width (beyond the one character a line always takes) or ends in a space; that layout keeps
// every visible character in order; and that drawing asks for no more lines and columns than the
// viewport shows.
//
// The font and the canvas are stand-ins with fixed metrics, so that the target exercises the layout
// itself and needs no windowing system.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "../FuzzSupport.h"
#include "Osp/Graphics/Canvas.h"
#include "Osp/Graphics/Font.h"
#include "text/TextDecoder.h"
#include "text/TextPlaces.h"
#include "text/TextWrap.h"

namespace {

constexpr int kCharWidth = 8;
constexpr int kMaxHeight = 17;
constexpr int kDescender = 4;
// Larger inputs find nothing new and only slow the search down.
constexpr size_t kMaxInput = 8 * 1024;
// Widths below a few characters give a line per character; beyond this length they add time, not cases.
constexpr size_t kMaxNarrowText = 512;

struct SDrawn {
    int calls = 0;
    int longest = 0;
};
SDrawn g_drawn;

}  // namespace

namespace Osp::Graphics {

struct Font::Impl {};
Font::Font() = default;
Font::~Font() = default;
Osp::Base::result Font::GetTextExtent(const wchar_t*, int length, Dimension& extent) const {
    extent = Dimension(length * kCharWidth, kMaxHeight);
    return Osp::Base::E_SUCCESS;
}
int Font::GetMaxHeight() const {
    return kMaxHeight;
}
int Font::GetDescender() const {
    return kDescender;
}

struct Canvas::Impl {};
Canvas::Canvas() = default;
Canvas::~Canvas() = default;
Osp::Base::result Canvas::SetFont(const Font&) {
    return Osp::Base::E_SUCCESS;
}
Osp::Base::result Canvas::DrawText(const Point&, const Osp::Base::String& text) {
    ++g_drawn.calls;
    // A surrogate pair is one column: only its first half counts.
    int columns = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        const unsigned unit = text.GetPointer()[i];
        columns += unit - 0xDC00u < 0x400u ? 0 : 1;
    }
    g_drawn.longest = std::max(g_drawn.longest, columns);
    return Osp::Base::E_SUCCESS;
}

}  // namespace Osp::Graphics

namespace {

bool IsLowSurrogate(char16_t c) {
    return static_cast<unsigned>(c) - 0xDC00u < 0x400u;
}

bool IsHighSurrogate(char16_t c) {
    return static_cast<unsigned>(c) - 0xD800u < 0x400u;
}

// The second half of a surrogate pair takes no column of its own.
bool IsPrintable(char16_t c) {
    return (c > 0x80 && !IsLowSurrogate(c)) || (c >= u' ' && c < 0x7F);
}

// Every surrogate of decoded text is half of a pair in the right order.
bool PairsAreWhole(const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsHighSurrogate(text[i]) && (i + 1 == text.size() || !IsLowSurrogate(text[i + 1]))) {
            return false;
        }
        if (IsLowSurrogate(text[i]) && (i == 0 || !IsHighSurrogate(text[i - 1]))) {
            return false;
        }
    }
    return true;
}

// What layout must keep: the printable characters other than spaces (a line of nothing but zero-width
// characters is stored empty).
std::u16string Visible(const std::u16string& s) {
    std::u16string kept;
    for (char16_t c : s) {
        if (c != u' ' && IsPrintable(c)) {
            kept.push_back(c);
        }
    }
    return kept;
}

void CheckLines(const TextWrap& wrap, const std::u16string& visible, int width) {
    const int columns = width / kCharWidth;
    std::u16string laidOut;
    for (size_t i = 0; i < wrap.GetLineCount(); ++i) {
        const std::u16string units = wrap.GetLineText(i);
        const auto printable = std::count_if(units.begin(), units.end(), IsPrintable);
        FUZZ_CHECK(printable <= std::max(columns, 1));
        FUZZ_CHECK(units.empty() || units.back() != u' ');
        FUZZ_CHECK(units.find(u'\n') == std::u16string::npos);
        laidOut += units;
    }
    FUZZ_CHECK(Visible(laidOut) == visible);
}

void CheckDraw(const TextWrap& wrap, int scrollX, int scrollY) {
    const int viewWidth = 480;
    const int viewHeight = 700;
    Osp::Graphics::Canvas canvas;
    g_drawn = SDrawn();
    wrap.Draw(canvas, scrollX, scrollY, viewHeight, viewWidth);
    FUZZ_CHECK(g_drawn.calls <= viewHeight / wrap.GetLineHeight() + 2);
    FUZZ_CHECK(g_drawn.longest <= viewWidth / kCharWidth + 2);
}

void CheckLayout(const std::u16string& text, const std::u16string& visible, int width, int flags) {
    Osp::Graphics::Font font;
    TextWrap wrap;
    const int height = wrap.Compose(text, flags, Osp::Graphics::Rectangle(0, 0, width, INT_MAX), &font, 0, 0);
    if (text.empty()) {
        FUZZ_CHECK(height == 0 && wrap.GetLineCount() == 0);
        return;
    }
    const auto lines = static_cast<long long>(wrap.GetLineCount());
    FUZZ_CHECK(height == lines * wrap.GetLineHeight() + kMaxHeight);
    CheckLines(wrap, visible, width);
    CheckDraw(wrap, 0, 0);
    CheckDraw(wrap, wrap.GetBounds().width / 2, height / 2);
    CheckDraw(wrap, -5, height + 100);
}

// Decoding a stretch at a time gives the text of one go, and every mark is a place: decoding from its byte
// gives the text from its position (tab stops aside, which count from where decoding starts).
void CheckMarks(const std::uint8_t* data, size_t size, TTextEncoding encoding, const std::u16string& whole) {
    std::u16string marked;
    std::vector<STextMark> marks;
    const size_t pinned = NextPlace(data, size, size / 2, encoding, 0);
    DecodeTextMarked(data, size, encoding, 0, 0, 4, pinned, 64, &marked, &marks);
    FUZZ_CHECK(marked == whole);
    const bool tabs = std::find(data, data + size, '\t') != data + size;
    bool pinnedSeen = pinned >= size;
    std::u16string from;
    for (size_t i = 0; i < marks.size(); ++i) {
        FUZZ_CHECK(i == 0 ||
                   (marks[i].bytePos > marks[i - 1].bytePos && marks[i].textPos >= marks[i - 1].textPos));
        FUZZ_CHECK(marks[i].textPos <= whole.size() && marks[i].bytePos <= size);
        pinnedSeen = pinnedSeen || marks[i].bytePos == pinned;
        if (!tabs) {
            DecodeText(data, size, encoding, marks[i].bytePos, 4, &from);
            FUZZ_CHECK(from == whole.substr(marks[i].textPos));
        }
    }
    FUZZ_CHECK(pinnedSeen);
    const size_t end = EndOfWholeCharacters(data, size, encoding, 0);
    FUZZ_CHECK(end <= size && size - end <= 4);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return 0;
    }
    size_t start = 0;
    const TTextEncoding detected = EncodingOfMark(data, size, &start);
    FUZZ_CHECK(start <= size);
    // A whole text that is UTF-8 stays UTF-8 when taken as the start of a longer one.
    FUZZ_CHECK(!IsUtf8BeyondAscii(data, size, TSample::Whole) ||
               IsUtf8BeyondAscii(data, size, TSample::CutAtEnd));
    std::u16string text;
    for (int e = ENCODING_LATIN1; e <= ENCODING_UTF16BE; ++e) {
        DecodeText(data, size, static_cast<TTextEncoding>(e), e == detected ? start : 0, 4, &text);
        for (char16_t c : text) {
            FUZZ_CHECK(c <= 0xFFFF && (c == u'\n' || c >= 0x80 || IsPrintable(c)));
        }
        FUZZ_CHECK(PairsAreWhole(text));
        if (e != detected || start == 0) {
            CheckMarks(data, size, static_cast<TTextEncoding>(e), text);
        }
    }
    DecodeText(data, size, ENCODING_UTF8, 0, 4, &text);
    const std::u16string visible = Visible(text);
    for (int width : {0, 5, 80, 480, 4000}) {
        if (width < 2 * kCharWidth && text.size() > kMaxNarrowText) {
            continue;
        }
        CheckLayout(text, visible, width, 0);
        CheckLayout(text, visible, width, TextWrap::kSmartReflow);
    }
    return 0;
}
