#pragma once
// Asks the text viewer's user for a line number or a position in percent. Made on first use by the
// viewer, which it tells through kActionDone or kActionCancel after hiding itself; a number out of range
// is refused with a message and the popup stays open. User-interface thread only.

#include "Osp/Ui/Controls/EditField.h"
#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/IActionEventListener.h"

class GoToPopup : public Osp::Ui::Controls::Popup, public Osp::Ui::IActionEventListener {
public:
    static constexpr int kActionDone = 1213;
    static constexpr int kActionCancel = 1214;

    enum class TMode { Line, Percent };

    // Builds the popup from its layout; the listener (not owned) hears the two actions. False when the
    // layout lacks one of its controls.
    bool Construct(Osp::Ui::IActionEventListener* listener);
    // Offers lines 1 to max, or percent 0 to 100 (max), with current in the field.
    void ShowPopup(TMode mode, int max, int current);
    TMode GetMode() const { return m_eMode; }
    // The number accepted with Done.
    int GetValue() const { return m_nValue; }

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    void OnDone();
    void Close(int actionId);

    Osp::Ui::IActionEventListener* m_pListener = nullptr;
    Osp::Ui::Controls::Label* m_pLabel = nullptr;
    Osp::Ui::Controls::EditField* m_pEdit = nullptr;
    TMode m_eMode = TMode::Line;
    int m_nMin = 1;
    int m_nMax = 1;
    int m_nValue = 1;
};
