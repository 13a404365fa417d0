// The viewer's Find: the text asked for, the search through the whole file in the background, and the
// match highlighted and scrolled into view.

#include <algorithm>

#include "Osp/Graphics/Canvas.h"
#include "app/ModalMessage.h"
#include "text/TextForm.h"

namespace {

constexpr Osp::Graphics::Color kMatchColor(255, 200, 0, 160);
constexpr int kSearchingWidth = 220;
constexpr int kSearchingHeight = 160;
constexpr int kMaxSearchingText = 40;
constexpr int kNotFoundMs = 2000;
// A match scrolled into view stands this far down the screen (a share of its height), with the lines
// before it as context.
constexpr int kMatchFromTop = 3;

bool IsLowSurrogate(char16_t c) {
    return static_cast<unsigned>(c) - 0xDC00u < 0x400u;
}

// Columns of text[from..to): every character but the second half of a surrogate pair, as the layout
// counts them for a monospaced line.
int Columns(const std::u16string& text, size_t from, size_t to) {
    return static_cast<int>(std::count_if(text.begin() + static_cast<long>(from),
                                          text.begin() + static_cast<long>(to),
                                          [](char16_t c) { return c >= u' ' && !IsLowSurrogate(c); }));
}

}  // namespace

void TextForm::AskFind() {
    if (m_pFindPopup == nullptr) {
        auto popup = std::make_unique<FindPopup>();
        if (!popup->Construct(this)) {
            return;
        }
        m_pFindPopup = std::move(popup);
    }
    m_pFindPopup->ShowPopup(m_sFind);
}

void TextForm::Find(TextFinder::TDirection direction, bool fromView) {
    if (m_pFindPopup != nullptr && fromView) {
        m_sFind = m_pFindPopup->GetText();
        m_bHasMatch = false;
    }
    if (m_sFind.empty()) {
        return;
    }
    TextFinder::SRequest request;
    request.path = m_oSource.GetPath();
    request.encoding = m_oSource.GetEncoding();
    request.dataStart = m_oSource.GetDataStart();
    request.fileSize = m_oSource.GetFileSize();
    request.text = m_sFind;
    request.direction = direction;
    const bool forward = direction == TextFinder::TDirection::Forward;
    if (m_bHasMatch) {
        request.from = forward ? m_nMatchByte + 1 : m_nMatchByte;
    } else {
        // From the line at the top of the view: forward from its start, backward from before it.
        request.from = m_oSource.PlaceBefore(TopTextPos()).byte;
    }
    if (!m_oFinder.Start(request, this)) {
        return;
    }
    m_oKinetic.Stop();
    if (!IsWholeFile()) {
        if (m_pSearching == nullptr) {
            m_pSearching = std::make_unique<ProgressPopup>();
            m_pSearching->Initialize(kSearchingWidth, kSearchingHeight, ACTION_FIND_CANCEL);
            m_pSearching->SetActionEventListener(*this);
            m_pSearching->SetupAnimation();
        }
        OnFindProgress(0);
        m_pSearching->StartAnimation();
        m_pSearching->Show(true);
    }
}

void TextForm::OnFindProgress(int percent) {
    if (m_pSearching != nullptr) {
        Osp::Base::String title;
        title.Format(kMaxSearchingText, L"Searching: %d%%", percent);
        m_pSearching->SetTitleText(title);
    }
}

void TextForm::HideSearching() {
    if (m_pSearching != nullptr && m_pSearching->GetShowState()) {
        m_pSearching->Show(false);
        m_pSearching->StopAnimation();
    }
    RequestRedraw();
}

void TextForm::OnFindDone(bool found, std::uint64_t byte, std::uint64_t) {
    HideSearching();
    if (!found) {
        ShowModalMessage(L"", L"Not found", Osp::Ui::Controls::MSGBOX_STYLE_NONE, kNotFoundMs);
        return;
    }
    m_bHasMatch = true;
    m_nMatchByte = byte;
    size_t placeText = 0;
    if (!MoveWindow(byte, TextSource::TPosition::Place, &placeText)) {
        return;
    }
    ShowMatch(placeText);
}

void TextForm::ShowMatch(size_t textPos) {
    m_bMatchShown = true;
    m_nMatchText = textPos;
    const int lineHeight = m_oWrap.GetLineHeight();
    const int charWidth = m_oWrap.GetCharWidth();
    const Osp::Graphics::Rectangle client = TextArea();
    const size_t line = m_oWrap.LineOfTextPos(textPos);
    const int top = static_cast<int>(line) * lineHeight;
    if (top < m_nScrollY || top + lineHeight > m_nScrollY + client.height) {
        m_nScrollY = top - (client.height / kMatchFromTop / lineHeight) * lineHeight;
    }
    // Without wrapping the match may lie to the right of the view.
    const int left = Columns(m_sText, m_oWrap.GetLineStart(line), textPos) * charWidth;
    const int right =
        left + Columns(m_sText, textPos, std::min(m_sText.size(), textPos + m_sFind.size())) * charWidth;
    if (left < m_nScrollX || right > m_nScrollX + client.width) {
        m_nScrollX = ClampX(left - client.width / kMatchFromTop);
    }
    SetScrollPos(m_nScrollY, true);
}

bool TextForm::GetShownMatch(size_t* textPos, size_t* length) const {
    if (!m_bMatchShown) {
        return false;
    }
    *textPos = m_nMatchText;
    *length = std::min(m_sFind.size(), m_sText.size() - std::min(m_sText.size(), m_nMatchText));
    return true;
}

void TextForm::DrawMatch(Osp::Graphics::Canvas& canvas) const {
    size_t textPos = 0;
    size_t length = 0;
    if (!GetShownMatch(&textPos, &length) || m_oWrap.GetLineCount() == 0) {
        return;
    }
    // The match is marked on each display line it runs through.
    const int lineHeight = m_oWrap.GetLineHeight();
    const int charWidth = m_oWrap.GetCharWidth();
    const size_t end = textPos + length;
    for (size_t line = m_oWrap.LineOfTextPos(textPos); line < m_oWrap.GetLineCount(); ++line) {
        const size_t lineStart = m_oWrap.GetLineStart(line);
        const size_t lineEnd =
            line + 1 < m_oWrap.GetLineCount() ? m_oWrap.GetLineStart(line + 1) : m_sText.size();
        if (lineStart >= end) {
            break;
        }
        const size_t from = std::max(textPos, lineStart);
        const size_t to = std::min(end, lineEnd);
        const int x = Columns(m_sText, lineStart, from) * charWidth - m_nScrollX + kMarginX;
        const int y = static_cast<int>(line) * lineHeight - m_nScrollY + kMarginY;
        canvas.FillRectangle(
            kMatchColor,
            Osp::Graphics::Rectangle(x, y, std::max(1, Columns(m_sText, from, to)) * charWidth, lineHeight));
    }
}
