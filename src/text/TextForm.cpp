#include "text/TextForm.h"

#include <array>
#include <climits>

#include "app/Corvane.h"
#include "app/ModalMessage.h"

namespace {

using Osp::Base::String;

constexpr int kStartFontSize = 14;
constexpr const wchar_t* kCustomFont = L"/Home/CustomFont.ttf";
constexpr const wchar_t* kViewerFont = L"/Res/DejaVuSansMono.ttf";

constexpr int EncodingAction(TTextEncoding encoding) {
    return TextForm::ACTION_ENCODING + static_cast<int>(encoding);
}

struct SMenuItem {
    const wchar_t* text;
    int actionId;
};

// Font sizes of the items from ACTION_FONT_SIZE + 1 on.
constexpr std::array<int, 5> kFontSizes = {18, 16, 14, 12, 9};

struct SMenu {
    SMenuItem main;
    std::initializer_list<SMenuItem> sub;
};

const SMenu kMenus[] = {
    {{L"Font size", TextForm::ACTION_FONT_SIZE},
     {{L"Very Large", 1304}, {L"Large", 1305}, {L"Normal", 1306}, {L"Small", 1307}, {L"Very small", 1308}}},
    {{L"Word wrap", TextForm::ACTION_WRAP},
     {{L"Off", TextForm::ACTION_WRAP_OFF},
      {L"On", TextForm::ACTION_WRAP_ON},
      {L"Smart reflow", TextForm::ACTION_SMART_REFLOW}}},
    {{L"Go to", TextForm::ACTION_GO_TO},
     {{L"Top", TextForm::ACTION_TOP},
      {L"Bottom", TextForm::ACTION_BOTTOM},
      {L"Line", TextForm::ACTION_GO_TO_LINE},
      {L"Percent", TextForm::ACTION_GO_TO_PERCENT}}},
    {{L"Find", TextForm::ACTION_FIND},
     {{L"New search", TextForm::ACTION_FIND_NEW},
      {L"Next", TextForm::ACTION_FIND_NEXT},
      {L"Previous", TextForm::ACTION_FIND_PREVIOUS}}},
    {{L"Colors", TextForm::ACTION_COLORS},
     {{L"Black on white", 1331},
      {L"White on black", 1332},
      {L"Green on black", 1333},
      {L"Night mode", 1334}}},
    {{L"Encoding", TextForm::ACTION_ENCODING},
     {{L"ASCII / Latin-1", EncodingAction(ENCODING_LATIN1)},
      {L"Cyrillic-1251", EncodingAction(ENCODING_CP1251)},
      {L"Windows-1252", EncodingAction(ENCODING_CP1252)},
      {L"UTF-8", EncodingAction(ENCODING_UTF8)},
      {L"UTF-16 LE", EncodingAction(ENCODING_UTF16LE)},
      {L"UTF-16 BE", EncodingAction(ENCODING_UTF16BE)}}},
    {{L"Details", TextForm::ACTION_DETAILS}, {}},
};

// The encoding's name as the menu gives it, and whether the user chose it or it was detected.
std::wstring EncodingText(TTextEncoding encoding, bool chosen) {
    for (const SMenu& menu : kMenus) {
        for (const SMenuItem& item : menu.sub) {
            if (menu.main.actionId == TextForm::ACTION_ENCODING &&
                item.actionId == EncodingAction(encoding)) {
                return std::wstring(item.text) + (chosen ? L" (chosen)" : L" (detected)");
            }
        }
    }
    return std::wstring();
}

bool IsIn(int actionId, int first, int last) {
    return actionId >= first && actionId <= last;
}

}  // namespace

TextForm::TextForm() = default;

TextForm::~TextForm() = default;

bool TextForm::Initialize(const std::wstring& path, Osp::Ui::OrientationStatus,
                          const std::wstring& displayName, unsigned long long size,
                          const Osp::Base::DateTime& modified) {
    m_oSource = TextSource(path);
    m_sName = displayName;
    m_nSize = size;
    m_oModified = modified;
    if (Construct(String(L"IDF_TEXT_FORM")) != Osp::Base::E_SUCCESS) {
        return false;
    }
    const TextSource::TLoad loaded = m_oSource.Open();
    if (loaded == TextSource::TLoad::Empty) {
        ShowModalMessage(L"", L"Empty file (size 0)", Osp::Ui::Controls::MSGBOX_STYLE_NONE, 3000);
    }
    size_t placeText = 0;
    if (loaded != TextSource::TLoad::Loaded ||
        !m_oSource.Load(m_oSource.GetDataStart(), TextSource::TPosition::Place, kTabSize, &m_sText,
                        &placeText)) {
        return false;
    }
    CountLines();
    m_oBarTimer.Construct(*this);
    SetFontSize(kStartFontSize);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_0, ACTION_PAGE_DOWN);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_0, *this);
    SetSoftkeyActionId(Osp::Ui::Controls::SOFTKEY_1, ACTION_CLOSE);
    AddSoftkeyActionListener(Osp::Ui::Controls::SOFTKEY_1, *this);
    SetOptionkeyActionId(ACTION_OPTIONS);
    AddOptionkeyActionListener(*this);
    AddOrientationEventListener(*this);
    BuildOptionMenu();
    m_oKinetic.setSimpleScroll(true);
    AddTouchEventListener(m_oKinetic);
    ShowScrollBar(false);
    return true;
}

std::wstring TextForm::GetEncodingText() const {
    return EncodingText(m_oSource.GetEncoding(), m_oSource.IsEncodingChosen());
}

