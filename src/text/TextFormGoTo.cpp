// The viewer's jumps to a line or a percentage of the file, and its details.

#include <algorithm>
#include <climits>

#include "Osp/Base/String.h"
#include "app/ModalMessage.h"
#include "text/TextForm.h"

namespace {

constexpr int kPercentAll = 100;
constexpr int kCountingMs = 2000;
constexpr int kMaxCountingText = 64;

int ClampToInt(std::uint64_t n) {
    return static_cast<int>(std::min<std::uint64_t>(n, INT_MAX));
}

}  // namespace

std::uint64_t TextForm::TotalLines() const {
    if (IsWholeFile()) {
        // The window is the file: its text has every line, each ended by a line feed but perhaps the last.
        const auto feeds = static_cast<std::uint64_t>(std::count(m_sText.begin(), m_sText.end(), u'\n'));
        return feeds + (!m_sText.empty() && m_sText.back() != u'\n' ? 1 : 0);
    }
    return m_oLines.IsDone() ? m_oLines.GetLineCount() : 0;
}

std::uint64_t TextForm::CurrentLine() const {
    const size_t top = TopTextPos();
    const auto inWindow =
        static_cast<std::uint64_t>(std::count(m_sText.begin(), m_sText.begin() + top, u'\n'));
    if (IsWholeFile()) {
        return inWindow + 1;
    }
    std::uint64_t before = 0;
    return m_oLines.LineOfByte(m_oSource.GetWindowStart(), &before) ? before + inWindow + 1 : 0;
}

void TextForm::GoToLine(std::uint64_t line) {
    const int lineHeight = m_oWrap.GetLineHeight();
    if (IsWholeFile()) {
        size_t at = 0;
        for (std::uint64_t passed = 1; passed < line && at < m_sText.size(); ++passed) {
            at = m_sText.find(u'\n', at);
            at = at == std::u16string::npos ? m_sText.size() : at + 1;
        }
        SetScrollPos(static_cast<int>(m_oWrap.LineOfTextPos(at)) * lineHeight, false);
        return;
    }
    std::uint64_t byte = 0;
    size_t placeText = 0;
    if (m_oLines.ByteOfLine(line - 1, &byte) && MoveWindow(byte, TextSource::TPosition::Place, &placeText)) {
        SetScrollPos(static_cast<int>(m_oWrap.LineOfTextPos(placeText)) * lineHeight, false);
    }
}

bool TextForm::IsWholeFile() const {
    return m_oSource.WindowAtStart() && m_oSource.WindowAtEnd();
}

int TextForm::CurrentPercent() const {
    if (IsWholeFile()) {
        const long long textHeight = std::max(1, TextHeight());
        return static_cast<int>((m_nScrollY * 100LL + textHeight / 2) / textHeight);
    }
    const std::uint64_t start = m_oSource.GetDataStart();
    const std::uint64_t bytes = std::max<std::uint64_t>(1, m_oSource.GetFileSize() - start);
    const std::uint64_t into = TopByte() - std::min(TopByte(), start);
    return static_cast<int>(std::min<std::uint64_t>(kPercentAll, (into * kPercentAll + bytes / 2) / bytes));
}

void TextForm::GoToPlace(GoToPopup::TMode mode) {
    const int lineHeight = m_oWrap.GetLineHeight();
    if (lineHeight <= 0 || TextHeight() <= 0) {
        return;
    }
    if (m_pGoToPopup == nullptr) {
        auto popup = std::make_unique<GoToPopup>();
        if (!popup->Construct(this)) {
            return;
        }
        m_pGoToPopup = std::move(popup);
    }
    if (mode == GoToPopup::TMode::Line) {
        const std::uint64_t total = TotalLines();
        if (total == 0) {
            // Lines of a large file are numbered in the background; until then there is nothing to go to.
            Osp::Base::String text;
            text.Format(kMaxCountingText, L"Counting lines: %d%% done.", m_oLines.GetPercent());
            ShowModalMessage(L"", text.GetPointer(), Osp::Ui::Controls::MSGBOX_STYLE_NONE, kCountingMs);
            return;
        }
        m_pGoToPopup->ShowPopup(mode, ClampToInt(total),
                                ClampToInt(std::max<std::uint64_t>(1, CurrentLine())));
    } else {
        m_pGoToPopup->ShowPopup(mode, kPercentAll, CurrentPercent());
    }
}

void TextForm::DoGoTo() {
    RequestRedraw();
    const long long value = m_pGoToPopup->GetValue();
    if (m_pGoToPopup->GetMode() == GoToPopup::TMode::Line) {
        GoToLine(static_cast<std::uint64_t>(std::max(1LL, value)));
    } else if (IsWholeFile()) {
        SetScrollPos(static_cast<int>(std::clamp<long long>(TextHeight() * value / kPercentAll, 0, INT_MAX)),
                     false);
    } else if (value >= kPercentAll) {
        GoToBottom();
    } else {
        const std::uint64_t start = m_oSource.GetDataStart();
        const std::uint64_t bytes = m_oSource.GetFileSize() - std::min(m_oSource.GetFileSize(), start);
        size_t placeText = 0;
        if (MoveWindow(start + bytes / kPercentAll * static_cast<std::uint64_t>(value) +
                           bytes % kPercentAll * static_cast<std::uint64_t>(value) / kPercentAll,
                       TextSource::TPosition::AnyByte, &placeText)) {
            SetScrollPos(static_cast<int>(m_oWrap.LineOfTextPos(placeText)) * m_oWrap.GetLineHeight(), false);
        }
    }
}

void TextForm::ShowDetails() {
    if (m_pDetailsPopup == nullptr) {
        auto popup = std::make_unique<TextDetailsPopup>();
        if (!popup->Construct(this)) {
            return;
        }
        m_pDetailsPopup = std::move(popup);
    }
    const std::uint64_t total = TotalLines();
    const std::uint64_t current = total > 0 ? CurrentLine() : 0;
    m_pDetailsPopup->ShowPopup(m_sName, m_nSize, m_oModified, GetEncodingText(), ClampToInt(current),
                               ClampToInt(total));
}
