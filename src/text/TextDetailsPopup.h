#pragma once
// The details of the file in the text viewer: its name, folder, size and date, the encoding it is read
// in, and where the view stands in it. Made on first use by the viewer, which it tells through kActionClose
// after hiding itself. User-interface thread only.

#include <string>

#include "Osp/Base/DateTime.h"
#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"

class TextDetailsPopup : public Osp::Ui::Controls::Popup, public Osp::Ui::IActionEventListener {
public:
    static constexpr int kActionClose = 3817;

    // Builds the popup from its layout; the listener (not owned) hears kActionClose. False when the
    // layout lacks one of its controls.
    bool Construct(Osp::Ui::IActionEventListener* listener);
    // displayName is the file's full path as the user knows it. A date whose year is 1 or less is unknown
    // and shown empty; encoding is shown as given; the position shows only when both line numbers are
    // known (not 0).
    void ShowPopup(const std::wstring& displayName, unsigned long long size,
                   const Osp::Base::DateTime& modified, const std::wstring& encoding, int currentLine,
                   int totalLines);

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    Osp::Ui::Controls::Label* FindLabel(const wchar_t* name) const;

    Osp::Ui::IActionEventListener* m_pListener = nullptr;
    Osp::Ui::Controls::Label* m_pName = nullptr;
    Osp::Ui::Controls::Label* m_pLocation = nullptr;
    Osp::Ui::Controls::Label* m_pSize = nullptr;
    Osp::Ui::Controls::Label* m_pDate = nullptr;
    Osp::Ui::Controls::Label* m_pEncoding = nullptr;
    Osp::Ui::Controls::Label* m_pPosition = nullptr;
};
