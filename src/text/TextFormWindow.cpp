// The viewer's window through the file: moving it as the view nears its ends, and the jumps to the top,
// the bottom and anywhere between.

#include <algorithm>
#include <climits>

#include "app/ModalMessage.h"
#include "text/TextForm.h"

namespace {

// The window moves on once the view comes within this many screens of an end of its text.
constexpr int kFollowScreens = 3;

}  // namespace

bool TextForm::MoveWindow(std::uint64_t position, TextSource::TPosition how, size_t* placeText) {
    const bool loaded = m_oSource.Load(position, how, kTabSize, &m_sText, placeText);
    if (loaded) {
        // A match shown in the old window has no place in the new one's text.
        m_bMatchShown = false;
        Compose();
    }
    TellIfChanged();
    return loaded;
}

size_t TextForm::TopTextPos() const {
    const int lineHeight = m_oWrap.GetLineHeight();
    if (lineHeight <= 0 || m_oWrap.GetLineCount() == 0) {
        return 0;
    }
    const size_t line =
        std::min(static_cast<size_t>(std::max(0, m_nScrollY / lineHeight)), m_oWrap.GetLineCount() - 1);
    return m_oWrap.GetLineStart(line);
}

std::uint64_t TextForm::TopByte() const {
    return m_oSource.ByteOf(TopTextPos());
}

int TextForm::FollowWindow(int y) {
    const int lineHeight = m_oWrap.GetLineHeight();
    const int clientHeight = GetClientAreaBounds().height;
    if (lineHeight <= 0) {
        return y;
    }
    const int margin = kFollowScreens * clientHeight;
    const bool nearEnd = y + clientHeight > TextHeight() - margin && !m_oSource.WindowAtEnd();
    const bool nearStart = y < margin && !m_oSource.WindowAtStart();
    if (!nearEnd && !nearStart) {
        return y;
    }
    const size_t lines = m_oWrap.GetLineCount();
    const size_t topLine =
        lines == 0 ? 0 : std::min(static_cast<size_t>(std::max(0, y / lineHeight)), lines - 1);
    const size_t topText = lines == 0 ? 0 : m_oWrap.GetLineStart(topLine);
    const int within = y - static_cast<int>(topLine) * lineHeight;
    TextSource::SPlace keep{0, m_oSource.GetWindowStart()};
    if (nearEnd) {
        keep = m_oSource.PlaceBefore(topText);
    }
    size_t placeText = 0;
    int moved = y;
    if (!nearEnd || keep.byte > m_oSource.GetWindowStart()) {
        // The window is laid out again around a place in view or just before it: the lines from that place
        // on come out as they were, so the view keeps its content.
        if (!MoveWindow(keep.byte, TextSource::TPosition::Place, &placeText)) {
            return y;
        }
        const size_t line = m_oWrap.LineOfTextPos(placeText + (topText - keep.textPos));
        moved = static_cast<int>(line) * lineHeight + within;
    } else if (y > TextHeight() - clientHeight) {
        // Nothing in this window to move on from (text without line breaks, or bytes that show as
        // nothing): the view asked to go past it, so the next window begins where this one ends.
        if (!MoveWindow(m_oSource.GetWindowEnd(), TextSource::TPosition::AnyByte, &placeText)) {
            return y;
        }
        moved = static_cast<int>(m_oWrap.LineOfTextPos(placeText)) * lineHeight;
    }
    m_oKinetic.ShiftOrigin(Osp::Graphics::Point(0, moved - y));
    return moved;
}

void TextForm::GoToTop() {
    size_t placeText = 0;
    if (!m_oSource.WindowAtStart() &&
        !MoveWindow(m_oSource.GetDataStart(), TextSource::TPosition::Place, &placeText)) {
        return;
    }
    SetScrollPos(0, false);
}

void TextForm::GoToBottom() {
    size_t placeText = 0;
    if (!m_oSource.WindowAtEnd() &&
        !MoveWindow(m_oSource.GetFileSize(), TextSource::TPosition::Place, &placeText)) {
        return;
    }
    SetScrollPos(INT_MAX, true);
}

void TextForm::CountLines() {
    m_oLines.Start(m_oSource.GetPath(), m_oSource.GetEncoding(), m_oSource.GetDataStart(),
                   m_oSource.GetFileSize());
}

void TextForm::TellIfChanged() {
    if (m_oSource.TakeChanged()) {
        m_oKinetic.Stop();
        CountLines();
        ShowModalMessage(L"", L"The file has changed since it was opened.",
                         Osp::Ui::Controls::MSGBOX_STYLE_NONE, 3000);
    }
}
