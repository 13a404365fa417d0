#pragma once
// The text viewer: a full-screen form that shows a text file laid out in lines, with a choice of
// encoding, font size, colour scheme and wrapping, flick scrolling, page down, go to a line or a
// percentage, and the file's details. The file is only read, through a window that moves with the view
// (TextSource), so that a file of any size opens at once in bounded memory.
//
// Contract:
// - Everything runs on the user-interface thread. The application makes the form, calls Initialize and,
//   when that succeeds, adds it to the frame; the close action asks the application to discard it,
//   which happens inside the action call.
// - The form owns its font, menus, popups and the laid-out text of the window. The text is laid out
//   again (recomposed) when the font, wrapping, encoding or, with wrapping on, the orientation changes,
//   and when the window moves; a new colour scheme only redraws.
// - Scroll positions are in text pixels from the top-left corner of the window's laid-out text; when the
//   window moves, the line in view stays in view and the positions change with it.

#include <cstdint>
#include <memory>
#include <string>

#include "Osp/Base/DateTime.h"
#include "Osp/Base/Runtime/Timer.h"
#include "Osp/Graphics/Font.h"
#include "Osp/Ui/Controls/Form.h"
#include "Osp/Ui/Controls/OptionMenu.h"
#include "Osp/Ui/IActionEventListener.h"
#include "Osp/Ui/IOrientationEventListener.h"
#include "text/FindPopup.h"
#include "text/GoToPopup.h"
#include "text/LineCounter.h"
#include "text/TextDetailsPopup.h"
#include "text/TextFinder.h"
#include "text/TextSource.h"
#include "text/TextWrap.h"
#include "ui/KineticScroll.h"
#include "ui/ProgressPopup.h"

