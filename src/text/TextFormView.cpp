// The viewer's layout, scrolling and drawing, and the places it jumps to.

#include <algorithm>
#include <array>
#include <climits>

#include "text/TextForm.h"

namespace {

using Osp::Graphics::Color;

// Without wrapping, lines are laid out this wide and only longer ones break.
constexpr int kUnwrappedWidth = 4000;
// Page down keeps this much of the old page in view.
constexpr int kPageOverlap = 38;
constexpr int kScrollBarInset = 7;
constexpr int kScrollBarWidth = 5;
constexpr int kScrollBarMinHeight = 30;
constexpr Color kScrollBarColor(128, 128, 128, 128);

struct SColors {
    Color text;
    Color background;
};

// Colour schemes of the items from ACTION_COLORS_FIRST on.
constexpr std::array<SColors, 4> kSchemes = {{
    {Color::COLOR_BLACK, Color::COLOR_WHITE},
    {Color::COLOR_WHITE, Color::COLOR_BLACK},
    {Color(100, 180, 100, 255), Color::COLOR_BLACK},
    {Color::COLOR_GREY, Color::COLOR_BLACK},
}};

}  // namespace

void TextForm::RecalcText(bool recompose, bool redraw) {
    const int oldLineHeight = m_oWrap.GetLineHeight();
    const int topLine = oldLineHeight > 0 ? m_nScrollY / oldLineHeight : 0;
    const int oldCharWidth = m_oWrap.GetCharWidth();
    if (recompose) {
        Compose();
    }
    // The line at the top stays at the top through a change of font or wrapping.
    const int y = topLine != 0 ? topLine * m_oWrap.GetLineHeight() : m_nScrollY;
    if (oldCharWidth >= 1) {
        m_nScrollX =
            static_cast<int>(static_cast<long long>(m_nScrollX) * m_oWrap.GetCharWidth() / oldCharWidth);
    }
    m_nScrollX = ClampX(m_nScrollX);
    SetScrollPos(y, redraw);
}

void TextForm::Compose() {
    m_oWrap.Clear();
    const bool wrap = m_bWordWrap || m_bSmartReflow;
    const int width = wrap ? TextArea().width : kUnwrappedWidth;
    m_oWrap.Compose(m_sText, m_bSmartReflow ? TextWrap::kSmartReflow : 0,
                    Osp::Graphics::Rectangle(0, 0, width, INT_MAX), m_pFont.get(), 0, 0);
}

Osp::Graphics::Rectangle TextForm::TextArea() const {
    const Osp::Graphics::Rectangle client = GetClientAreaBounds();
    return Osp::Graphics::Rectangle(kMarginX, kMarginY, std::max(1, client.width - 2 * kMarginX),
                                    std::max(1, client.height - 2 * kMarginY));
}

int TextForm::ClampX(int x) const {
    const int maxX = m_oWrap.GetBounds().width - TextArea().width;
    return std::clamp(x, 0, std::max(0, maxX));
}

int TextForm::ClampY(int y) const {
    const int maxY = TextHeight() - TextArea().height;
    return maxY < -kScrollPastEnd ? 0 : std::clamp(y, 0, maxY + kScrollPastEnd);
}

void TextForm::SetScrollPos(int y, bool redraw) {
    m_oKinetic.Stop();
    y = ClampY(FollowWindow(y));
    const bool moved = y != m_nScrollY;
    m_nScrollY = y;
    ShowScrollBar(false);
    if (moved || redraw) {
        RequestRedraw();
    }
}

void TextForm::SetScrollPos(const Osp::Graphics::Point& p, bool redraw) {
    const int x = ClampX(p.x);
    const int y = ClampY(FollowWindow(p.y));
    if (x == m_nScrollX && y == m_nScrollY) {
        return;
    }
    ShowScrollBar(false);
    m_nScrollX = x;
    m_nScrollY = y;
    if (redraw) {
        RequestRedraw();
    }
}

void TextForm::PageDown() {
    const int lineHeight = m_oWrap.GetLineHeight();
    if (lineHeight <= 0) {
        return;
    }
    // A line cut by the top edge counts as seen only when less than a font's height of it is hidden.
    int cut = m_nScrollY % lineHeight;
    if (cut >= m_nFontSize) {
        cut -= lineHeight;
    }
    const int page = TextArea().height - kPageOverlap;
    int step = lineHeight * (page / lineHeight) - cut;
    if (page - step > m_nFontSize) {
        step += lineHeight;
    }
    SetScrollPos(m_nScrollY + step, false);
}

void TextForm::ShowScrollBar(bool redraw) {
    if ((m_nFlags & kFlagScrollBar) == 0) {
        m_nFlags |= kFlagScrollBar;
        if (redraw) {
            RequestRedraw();
        }
    }
    m_oBarTimer.Start(kScrollBarMs);
}

void TextForm::OnTimerExpired(Osp::Base::Runtime::Timer&) {
    m_nFlags &= ~kFlagScrollBar;
    RequestRedraw();
}

Osp::Base::result TextForm::OnDraw() {
    std::unique_ptr<Osp::Graphics::Canvas> canvas(GetCanvasN());
    if (canvas == nullptr) {
        return Osp::Base::GetLastResult();
    }
    const Osp::Graphics::Rectangle client = GetClientAreaBounds();
    const SColors& scheme = kSchemes[static_cast<size_t>(m_nColors - ACTION_COLORS_FIRST)];
    canvas->SetBackgroundColor(scheme.background);
    canvas->Clear();
    DrawMatch(*canvas);
    canvas->SetForegroundColor(scheme.text);
    // Drawing from a view moved up and left by the margins puts the text inside them.
    m_oWrap.Draw(*canvas, m_nScrollX - kMarginX, m_nScrollY - kMarginY, client.height, client.width);
    const long long textHeight = TextHeight();
    const bool wholeFile = m_oSource.WindowAtStart() && m_oSource.WindowAtEnd();
    if ((m_nFlags & kFlagScrollBar) != 0 && (textHeight > client.height || !wholeFile)) {
        // The thumb stands for the screen's share of the file and its place in it, measured in bytes
        // when only a window of the file is read.
        const double height = client.height;
        const double fileBytes = static_cast<double>(std::max<std::uint64_t>(1, m_oSource.GetFileSize()));
        const double windowBytes = static_cast<double>(m_oSource.GetWindowEnd() - m_oSource.GetWindowStart());
        const double shown = textHeight > 0 ? std::min(1.0, height / static_cast<double>(textHeight)) : 1.0;
        const double share = wholeFile ? shown : shown * windowBytes / fileBytes;
        const double place = wholeFile ? static_cast<double>(m_nScrollY) / static_cast<double>(textHeight)
                                       : static_cast<double>(TopByte()) / fileBytes;
        const int thumb = static_cast<int>(std::max<double>(kScrollBarMinHeight, height * share));
        int top = static_cast<int>(height * place);
        top = std::max(0, std::min(top, client.height - thumb));
        canvas->FillRectangle(kScrollBarColor, Osp::Graphics::Rectangle(client.width - kScrollBarInset, top,
                                                                        kScrollBarWidth, thumb));
    }
    return Osp::Base::E_SUCCESS;
}
