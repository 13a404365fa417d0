#pragma once
// The free, used and total space of one storage (the private files, the memory card or a network share),
// shown from the main list. Made on first use by its owner, which it tells through its close action
// (kActionClose) after hiding itself. User-interface thread only.

#include "Osp/Ui/Controls/Label.h"
#include "Osp/Ui/Controls/Popup.h"
#include "Osp/Ui/Controls/Progress.h"
#include "Osp/Ui/IActionEventListener.h"

class DiskDetailsPopup : public Osp::Ui::Controls::Popup, public Osp::Ui::IActionEventListener {
public:
    static constexpr int kActionClose = 2513;

    // Builds the popup from its layout; the listener (not owned) hears kActionClose. False when the
    // layout lacks one of its controls.
    bool Construct(Osp::Ui::IActionEventListener* listener);
    // Sizes in bytes; 0 means unknown and shows nothing. Without a used size it is worked out from the
    // capacity and the free space. connection says how a network share is reached and password where its
    // remembered password is kept; both empty for others.
    void ShowPopup(const std::wstring& title, unsigned long long capacity, unsigned long long free,
                   unsigned long long used, const std::wstring& connection = L"",
                   const std::wstring& password = L"");
    void HidePopup();

    void OnActionPerformed(const Osp::Ui::Control& source, int actionId) override;

private:
    Osp::Ui::Controls::Label* FindLabel(const wchar_t* name) const;

    Osp::Ui::IActionEventListener* listener_ = nullptr;
    // Controls of the popup.
    Osp::Ui::Controls::Label* free_ = nullptr;
    Osp::Ui::Controls::Label* used_ = nullptr;
    Osp::Ui::Controls::Label* capacity_ = nullptr;
    Osp::Ui::Controls::Label* percent_ = nullptr;
    Osp::Ui::Controls::Label* connection_ = nullptr;
    Osp::Ui::Controls::Label* password_ = nullptr;
    Osp::Ui::Controls::Progress* bar_ = nullptr;
};