class TextForm : public Osp::Ui::Controls::Form,
                 public Osp::Ui::IActionEventListener,
                 public Osp::Base::Runtime::ITimerEventListener,
                 public Osp::Ui::IOrientationEventListener,
                 public IScrollable,
                 private TextFinder::IListener {
public:
    // Action identifiers of the soft keys and of the options menu; a font, colour or encoding item's
    // identifier picks its entry by its distance from the menu's main item.
    enum TAction {
        ACTION_CLOSE = 1301,
        ACTION_OPTIONS = 1302,
        ACTION_FONT_SIZE = 1303,
        ACTION_FONT_LAST = 1308,
        ACTION_WRAP = 1310,
        ACTION_WRAP_OFF = 1311,
        ACTION_WRAP_ON = 1312,
        ACTION_SMART_REFLOW = 1313,
        ACTION_GO_TO = 1320,
        ACTION_TOP = 1321,
        ACTION_BOTTOM = 1322,
        ACTION_GO_TO_LINE = 1323,
        ACTION_GO_TO_PERCENT = 1324,
        ACTION_COLORS = 1330,
        ACTION_COLORS_FIRST = 1331,
        ACTION_COLORS_LAST = 1334,
        ACTION_ENCODING = 1340,
        ACTION_ENCODING_LAST = 1346,
        ACTION_FIND = 1350,
        ACTION_FIND_NEW = 1351,
        ACTION_FIND_NEXT = 1352,
        ACTION_FIND_PREVIOUS = 1353,
        ACTION_FIND_CANCEL = 1354,
        ACTION_DETAILS = 1390,
        ACTION_PAGE_DOWN = 1391,
    };

    // The last line may be scrolled this far above the bottom edge.
    static constexpr int kScrollPastEnd = 40;
    // Room between the text and the edges of the client area, so that no character touches them.
    static constexpr int kMarginX = 8;
    static constexpr int kMarginY = 6;
    static constexpr int kScrollBarMs = 2000;
    static constexpr int kTabSize = 4;

    TextForm();
    ~TextForm() override;

    // Reads and decodes the file's first window at path and lays it out. displayName, size and modified are
    // what the details show; orientation is the opener's, which the form follows as the frame does. False
    // when the file is empty (after telling the user) or cannot be read; the form is then to be deleted.
    bool Initialize(const std::wstring& path, Osp::Ui::OrientationStatus orientation,
                    const std::wstring& displayName, unsigned long long size,
                    const Osp::Base::DateTime& modified);

    Osp::Base::result OnDraw() override;
    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;
    void OnTimerExpired(Osp::Base::Runtime::Timer& timer) override;
    void OnOrientationChanged(const Osp::Ui::Control& source, Osp::Ui::OrientationStatus status) override;
    int GetHorizontalScroll() const override { return m_nScrollX; }
    int GetVerticalScroll() const override { return m_nScrollY; }
    void SetScrollPos(const Osp::Graphics::Point& p, bool redraw) override;

    // The text of the window, and the window's place in the file.
    const std::u16string& GetText() const { return m_sText; }
    const TextSource& GetSource() const { return m_oSource; }
    const LineCounter& GetLineCounter() const { return m_oLines; }
    const TextWrap& GetWrap() const { return m_oWrap; }
    TTextEncoding GetEncoding() const { return m_oSource.GetEncoding(); }
    // The encoding's menu name and whether it was detected or chosen, as the details show it.
    std::wstring GetEncodingText() const;
    int GetFontSize() const { return m_nFontSize; }
    bool IsWordWrap() const { return m_bWordWrap; }
    bool IsSmartReflow() const { return m_bSmartReflow; }
    int GetColors() const { return m_nColors; }
    bool IsScrollBarVisible() const { return (m_nFlags & kFlagScrollBar) != 0; }
    // The match of the last search in the window's text (position and length), while it shows.
    bool GetShownMatch(size_t* textPos, size_t* length) const;
    bool IsSearching() const { return m_oFinder.IsRunning(); }

private:
    static constexpr unsigned kFlagScrollBar = 0x1;

    void BuildOptionMenu();
    void SetEncoding(TTextEncoding encoding);
    void SetWordWrap(bool on);
    void SetSmartReflow();
    void SetFontSize(int size);
    void SetColor(int colors);
    // Lays the text out again (recompose) or only refits the scroll position to the client area.
    void RecalcText(bool recompose, bool redraw);
    void Compose();
    // Reads the window around a file position, lays it out and gives the text position of the place
    // taken for it. False when the file cannot be read; the window stays as it was.
    bool MoveWindow(std::uint64_t position, TextSource::TPosition how, size_t* placeText);
    // Keeps a vertical position inside the window's text: moves the window on when the view comes near
    // an end of it that is not the file's, and gives the same view's position afterwards.
    int FollowWindow(int y);
    void GoToTop();
    void GoToBottom();
    // Whether the window holds the whole file, and where the view stands in the file in percent.
    bool IsWholeFile() const;
    int CurrentPercent() const;
    // The text position of the first character in view, and the file byte it comes from.
    size_t TopTextPos() const;
    std::uint64_t TopByte() const;
    // Tells the user, once, that the file changed while it was open, and numbers its lines again.
    void TellIfChanged();
    void CountLines();
    // The line of the file (from 1) at the top of the view and the number of lines; 0 while unknown.
    std::uint64_t CurrentLine() const;
    std::uint64_t TotalLines() const;
    void GoToLine(std::uint64_t line);
    // Scrolls vertically to y, clamped to the text, and stops any flick.
    void SetScrollPos(int y, bool redraw);
    void PageDown();
    void ShowScrollBar(bool redraw);
    void GoToPlace(GoToPopup::TMode mode);
    void DoGoTo();
    void ShowDetails();
    void OnMenuAction(int actionId);
    // Find: asks for the text, searches from the view on or from the last match, and shows the match.
    void AskFind();
    void Find(TextFinder::TDirection direction, bool fromView);
    void OnFindProgress(int percent) override;
    void OnFindDone(bool found, std::uint64_t byte, std::uint64_t length) override;
    void HideSearching();
    void ShowMatch(size_t textPos);
    void DrawMatch(Osp::Graphics::Canvas& canvas) const;

    // The client area less the margins: where the text shows, in client coordinates.
    Osp::Graphics::Rectangle TextArea() const;
    int ClampX(int x) const;
    int ClampY(int y) const;
    int TextHeight() const { return m_oWrap.GetBounds().height; }

    std::unique_ptr<Osp::Graphics::Font> m_pFont;
    std::unique_ptr<Osp::Ui::Controls::OptionMenu> m_pOptionMenu;
    TextWrap m_oWrap;
    TextSource m_oSource{L""};  // the file's window, its encoding and its size
    LineCounter m_oLines;
    std::u16string m_sText;
    int m_nScrollY = 0;
    int m_nScrollX = 0;
    int m_nFontSize = 0;
    bool m_bWordWrap = false;
    int m_nColors = ACTION_COLORS_FIRST;
    bool m_bSmartReflow = false;
    std::unique_ptr<GoToPopup> m_pGoToPopup;
    std::unique_ptr<TextDetailsPopup> m_pDetailsPopup;
    std::unique_ptr<FindPopup> m_pFindPopup;
    std::unique_ptr<ProgressPopup> m_pSearching;  // shown while a search runs through a large file
    TextFinder m_oFinder;
    std::wstring m_sFind;      // the text of the last search
    bool m_bHasMatch = false;  // the last search found m_nMatchByte
    std::uint64_t m_nMatchByte = 0;
    bool m_bMatchShown = false;  // the match lies in the window at m_nMatchText
    size_t m_nMatchText = 0;
    std::wstring m_sName;
    unsigned long long m_nSize = 0;
    Osp::Base::DateTime m_oModified;
    KineticScroll m_oKinetic{this};
    Osp::Base::Runtime::Timer m_oBarTimer;
    unsigned m_nFlags = 0;
};
