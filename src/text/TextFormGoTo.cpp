// The viewer's jumps to a line or a percentage of the file, and its details.

#include <algorithm>
#include <climits>

#include "text/TextForm.h"

namespace {

constexpr int kPercentAll = 100;

}  // namespace

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
        m_pGoToPopup->ShowPopup(mode, TextHeight() / lineHeight, m_nScrollY / lineHeight + 1);
    } else {
        m_pGoToPopup->ShowPopup(mode, kPercentAll, CurrentPercent());
    }
}

void TextForm::DoGoTo() {
    RequestRedraw();
    const long long value = m_pGoToPopup->GetValue();
    if (m_pGoToPopup->GetMode() == GoToPopup::TMode::Line) {
        SetScrollPos(
            static_cast<int>(std::clamp<long long>(m_oWrap.GetLineHeight() * (value - 1), 0, INT_MAX)),
            false);
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
    const int lineHeight = m_oWrap.GetLineHeight();
    const int current = lineHeight > 0 ? m_nScrollY / lineHeight + 1 : 0;
    const int total = lineHeight > 0 ? TextHeight() / lineHeight : 0;
    m_pDetailsPopup->ShowPopup(m_sName, m_nSize, m_oModified, GetEncodingText(), current, total);
}
