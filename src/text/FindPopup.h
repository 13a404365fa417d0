#pragma once
// Asks the text viewer's user for the text to find. Made on first use by the viewer, which it tells
// through kActionFind (with a text that is not empty) or kActionCancel after hiding itself. User-interface
// thread only.

#include <string>

#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"

class FindPopup : public Osp::Ui::Controls::Popup, public Osp::Ui::IActionEventListener {
public:
    static constexpr int kActionFind = 1215;
    static constexpr int kActionCancel = 1216;

    // Builds the popup from its layout; the listener (not owned) hears the two actions. False when the
    // layout lacks one of its controls.
    bool Construct(Osp::Ui::IActionEventListener* listener);
    // Shows the popup with the last text in the field.
    void ShowPopup(const std::wstring& text);
    // The text accepted with Find.
    const std::wstring& GetText() const { return m_sText; }

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    void Close(int actionId);

    Osp::Ui::IActionEventListener* m_pListener = nullptr;
    Osp::Ui::Controls::EditField* m_pEdit = nullptr;
    std::wstring m_sText;
};