void TextForm::BuildOptionMenu() {
    m_pOptionMenu = std::make_unique<Osp::Ui::Controls::OptionMenu>();
    m_pOptionMenu->Construct();
    int index = 0;
    for (const SMenu& menu : kMenus) {
        m_pOptionMenu->AddItem(String(menu.main.text), menu.main.actionId);
        for (const SMenuItem& item : menu.sub) {
            m_pOptionMenu->AddSubItem(index, String(item.text), item.actionId);
        }
        ++index;
    }
    m_pOptionMenu->AddActionEventListener(*this);
}

void TextForm::OnActionPerformed(const Osp::Ui::Control&, int actionId) {
    switch (actionId) {
        case ACTION_CLOSE:
            // The application deletes this form inside the call; nothing may follow it.
            if (Corvane* app = Corvane::GetMyInstance()) {
                app->CloseTextForm();
            }
            return;
        case ACTION_OPTIONS:
            m_oKinetic.Stop();
            m_pOptionMenu->SetShowState(true);
            m_pOptionMenu->Show();
            return;
        case ACTION_PAGE_DOWN:
            PageDown();
            return;
        case GoToPopup::kActionDone:
            DoGoTo();
            return;
        case FindPopup::kActionFind:
            Find(TextFinder::TDirection::Forward, true);
            return;
        case ACTION_FIND_CANCEL:
            m_oFinder.Cancel();
            HideSearching();
            return;
        case GoToPopup::kActionCancel:
        case FindPopup::kActionCancel:
        case TextDetailsPopup::kActionClose:
            RequestRedraw();
            return;
        default:
            OnMenuAction(actionId);
    }
}

void TextForm::OnMenuAction(int actionId) {
    if (IsIn(actionId, ACTION_FONT_SIZE + 1, ACTION_FONT_LAST)) {
        SetFontSize(kFontSizes[static_cast<size_t>(actionId - ACTION_FONT_SIZE - 1)]);
    } else if (IsIn(actionId, ACTION_COLORS_FIRST, ACTION_COLORS_LAST)) {
        SetColor(actionId);
    } else if (IsIn(actionId, ACTION_ENCODING + 1, ACTION_ENCODING_LAST)) {
        SetEncoding(static_cast<TTextEncoding>(actionId - ACTION_ENCODING));
    } else if (actionId == ACTION_WRAP_OFF || actionId == ACTION_WRAP_ON) {
        SetWordWrap(actionId == ACTION_WRAP_ON);
    } else if (actionId == ACTION_SMART_REFLOW) {
        SetSmartReflow();
    } else if (actionId == ACTION_TOP) {
        GoToTop();
    } else if (actionId == ACTION_BOTTOM) {
        GoToBottom();
    } else if (actionId == ACTION_GO_TO_LINE || actionId == ACTION_GO_TO_PERCENT) {
        GoToPlace(actionId == ACTION_GO_TO_LINE ? GoToPopup::TMode::Line : GoToPopup::TMode::Percent);
    } else if (actionId == ACTION_DETAILS) {
        ShowDetails();
    } else if (actionId == ACTION_FIND_NEW) {
        AskFind();
    } else if (actionId == ACTION_FIND_NEXT || actionId == ACTION_FIND_PREVIOUS) {
        if (m_sFind.empty()) {
            AskFind();
        } else {
            Find(actionId == ACTION_FIND_NEXT ? TextFinder::TDirection::Forward
                                              : TextFinder::TDirection::Backward,
                 false);
        }
    }
}

void TextForm::SetEncoding(TTextEncoding encoding) {
    const TTextEncoding previous = m_oSource.GetEncoding();
    if (encoding == previous) {
        return;
    }
    const bool wasChosen = m_oSource.IsEncodingChosen();
    const std::uint64_t dataStart = m_oSource.GetDataStart();
    const std::uint64_t top = TopByte();
    m_oSource.SetEncoding(encoding);
    // The view stays where it was in the file; a file that has gone since it was opened keeps showing the
    // text already decoded.
    size_t placeText = 0;
    if (!MoveWindow(top <= dataStart ? 0 : top, TextSource::TPosition::AnyByte, &placeText)) {
        m_oSource.RestoreEncoding(previous, wasChosen, dataStart);
        return;
    }
    CountLines();
    SetScrollPos(static_cast<int>(m_oWrap.LineOfTextPos(placeText)) * m_oWrap.GetLineHeight(), true);
}

void TextForm::SetWordWrap(bool on) {
    if (on == m_bWordWrap && !m_bSmartReflow) {
        return;
    }
    m_bWordWrap = on;
    m_bSmartReflow = false;
    RecalcText(true, true);
}

void TextForm::SetSmartReflow() {
    if (m_bSmartReflow) {
        return;
    }
    m_bWordWrap = false;
    m_bSmartReflow = true;
    RecalcText(true, true);
}

void TextForm::SetFontSize(int size) {
    if (size == m_nFontSize) {
        return;
    }
    m_nFontSize = size;
    m_pFont.reset();
    const int style = Osp::Graphics::FONT_STYLE_PLAIN;
    // The user's own font comes first, then the one shipped with the viewer; should neither load, the
    // system's font still shows the text.
    for (const wchar_t* file : {kCustomFont, kViewerFont}) {
        auto font = std::make_unique<Osp::Graphics::Font>();
        if (font->Construct(String(file), style, size) == Osp::Base::E_SUCCESS) {
            m_pFont = std::move(font);
            break;
        }
    }
    if (m_pFont == nullptr) {
        m_pFont = std::make_unique<Osp::Graphics::Font>();
        m_pFont->Construct(style, size);
    }
    RecalcText(true, true);
}

void TextForm::SetColor(int colors) {
    if (colors == m_nColors) {
        return;
    }
    m_nColors = colors;
    RequestRedraw();
}

void TextForm::OnOrientationChanged(const Osp::Ui::Control&, Osp::Ui::OrientationStatus) {
    RecalcText(m_bWordWrap || m_bSmartReflow, true);
}
